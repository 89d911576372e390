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
    const LinkOptions linkOptions(cl);
    const QCommandLineOption project(QStringLiteral("project"),
                                     QStringLiteral("The gateway must be of this project's family."),
                                     QStringLiteral("dir"));
    cl.parser.addOption(project);
    if (const int code = cl.parse(args); code >= 0)
        return code;
    const int wait = linkOptions.waitSeconds(cl);
    const int tick = linkOptions.tickMs(cl);
    if (wait < 0 || tick < 0)
        return ExitError;
    CliContext cli;
    if (!cli.load() || (cl.isSet(project) && !cli.openProject(cl.value(project))))
        return ExitError;

    LinkSession session(cli, linkOptions.port(cl, *cli.ctx), wait, tick);
    QObject::connect(&session.link, &SerialLink::identified, &session, [&](const QString &line) {
        QTextStream(stdout) << cli.ctx->GatewayProtocol << "\n" << line << Qt::endl;
        session.finish(ExitOk);
    });
    return session.run();
}

} // namespace tarveon::cli
