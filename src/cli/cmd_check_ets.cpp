// tarveon-cli check-ets: the project's group addresses against an ETS export.
#include "CliProject.h"
#include "Commands.h"
#include "tools/AddressBook.h"
#include "tools/GroupAddressPlan.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

namespace tarveon::cli {

const char *const kCheckEtsSynopsis =
    "check-ets PROJECT_DIR ETS_FILE   the project's addresses missing in an ETS export or typed otherwise there";

int runCheckEts(const QStringList &args)
{
    QCommandLineParser parser;
    if (!parser.parse(QStringList{QStringLiteral("tarveon-cli")} + args) || parser.positionalArguments().size() != 2) {
        if (!parser.errorText().isEmpty())
            printMessage(QStringLiteral("tarveon-cli: ") + parser.errorText());
        printUsage(QStringLiteral("usage: tarveon-cli ") + QLatin1String(kCheckEtsSynopsis));
        return ExitError;
    }
    const QString etsPath = parser.positionalArguments().at(1);

    CliContext cli;
    ProjectData data;
    if (!cli.load() || !openProjectAt(*cli.ctx, parser.positionalArguments().front(), data))
        return ExitError;
    QFile in(etsPath);
    if (!in.open(QIODevice::ReadOnly)) {
        printMessage(cli.ctx->GetText(QStringLiteral("KNX35")) + etsPath);
        return ExitError;
    }
    const AddressBook book(ReadEtsFile(in.readAll()));
    if (book.isEmpty()) {
        printMessage(cli.ctx->GetText(QStringLiteral("KNX34")) + etsPath);
        return ExitError;
    }
    const GroupAddressPlan plan = BuildGroupAddressPlan(*cli.ctx, data.protocolCode, data.settings, data.table);
    const QStringList findings = CheckAgainstEts(*cli.ctx, plan, book);
    QTextStream out(stdout);
    for (const QString &line : findings)
        out << line << '\n';
    return findings.isEmpty() ? ExitOk : ExitRefused;
}

} // namespace tarveon::cli
