#pragma once
#include <QStringList>

namespace tarveon::cli {

// tarveon-cli validate PROJECT_DIR: builds the project's signal table as the editor does when it
// opens the project and runs the checks of the editor's accept, writing nothing.
// tarveon-cli generate PROJECT_DIR: the same checks, the flag rules applied in memory, then the
// gateway configuration file written into the project directory and its report on stdout.
// Messages go to stderr, one per line. Exit: 0 done, 1 a check or the generator refused,
// 2 usage or file error. `args` are the arguments after the command name.
int runValidate(const QStringList &args);
int runGenerate(const QStringList &args);

// One line each for the dispatcher's help.
extern const char *const kValidateSynopsis;
extern const char *const kGenerateSynopsis;

} // namespace tarveon::cli
