// tarveon-cli: the tool's work without windows. A command is one file (cmd_<name>.cpp) and one row
// of kCommands (Commands.h).
#include "Commands.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace tarveon;
using namespace tarveon::cli;

namespace {

void usage(QTextStream &out)
{
    out << "usage: tarveon-cli COMMAND [OPTIONS] OPERANDS\n\ncommands:\n";
    for (const Command &c : kCommands)
        out << "  " << c.name << ' ' << c.summary << "\n";
    out << "\n'tarveon-cli COMMAND --help' lists a command's options. Without --port the port of the\n"
           "tool's settings file is used.\n"
           "Exit status: 0 done, 1 refused (a check, the gateway, a cancel or a time-out), 2 usage, port or file "
           "error.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString name = args.isEmpty() ? QString() : args.takeFirst();
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        QTextStream out(stdout);
        usage(out);
        return ExitOk;
    }
    if (name.startsWith(QLatin1Char('-'))) {
        // The program's own options: --version.
        CommandLine cl(QStringLiteral("tarveon-cli"));
        if (const int code = cl.parse(QStringList{name} + args); code >= 0)
            return code;
    }
    QTextStream err(stderr);
    if (!name.isEmpty())
        err << "tarveon-cli: unknown command " << name << "\n";
    usage(err);
    return ExitError;
}
