#include "ProjectCheck.h"

#include "app/Protocols.h"
#include "app/Text.h"
#include "editor/AcceptChecks.h"
#include "editor/SignalCatalogue.h"
#include "model/GatewayModel.h"
#include "model/Generate.h"
#include "model/SignalTableFile.h"

namespace tarveon::cli {

namespace {

// Where a fault of the table is: device, signal (its code caption), column header and cell text.
QString cellPlace(const AppContext &ctx, int protocolCode, const SignalTable &table, int row, int column)
{
    const SignalRow &cells = table.rows[row];
    const QString device = ctx.GetText(protocol::isIndoorUnits(protocolCode) ? QStringLiteral("CLI1")
                                                                              : QStringLiteral("CLI2"));
    return device + QLatin1Char(' ') + QString::number(LeadingInteger(cells[kColDevice])) + QStringLiteral(", ") +
           TrimBlanks(cells[kColCode]) + QStringLiteral(", ") + TrimBlanks(table.rows[0][column]) +
           QStringLiteral(" \"") + cells[column] + QStringLiteral("\"");
}

} // namespace

int openProjectCommand(CommandLine &cl, const QStringList &args, CliContext &cli, ProjectData &project,
                       const QList<Operand> &moreOperands)
{
    cl.parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project's directory."));
    for (const Operand &operand : moreOperands)
        cl.parser.addPositionalArgument(operand.name, operand.description);
    const int operands = 1 + int(moreOperands.size());
    if (const int code = cl.parse(args, operands, operands); code >= 0)
        return code;
    if (!cli.load() || !cli.openProject(cl.operands().constFirst()))
        return ExitError;
    if (!LoadProjectData(*cli.ctx, project)) {
        ConsolePrompter::print(QStringLiteral("tarveon-cli: no configuration for protocol ") + cli.ctx->ProjectProtocol);
        return ExitError;
    }
    return -1;
}

bool checkProject(CliContext &cli, ProjectData &project, bool buildModel)
{
    AppContext &c = *cli.ctx;
    const AcceptFault fault = RunAcceptChecks(c, project.protocolCode, project.settings, project.table);
    const QString message = fault.messages().join(QLatin1Char(' '));
    if (fault.check != AcceptFault::None) {
        const bool inTable = fault.row > 0 && fault.row < project.table.rowCount() && fault.column >= 0 &&
                             fault.column < kSignalColumns;
        ConsolePrompter::print(inTable ? cellPlace(c, project.protocolCode, project.table, fault.row, fault.column) +
                                             QStringLiteral(": ") + message
                                       : message);
        return false;
    }
    if (!buildModel)
        return true;
    // The generator's own stops (nothing to generate, too many links) are printed as it shows them.
    GatewayModel model;
    Faults faults;
    const bool built = BuildGatewayModel(c, project.protocolCode, project.settings, project.table, model, faults);
    c.show(faults);
    return built;
}

} // namespace tarveon::cli
