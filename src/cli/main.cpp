// tarveon-cli: the tool's work without windows. One command per file; add a command by adding
// its file and a row to kCommands.
#include "CmdGenerate.h"
#include "Commands.h"
#include "app/Version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <iterator>

using namespace tarveon::cli;

namespace {

const Command kCommands[] = {
    {"validate", tarveon::cli::kValidateSynopsis, tarveon::cli::runValidate},
    {"generate", tarveon::cli::kGenerateSynopsis, tarveon::cli::runGenerate},
    {"info", "info [--port DEVICE] [--settings 57600,n,8,1] [--wait S] [--tick-ms MS]   ask the gateway who it is", runInfo},
    {"upload", "upload [--port DEVICE] [--settings 57600,n,8,1] [--wait S] [--tick-ms MS] [-v] FILE   load a configuration file", runUpload},
    {"monitor", "monitor [--port DEVICE] [--eib] [--ext] [--seconds N]   show the gateway's lines", runMonitor},
    {"export", kExportSynopsis, runExport},
    {"check-ets", kCheckEtsSynopsis, runCheckEts},
};

void usage(QTextStream &out)
{
    out << "usage: tarveon-cli COMMAND [OPTIONS]\n\ncommands:\n";
    for (const Command &c : kCommands)
        out << "  " << c.synopsis << "\n";
    out << "\nWithout --port the port of the tool's settings file is used.\n"
           "--wait: seconds to wait for the gateway to identify itself (10); --tick-ms: the\n"
           "one-second timer that paces identification and the upload time-out (1000).\n"
           "Exit status: 0 done, 1 refused (a check, the gateway, a cancel or a time-out), 2 usage, port or file error.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (tarveon::PrintVersionIfAsked(QCoreApplication::arguments(), QStringLiteral("tarveon-cli")))
        return 0;
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        QTextStream out(args.isEmpty() ? stderr : stdout);
        usage(out);
        return args.isEmpty() ? ExitError : ExitOk;
    }
    const QString name = args.takeFirst();
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name)) {
            if (args.contains(QStringLiteral("--help"))) {
                QTextStream(stdout) << "usage: tarveon-cli " << c.synopsis << "\n";
                return ExitOk;
            }
            return c.run(args);
        }
    }
    QTextStream err(stderr);
    err << "tarveon-cli: unknown command " << name << "\n";
    usage(err);
    return ExitError;
}
