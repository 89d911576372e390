#include "Commands.h"
#include "LinkSession.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cmath>

namespace tarveon::cli {

namespace {

// The family in the header line of a gateway file: checksum (4 bytes), then
// "KORVANE-" family "-V." version ...
QString familyOfFile(const QByteArray &head)
{
    const QByteArray line = head.mid(4, 64);
    if (!line.startsWith("KORVANE-"))
        return QString();
    const qsizetype end = line.indexOf("-V.", 8);
    if (end <= 8)
        return QString();
    return QString::fromLatin1(line.mid(8, end - 8));
}

} // namespace

// Loads a gateway configuration file into the gateway: identification, the family check against
// the file's header, then the same upload as the window's. Exit 0 on "SUCCES".
int runUpload(const QStringList &arguments)
{
    QStringList args = arguments;
    CliContext cli;
    if (!cli.load())
        return ExitError;
    AppContext &ctx = *cli.ctx;
    const PortChoice port = commandPort(args, ctx);
    const bool verbose = takeFlag(args, QStringLiteral("-v")) | takeFlag(args, QStringLiteral("--verbose"));
    QString wait = QStringLiteral("10");
    takeOption(args, QStringLiteral("--wait"), &wait);
    QString tick = QStringLiteral("1000");
    takeOption(args, QStringLiteral("--tick-ms"), &tick);
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        printUsage(QStringLiteral(
            "usage: tarveon-cli upload [--port DEVICE] [--settings 57600,n,8,1] [--wait SECONDS] [--tick-ms MS] [-v] FILE"));
        return ExitError;
    }

    const QFileInfo info(args.first());
    const QString path = info.absoluteFilePath();
    if (!info.isFile()) {
        printMessage(ctx.GetText(QStringLiteral("X66")) + QLatin1Char('\r') + path);
        return ExitError;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printMessage(ctx.GetText(QStringLiteral("X69")) + QLatin1Char('\r') + path + QStringLiteral("\rError: \r") +
                     file.errorString());
        return ExitError;
    }
    const QString family = familyOfFile(file.read(68));
    file.close();
    if (family.isEmpty()) {
        printMessage(ctx.GetText(QStringLiteral("LNK3")) + path);
        return ExitError;
    }
    // The file stands for the project: its family is checked against the gateway's, its name is
    // the entry that gets sent.
    ctx.ProtocolFamily = family;
    ctx.ProjectProtocol = info.completeBaseName().toUpper();
    ctx.ProjectDir = info.absolutePath();

    LinkSession session(ctx, port, wait.toInt(), tick.toInt());
    SerialLink &link = session.link;
    QTextStream err(stderr);
    const QStringList shown = {QStringLiteral("X36"), QStringLiteral("X78"), QStringLiteral("X70"),
                               QStringLiteral("X43"), QStringLiteral("X44"), QStringLiteral("X79"),
                               QStringLiteral("X80")};
    QStringList shownTexts;
    for (const QString &key : shown)
        shownTexts << ctx.GetText(key);
    QObject::connect(&link, &SerialLink::gatewayLine, &session, [&](const QString &line, const QString &mark) {
        if (verbose) {
            err << mark << line << Qt::endl;
            return;
        }
        for (const QString &t : shownTexts) {
            if (!t.isEmpty() && line.startsWith(t)) {
                printMessage(line);
                return;
            }
        }
    });
    int lastTenth = -1;
    QObject::connect(&link, &SerialLink::viewChanged, &session, [&] {
        const UploadProgress &v = link.upload().progress();
        if (!v.visible || v.maximum <= 0)
            return;
        // The bar's maximum is length / 128 + 1; the blocks are that less one, rounded up.
        const int blocks = qMax(1, int(std::ceil(v.maximum - 1.0)));
        const int percent = qMin(100, v.value * 100 / blocks);
        if (percent / 10 != lastTenth) {
            lastTenth = percent / 10;
            err << percent << "% " << v.value << "/" << blocks << Qt::endl;
        }
    });
    bool announced = false;
    QObject::connect(&link, &SerialLink::identified, &session, [&] {
        if (std::exchange(announced, true))
            return;
        link.setFileEntry(info.fileName());
        link.StopBusReportsForUpload();
        link.SendFile();
        if (link.state() != LinkState::UploadAnnounced)
            session.finish(ExitError);
    });
    QObject::connect(&link, &SerialLink::uploadFinished, &session, [&](UploadOutcome outcome) {
        session.finish(outcome == UploadOutcome::Success ? ExitOk
                       : outcome == UploadOutcome::Aborted ? ExitError
                                                           : ExitRefused);
    });
    // A gateway of another family takes the link off line with its message.
    QObject::connect(&link, &SerialLink::viewChanged, &session, [&] {
        if (!link.port()->isOpen())
            session.finish(ExitRefused);
    });
    return session.run();
}

} // namespace tarveon::cli
