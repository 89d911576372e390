#pragma once
#include "CliCommon.h"
#include "editor/ProjectSettings.h"
#include "model/SignalTable.h"

namespace tarveon::cli {

// A project as the editor holds it once opened: its settings and its signal table, the catalogue
// of its machine type with the stored table laid over it.
struct ProjectTable {
    int protocolCode = 0;
    ProjectSettings settings;
    SignalTable table;
};

// The start of the commands on a project (`NAME PROJECT_DIR`): parses args, loads the language
// file, opens the project and builds its table. -1 to go on, else the exit code after help or a
// message. A missing or unreadable table file leaves the fresh table, as in the editor, after its
// message.
int openProjectCommand(CommandLine &cl, const QStringList &args, CliContext &cli, ProjectTable &project);

// The checks of the editor's accept (the table normalised in memory as the accept does it) and,
// with buildModel, the generator's model: true when generate writes the file. A fault is printed
// once; a fault of a cell names the device, the signal, the column and the cell's text:
//   unit 3, 03 - Setpoint, Group "1/9/3": The middle group is out of range (0..7).
bool checkProject(CliContext &cli, ProjectTable &project, bool buildModel);

} // namespace tarveon::cli
