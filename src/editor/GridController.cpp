#include "editor/GridController.h"

#include "editor/AcceptChecks.h"
#include "editor/FlagRules.h"
#include "editor/SignalTableModel.h"
#include "editor/VisibleRowsModel.h"
#include "model/GroupAddress.h"

#include <QPersistentModelIndex>
#include <algorithm>

namespace tarveon {

namespace {

bool isFlagColumn(int column)
{
    return column >= kColR && column <= kColU;
}

// The letter of a flag column (the second of its values): "R", "W", "T" or "U".
QString letterOf(const ColumnInfo &info)
{
    return info.Values.size() > 1 ? info.Values[1].text : QString();
}

} // namespace

// One action of the user: the changes made until the outermost scope ends are recorded together.
class GridController::Action {
public:
    explicit Action(GridController &grid, bool followUp = false) : m_grid(grid)
    {
        if (m_grid.m_actionDepth++ == 0)
            m_grid.m_pending = CellEdit{{}, followUp};
    }
    ~Action()
    {
        if (--m_grid.m_actionDepth > 0)
            return;
        CellEdit done = std::move(m_grid.m_pending);
        m_grid.m_pending = {};
        if (!done.changes.isEmpty() && m_grid.m_recorder)
            m_grid.m_recorder(std::move(done));
    }
    Action(const Action &) = delete;
    Action &operator=(const Action &) = delete;

private:
    GridController &m_grid;
};

GridController::GridController(SignalTableModel &model, VisibleRowsModel &visible) : m_model(model), m_visible(visible)
{
}

void GridController::reset(int protocolCode)
{
    m_protocolCode = protocolCode;
    m_type = MachineTypeOf(protocolCode);
    const int first = m_model.gridRowCount() > 1 ? 1 : 0;
    m_current = {first, first};
    setSelection(first, first, first, first);
    m_sortAscending = true;
    m_showAllState = 1;
    m_popupColumn = -1;
    clearChanged();
}

void GridController::clearChanged()
{
    m_tableChanged = false;
    m_cellsEdited = false;
}

bool GridController::isDataRow(int row) const
{
    return row >= 1 && row < m_model.gridRowCount();
}

const ColumnInfo &GridController::info(int column) const
{
    return m_model.columnInfo(column);
}

bool GridController::isShownRow(int row) const
{
    return isDataRow(row) && !m_model.isRowHidden(row) && !m_visible.isFilteredOut(row);
}

bool GridController::setCellText(int row, int column, const QString &text)
{
    if (!isDataRow(row) || column < 0 || column >= kSignalColumns || m_model.cell(row, column) == text)
        return false;
    Action action(*this);
    const SignalRow &r = m_model.table().rows[row];
    m_pending.changes.append({qint16(LeadingInteger(r[kColDevice])), qint16(LeadingInteger(r[kColCode])),
                              qint16(column), r[column], text});
    m_model.setCell(row, column, text);
    m_cellsEdited = true;
    return true;
}

// ---- Cells of the view ---------------------------------------------------------------------------

GridCell GridController::cellAt(const QModelIndex &viewIndex) const
{
    return {m_visible.tableRowOf(viewIndex.row()), viewIndex.column()};
}

QModelIndex GridController::viewIndex(const GridCell &cell) const
{
    return m_visible.index(m_visible.viewRowOf(cell.row), cell.column);
}

// ---- Current cell and selection -------------------------------------------------------------------

QString GridController::goToCell(const GridCell &cell)
{
    Action action(*this, true);
    if (isDataRow(m_current.row))
        NormaliseRow(m_current.row);
    m_current = cell;
    setSelection(cell.row, cell.row, cell.column, cell.column);
    return currentHelp();
}

QString GridController::currentHelp() const
{
    if (m_current.column < 0 || m_current.column >= kSignalColumns)
        return {};
    return info(m_current.column).Help;
}

void GridController::setSelection(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    m_selFirstRow = std::min(firstRow, lastRow);
    m_selLastRow = std::max(firstRow, lastRow);
    m_selFirstCol = std::min(firstColumn, lastColumn);
    m_selLastCol = std::max(firstColumn, lastColumn);
}

QVector<int> GridController::selectedRows() const
{
    int first = m_selFirstRow;
    int last = m_selLastRow;
    if (!isDataRow(first) && !isDataRow(last))
        first = last = m_current.row;
    first = std::max(first, 1);
    last = std::min(last, m_model.gridRowCount() - 1);
    QVector<int> rows;
    for (int r = first; r <= last; ++r) {
        if (isShownRow(r))
            rows.append(r);
    }
    return rows;
}

QString GridController::selectionText() const
{
    const int firstColumn = std::max(m_selFirstCol, 0);
    const int lastColumn = std::min(m_selLastCol, kSignalColumns - 1);
    QString text;
    for (int r : selectedRows()) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (c > firstColumn)
                text += QLatin1Char('\t');
            text += m_model.cell(r, c);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void GridController::gridFocused()
{
    Action action(*this, true);
    if (isDataRow(m_current.row))
        NormaliseRow(m_current.row);
}

// ---- Keys and the in-place edit --------------------------------------------------------------------

bool GridController::filterKey(int column, QChar &key) const
{
    if (column < 0 || column >= kSignalColumns)
        return false;
    const bool digit = key >= QLatin1Char('0') && key <= QLatin1Char('9');
    const bool backspace = key == QLatin1Char('\b');
    switch (m_model.columnFormat(column).kind) {
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

GridKey GridController::keyPress(QChar &key)
{
    const int row = m_current.row;
    const int column = m_current.column;
    if (!isDataRow(row) || column < 1 || column >= kSignalColumns)
        return GridKey::Ignored;
    const ColumnInfo &columnInfo = info(column);
    // Tab moves on from every column; in the text columns it goes through the in-place edit.
    if (key == QLatin1Char('\t') && columnInfo.EditKind != kEditFree)
        return GridKey::MoveNext;
    if (columnInfo.EditKind == kEditFixed)
        return GridKey::Ignored;
    if (isFlagColumn(column)) {
        const QString typed = QString(key).toUpper().remove(QLatin1Char(' '));
        if (!typed.isEmpty() && typed != letterOf(columnInfo))
            return GridKey::Ignored;
        setCellText(row, column, typed);
        m_tableChanged = true;
        return GridKey::Stored;
    }
    if (column == kColYesNo) {
        if (key != QLatin1Char('0') && key != QLatin1Char('1'))
            return GridKey::Ignored;
        setCellText(row, column, columnInfo.value(QStringLiteral("K") + key));
        m_tableChanged = true;
        return GridKey::Stored;
    }
    if (!filterKey(column, key))
        return GridKey::Ignored;
    m_tableChanged = true;
    return GridKey::Edit;
}

EditStart GridController::beginEdit(QChar key, GridCell *moveTo)
{
    EditStart start;
    m_tableChanged = true;
    if (key == QLatin1Char('\t')) {
        if (moveTo)
            *moveTo = nextCell(true);
        return start;
    }
    start.show = true;
    const CellAlignment alignment = m_model.columnFormat(m_current.column).alignment;
    start.alignment = alignment == CellAlignment::LeftCentre ? Qt::AlignLeft : Qt::AlignRight;
    if (key.unicode() <= 32 || key.unicode() == 127) {
        start.text = m_model.cell(m_current.row, m_current.column);
        start.selectAll = true;
    } else {
        start.text = QString(key);
    }
    return start;
}

GridCell GridController::nextCell(bool wrap) const
{
    if (m_current.column < kSignalColumns - 1)
        return {m_current.row, m_current.column + 1};
    for (int r = m_current.row + 1; r < m_model.gridRowCount(); ++r) {
        if (isShownRow(r))
            return {r, 1};
    }
    if (wrap) {
        for (int r = 1; r < m_model.gridRowCount(); ++r) {
            if (isShownRow(r))
                return {r, 1};
        }
    }
    return {m_current.row, 1};
}

int GridController::rowAfterMove(int delta) const
{
    const int step = delta < 0 ? -1 : 1;
    int row = m_current.row;
    for (int moved = 0; moved < std::abs(delta); ++moved) {
        int r = row + step;
        while (isDataRow(r) && !isShownRow(r))
            r += step;
        if (!isDataRow(r))
            break;
        row = r;
    }
    return row;
}

void GridController::commitEdit(const GridCell &cell, const QString &text)
{
    if (cell.column >= 1 && cell.column < kSignalColumns)
        setCellText(cell.row, cell.column, TrimBlanks(text));
}

// ---- Mouse -------------------------------------------------------------------------------------------

bool GridController::doubleClickCell(const GridCell &cell)
{
    Action action(*this);
    const int row = cell.row;
    const int column = cell.column;
    if (!isDataRow(row) || column < 1 || column >= kSignalColumns)
        return false;
    if (isFlagColumn(column)) {
        setCellText(row, column, TrimBlanks(m_model.cell(row, column)).isEmpty() ? letterOf(info(column)) : QString());
        m_tableChanged = true;
        NormaliseSelection();
        return false;
    }
    if (column == kColYesNo) {
        const bool yes = LeadingNumber(m_model.cell(row, column)) != 0;
        setCellText(row, column, info(column).value(yes ? QStringLiteral("K0") : QStringLiteral("K1")));
        m_tableChanged = true;
        NormaliseSelection();
        return false;
    }
    if (column == kColCode) {
        ToggleBits(false);
        return false;
    }
    QChar enter(u'\r');
    return keyPress(enter) == GridKey::Edit;
}

void GridController::sortByColumn(int column)
{
    if (column < 0 || column >= kSignalColumns)
        return;
    const Qt::SortOrder order = m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_sortAscending = !m_sortAscending;
    // The current cell follows its row.
    QPersistentModelIndex current;
    if (isDataRow(m_current.row))
        current = m_model.index(SignalTableModel::modelRow(m_current.row), std::max(m_current.column, 0));
    m_model.sort(column, order);
    if (current.isValid())
        m_current.row = SignalTableModel::tableRow(current.row());
    setSelection(m_current.row, m_current.row, m_current.column, m_current.column);
}

GridPopup GridController::rightClick(const GridCell &cell, GridCell *makeCurrent)
{
    GridCell target = cell;
    GridPopup popup = GridPopup::None;
    m_popupColumn = qint16(cell.column);
    if (cell.column == kColCode || cell.column == kColEis) {
        popup = cell.column == kColCode ? GridPopup::Code : GridPopup::Eis;
    } else if (isFlagColumn(cell.column) || cell.column == kColYesNo) {
        if (!selectionIsOneRow())
            target.row = m_current.row;
        popup = cell.column == kColYesNo ? GridPopup::YesNo : GridPopup::Flags;
    }
    if (makeCurrent)
        *makeCurrent = target;
    return popup;
}

bool GridController::codePopupShowsBits() const
{
    return isDataRow(m_current.row)
           && BitRowCount(m_type, int(LeadingInteger(m_model.cell(m_current.row, kColCode)))) > 0;
}

QStringList GridController::flagPopupItems() const
{
    QStringList items{QString(), QString(), QString()};
    if (isFlagColumn(m_popupColumn)) {
        const ColumnInfo &column = info(m_popupColumn);
        for (int i = 0; i < 3 && i < column.Values.size(); ++i)
            items[i] = column.Values[i].text;
    }
    return items;
}

QStringList GridController::yesNoPopupItems() const
{
    const ColumnInfo &column = info(kColYesNo);
    return {column.value(QStringLiteral("K0")), column.value(QStringLiteral("K1"))};
}

void GridController::setSelectedCells(int column, const QString &text)
{
    Action action(*this);
    m_model.beginBatch();
    for (int r : selectedRows())
        setCellText(r, column, text);
    m_model.endBatch();
    m_tableChanged = true;
}

void GridController::chooseFlagItem(int item)
{
    if (!isFlagColumn(m_popupColumn) || item < 0 || item > 2)
        return;
    Action action(*this);
    setSelectedCells(m_popupColumn, flagPopupItems().at(item));
    NormaliseSelection();
}

void GridController::chooseYesNoItem(int item)
{
    if (item >= 0 && item <= 1)
        setSelectedCells(kColYesNo, yesNoPopupItems().at(item));
}

// ---- Changes and their undo -------------------------------------------------------------------------

void GridController::applyEdit(const CellEdit &edit, bool undo)
{
    const qsizetype n = edit.changes.size();
    m_model.beginBatch();
    for (qsizetype i = 0; i < n; ++i) {
        // Taken back last first, so that a cell changed twice gets its first text again.
        const CellChange &c = edit.changes[undo ? n - 1 - i : i];
        const int row = m_model.findRow(c.device, c.code);
        if (row > 0)
            m_model.setCell(row, c.column, undo ? c.before : c.after);
    }
    m_model.endBatch();
    m_tableChanged = true;
    m_cellsEdited = true;
}

void GridController::writeCells(const QVector<CellWrite> &writes, bool normalise)
{
    Action action(*this);
    m_model.beginBatch();
    QVector<int> rows;
    for (const CellWrite &w : writes) {
        setCellText(w.row, w.column, w.text);
        if (rows.isEmpty() || rows.back() != w.row)
            rows.append(w.row);
    }
    if (normalise) {
        for (int r : rows)
            NormaliseRow(r);
    }
    m_model.endBatch();
    m_tableChanged = true;
}

PasteOutcome GridController::paste(const QString &text)
{
    PasteOutcome out;
    if (text.isEmpty()) {
        out.fault = PasteOutcome::Nothing;
        return out;
    }
    const QVector<QStringList> block = TabSeparatedLines(text);
    const int firstColumn = std::max(m_selFirstCol, 1);
    const int lastColumn = std::max(m_selLastCol, firstColumn);
    const QVector<int> selected = selectedRows();
    // Cells as rows x columns, each with the value it gets.
    QVector<int> rows;
    int columns = 0;
    const bool fillSelection = block.size() == 1 && block[0].size() == 1 && (selected.size() > 1 || lastColumn > firstColumn);
    if (fillSelection) {
        rows = selected;
        columns = lastColumn - firstColumn + 1;
    } else {
        for (const QStringList &line : std::as_const(block))
            columns = std::max(columns, int(line.size()));
        for (int r = selected.isEmpty() ? m_current.row : selected.front();
             r < m_model.gridRowCount() && rows.size() < block.size(); ++r) {
            if (isShownRow(r))
                rows.append(r);
        }
    }
    auto valueAt = [&](int i, int j) { return fillSelection ? block[0][0] : block[i].value(j); };
    for (int c = firstColumn; c < firstColumn + columns; ++c) {
        if (c >= kSignalColumns || info(c).EditKind == kEditFixed) {
            out.fault = PasteOutcome::FixedColumn;
            out.column = c;
            return out;
        }
    }
    if (!fillSelection && rows.size() < block.size()) {
        out.fault = PasteOutcome::PastTheEnd;
        return out;
    }
    QVector<CellWrite> writes;
    writes.reserve(rows.size() * columns);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (int j = 0; j < columns && (fillSelection || j < block[i].size()); ++j) {
            const int c = firstColumn + j;
            const std::optional<QString> value = ColumnValueOf(info(c), c, valueAt(int(i), j));
            if (!value) {
                out.fault = PasteOutcome::Value;
                out.column = c;
                out.value = valueAt(int(i), j);
                return out;
            }
            writes.append({rows[i], c, *value});
        }
    }
    writeCells(writes, true);
    out.cells = int(writes.size());
    return out;
}

// ---- Rows --------------------------------------------------------------------------------------------

void GridController::NormaliseRow(int row)
{
    if (!isDataRow(row))
        return;
    Action action(*this);
    SignalRow normalised = m_model.table().rows[row];
    tarveon::NormaliseRow(normalised, m_protocolCode);
    for (int c = kColR; c <= kColU; ++c)
        setCellText(row, c, normalised[c]);
    m_tableChanged = true;
}

void GridController::NormaliseSelection()
{
    if (!isDataRow(m_current.row))
        return;
    Action action(*this);
    int first = m_selFirstRow;
    int last = m_selLastRow;
    if (!isDataRow(first) || !isDataRow(last))
        first = last = m_current.row;
    m_model.beginBatch();
    for (int r = first; r <= last; ++r) {
        if (isShownRow(r))
            NormaliseRow(r);
    }
    m_model.endBatch();
}

void GridController::normaliseRowsInUse()
{
    Action action(*this, true);
    m_model.beginBatch();
    for (int r = 1; r < m_model.gridRowCount(); ++r) {
        if (LeadingNumber(m_model.cell(r, kColYesNo)) <= 0)
            continue;
        SignalRow normalised = m_model.table().rows[r];
        tarveon::NormaliseRow(normalised, m_protocolCode);
        for (int c = kColR; c <= kColU; ++c)
            m_tableChanged |= setCellText(r, c, normalised[c]);
    }
    m_model.endBatch();
}

void GridController::ToggleBits(bool all)
{
    if (all) {
        m_showAllState = m_showAllState == 1 ? 2 : 1;
        m_model.setAllGroupsShown(m_type, m_showAllState == 1);
        return;
    }
    if (isDataRow(m_current.row))
        m_model.setGroupShown(m_type, m_current.row, m_model.rowMark(m_current.row) != 1);
}

void GridController::RemoveBlankRows()
{
    const int before = m_model.gridRowCount();
    m_model.updateTable([](SignalTable &table) { tarveon::RemoveBlankRows(table); });
    if (m_model.gridRowCount() == before)
        return;
    m_current.row = std::min(m_current.row, m_model.gridRowCount() - 1);
    setSelection(m_current.row, m_current.row, m_current.column, m_current.column);
}

void GridController::revealRow(int row)
{
    if (m_model.isRowHidden(row))
        m_model.setRowHidden(row, false);
}

} // namespace tarveon
