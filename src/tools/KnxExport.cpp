#include "tools/KnxExport.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/AcceptChecks.h"
#include "editor/SignalCatalogue.h"
#include "model/Generate.h"
#include "model/SignalTableFile.h"
#include "tools/GroupAddressPlan.h"
#include "tools/HomeAssistantExport.h"

namespace tarveon {

bool LoadProjectData(AppContext &ctx, ProjectData &data, bool quiet)
{
    data.protocolCode = ProjectProtocolCode(ctx);
    if (!protocol::hasEditor(data.protocolCode))
        return false;
    data.settings = ProjectSettings::load(ctx, data.protocolCode);
    const CodeLegend legend = BuildCodeLegend(ctx, MachineTypeOf(data.protocolCode));
    ColumnInfos columns;
    ctx.GridBusy = true;
    data.table = BuildSignalTable(ctx, legend, int(data.settings.devices.size()), columns);
    ctx.GridBusy = false;
    const Faults faults = ApplyStoredTable(ctx, qint16(data.protocolCode), data.table);
    if (!quiet)
        ctx.show(faults);
    return true;
}

std::optional<ExportFormat> ExportFormatNamed(QStringView name)
{
    if (name == u"ets-csv")
        return ExportFormat::EtsCsv31;
    if (name == u"ets-csv-1-1")
        return ExportFormat::EtsCsv11;
    if (name == u"ets-xml")
        return ExportFormat::EtsXml;
    if (name == u"ha-yaml")
        return ExportFormat::HaYaml;
    return std::nullopt;
}

std::optional<QByteArray> ExportProject(AppContext &ctx, const ProjectData &data, const ExportOptions &options)
{
    SignalTable table = data.table;
    // Only what the editor would accept is exported; its messages say why not.
    const AcceptFault fault = RunAcceptChecks(ctx, data.protocolCode, data.settings, table);
    if (fault.check != AcceptFault::None) {
        for (const QString &message : fault.messages())
            ctx.notice(message);
        return std::nullopt;
    }
    const GroupAddressPlan plan = BuildGroupAddressPlan(ctx, data.protocolCode, data.settings, table);
    switch (options.format) {
    case ExportFormat::EtsCsv31:
        return EtsCsv(plan, EtsFormat::Csv31, options.csv);
    case ExportFormat::EtsCsv11:
        return EtsCsv(plan, EtsFormat::Csv11, options.csv);
    case ExportFormat::EtsXml:
        return EtsXml(plan);
    case ExportFormat::HaYaml:
        return HomeAssistantYaml(ctx, plan);
    }
    return std::nullopt;
}

} // namespace tarveon
