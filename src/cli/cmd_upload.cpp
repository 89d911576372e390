#include "Commands.h"
#include "LinkSession.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cmath>
#include <utility>

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
int runUpload(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli upload"), false);
    cl.parser.setApplicationDescription(QStringLiteral(
        "Load a gateway configuration file into the gateway.\n"
        "Exit status: 0 loaded, 1 refused (the gateway, a cancel or a time-out), 2 usage, port or file error."));
    LinkOptions options(cl, false);
    const QCommandLineOption verboseOption({QStringLiteral("v"), QStringLiteral("verbose")},
                                           QStringLiteral("Show every line of the exchange."));
    cl.parser.addOption(verboseOption);
    cl.parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The gateway configuration file (.zdm)."));
    if (const int code = cl.parse(args, 1, 1); code >= 0)
        return code;
    const bool verbose = cl.isSet(verboseOption);
    CliContext cli;
    if (const int code = options.prepare(cl, cli); code >= 0)
        return code;
    AppContext &ctx = *cli.ctx;

    const QFileInfo info(cl.operands().constFirst());
    const QString path = info.absoluteFilePath();
    if (!info.isFile()) {
        ConsolePrompter::print(ctx.GetText(QStringLiteral("X66")) + QLatin1Char('\r') + path);
        return ExitError;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ConsolePrompter::print(ctx.GetText(QStringLiteral("X69")) + QLatin1Char('\r') + path +
                               QStringLiteral("\rError: \r") + file.errorString());
        return ExitError;
    }
    const QString family = familyOfFile(file.read(68));
    file.close();
    if (family.isEmpty()) {
        ConsolePrompter::print(ctx.GetText(QStringLiteral("LNK3")) + path);
        return ExitError;
    }
    // The file stands for the project: its family is checked against the gateway's, its name is
    // the entry that gets sent.
    ctx.ProtocolFamily = family;
    ctx.ProjectProtocol = info.completeBaseName().toUpper();
    ctx.ProjectDir = info.absolutePath();

    LinkSession session(cli, options.port(cl, ctx), options.waitSeconds, options.tickMs);
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
                ConsolePrompter::print(line);
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
    return session.run();
}

} // namespace tarveon::cli
