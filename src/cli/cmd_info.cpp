#include "Commands.h"
#include "LinkSession.h"

#include <QTextStream>

namespace tarveon::cli {

// Prints the family the gateway reports (first line) and its whole identification answer. With
// --project the family must be the project's, as for going on line in the tool.
int runInfo(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli info"), false);
    cl.parser.setApplicationDescription(QStringLiteral(
        "Ask the gateway who it is: its family on the first line, its identification on the second.\n"
        "Exit status: 0 identified, 1 no answer, no family or another than the project's, 2 usage or port error."));
    LinkOptions link(cl, true);
    if (const int code = cl.parse(args); code >= 0)
        return code;
    CliContext cli;
    if (const int code = link.prepare(cl, cli); code >= 0)
        return code;

    LinkSession session(cli, link.port(cl, *cli.ctx), link.waitSeconds, link.tickMs);
    QObject::connect(&session.link, &SerialLink::identified, &session, [&](const QString &line) {
        QTextStream(stdout) << session.link.GatewayProtocol() << "\n" << line << Qt::endl;
        session.finish(ExitOk);
    });
    return session.run();
}

} // namespace tarveon::cli
