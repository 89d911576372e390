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

// The options of the commands that talk to the gateway: --port, --settings, --wait, --tick-ms
// and, withProject, --project.
struct LinkOptions {
    LinkOptions(CommandLine &cl, bool withProject);
    // After parsing: checks the numbers, loads the language file and opens --project's project.
    // -1 to go on, else the exit code after its message.
    int prepare(const CommandLine &cl, CliContext &cli);
    // --port DEVICE, else the port of the tool's settings; --settings replaces the line settings.
    PortChoice port(const CommandLine &cl, const AppContext &ctx) const;

    int waitSeconds = 10; // the gateway's time to identify itself
    int tickMs = 1000;    // the one-second timer of identification and upload time-out

private:
    QCommandLineOption m_port, m_settings, m_wait, m_tick, m_project;
    bool m_withProject;
};

} // namespace tarveon::cli
