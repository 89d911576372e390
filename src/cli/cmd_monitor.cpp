#include "Commands.h"
#include "LinkSession.h"

#include "app/StopSignals.h"
#include "tools/TelegramLog.h"

#include <QTextStream>

namespace tarveon::cli {

// Shows the gateway's lines on stdout ("<" sent, ">" received, EIB and EXT frames as they come),
// each after its local time (ISO 8601 with milliseconds) unless --raw, until interrupted or
// --seconds have passed; then switches the reports off again. With --project, EIB frames and "GP:"
// reports are followed by the names and decoded values of their group addresses; --csv saves the
// EIB frames at the end as the EIB monitor exports them.
int runMonitor(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli monitor"), false);
    cl.parser.setApplicationDescription(QStringLiteral(
        "Show the gateway's lines, each after its local time, until interrupted.\n"
        "Exit status: 0 stopped, 1 no answer, no family or another than the project's, 2 usage or port error."));
    LinkOptions link(cl, true);
    const QCommandLineOption eib(QStringLiteral("eib"), QStringLiteral("Switch the EIB-side traffic report on."));
    const QCommandLineOption ext(QStringLiteral("ext"), QStringLiteral("Switch the TR-BAS-HUB traffic report on."));
    const QCommandLineOption raw(QStringLiteral("raw"), QStringLiteral("Print the bare lines, without time."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Save the EIB frames to this CSV file at the end."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Stop after this many seconds."),
                                     QStringLiteral("n"));
    cl.parser.addOptions({eib, ext, raw, csv, seconds});
    if (const int code = cl.parse(args); code >= 0)
        return code;
    bool secondsOk = true;
    const int stopAfter = cl.isSet(seconds) ? cl.value(seconds).toInt(&secondsOk) : 0;
    if (!secondsOk || stopAfter < 0)
        return cl.usageError(QStringLiteral("--seconds takes a number"));
    CliContext cli;
    if (const int code = link.prepare(cl, cli); code >= 0)
        return code;
    AppContext &ctx = *cli.ctx;

    LinkSession session(cli, link.port(cl, ctx), link.waitSeconds, link.tickMs);
    QTextStream out(stdout);
    const bool stamped = !cl.isSet(raw);
    TelegramLog telegrams;
    telegrams.followProject(ctx);
    const bool decoding = !ctx.ProjectDir.isEmpty();
    const auto show = [&](const QString &line, const QString &decoded = QString()) {
        if (stamped)
            out << ctx.clock().toString(Qt::ISODateWithMs) << ' ';
        out << line;
        if (decoding && !decoded.isEmpty())
            out << "  [" << decoded << ']';
        out << Qt::endl;
    };
    const auto now = [&] { return ctx.clock().toMSecsSinceEpoch(); };
    QObject::connect(&session.link, &SerialLink::gatewayLine, &session, [&](const QString &line, const QString &mark) {
        show(mark + line, mark == QLatin1String(">") ? telegrams.recordReport(now(), line) : QString());
    });
    QObject::connect(&session.link, &SerialLink::eibLine, &session,
                     [&](const QString &line) { show(line, telegrams.recordFrame(now(), line.mid(4))); });
    QObject::connect(&session.link, &SerialLink::extLine, &session, show);
    QObject::connect(&session.link, &SerialLink::identified, &session, [&] {
        if (cl.isSet(eib))
            session.link.ControlaBusTarveon(QStringLiteral("INT"), true);
        if (cl.isSet(ext))
            session.link.ControlaBusTarveon(QStringLiteral("EXT"), true);
    });

    QTimer stopTimer;
    if (stopAfter > 0) {
        QObject::connect(&stopTimer, &QTimer::timeout, &session, [&] { session.finish(ExitOk); });
        stopTimer.start(stopAfter * 1000);
    }
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &session, [&] { session.finish(ExitOk); });
    const int code = session.run();
    if (cl.isSet(csv)) {
        QString error;
        if (!telegrams.saveCsv(cl.value(csv), &error)) {
            ConsolePrompter::print(ctx.GetText(QStringLiteral("TLG12")) + cl.value(csv) + QStringLiteral(": ") + error);
            return code == ExitOk ? int(ExitError) : code;
        }
    }
    return code;
}

} // namespace tarveon::cli
