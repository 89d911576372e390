// tarveon-cli check-ets: the project's group addresses against an ETS export.
#include "Commands.h"
#include "ProjectCheck.h"
#include "tools/AddressBook.h"
#include "tools/GroupAddressPlan.h"

#include <QFile>
#include <QTextStream>

namespace tarveon::cli {

int runCheckEts(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli check-ets"), false);
    cl.parser.setApplicationDescription(QStringLiteral(
        "List the project's group addresses missing in an ETS group-address export (CSV 3/1 or 1/1, XML), and those\n"
        "whose ETS datapoint type has another main number than the signal's.\n"
        "Exit status: 0 no finding, 1 findings, 2 usage or file error."));
    CliContext cli;
    ProjectData project;
    if (const int code = openProjectCommand(cl, args, cli, project,
                                            {{QStringLiteral("ETS_FILE"), QStringLiteral("The ETS export.")}});
        code >= 0)
        return code;
    const QString etsPath = cl.operands().at(1);
    QFile in(etsPath);
    if (!in.open(QIODevice::ReadOnly)) {
        ConsolePrompter::print(cli.ctx->GetText(QStringLiteral("KNX35")) + etsPath);
        return ExitError;
    }
    const AddressBook book(ReadEtsFile(in.readAll()));
    if (book.isEmpty()) {
        ConsolePrompter::print(cli.ctx->GetText(QStringLiteral("KNX34")) + etsPath);
        return ExitError;
    }
    const GroupAddressPlan plan = BuildGroupAddressPlan(*cli.ctx, project.protocolCode, project.settings, project.table);
    const QStringList findings = CheckAgainstEts(*cli.ctx, plan, book);
    QTextStream out(stdout);
    for (const QString &line : findings)
        out << line << '\n';
    return findings.isEmpty() ? ExitOk : ExitRefused;
}

} // namespace tarveon::cli
