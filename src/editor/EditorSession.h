#pragma once
#include "app/Protocols.h"
#include "editor/ProjectSettings.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "editor/SignalTableModel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace tarveon {

class AppContext;

// IsValidIp: four parts separated by ".", each not blank and with a leading number of 0..255
// (a part without a number reads 0); text after the fourth part is not examined.
bool IsValidIp(const QString &text);

// The fields of the settings page, in the order of the page.
enum class SettingsField {
    Ip,             // txtIp
    NetMask,        // txtNetMask
    Gateway,        // txtGateway
    IpKorvane,      // txtIPKorvane
    PortKorvane,    // txtPortKorvane
    TimeoutPoll,    // txtTimeoutPoll
    PhyAdd,         // txtPhyAdd
    DelayUpdateBus, // txtDelayUpdateBus
    MachineSys,     // txtMaquina item 0
    MachineUni,     // txtMaquina item 1
    MachineName,    // txtMaquina item 2
};
constexpr int kSettingsFieldCount = 11;

// What a field shows after it was left, and whether the program beeps.
struct FieldCheck {
    QString text;
    bool beep = false;
};

// The pop-up menus of the grid.
enum class GridPopup {
    None,
    Code,    // popmnuCod over column 2
    Eis,     // popmnuEIS over column 4
    Flags,   // popmnuRWTU over columns 7 to 10
    YesNo,   // popmnuSiNo over column 11
};

// A key typed on the grid (a character key, or Tab).
enum class GridKey {
    Ignored,   // nothing happens (fixed column, refused or unknown key)
    Stored,    // a flag or yes/no value was stored
    Edit,      // the in-place edit starts with the key
    MoveNext,  // Tab in a column that is not edited as text: the next cell becomes current
};

// How the in-place edit box starts.
struct EditStart {
    bool show = false;     // false: Tab moved the current cell instead
    QString text;          // the box's text
    bool selectAll = false; // the text is selected (else the caret stands after it)
    Qt::Alignment alignment = Qt::AlignLeft;
};

// A cell of the grid in table rows (1..N) and columns (0..11).
struct GridCell {
    int row = 0;
    int column = 0;
    bool operator==(const GridCell &) const = default;
};

// What the accept did.
struct AcceptOutcome {
    enum Stop {
        Saved,          // files written (the generate action has run)
        Validation,     // the table check failed (message shown); `cell` is the faulty cell
        Code,           // a row's signal code is not one the gateway knows ("A8"); `cell` as above
        Devices,        // the device list failed (message shown)
        PhysicalAddress,
        Declined,       // the user said no to saving
        SaveFailed,     // a file could not be written (message shown); the changed flags stay up
    } stop = Saved;
    GridCell cell;      // the cell to make current (Validation, Code)
    bool generated = false; // the generate action ran to its end (disable its button)
};

// The configuration editor fConfKorvaneEIB without its window: the project's protocol, the
// settings page's values and checks, the device list, the signal grid with its column
// descriptors, legends and flags, and every action of the window. The window shows this state
// and forwards the user's actions; everything it decides is decided here.
//
// Rows are table rows (1..N, row 0 the headers) as the rest of the program counts them.
class EditorSession : public QObject {
    Q_OBJECT
public:
    explicit EditorSession(AppContext &ctx, QObject *parent = nullptr);

    AppContext &context() const { return m_ctx; }

    // --- Opening ----------------------------------------------------------------------------
    // Protocol from the open project, legends, LoadProjectSettings, the table of the machine
    // type, the stored table applied, cell (1, 1) current; both changed flags cleared.
    void Open();

    qint16 protocolCode = 0;   // 70 indoor units, else chillers
    QString protocolName;      // "ZTR001-PACKAGED", "ZTR001-CHILLER"
    MachineType machineType = MachineType::IndoorUnits;
    qint16 maxDevices = 8;
    CodeLegend codeLegend;
    QVector<LegendItem> eisLegend;

