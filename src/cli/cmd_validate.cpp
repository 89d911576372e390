#include "Commands.h"
#include "ProjectCheck.h"

namespace tarveon::cli {

// Builds the project's table as the editor does when it opens the project and runs every check
// that generate runs (the accept's, then the generator's model), writing nothing: exit 0 means
// that generate writes the file.
int runValidate(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli validate"), false);
    cl.parser.setApplicationDescription(
        QStringLiteral("Check a project as generate does, writing nothing.\n"
                       "Exit status: 0 generate would write the file, 1 a check refused, 2 usage or file error."));
    CliContext cli;
    ProjectData project;
    if (const int code = openProjectCommand(cl, args, cli, project); code >= 0)
        return code;
    return checkProject(cli, project, true) ? ExitOk : ExitRefused;
}

} // namespace tarveon::cli
