#pragma once
#include "tools/KnxExport.h"

#include <QString>

namespace tarveon::cli {

// Opens the project directory `path` as the project list opens a project (its parent becomes the
// projects directory) and loads its settings and signal table as the editor does. False after
// printing why: not a directory, not a project, or a protocol without configuration.
bool openProjectAt(AppContext &ctx, const QString &path, ProjectData &data);

} // namespace tarveon::cli
