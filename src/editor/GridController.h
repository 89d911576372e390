#pragma once
#include "editor/CellEdit.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"

#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace tarveon {

class SignalTableModel;
class VisibleRowsModel;

// A cell of the grid in table rows (1..N) and columns (0..11).
struct GridCell {
    int row = 0;
    int column = 0;
    bool operator==(const GridCell &) const = default;
};

// The pop-up menus of the grid.
enum class GridPopup {
    None,
    Code,  // popmnuCod over column 2
    Eis,   // popmnuEIS over column 4
    Flags, // popmnuRWTU over columns 7 to 10
    YesNo, // popmnuSiNo over column 11
};

// What a key typed on the grid (a character key, or Tab) does.
enum class GridKey {
    Ignored,  // nothing happens (fixed column, refused or unknown key)
    Stored,   // a flag or yes/no value was stored
    Edit,     // the in-place edit starts with the key
    MoveNext, // Tab in a column that is not edited as text: the next cell becomes current
};

// How the in-place edit starts.
struct EditStart {
    bool show = false;      // false: Tab moved the current cell instead
    QString text;           // the editor's text
    bool selectAll = false; // the text is selected (else the caret stands after it)
    Qt::Alignment alignment = Qt::AlignLeft;
};

// What a paste did: refused (and why) or the number of cells written.
struct PasteOutcome {
    enum Fault {
        None,
        Nothing,     // no text to paste
        FixedColumn, // a cell of a column the user does not edit (or beyond the last column)
        Value,       // a value its column does not take
        PastTheEnd,  // more lines than shown rows below the first
    } fault = None;
    int column = -1;
    QString value;
    int cells = 0;
};

// The editing of the signal grid without a window: the current cell and the selection, keys,
// clicks, the in-place edit, pop-up choices, the flag rules, showing and hiding bit rows and
// sorting. It works on the table model and the model of the shown rows; the window hands it the
// user's keys and clicks and shows what it returns.
//
// Every change a user makes to a cell's text goes through one place (setCellText), which also
// tells real changes from mere clicks: `cellsEdited` is raised only when a text changed. It
// gathers what one action of the user changed and hands it to the recorder (the undo stack).
// Rows hidden with their group and rows the view's filter leaves out are alike for every
// operation on a selection: neither is touched.
class GridController {
public:
    GridController(SignalTableModel &model, VisibleRowsModel &visible);

    // A freshly built table of the protocol: cell (1, 1) current, the next sort ascending, every
    // bit row shown, no pop-up column, both changed flags down.
    void reset(int protocolCode);

    // The table-changed flag: raised by every change the user makes to the grid, a click included.
    bool tableChanged() const { return m_tableChanged; }
    // A cell's text differs from what was opened or last saved.
    bool cellsEdited() const { return m_cellsEdited; }
    void clearChanged();

    // --- Cells of the view ------------------------------------------------------------------------
    GridCell cellAt(const QModelIndex &viewIndex) const;
    // The view's index of a cell; invalid when its row is hidden.
    QModelIndex viewIndex(const GridCell &cell) const;

    // --- Current cell and selection ---------------------------------------------------------------
    GridCell current() const { return m_current; }
    // A cell becomes current: the row being left gets the flag rules (the window has committed the
    // edit first), then the new cell is current with a one-cell selection. Returns its help text.
    QString goToCell(const GridCell &cell);
    // The current cell moved by the view without leaving the old one (its row was hidden).
    void setCurrentQuietly(const GridCell &cell) { m_current = cell; }
    QString currentHelp() const;
    // The view's selection (rows and columns in any order).
    void setSelection(int firstRow, int lastRow, int firstColumn, int lastColumn);
    int selectionFirstRow() const { return m_selFirstRow; }
    int selectionLastRow() const { return m_selLastRow; }
    bool selectionIsOneRow() const { return m_selFirstRow == m_selLastRow; }
    // The shown rows of the selection, in table order.
    QVector<int> selectedRows() const;
    // The selected cells as text: cells separated by TAB, rows by "\n"; hidden rows left out.
    QString selectionText() const;

    // The grid got the focus or scrolled: the flag rules on the current row.
    void gridFocused();

