#include "editor/EditorSession.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/AcceptChecks.h"
#include "editor/DeviceChecks.h"
#include "editor/FlagRules.h"
#include "model/Generate.h"
#include "model/GroupAddress.h"
#include "model/SignalTableFile.h"
#include "model/Validation.h"

#include <algorithm>

namespace tarveon {

namespace {

const QString kVersion = QStringLiteral("1.0");

bool isFlagColumn(int column)
{
    return column >= kColR && column <= kColU;
}

} // namespace

bool IsValidIp(const QString &input)
{
    const QString text = input + QLatin1Char('.');
    qsizetype start = 0;
    for (int part = 0; part < 4; ++part) {
        const qsizetype dot = text.indexOf(QLatin1Char('.'), start);
        if (dot < 0)
            return false;
        const QStringView piece = QStringView(text).mid(start, dot - start);
        if (TrimBlanks(piece).isEmpty())
            return false;
        const double value = LeadingNumber(piece);
        if (!(value >= 0 && value <= 255))
            return false;
        start = dot + 1;
    }
    return true;
}

EditorSession::EditorSession(AppContext &ctx, QObject *parent) : QObject(parent), m_ctx(ctx)
{
    grid.setParent(this);
}

// ---- Messages ----------------------------------------------------------------------------------

void EditorSession::Notice(const QString &text) const
{
    m_ctx.notice(text);
}

bool EditorSession::Ask(const QString &text) const
{
    return m_ctx.ask(text);
}

// ---- Opening -----------------------------------------------------------------------------------

void EditorSession::Open()
{
    m_ctx.GridBusy = true;
    protocolCode = qint16(ProjectProtocolCode(m_ctx));
    protocolName = (protocolCode >= 0 && protocolCode < qint16(m_ctx.ProtocolNames.size()))
                       ? m_ctx.ProtocolNames[size_t(protocolCode)]
                       : QString();
    m_ctx.IniFileName = protocolName;
    machineType = MachineTypeOf(protocolCode);
    maxDevices = qint16(InfoOf(machineType).maxDevices);
    codeLegend = BuildCodeLegend(m_ctx, machineType);
    eisLegend = BuildEisLegend();

    LoadProjectSettings();
    if (protocol::isIndoorUnits(protocolCode))
        BuildUnitTable(m_ctx, settings, codeLegend, grid);
    else
        BuildChillerTable(m_ctx, settings, codeLegend, grid);
    m_ctx.GridBusy = true;
    grid.updateTable([this](SignalTable &table) { m_ctx.show(ApplyStoredTable(m_ctx, protocolCode, table)); });

    const int first = grid.gridRowCount() > 1 ? 1 : 0;
    m_current = {first, first};
    SetSelection(first, first, first, first);
    m_sortAscending = true;
    showAllState = 1;
    popupColumn = -1;
    tabIndex = 0;
    m_ctx.GridBusy = false;
    tableChanged = false;
    settingsChanged = false;
}

QString EditorSession::DeviceListCaption() const
{
    return QLatin1String(InfoOf(machineType).deviceListCaption);
}

QString EditorSession::WindowCaption() const
{
    const QString max = QStringLiteral(" - Max.");
    const QString eib = QStringLiteral("EIB:");
    const QString links = m_ctx.GetText(QStringLiteral("EIB43"));
    return m_ctx.GetText(QStringLiteral("X103")) + QStringLiteral(" TR-BAS-HUB ")
           + (protocol::isIndoorUnits(protocolCode) ? QStringLiteral("(Packaged)") : QStringLiteral("(Chiller)")) + max
           + DeviceListCaption() + QLatin1Char(':') + QString::number(maxDevices) + max
           + m_ctx.GetText(QStringLiteral("X39")) + eib + QStringLiteral("5920") + max + links + eib
           + QStringLiteral("1000") + max + links + QLatin1Char('/') + m_ctx.GetText(QStringLiteral("X38")) + eib
           + QStringLiteral("255");
}

QString EditorSession::TabCaption(int tab) const
{
    return m_ctx.GetText(tab == 0 ? QStringLiteral("X19") : QStringLiteral("X76"));
}

QString EditorSession::TabHelp(int tab) const
{
    return m_ctx.GetText(tab == 0 ? QStringLiteral("X20") : QStringLiteral("X21"));
}

QString EditorSession::ChooseTab(int tab)
{
    tabIndex = qint16(tab);
    return TabHelp(tab);
}

// ---- Current cell and selection -----------------------------------------------------------------

void EditorSession::SetSelection(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    m_selFirstRow = std::min(firstRow, lastRow);
    m_selLastRow = std::max(firstRow, lastRow);
    m_selFirstCol = std::min(firstColumn, lastColumn);
    m_selLastCol = std::max(firstColumn, lastColumn);
}

QVector<int> EditorSession::SelectedRows() const
{
    QVector<int> rows;
    int first = m_selFirstRow;
    int last = m_selLastRow;
    if (!isDataRow(first) && !isDataRow(last))
        first = last = m_current.row;
    first = std::max(first, 1);
    last = std::min(last, grid.gridRowCount() - 1);
    for (int r = first; r <= last; ++r) {
        if (!grid.isRowHidden(r))
            rows.append(r);
    }
    return rows;
}

QString EditorSession::GoToCell(int row, int column)
{
    if (isDataRow(m_current.row))
        NormaliseRow(m_current.row);
    m_current = {row, column};
    SetSelection(row, row, column, column);
    return m_ctx.GridBusy ? QString() : CurrentHelp();
}

void EditorSession::SetCurrentQuietly(int row, int column)
{
    m_current = {row, column};
}

QString EditorSession::CurrentHelp() const
{
    if (m_current.column < 0 || m_current.column >= kSignalColumns)
        return {};
    return columnInfo(m_current.column).Help;
}

void EditorSession::GridFocused()
{
    if (isDataRow(m_current.row))
        NormaliseRow(m_current.row);
}

// ---- Keys and the in-place edit ----------------------------------------------------------------

bool EditorSession::FilterKey(int column, QChar &key) const
{
    if (column < 0 || column >= kSignalColumns)
        return false;
    const bool digit = key >= QLatin1Char('0') && key <= QLatin1Char('9');
    const bool backspace = key == QLatin1Char('\b');
    switch (grid.columnFormat(column).kind) {
    case ContentKind::Integer:
    case ContentKind::Long:
        return digit || backspace || key == QLatin1Char('-');
    case ContentKind::Decimal:
        if (key == QLatin1Char('.')) {
            key = QLatin1Char(',');
            return true;
        }
        return digit || backspace || key == QLatin1Char('+') || key == QLatin1Char(',') || key == QLatin1Char('-');
    case ContentKind::Hex: {
        const char16_t c = key.unicode();
        return digit || backspace || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
    }
    case ContentKind::Text:
        return true;
    }
    return true;
}

GridKey EditorSession::GridKeyPress(QChar &key)
{
    const int row = m_current.row;
    const int column = m_current.column;
    if (!isDataRow(row) || column < 1 || column >= kSignalColumns)
        return GridKey::Ignored;
    const ColumnInfo &info = columnInfo(column);
    // Tab moves on from every column; in the text columns it goes through the in-place edit.
    if (key == QLatin1Char('\t') && info.EditKind != kEditFree)
        return GridKey::MoveNext;
    if (info.EditKind == kEditFixed)
        return GridKey::Ignored;
    if (isFlagColumn(column)) {
        const QString typed = QString(key).toUpper().remove(QLatin1Char(' '));
        const QString letter = info.Values.size() > 1 ? info.Values[1].text : QString();
        if (!typed.isEmpty() && typed != letter)
            return GridKey::Ignored;
        grid.setCell(row, column, typed);
        tableChanged = true;
        return GridKey::Stored;
    }
    if (column == kColYesNo) {
        if (key != QLatin1Char('0') && key != QLatin1Char('1'))
            return GridKey::Ignored;
        grid.setCell(row, column, info.value(QStringLiteral("K") + key));
        tableChanged = true;
        return GridKey::Stored;
    }
    if (!FilterKey(column, key))
        return GridKey::Ignored;
    tableChanged = true;
    return GridKey::Edit;
}

EditStart EditorSession::BeginEdit(QChar key, GridCell *moveTo)
{
    EditStart start;
    tableChanged = true;
    if (key == QLatin1Char('\t')) {
        if (moveTo)
            *moveTo = NextCell(true);
        return start;
    }
    start.show = true;
    const CellAlignment alignment = grid.columnFormat(m_current.column).alignment;
    start.alignment = alignment == CellAlignment::LeftCentre ? Qt::AlignLeft : Qt::AlignRight;
    if (key.unicode() <= 32 || key.unicode() == 127) {
        start.text = grid.cell(m_current.row, m_current.column);
        start.selectAll = true;
    } else {
        start.text = QString(key);
    }
    return start;
}

GridCell EditorSession::NextCell(bool wrap) const
{
    const int lastColumn = kSignalColumns - 1;
    if (m_current.column < lastColumn)
        return {m_current.row, m_current.column + 1};
    for (int r = m_current.row + 1; r < grid.gridRowCount(); ++r) {
        if (!grid.isRowHidden(r))
            return {r, 1};
    }
    if (wrap) {
        for (int r = 1; r < grid.gridRowCount(); ++r) {
            if (!grid.isRowHidden(r))
                return {r, 1};
        }
    }
    return {m_current.row, 1};
}

int EditorSession::RowAfterMove(int delta) const
{
    const int step = delta < 0 ? -1 : 1;
    int row = m_current.row;
    for (int moved = 0; moved < std::abs(delta); ++moved) {
        int r = row + step;
        while (isDataRow(r) && grid.isRowHidden(r))
            r += step;
        if (!isDataRow(r))
            break;
        row = r;
    }
    return row;
}

void EditorSession::CommitEdit(const QString &text)
{
    if (isDataRow(m_current.row) && m_current.column >= 1 && m_current.column < kSignalColumns)
        grid.setCell(m_current.row, m_current.column, TrimBlanks(text));
}

// ---- Double-click and sorting -------------------------------------------------------------------

bool EditorSession::DoubleClickCell(int row, int column)
{
    if (!isDataRow(row) || column < 1 || column >= kSignalColumns)
        return false;
    if (isFlagColumn(column)) {
        const ColumnInfo &info = columnInfo(column);
        const QString letter = info.Values.size() > 1 ? info.Values[1].text : QString();
        grid.setCell(row, column, TrimBlanks(grid.cell(row, column)).isEmpty() ? letter : QString());
        tableChanged = true;
        NormaliseSelection();
        return false;
    }
    if (column == kColYesNo) {
        const bool yes = LeadingNumber(grid.cell(row, column)) != 0;
        grid.setCell(row, column, m_ctx.GetText(yes ? QStringLiteral("X9") : QStringLiteral("X10")));
        tableChanged = true;
        NormaliseSelection();
        return false;
    }
    if (column == kColCode) {
        ToggleBits(false);
        return false;
    }
    QChar enter(u'\r');
    return GridKeyPress(enter) == GridKey::Edit;
}

void EditorSession::SortByColumn(int column)
{
    if (column < 0 || column >= kSignalColumns)
        return;
    const Qt::SortOrder order = m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sortAscending = !m_sortAscending;
    // The current cell follows its row.
    QPersistentModelIndex current;
    if (isDataRow(m_current.row))
        current = grid.index(SignalTableModel::modelRow(m_current.row), std::max(m_current.column, 0));
    grid.sort(column, order);
    if (current.isValid())
        m_current.row = SignalTableModel::tableRow(current.row());
    SetSelection(m_current.row, m_current.row, m_current.column, m_current.column);
}

// ---- Pop-ups -----------------------------------------------------------------------------------

GridPopup EditorSession::RightClick(int row, int column, GridCell *makeCurrent)
{
    GridCell cell{row, column};
    GridPopup popup = GridPopup::None;
    popupColumn = qint16(column);
    if (column == kColCode || column == kColEis) {
        popup = column == kColCode ? GridPopup::Code : GridPopup::Eis;
    } else if (isFlagColumn(column) || column == kColYesNo) {
        if (!SelectionIsOneRow())
            cell.row = m_current.row;
        popup = column == kColYesNo ? GridPopup::YesNo : GridPopup::Flags;
    }
    if (makeCurrent)
        *makeCurrent = cell;
    return popup;
}

bool EditorSession::CodePopupShowsBits() const
{
    return isDataRow(m_current.row)
           && BitRowCount(machineType, int(LeadingInteger(grid.cell(m_current.row, kColCode)))) > 0;
}

QStringList EditorSession::FlagPopupItems() const
{
    QStringList items{QString(), QString(), QString()};
    if (isFlagColumn(popupColumn)) {
        const ColumnInfo &info = columnInfo(popupColumn);
        for (int i = 0; i < 3 && i < info.Values.size(); ++i)
            items[i] = info.Values[i].text;
    }
    return items;
}

QStringList EditorSession::YesNoPopupItems() const
{
    return {m_ctx.GetText(QStringLiteral("X9")), m_ctx.GetText(QStringLiteral("X10"))};
}

void EditorSession::ChooseFlagItem(int item)
{
    if (!isFlagColumn(popupColumn) || item < 0 || item > 2)
        return;
    const QString caption = FlagPopupItems().at(item);
    grid.beginBatch();
    for (int r : SelectedRows())
        grid.setCell(r, popupColumn, caption);
    grid.endBatch();
    tableChanged = true;
    NormaliseSelection();
}

void EditorSession::ChooseYesNoItem(int item)
{
    if (item < 0 || item > 1)
        return;
    const QString caption = YesNoPopupItems().at(item);
    grid.beginBatch();
    for (int r : SelectedRows())
        grid.setCell(r, kColYesNo, caption);
    grid.endBatch();
    tableChanged = true;
}

// ---- Flag rules, bit rows, blank rows -----------------------------------------------------------

void EditorSession::NormaliseRow(int row)
{
    if (!isDataRow(row))
        return;
    SignalRow normalised = grid.table().rows[row];
    tarveon::NormaliseRow(normalised, protocolCode);
    for (int c = kColR; c <= kColU; ++c)
        grid.setCell(row, c, normalised[c]);
    tableChanged = true;
}

void EditorSession::NormaliseSelection()
{
    if (!isDataRow(m_current.row))
        return;
    int first = m_selFirstRow;
    int last = m_selLastRow;
    if (!isDataRow(first) || !isDataRow(last))
        first = last = m_current.row;
    grid.beginBatch();
    for (int r = first; r <= last; ++r) {
        if (!grid.isRowHidden(r))
            NormaliseRow(r);
    }
    grid.endBatch();
}

void EditorSession::ToggleBits(bool all)
{
    if (all) {
        showAllState = showAllState == 1 ? 2 : 1;
        grid.setAllGroupsShown(machineType, showAllState == 1);
        return;
    }
    const int row = m_current.row;
    if (!isDataRow(row))
        return;
    grid.setGroupShown(machineType, row, grid.rowMark(row) != 1);
}

void EditorSession::RemoveBlankRows()
{
    const int before = grid.gridRowCount();
    grid.updateTable([](SignalTable &table) { tarveon::RemoveBlankRows(table); });
    if (grid.gridRowCount() == before)
        return;
    m_current.row = std::min(m_current.row, grid.gridRowCount() - 1);
    SetSelection(m_current.row, m_current.row, m_current.column, m_current.column);
}

QString EditorSession::SelectionText() const
{
    const int firstColumn = std::max(m_selFirstCol, 0);
    const int lastColumn = std::min(m_selLastCol, kSignalColumns - 1);
    QString text;
    for (int r : SelectedRows()) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (c > firstColumn)
                text += QLatin1Char('\t');
            text += grid.cell(r, c);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

// ---- Accept, close, generate --------------------------------------------------------------------

AcceptOutcome EditorSession::Accept(const std::function<void()> &processEvents)
{
    AcceptOutcome outcome;
    // Blank rows go first, on their own: the checks below show their messages while the grid
    // keeps its row count.
    RemoveBlankRows();
    AcceptFault fault;
    grid.updateTable([&](SignalTable &table) { fault = RunAcceptChecks(m_ctx, protocolCode, settings, table); });
    switch (fault.check) {
    case AcceptFault::None:
        break;
    case AcceptFault::Validation:
    case AcceptFault::Code:
        outcome.stop = fault.check == AcceptFault::Validation ? AcceptOutcome::Validation : AcceptOutcome::Code;
        outcome.cell = {fault.row, fault.column};
        if (fault.rowHidden || grid.isRowHidden(fault.row))
            grid.setRowHidden(fault.row, false);
        return outcome;
    case AcceptFault::Devices:
        outcome.stop = AcceptOutcome::Devices;
        return outcome;
    case AcceptFault::PhysicalAddress:
        outcome.stop = AcceptOutcome::PhysicalAddress;
        return outcome;
    }
    if (!Ask(m_ctx.GetText(QStringLiteral("A23")))) {
        outcome.stop = AcceptOutcome::Declined;
        return outcome;
    }
    const bool settingsSaved = settings.save(m_ctx, protocolCode);
    const std::optional<Fault> tableFault = WriteSignalTable(m_ctx, protocolCode, kVersion, grid.table());
    m_ctx.show(tableFault);
    const bool tableSaved = !tableFault;
    if (!settingsSaved || !tableSaved) {
        outcome.stop = AcceptOutcome::SaveFailed;
        return outcome;
    }
    tableChanged = false;
    settingsChanged = false;
    outcome.generated = GenerateFromEditor(processEvents);
    return outcome;
}

bool EditorSession::QueryClose()
{
    if (!tableChanged && !settingsChanged)
        return true;
    return Ask(m_ctx.GetText(QStringLiteral("X35")));
}

bool EditorSession::GenerateFromEditor(const std::function<void()> &processEvents)
{
    if (settingsChanged) {
        Notice(m_ctx.GetText(QStringLiteral("X71")));
        return false;
    }
    if (!Ask(m_ctx.GetText(QStringLiteral("A24"))))
        return false;
    if (processEvents)
        processEvents();
    m_ctx.show(GenerateFromProject(m_ctx, settings, grid.table()).messages());
    return true;
}

// ---- Settings page -------------------------------------------------------------------------------

void EditorSession::LoadProjectSettings()
{
    loading = true;
    settings = ProjectSettings::load(m_ctx, protocolCode);
    m_lastAccepted = {};
    m_lastAccepted[size_t(SettingsField::Ip)] = settings.ip;
    m_lastAccepted[size_t(SettingsField::NetMask)] = settings.netMask;
    m_lastAccepted[size_t(SettingsField::Gateway)] = settings.gateway;
    m_lastAccepted[size_t(SettingsField::IpKorvane)] = settings.ipTrbas;
    m_lastAccepted[size_t(SettingsField::PhyAdd)] = settings.phyAdd;
    loading = false;
    currentDevice = settings.devices.isEmpty() ? -1 : 0;
    m_machineText = {};
    if (currentDevice >= 0) {
        const DeviceRecord &d = settings.devices[currentDevice];
        m_machineText = {d.sys, d.uni, d.name};
    }
    settingsChanged = false;
}

QString &EditorSession::fieldSlot(SettingsField field)
{
    switch (field) {
    case SettingsField::Ip:
        return settings.ip;
    case SettingsField::NetMask:
        return settings.netMask;
    case SettingsField::Gateway:
        return settings.gateway;
    case SettingsField::IpKorvane:
        return settings.ipTrbas;
    case SettingsField::PortKorvane:
        return settings.portTrbas;
    case SettingsField::TimeoutPoll:
        return settings.pollingMs;
    case SettingsField::PhyAdd:
        return settings.phyAdd;
    case SettingsField::DelayUpdateBus:
        return settings.delayUpdateBus;
    case SettingsField::MachineSys:
        return m_machineText[0];
    case SettingsField::MachineUni:
        return m_machineText[1];
    case SettingsField::MachineName:
        return m_machineText[2];
    }
    return m_machineText[2];
}

QString EditorSession::FieldText(SettingsField field) const
{
    return const_cast<EditorSession *>(this)->fieldSlot(field);
}

void EditorSession::SetFieldText(SettingsField field, const QString &text)
{
    fieldSlot(field) = text;
}

QString EditorSession::LastAccepted(SettingsField field) const
{
    return m_lastAccepted[size_t(field)];
}

FieldCheck EditorSession::LeaveField(SettingsField field, const QString &input)
{
    FieldCheck check{input};
    auto ipField = [&](const QString &label, const QString &text) {
        if (IsValidIp(text)) {
            m_lastAccepted[size_t(field)] = text;
            return text;
        }
        Notice(label + text + m_ctx.GetText(QStringLiteral("X41")));
        return m_lastAccepted[size_t(field)];
    };
    switch (field) {
    case SettingsField::Ip:
    case SettingsField::IpKorvane:
        check.text = ipField(QStringLiteral("IP: "), input);
        break;
    case SettingsField::NetMask:
        check.text = ipField(QStringLiteral("NetMask: "), input);
        break;
    case SettingsField::Gateway: {
        const QString text = TrimBlanks(input);
        if (text.isEmpty()) {
            m_lastAccepted[size_t(field)] = text;
            check.text = text;
        } else {
            check.text = ipField(QStringLiteral("Gateway: "), text);
        }
        break;
    }
    case SettingsField::PortKorvane:
        check.text = QString::number(LeadingInteger(input));
        break;
    case SettingsField::PhyAdd:
        if (tarveon::IsInvalidPhysicalAddress(m_ctx, input)) {
            check.text = m_lastAccepted[size_t(field)];
        } else {
            m_lastAccepted[size_t(field)] = input;
        }
        break;
    case SettingsField::DelayUpdateBus: {
        const double n = LeadingNumber(input);
        if (n < 0 || n > 9)
            check.text = QStringLiteral("4");
        break;
    }
    case SettingsField::TimeoutPoll: {
        const double n = LeadingNumber(input);
        if (n < 0)
            check.text = QStringLiteral("0");
        if (LeadingNumber(check.text) > 10000)
            check.text = QStringLiteral("10000");
        break;
    }
    case SettingsField::MachineSys:
    case SettingsField::MachineUni: {
        const QString text = TrimBlanks(input);
        const int slot = field == SettingsField::MachineSys ? 0 : 1;
        if (currentDevice < 0 || currentDevice >= settings.devices.size()) {
            check.text = text;
            break;
        }
        DeviceRecord &device = settings.devices[currentDevice];
        QString &stored = slot == 0 ? device.sys : device.uni;
        if (text.isEmpty()) {
            check.beep = true;
            Notice(m_ctx.GetText(QStringLiteral("X65")));
            check.text = stored;
        } else {
            stored = text;
            check.text = text;
        }
        break;
    }
    case SettingsField::MachineName:
        check.text = TrimBlanks(input);
        if (currentDevice >= 0 && currentDevice < settings.devices.size())
            settings.devices[currentDevice].name = check.text;
        break;
    }
    fieldSlot(field) = check.text;
    return check;
}

void EditorSession::SetUpdateOnReset(bool on)
{
    settings.updateOnResetoErrEIB = on ? 1 : 0;
    settingsChanged = true;
}

QString EditorSession::FieldHelp(SettingsField field) const
{
    switch (field) {
    case SettingsField::Ip:
        return QStringLiteral("IP Gateway");
    case SettingsField::NetMask:
        return QStringLiteral("Net Mask gateway");
    case SettingsField::Gateway:
        return m_ctx.GetText(QStringLiteral("X37"));
    case SettingsField::IpKorvane:
        return QStringLiteral("IP Korvane TR-BAS-HUB");
    case SettingsField::PortKorvane:
        return QStringLiteral("Port TCP Korvane");
    case SettingsField::TimeoutPoll:
        return QStringLiteral("Polling interval 0..10000 ms");
    case SettingsField::PhyAdd:
        return m_ctx.GetText(QStringLiteral("EIB35"));
    case SettingsField::DelayUpdateBus:
        return m_ctx.GetText(QStringLiteral("A134"));
    case SettingsField::MachineSys:
        return QStringLiteral("QLOOP1 System Address");
    case SettingsField::MachineUni:
        return QStringLiteral("QLOOP1 Unit Address");
    case SettingsField::MachineName:
        return m_ctx.GetText(QStringLiteral("X63"));
    }
    return {};
}

QString EditorSession::DeviceListHelp() const
{
    return m_ctx.GetText(QStringLiteral("X46"));
}

QString EditorSession::UpdateOnResetHelp() const
{
    return m_ctx.GetText(QStringLiteral("EIB32"));
}

QString EditorSession::DeviceItemText(int index) const
{
    return ProjectSettings::deviceLabel(protocolCode, index + 1);
}

void EditorSession::SelectDevice(int index)
{
    if (loading || index < 0 || index >= settings.devices.size())
        return;
    currentDevice = index;
    const DeviceRecord &d = settings.devices[index];
    m_machineText = {d.sys, d.uni, d.name};
    settingsChanged = true;
}

void EditorSession::SetDeviceActive(int index, bool active)
{
    if (loading || index < 0 || index >= settings.devices.size())
        return;
    if (settings.devices[index].active == active)
        return;
    settings.devices[index].active = active;
    settingsChanged = true;
}

SettingsField EditorSession::NextDeviceField(SettingsField from) const
{
    switch (from) {
    case SettingsField::MachineSys:
        return HasUnitAddress() ? SettingsField::MachineUni : SettingsField::MachineName;
    case SettingsField::MachineUni:
        return SettingsField::MachineName;
    default:
        return SettingsField::MachineSys;
    }
}

bool EditorSession::ChangeDeviceCount()
{
    if (tableChanged || settingsChanged) {
        Notice(m_ctx.GetText(QStringLiteral("X71")));
        return false;
    }
    const int count = int(settings.devices.size());
    const QString answer = m_ctx.prompter->inputBox(m_ctx.GetText(QStringLiteral("X27")),
                                                    m_ctx.GetText(QStringLiteral("X106")), QString::number(count));
    const qint64 wanted = LeadingInteger(answer);
    if (wanted <= 0 || wanted == count)
        return false;
    if (wanted > maxDevices) {
        Notice(m_ctx.GetText(QStringLiteral("X107")) + QStringLiteral(". Max:") + QString::number(maxDevices));
        return false;
    }
    Notice(m_ctx.GetText(QStringLiteral("X108")));
    m_ctx.IniFileName = protocolName;
    m_ctx.ini.WriteProjectSetting(protocolName, QStringLiteral("Devices"), QString::number(wanted));
    return true;
}

bool EditorSession::CheckDevices()
{
    return tarveon::CheckDevices(m_ctx, protocolCode, settings.devices);
}

bool EditorSession::IsInvalidPhysicalAddress()
{
    return tarveon::IsInvalidPhysicalAddress(m_ctx, settings.phyAdd);
}

} // namespace tarveon
