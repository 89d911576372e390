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

constexpr int kColDevice = 1;
constexpr int kColCode = 2;

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

int openProjectCommand(CommandLine &cl, const QStringList &args, CliContext &cli, ProjectTable &project)
{
    cl.parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project's directory."));
    if (const int code = cl.parse(args, 1, 1); code >= 0)
        return code;
    if (!cli.load() || !cli.openProject(cl.operands().constFirst()))
        return ExitError;
    AppContext &c = *cli.ctx;
    project.protocolCode = ProjectProtocolCode(c);
    if (!protocol::hasEditor(project.protocolCode)) {
        ConsolePrompter::print(QStringLiteral("tarveon-cli: no configuration for protocol ") + c.ProjectProtocol);
        return ExitError;
    }
    project.settings = ProjectSettings::load(c, project.protocolCode);
    const CodeLegend legend = BuildCodeLegend(c, MachineTypeOf(project.protocolCode));
    ColumnInfos columns;
    c.GridBusy = true;
    project.table = BuildSignalTable(c, legend, int(project.settings.devices.size()), columns);
    c.GridBusy = false;
    ApplyStoredTable(c, qint16(project.protocolCode), project.table);
    return -1;
}

bool checkProject(CliContext &cli, ProjectTable &project, bool buildModel)
{
    AppContext &c = *cli.ctx;
    // The checks show their messages as they go: held, to be printed with the place of the fault.
    cli.prompter.hold(true);
    const AcceptFault fault = RunAcceptChecks(c, project.protocolCode, project.settings, project.table);
    cli.prompter.hold(false);
    const QString message = cli.prompter.takeHeld().join(QLatin1Char(' '));
    if (fault.check != AcceptFault::None) {
        const bool inTable = fault.row > 0 && fault.row < project.table.rowCount() && fault.column >= 0 &&
                             fault.column < kSignalColumns;
        ConsolePrompter::print(inTable ? cellPlace(c, project.protocolCode, project.table, fault.row, fault.column) +
                                             QStringLiteral(": ") + message
                                       : message);
        return false;
    }
    if (!message.isEmpty())
        ConsolePrompter::print(message);
    if (!buildModel)
        return true;
    // The generator's own stops (nothing to generate, too many links) are printed as it shows them.
    GatewayModel model;
    return BuildGatewayModel(c, project.protocolCode, project.settings, project.table, model);
}

} // namespace tarveon::cli
