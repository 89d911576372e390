#include "editor/EditorSession.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "app/Text.h"
#include "editor/AcceptChecks.h"
#include "model/Generate.h"
#include "model/SignalTableFile.h"

namespace tarveon {

namespace {

const QString kVersion = QStringLiteral("1.0");

} // namespace

EditorSession::EditorSession(AppContext &ctx, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_settings(ctx), m_grid(m_table, m_visible)
{
    m_visible.setSourceModel(&m_table);
}

void EditorSession::open()
{
    m_ctx.GridBusy = true;
    m_protocolCode = ProjectProtocolCode(m_ctx);
    m_machineType = MachineTypeOf(m_protocolCode);
    m_codeLegend = BuildCodeLegend(m_ctx, m_machineType);
    m_eisLegend = BuildEisLegend();

    m_settings.LoadProjectSettings(m_protocolCode);
    if (protocol::isIndoorUnits(m_protocolCode))
        BuildUnitTable(m_ctx, m_settings.settings(), m_codeLegend, m_table);
    else
        BuildChillerTable(m_ctx, m_settings.settings(), m_codeLegend, m_table);
    m_ctx.GridBusy = true;
    m_table.updateTable([this](SignalTable &table) { m_ctx.show(ApplyStoredTable(m_ctx, qint16(m_protocolCode), table)); });
    m_grid.reset(m_protocolCode);
    m_ctx.GridBusy = false;
}

QString EditorSession::windowCaption() const
{
    const QString max = QStringLiteral(" - Max.");
    const QString eib = QStringLiteral("EIB:");
    const QString links = m_ctx.GetText(QStringLiteral("EIB43"));
    const MachineTypeInfo &info = InfoOf(m_machineType);
    return m_ctx.GetText(QStringLiteral("X103")) + QStringLiteral(" TR-BAS-HUB ")
           + (protocol::isIndoorUnits(m_protocolCode) ? QStringLiteral("(Packaged)") : QStringLiteral("(Chiller)")) + max
           + QLatin1String(info.deviceListCaption) + QLatin1Char(':') + QString::number(info.maxDevices) + max
           + m_ctx.GetText(QStringLiteral("X39")) + eib + QStringLiteral("5920") + max + links + eib
           + QStringLiteral("1000") + max + links + QLatin1Char('/') + m_ctx.GetText(QStringLiteral("X38")) + eib
           + QStringLiteral("255");
}

QString EditorSession::tabCaption(int tab) const
{
    return m_ctx.GetText(tab == 0 ? QStringLiteral("X19") : QStringLiteral("X76"));
}

QString EditorSession::tabHelp(int tab) const
{
    return m_ctx.GetText(tab == 0 ? QStringLiteral("X20") : QStringLiteral("X21"));
}

void EditorSession::showMessages(const QStringList &texts) const
{
    for (const QString &text : texts)
        m_ctx.notice(text);
}

AcceptOutcome EditorSession::accept(const std::function<void()> &processEvents)
{
    AcceptOutcome outcome;
    // Blank rows go first, on their own, and the rows in use get the flag rules through the grid,
    // so that the checks below find nothing more to change.
    m_grid.RemoveBlankRows();
    m_grid.normaliseRowsInUse();
    AcceptFault fault;
    m_table.updateTable([&](SignalTable &table) {
        fault = RunAcceptChecks(m_ctx, m_protocolCode, m_settings.settings(), table);
    });
    showMessages(fault.messages());
    switch (fault.check) {
    case AcceptFault::None:
        break;
    case AcceptFault::Validation:
    case AcceptFault::Code:
        outcome.stop = fault.check == AcceptFault::Validation ? AcceptOutcome::Validation : AcceptOutcome::Code;
        outcome.cell = {fault.row, fault.column};
        // The faulty cell is made current: a filter that leaves its row out is cleared first.
        if (m_visible.isFilteredOut(fault.row))
            clearFilter();
        m_grid.revealRow(fault.row);
        return outcome;
    case AcceptFault::Devices:
        outcome.stop = AcceptOutcome::Devices;
        return outcome;
    case AcceptFault::PhysicalAddress:
        outcome.stop = AcceptOutcome::PhysicalAddress;
        return outcome;
    }
    if (acceptAdvice) {
        if (const QStringList advice = acceptAdvice(); !advice.isEmpty())
            m_ctx.notice(advice.join(QLatin1Char('\n')));
    }
    if (!m_ctx.ask(m_ctx.GetText(QStringLiteral("A23")))) {
        outcome.stop = AcceptOutcome::Declined;
        return outcome;
    }
    const std::optional<Fault> settingsFault = m_settings.settings().save(m_ctx, m_protocolCode);
    m_ctx.show(settingsFault);
    const std::optional<Fault> tableFault = WriteSignalTable(m_ctx, qint16(m_protocolCode), kVersion, m_table.table());
    m_ctx.show(tableFault);
    const bool tableSaved = !tableFault;
    if (settingsFault || !tableSaved) {
        outcome.stop = AcceptOutcome::SaveFailed;
        return outcome;
    }
    m_grid.clearChanged();
    m_settings.clearChanged();
    outcome.generated = GenerateFromEditor(processEvents);
    return outcome;
}

bool EditorSession::queryClose()
{
    if (!m_grid.tableChanged() && !m_settings.changed())
        return true;
    return m_ctx.ask(m_ctx.GetText(QStringLiteral("X35")));
}

bool EditorSession::GenerateFromEditor(const std::function<void()> &processEvents)
{
    // The gateway file is made from what is stored, never from edits that are not.
    if (m_settings.changed() || m_grid.cellsEdited()) {
        m_ctx.notice(m_ctx.GetText(QStringLiteral("X71")));
        return false;
    }
    if (!m_ctx.ask(m_ctx.GetText(QStringLiteral("A24"))))
        return false;
    if (processEvents)
        processEvents();
    m_ctx.show(GenerateFromProject(m_ctx, m_settings.settings(), m_table.table()).messages());
    return true;
}

bool EditorSession::ChangeDeviceCount()
{
    if (m_grid.tableChanged() || m_settings.changed()) {
        m_ctx.notice(m_ctx.GetText(QStringLiteral("X71")));
        return false;
    }
    return m_settings.askDeviceCount();
}

void EditorSession::setFilter(const QString &text, bool inUseOnly)
{
    RowFilter filter;
    filter.text = text;
    filter.inUseOnly = inUseOnly;
    for (const DeviceRecord &d : m_settings.settings().devices)
        filter.deviceNames << TrimBlanks(d.name);
    m_visible.setFilter(std::move(filter));
}

bool EditorSession::paste(const QString &text)
{
    const PasteOutcome outcome = m_grid.paste(text);
    auto t = [this](const char *key) { return m_ctx.GetText(QLatin1String(key)); };
    switch (outcome.fault) {
    case PasteOutcome::None:
        return true;
    case PasteOutcome::Nothing:
        return false;
    case PasteOutcome::FixedColumn:
        m_ctx.notice(t("PL44"));
        return false;
    case PasteOutcome::Value:
        m_ctx.notice(t("PL45") + m_table.headerData(outcome.column, Qt::Horizontal).toString() + t("PL46")
                     + QLatin1Char('"') + outcome.value + QLatin1Char('"') + t("PL47"));
        return false;
    case PasteOutcome::PastTheEnd:
        m_ctx.notice(t("PL48"));
        return false;
    }
    return false;
}

QString EditorSession::deviceName(int device) const
{
    const QVector<DeviceRecord> &devices = m_settings.settings().devices;
    return device >= 1 && device <= devices.size() ? TrimBlanks(devices[device - 1].name) : QString();
}

QString EditorSession::deviceTitle(int device) const
{
    const QString name = deviceName(device);
    const QString label = ProjectSettings::deviceLabel(m_protocolCode, device);
    return name.isEmpty() ? label : label + QStringLiteral(" \u00B7 ") + name;
}

} // namespace tarveon