    // "Configuration TR-BAS-HUB (Packaged) - Max.Units:160 - Max.Groups EIB:5920 ...".
    QString WindowCaption() const;
    // "Units" or "Chillers": the caption of the device list.
    QString DeviceListCaption() const;
    // Tab captions and help texts; tab 0 the settings page, tab 1 the signal table.
    QString TabCaption(int tab) const;
    QString TabHelp(int tab) const;
    // Choosing a tab: its index is remembered and its help text returned for lblHelp.
    QString ChooseTab(int tab);
    qint16 tabIndex = 0;

    // --- Flags ------------------------------------------------------------------------------
    bool tableChanged = false;
    bool settingsChanged = false;
    bool loading = false;     // LoadProjectSettings is filling the page
    qint16 popupColumn = -1;  // the column the last pop-up was opened over
    qint16 showAllState = 1;  // all bit rows: 1 shown, 2 hidden

    // --- Signal grid ------------------------------------------------------------------------
    SignalTableModel grid;
    const ColumnInfo &columnInfo(int column) const { return grid.columnInfo(column); }

    // The current cell and the selection (a rectangle of cells; rows between its first and last
    // row that are hidden are not part of it).
    GridCell current() const { return m_current; }
    int selectionFirstRow() const { return m_selFirstRow; }
    int selectionLastRow() const { return m_selLastRow; }
    int selectionFirstColumn() const { return m_selFirstCol; }
    int selectionLastColumn() const { return m_selLastCol; }
    // The shown rows of the selection, in table order.
    QVector<int> SelectedRows() const;
    bool SelectionIsOneRow() const { return m_selFirstRow == m_selLastRow; }
    // The view's selection changed (rows and columns in any order).
    void SetSelection(int firstRow, int lastRow, int firstColumn, int lastColumn);

    // A cell becomes current: the cell being left gets the flag rules (the window has committed
    // the edit box first), then the new cell is current with a one-cell selection unless
    // SetSelection follows. Returns the help text of the new column (empty while GridBusy).
    QString GoToCell(int row, int column);
    // The current cell set without leaving the old one (the view moved it, for example after
    // its row was hidden).
    void SetCurrentQuietly(int row, int column);
    QString CurrentHelp() const;

    // The grid got the focus, or scrolled: the flag rules on the current row.
    void GridFocused();

    // Keys typed on the grid. `key` is the typed character: control characters for Enter ("\r"),
    // Tab ("\t"), Backspace ("\b"). May change the key ("." in a decimal column becomes ",").
    GridKey GridKeyPress(QChar &key);
    // The key filter of a column's content kind (grid and edit box): false when refused.
    bool FilterKey(int column, QChar &key) const;
    // The in-place edit of the current cell started by `key`; raises the table-changed flag.
    // For Tab it returns show = false and the cell to go to in `moveTo`.
    EditStart BeginEdit(QChar key, GridCell *moveTo = nullptr);
    // The cell after the current one: the next column, from the last column column 1 of the next
    // shown row; after the last row: row 1 when wrap, else the last row stays.
    GridCell NextCell(bool wrap) const;
    // The shown row `delta` rows above or below the current one, within the data rows.
    int RowAfterMove(int delta) const;
    // CommitEdit: the box's text, without leading and trailing blanks, into the current cell.
    void CommitEdit(const QString &text);

    // Double-click on a data cell. Returns true when the in-place edit is to start (as Enter).
    bool DoubleClickCell(int row, int column);
    // Double-click on a header cell (column 0: the corner cell): sorts every data row by the
    // column, ascending the first time, then descending and ascending in turn.
    void SortByColumn(int column);

    // Right-click on a data cell: the clicked cell that becomes current (or the current one
    // when it stays), and the pop-up to open. Remembers the column.
    GridPopup RightClick(int row, int column, GridCell *makeCurrent);
    // Whether the code legend's show-bits entry and separator are visible: the current row is a
    // group head.
    bool CodePopupShowsBits() const;
    // Captions of the flag pop-up's items for the remembered column (the third is empty and
    // hidden over R, W and T).
    QStringList FlagPopupItems() const;
    QStringList YesNoPopupItems() const;
    // Choosing a flag pop-up item: its caption into the remembered column of every shown
    // selected row, then the flag rules over the selection.
    void ChooseFlagItem(int item);
    // Choosing a yes/no item: its caption into column 11 of every shown selected row.
    void ChooseYesNoItem(int item);
    // The code legend's show-bits entries: item 0 this group, item 1 all groups.
    void ChooseShowBitsItem(int item) { ToggleBits(item == 1); }

