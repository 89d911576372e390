#include "CliProject.h"

#include "CliCommon.h"
#include "app/AppContext.h"
#include "tools/Projects.h"

#include <QFileInfo>

namespace tarveon::cli {

bool openProjectAt(AppContext &ctx, const QString &path, ProjectData &data)
{
    const QFileInfo info(path);
    if (!info.isDir()) {
        printMessage(QStringLiteral("tarveon-cli: not a project directory: ") + path);
        return false;
    }
    ctx.PathProjects = info.absolutePath();
    if (!OpenProject(ctx, info.fileName())) {
        printMessage(QStringLiteral("tarveon-cli: not a project (no protocol in Project.ini): ") + path);
        return false;
    }
    if (!LoadProjectData(ctx, data)) {
        printMessage(QStringLiteral("tarveon-cli: no configuration for protocol ") + ctx.ProjectProtocol);
        return false;
    }
    return true;
}

} // namespace tarveon::cli
