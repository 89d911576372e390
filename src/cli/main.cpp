// tarveon-cli: the project commands for now; the link commands join through the shared dispatcher.
#include "CmdGenerate.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

void usage(QTextStream &out)
{
    out << "usage: tarveon-cli COMMAND [OPTIONS]\n\ncommands:\n"
        << "  " << tarveon::cli::kValidateSynopsis << "\n"
        << "  " << tarveon::cli::kGenerateSynopsis << "\n"
        << "\nExit status: 0 done, 1 refused, 2 usage or file error.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        QTextStream out(args.isEmpty() ? stderr : stdout);
        usage(out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("validate"))
        return tarveon::cli::runValidate(args);
    if (name == QLatin1String("generate"))
        return tarveon::cli::runGenerate(args);
    QTextStream err(stderr);
    err << "tarveon-cli: unknown command " << name << "\n";
    usage(err);
    return 2;
}
