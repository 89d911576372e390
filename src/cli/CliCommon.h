#pragma once
#include "app/AppContext.h"
#include "app/RecordingPrompter.h"
#include "link/PortNames.h"

#include <QStringList>
#include <memory>

namespace tarveon::cli {

// Exit codes shared by the commands.
enum Exit { ExitOk = 0, ExitRefused = 1, ExitError = 2 };

// One command of the dispatcher: `tarveon-cli NAME ARGS...`.
struct Command {
    const char *name;
    const char *synopsis; // one line for --help
    int (*run)(const QStringList &args); // args after the command name
};

// The program's context as the command line has it: the program directory is the executable's,
// the settings and language file are the tool's own there (tarveon-config.ini, tarveon-config.LNG
// or RESOURCES.LNG), and every message is printed on stderr, one per line, never asked.
struct CliContext {
    CliContext();
    // Loads the language file; false when the program cannot go on (the message is printed).
    bool load();
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;
};

// Prints one message on stderr (line breaks inside it become blanks).
void printMessage(const QString &text);
void printUsage(const QString &usage);

// Minimal option scanning: "--name value" or "--name=value".
bool takeOption(QStringList &args, const QString &name, QString *value);
bool takeFlag(QStringList &args, const QString &name);

// The port for a command: --port DEVICE, else the tool's settings; --settings overrides the line
// settings string.
PortChoice commandPort(QStringList &args, const AppContext &ctx);

} // namespace tarveon::cli
