#include "Commands.h"
#include "ProjectCheck.h"

#include "model/Generate.h"

#include <QTextStream>

namespace tarveon::cli {

// The accept's checks with the flag rules applied in memory, then the gateway configuration file
// written into the project directory and its report on stdout; the stored table is not rewritten.
int runGenerate(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli generate"), false);
    cl.parser.setApplicationDescription(
        QStringLiteral("Check a project and write its gateway configuration file.\n"
                       "Exit status: 0 written, 1 a check or the generator refused, 2 usage or file error."));
    CliContext cli;
    ProjectData project;
    if (const int code = openProjectCommand(cl, args, cli, project); code >= 0)
        return code;
    if (!checkProject(cli, project, false))
        return ExitRefused;
    const GenerateResult result = GenerateFromProject(*cli.ctx, project.settings, project.table);
    cli.ctx->show(result.faults);
    if (!result.modelBuilt)
        return ExitRefused;
    if (!result.ok)
        return ExitError;
    QTextStream(stdout) << ConsolePrompter::oneLine(result.report) << Qt::endl;
    return ExitOk;
}

} // namespace tarveon::cli
