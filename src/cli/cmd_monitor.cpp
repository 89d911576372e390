#include "Commands.h"
#include "LinkSession.h"

#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <unistd.h>

namespace tarveon::cli {

namespace {
int g_signalPipe[2] = {-1, -1};
void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto r = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

// Shows the gateway's lines on stdout ("<" sent, ">" received, EIB and EXT frames as they come)
// until interrupted, then switches the reports off again.
int runMonitor(const QStringList &arguments)
{
    QStringList args = arguments;
    CliContext cli;
    if (!cli.load())
        return ExitError;
    const PortChoice port = commandPort(args, *cli.ctx);
    const bool eib = takeFlag(args, QStringLiteral("--eib"));
    const bool ext = takeFlag(args, QStringLiteral("--ext"));
    QString seconds;
    takeOption(args, QStringLiteral("--seconds"), &seconds);
    if (!args.isEmpty()) {
        printUsage(QStringLiteral("usage: tarveon-cli monitor [--port DEVICE] [--eib] [--ext] [--seconds N]"));
        return ExitError;
    }

    LinkSession session(*cli.ctx, port, 10);
    session.link.setAcceptAnyFamily(true);
    QTextStream out(stdout);
    QObject::connect(&session.link, &SerialLink::gatewayLine, &session,
                     [&](const QString &line, const QString &mark) { out << mark << line << Qt::endl; });
    QObject::connect(&session.link, &SerialLink::eibLine, &session, [&](const QString &l) { out << l << Qt::endl; });
    QObject::connect(&session.link, &SerialLink::extLine, &session, [&](const QString &l) { out << l << Qt::endl; });
    QObject::connect(&session.link, &SerialLink::identified, &session, [&] {
        if (eib)
            session.link.ControlaBusTarveon(QStringLiteral("INT"), true);
        if (ext)
            session.link.ControlaBusTarveon(QStringLiteral("EXT"), true);
    });

    QTimer stopTimer;
    if (seconds.toInt() > 0) {
        QObject::connect(&stopTimer, &QTimer::timeout, &session, [&] { session.finish(ExitOk); });
        stopTimer.start(seconds.toInt() * 1000);
    }
    std::unique_ptr<QSocketNotifier> notifier;
    if (::pipe(g_signalPipe) == 0) {
        notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &session, [&] { session.finish(ExitOk); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    return session.run();
}

} // namespace tarveon::cli