    // The flag rules on one row; raises the table-changed flag.
    void NormaliseRow(int row);
    // The flag rules on every shown row from the first to the last row of the selection.
    void NormaliseSelection();
    // Shows or hides the bit rows of the current group head, or of every group head.
    void ToggleBits(bool all);
    // Removes the data rows whose columns 1 to 11 are blank and numbers the rows again.
    void RemoveBlankRows();
    // The selected cells as text: cells separated by TAB, rows by "\n"; hidden rows left out.
    QString SelectionText() const;

    // --- Accept, close, generate ------------------------------------------------------------
    // The accept (cmdAceptar). `processEvents` as for GenerateFromEditor.
    AcceptOutcome Accept(const std::function<void()> &processEvents = {});
    // Whether the window may close: asks "X35" when a changed flag is up.
    bool QueryClose();
    // GenerateFromEditor. `processEvents` lets pending window events run before the file is made.
    // True when the generation ran (the window disables its button).
    bool GenerateFromEditor(const std::function<void()> &processEvents = {});

    // --- Settings page -----------------------------------------------------------------------
    ProjectSettings settings;  // the page's values; the device records live here
    int currentDevice = -1;    // the device shown in the device fields (index from 0)

    // LoadProjectSettings: the page and the device list from the project settings file.
    void LoadProjectSettings();
    // What a field shows.
    QString FieldText(SettingsField field) const;
    // Text typed into a field (kept as typed until the field is left).
    void SetFieldText(SettingsField field, const QString &text);
    // A key typed into a field of the page, or a click on the check box.
    void SettingsTyped() { settingsChanged = true; }
    // The check of a field that lost the focus: the text it shows afterwards.
    FieldCheck LeaveField(SettingsField field, const QString &text);
    QString LastAccepted(SettingsField field) const;
    // The check box chkUpdateOnResetoErrEIB.
    void SetUpdateOnReset(bool on);
    // Help text of a field.
    QString FieldHelp(SettingsField field) const;
    // Help text of the device list and of the check box.
    QString DeviceListHelp() const;
    QString UpdateOnResetHelp() const;

    // The device list: item texts, checked states, choosing an item.
    QString DeviceItemText(int index) const;
    void SelectDevice(int index);
    void SetDeviceActive(int index, bool active);
    // Enter in a device field: the field that gets the focus next.
    SettingsField NextDeviceField(SettingsField from) const;
    bool HasUnitAddress() const { return protocol::isIndoorUnits(protocolCode); }

    // ChangeDeviceCount: true when the count was changed and the editor must close.
    bool ChangeDeviceCount();
    // CheckDevices over the page's device list.
    bool CheckDevices();
    // The physical address field's check (the accept's): true when invalid, after "EIB31".
    bool IsInvalidPhysicalAddress();

    // Messages of the editor: a notice (one button "X1") and a question ("X77"/"X59", second
    // button default); the question is true for the first button.
    void Notice(const QString &text) const;
    bool Ask(const QString &text) const;

private:
    bool isDataRow(int row) const { return row >= 1 && row < grid.gridRowCount(); }
    bool rowShown(int row) const { return isDataRow(row) && !grid.isRowHidden(row); }
    QString &fieldSlot(SettingsField field);

    AppContext &m_ctx;
    GridCell m_current;
    int m_selFirstRow = 0;
    int m_selLastRow = 0;
    int m_selFirstCol = 0;
    int m_selLastCol = 0;
    bool m_sortAscending = true;
    std::array<QString, kSettingsFieldCount> m_lastAccepted;
    std::array<QString, 3> m_machineText; // what the device fields show
};

} // namespace tarveon