    // --- Keys and the in-place edit ---------------------------------------------------------------
    // A key typed on the grid: "\r" Enter, "\t" Tab, "\b" Backspace, else the character. May
    // change the key ("." in a decimal column becomes ",").
    GridKey keyPress(QChar &key);
    // The key filter of a column's content kind (grid and editor): false when refused.
    bool filterKey(int column, QChar &key) const;
    // The in-place edit of the current cell started by `key`. For Tab, show is false and the cell
    // to go to is in `moveTo`.
    EditStart beginEdit(QChar key, GridCell *moveTo = nullptr);
    // The cell after the current one: the next column, from the last column column 1 of the next
    // shown row; after the last row row 1 when `wrap`, else the last row stays.
    GridCell nextCell(bool wrap) const;
    // The shown row `delta` rows above or below the current one, within the data rows.
    int rowAfterMove(int delta) const;
    // CommitEdit: the editor's text, without leading and trailing blanks, into its cell.
    void commitEdit(const GridCell &cell, const QString &text);

    // --- Mouse -------------------------------------------------------------------------------------
    // Double-click on a data cell; true when the in-place edit is to start (as Enter).
    bool doubleClickCell(const GridCell &cell);
    // Double-click on a header cell (column 0: the corner): sorts the data rows by the column,
    // ascending the first time, then descending and ascending in turn.
    void sortByColumn(int column);
    // Right-click on a data cell: the cell that becomes current (`makeCurrent`, the current one
    // when a selection of several rows stays for the pop-up) and the pop-up to open.
    GridPopup rightClick(const GridCell &cell, GridCell *makeCurrent);
    qint16 popupColumn() const { return m_popupColumn; }
    // The code legend's show-bits entry and separator are shown over a group head only.
    bool codePopupShowsBits() const;
    // Captions of the flag pop-up for the remembered column (the third is empty over R, W, T).
    QStringList flagPopupItems() const;
    QStringList yesNoPopupItems() const;
    // A flag item into the remembered column of every shown selected row, then the flag rules.
    void chooseFlagItem(int item);
    // A yes/no item into column 11 of every shown selected row.
    void chooseYesNoItem(int item);
    // The show-bits entries: item 0 this group, item 1 all groups.
    void chooseShowBitsItem(int item) { ToggleBits(item == 1); }

    // --- Changes and their undo ------------------------------------------------------------------
    // Receives what each action of the user changed; actions that changed no text give nothing.
    void setRecorder(std::function<void(CellEdit)> recorder) { m_recorder = std::move(recorder); }
    // The changes of an action taken back (undo) or made again (redo); not recorded again.
    void applyEdit(const CellEdit &edit, bool undo);
    // Texts written into cells as one action; then the flag rules on every row written when
    // `normalise`.
    void writeCells(const QVector<CellWrite> &writes, bool normalise);
    // Ctrl+V: tab-separated lines into the selection. A single value goes into every selected
    // cell; a block starts at the selection's top left cell and goes down the shown rows. Refused
    // whole when a cell would be in a fixed column, past the last shown row, or would get a value
    // its column does not take; else the flag rules run on the rows written.
    PasteOutcome paste(const QString &text);
    // A data row the view shows: not hidden with its group, not left out by the filter.
    bool isShownRow(int row) const;

    // --- Rows -------------------------------------------------------------------------------------
    // The flag rules on one row; raises the table-changed flag.
    void NormaliseRow(int row);
    // The flag rules on every shown row from the first to the last row of the selection.
    void NormaliseSelection();
    // The flag rules on every row in use (yes/no number above 0), as the accept applies them.
    void normaliseRowsInUse();
    // Shows or hides the bit rows of the current group head, or of every group head.
    void ToggleBits(bool all);
    qint16 showAllState() const { return m_showAllState; }
    // Removes the data rows whose columns 1 to 11 are blank and numbers the rows again.
    void RemoveBlankRows();
    // A row the accept stopped at: shown again when it was a hidden bit row.
    void revealRow(int row);

private:
    class Action;
    bool isDataRow(int row) const;
    const ColumnInfo &info(int column) const;
    // The one place where the user's changes reach a cell; true when its text changed.
    bool setCellText(int row, int column, const QString &text);
    // A text into one column of every shown selected row.
    void setSelectedCells(int column, const QString &text);

    SignalTableModel &m_model;
    VisibleRowsModel &m_visible;
    int m_protocolCode = 0;
    MachineType m_type = MachineType::IndoorUnits;
    GridCell m_current;
    int m_selFirstRow = 0;
    int m_selLastRow = 0;
    int m_selFirstCol = 0;
    int m_selLastCol = 0;
    bool m_sortAscending = true;
    qint16 m_showAllState = 1; // all bit rows: 1 shown, 2 hidden
    qint16 m_popupColumn = -1;
    bool m_tableChanged = false;
    bool m_cellsEdited = false;
    int m_actionDepth = 0;
    CellEdit m_pending;
    std::function<void(CellEdit)> m_recorder;
};

} // namespace tarveon
