#pragma once
#include "app/AppContext.h"
#include "app/CommandLine.h"
#include "app/ConsolePrompter.h"
#include "link/PortNames.h"

#include <QStringList>
#include <memory>

namespace tarveon::cli {

// Exit codes shared by the commands.
enum Exit { ExitOk = 0, ExitRefused = 1, ExitError = 2 };

// One command of tarveon-cli: `tarveon-cli NAME [OPTIONS] OPERANDS`. `run` gets the arguments
// after the name, parses them with a CommandLine of its own and returns the exit code.
struct Command {
    const char *name;
    const char *summary; // one line in tarveon-cli --help
    int (*run)(const QStringList &args);
};

// The program's context as the command line has it: the tool's settings and language file
// (tarveon-config.ini, tarveon-config.LNG or RESOURCES.LNG, wherever the tool's are), every
// message printed on stderr, one per line, nothing ever asked.
struct CliContext {
    CliContext();
    // Loads the language file; false when the command cannot go on (the message is printed).
    bool load();
    // Opens the project in directory `path` ("DIR", "DIR/", ".", "../DIR") as the project list
    // opens it. False after printing why (exit ExitError).
    bool openProject(const QString &path);

    ConsolePrompter prompter;
    std::unique_ptr<AppContext> ctx;
};

// The options of the commands that talk to the gateway.
struct LinkOptions {
    explicit LinkOptions(CommandLine &cl);
    // --port DEVICE, else the port of the tool's settings; --settings replaces the line settings.
    PortChoice port(const CommandLine &cl, const AppContext &ctx) const;
    // --wait: seconds the gateway has to identify itself; --tick-ms: the one-second timer that
    // paces identification and the upload time-out. -1 after a usage error was printed.
    int waitSeconds(const CommandLine &cl) const;
    int tickMs(const CommandLine &cl) const;

    QCommandLineOption portOption;
    QCommandLineOption settingsOption;
    QCommandLineOption waitOption;
    QCommandLineOption tickOption;
};

} // namespace tarveon::cli
