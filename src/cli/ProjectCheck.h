#pragma once
#include "CliCommon.h"
#include "tools/KnxExport.h"

namespace tarveon::cli {

// An operand of a command after PROJECT_DIR: its name and its line in the help.
struct Operand {
    QString name;
    QString description;
};

// The start of the commands on a project (`NAME PROJECT_DIR [more operands]`): parses args, loads
// the language file, opens the project and builds its table as the editor does. -1 to go on, else
// the exit code after help or a message. A missing or unreadable table file leaves the fresh
// table, after its message.
int openProjectCommand(CommandLine &cl, const QStringList &args, CliContext &cli, ProjectData &project,
                       const QList<Operand> &moreOperands = {});

// The checks of the editor's accept (the table normalised in memory as the accept does it) and,
// with buildModel, the generator's model: true when generate writes the file. A fault is printed
// once; a fault of a cell names the device, the signal, the column and the cell's text:
//   unit 3, 03 - Setpoint, Group "1/9/3": The middle group is out of range (0..7).
bool checkProject(CliContext &cli, ProjectData &project, bool buildModel);

} // namespace tarveon::cli
