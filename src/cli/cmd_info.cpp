#include "Commands.h"
#include "LinkSession.h"

#include <QTextStream>

namespace tarveon::cli {

// Prints the family the gateway reports (first line) and its whole identification answer.
int runInfo(const QStringList &arguments)
{
    QStringList args = arguments;
    CliContext cli;
    if (!cli.load())
        return ExitError;
    const PortChoice port = commandPort(args, *cli.ctx);
    QString wait = QStringLiteral("10");
    takeOption(args, QStringLiteral("--wait"), &wait);
    QString tick = QStringLiteral("1000");
    takeOption(args, QStringLiteral("--tick-ms"), &tick);
    if (!args.isEmpty()) {
        printUsage(QStringLiteral("usage: tarveon-cli info [--port DEVICE] [--settings 57600,n,8,1] [--wait SECONDS] [--tick-ms MS]"));
        return ExitError;
    }
    LinkSession session(*cli.ctx, port, wait.toInt(), tick.toInt());
    session.link.setAcceptAnyFamily(true);
    QObject::connect(&session.link, &SerialLink::identified, &session, [&](const QString &line) {
        QTextStream(stdout) << session.link.GatewayProtocol() << "\n" << line << Qt::endl;
        session.finish(ExitOk);
    });
    return session.run();
}

} // namespace tarveon::cli
