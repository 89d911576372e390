#include "editor/SignalTableModel.h"

#include "model/GroupAddress.h"

#include <QSize>
#include <algorithm>
#include <numeric>

namespace tarveon {

namespace {

// A cell's code as the grid reads it: the leading number of column 2.
int codeOf(const SignalRow &row)
{
    return int(LeadingInteger(row[kColCode]));
}

} // namespace

SignalTableModel::SignalTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_table.rows.resize(1);
}

int SignalTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return qMax(0, m_table.rowCount() - 1);
}

int SignalTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSignalColumns;
}

QVariant SignalTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = tableRow(index.row());
    const int column = index.column();
    if (!validRow(row) || column < 0 || column >= kSignalColumns)
        return {};
    const SignalRow &r = m_table.rows[row];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return r[column];
    case Qt::TextAlignmentRole:
        switch (m_table.columns[size_t(column)].alignment) {
        case CellAlignment::LeftCentre:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case CellAlignment::Centre:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case CellAlignment::Default:
            return {};
        }
        return {};
    case RowMarkRole:
        return r.mark;
    case BackgroundRgbRole:
        return uint((r.colouredColumns >> column) & 1u ? r.background : 0u);
    case RowHiddenRole:
        return r.hidden;
    case RowDataRole:
        return r.rowData;
    default:
        return {};
    }
}

bool SignalTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    const int row = tableRow(index.row());
    const int column = index.column();
    if (!validRow(row) || column < 0 || column >= kSignalColumns)
        return false;
    switch (role) {
    case Qt::EditRole:
    case Qt::DisplayRole:
        setCell(row, column, value.toString());
        return true;
    case RowMarkRole:
        setRowMark(row, qint16(value.toInt()));
        return true;
    case RowHiddenRole:
        setRowHidden(row, value.toBool());
        return true;
    case RowDataRole:
        setRowData(row, value.toInt());
        return true;
    default:
        return false;
    }
}

QVariant SignalTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kSignalColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_table.rows.isEmpty() ? QString() : m_table.rows[0][section];
    case Qt::SizeHintRole:
        return QSize(columnWidthPixels(section), -1);
    default:
        return {};
    }
}

Qt::ItemFlags SignalTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Column 0 is the grid's fixed column: never current, never edited.
    if (index.column() == kColRowNumber)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() < kSignalColumns && m_columns[size_t(index.column())].EditKind == kEditFree)
        f |= Qt::ItemIsEditable;
    return f;
}

void SignalTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kSignalColumns || m_table.rowCount() < 3)
        return;
    const int n = m_table.rowCount() - 1;
    struct Key {
        bool numeric;
        double number;
        int index; // data row 0..n-1
    };
    QVector<Key> keys(n);
    for (int i = 0; i < n; ++i) {
        const QString &text = m_table.rows[i + 1][column];
        const bool numeric = IsNumericText(text);
        keys[i] = Key{numeric, numeric ? LeadingNumber(text) : 0.0, i};
    }
    auto less = [&](const Key &a, const Key &b) {
        if (a.numeric != b.numeric)
            return a.numeric;
        if (a.numeric)
            return a.number < b.number;
        return QString::compare(m_table.rows[a.index + 1][column], m_table.rows[b.index + 1][column],
                                Qt::CaseInsensitive) < 0;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(keys.begin(), keys.end(), less);
    else
        std::stable_sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) { return less(b, a); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> newPosition(n); // old data row -> new data row
    QVector<SignalRow> sorted;
    sorted.reserve(n + 1);
    sorted.append(std::move(m_table.rows[0]));
    for (int i = 0; i < n; ++i) {
        newPosition[keys[i].index] = i;
        sorted.append(std::move(m_table.rows[keys[i].index + 1]));
    }
    m_table.rows = std::move(sorted);
    rebuildRowKeys();

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &idx : before)
        after.append(index(newPosition[idx.row()], idx.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    hiddenChanged(1, n);
}

void SignalTableModel::setTable(SignalTable table, ColumnInfos columns)
{
    beginResetModel();
    m_table = std::move(table);
    if (m_table.rows.isEmpty())
        m_table.rows.resize(1);
    m_columns = std::move(columns);
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, kSignalColumns - 1);
    if (m_table.rowCount() > 1)
        emit rowsHiddenChanged(1, m_table.rowCount() - 1);
}

void SignalTableModel::clear()
{
    setTable(SignalTable{}, ColumnInfos{});
}

void SignalTableModel::setColumnInfo(int column, ColumnInfo info)
{
    if (column >= 0 && column < kSignalColumns)
        m_columns[size_t(column)] = std::move(info);
}

void SignalTableModel::setHeaderText(int column, const QString &text)
{
    if (column < 0 || column >= kSignalColumns)
        return;
    m_table.rows[0][column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void SignalTableModel::setColumnFormat(int column, const ColumnFormat &format)
{
    if (column < 0 || column >= kSignalColumns)
        return;
    m_table.columns[size_t(column)] = format;
    emit headerDataChanged(Qt::Horizontal, column, column);
    changed(1, m_table.rowCount() - 1, column, column, {Qt::TextAlignmentRole});
}

int SignalTableModel::columnWidthPixels(int column) const
{
    if (column < 0 || column >= kSignalColumns)
        return 0;
    return (m_table.columns[size_t(column)].widthTwips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QString SignalTableModel::cell(int row, int column) const
{
    if (!validRow(row) || column < 0 || column >= kSignalColumns)
        return {};
    return m_table.rows[row][column];
}

void SignalTableModel::setCell(int row, int column, const QString &text)
{
    if (!validRow(row) || column < 0 || column >= kSignalColumns)
        return;
    QString &target = m_table.rows[row][column];
    if (target == text)
        return;
    target = text;
    changed(row, row, column, column, {Qt::DisplayRole, Qt::EditRole});
}

qint16 SignalTableModel::rowMark(int row) const
{
    return validRow(row) ? m_table.rows[row].mark : qint16(0);
}

void SignalTableModel::setRowMark(int row, qint16 mark)
{
    if (!validRow(row) || m_table.rows[row].mark == mark)
        return;
    m_table.rows[row].mark = mark;
    changed(row, row, 0, kSignalColumns - 1, {RowMarkRole});
}

bool SignalTableModel::isRowHidden(int row) const
{
    return validRow(row) && m_table.rows[row].hidden;
}

void SignalTableModel::setRowHidden(int row, bool hidden)
{
    setRowsHidden(row, row, hidden);
}

void SignalTableModel::setRowsHidden(int first, int last, bool hidden)
{
    first = qMax(first, 1);
    last = qMin(last, m_table.rowCount() - 1);
    if (first > last)
        return;
    int changedFirst = -1;
    int changedLast = -1;
    for (int r = first; r <= last; ++r) {
        SignalRow &row = m_table.rows[r];
        if (row.hidden == hidden)
            continue;
        row.hidden = hidden;
        if (changedFirst < 0)
            changedFirst = r;
        changedLast = r;
    }
    if (changedFirst >= 0)
        hiddenChanged(changedFirst, changedLast);
}

int SignalTableModel::rowData(int row) const
{
    return validRow(row) ? m_table.rows[row].rowData : 0;
}

void SignalTableModel::setRowData(int row, int data)
{
    if (!validRow(row) || m_table.rows[row].rowData == data)
        return;
    m_table.rows[row].rowData = data;
    changed(row, row, 0, kSignalColumns - 1, {RowDataRole});
}

quint32 SignalTableModel::cellBackground(int row, int column) const
{
    if (!validRow(row) || column < 0 || column >= kSignalColumns)
        return 0;
    const SignalRow &r = m_table.rows[row];
    return (r.colouredColumns >> column) & 1u ? r.background : 0u;
}

void SignalTableModel::beginBatch()
{
    ++m_batch;
}

void SignalTableModel::endBatch()
{
    if (m_batch == 0 || --m_batch > 0)
        return;
    if (m_dirtyFirst >= 0) {
        const int first = m_dirtyFirst;
        const int last = qMin(m_dirtyLast, m_table.rowCount() - 1);
        m_dirtyFirst = m_dirtyLast = -1;
        if (first <= last)
            emit dataChanged(index(modelRow(first), 0), index(modelRow(last), kSignalColumns - 1));
    }
    if (m_hiddenFirst >= 0) {
        const int first = m_hiddenFirst;
        const int last = qMin(m_hiddenLast, m_table.rowCount() - 1);
        m_hiddenFirst = m_hiddenLast = -1;
        if (first <= last)
            emit rowsHiddenChanged(first, last);
    }
}

void SignalTableModel::updateTable(const std::function<void(SignalTable &)> &change)
{
    const int before = m_table.rowCount();
    change(m_table);
    if (m_table.rows.isEmpty())
        m_table.rows.resize(1);
    if (m_table.rowCount() != before) {
        beginResetModel();
        endResetModel();
    } else {
        changed(1, m_table.rowCount() - 1, 0, kSignalColumns - 1);
    }
    emit headerDataChanged(Qt::Horizontal, 0, kSignalColumns - 1);
    if (m_table.rowCount() < 2)
        return;
    if (m_batch > 0) {
        m_hiddenFirst = 1;
        m_hiddenLast = qMax(m_hiddenLast, m_table.rowCount() - 1);
    } else {
        emit rowsHiddenChanged(1, m_table.rowCount() - 1);
    }
}

void SignalTableModel::showGroup(int headRow, std::span<const CatalogueEntry> bits, bool shown)
{
    setRowMark(headRow, shown ? 1 : 2);
    const int device = int(LeadingInteger(m_table.rows[headRow][kColDevice]));
    for (const CatalogueEntry &bit : bits) {
        const int row = findRow(device, bit.code);
        if (row > 0)
            setRowHidden(row, !shown);
    }
}

bool SignalTableModel::setGroupShown(MachineType type, int headRow, bool shown)
{
    if (!validRow(headRow))
        return false;
    const std::span<const CatalogueEntry> bits = BitEntries(type, codeOf(m_table.rows[headRow]));
    if (bits.empty())
        return false;
    beginBatch();
    showGroup(headRow, bits, shown);
    endBatch();
    return true;
}

void SignalTableModel::setAllGroupsShown(MachineType type, bool shown)
{
    // The bit signals by head code, looked up once instead of per row.
    std::array<std::span<const CatalogueEntry>, 128> bitsOf{};
    for (const CatalogueEntry &e : Catalogue(type)) {
        if (e.code >= 0 && e.code < int(bitsOf.size()))
            bitsOf[size_t(e.code)] = BitEntries(type, e.code);
    }
    beginBatch();
    for (int r = 1; r < m_table.rowCount(); ++r) {
        const int code = codeOf(m_table.rows[r]);
        if (code >= 0 && code < int(bitsOf.size()) && !bitsOf[size_t(code)].empty())
            showGroup(r, bitsOf[size_t(code)], shown);
    }
    // Nothing stays hidden that no head would show again.
    if (shown)
        setRowsHidden(1, m_table.rowCount() - 1, false);
    endBatch();
}

void SignalTableModel::rebuildRowKeys()
{
    m_table.rowKeys.clear();
    m_table.rowKeys.reserve(m_table.rowCount());
    for (int r = 1; r < m_table.rowCount(); ++r) {
        const SignalRow &row = m_table.rows[r];
        if (row[kColDevice].trimmed().isEmpty() || row[kColCode].trimmed().isEmpty())
            continue;
        const QString key = RowKey(int(LeadingInteger(row[kColDevice])), codeOf(row));
        if (!m_table.rowKeys.contains(key))
            m_table.rowKeys.insert(key, r);
    }
}

QString SignalTableModel::tabSeparatedText() const
{
    QString text;
    qsizetype size = 0;
    for (const SignalRow &row : m_table.rows) {
        for (const QString &c : row.cells)
            size += c.size() + 1;
        size += 2;
    }
    text.reserve(size);
    for (const SignalRow &row : m_table.rows) {
        for (const QString &c : row.cells) {
            text += c;
            text += QLatin1Char('\t');
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

void SignalTableModel::changed(int firstRow, int lastRow, int firstColumn, int lastColumn, const QList<int> &roles)
{
    firstRow = qMax(firstRow, 1);
    lastRow = qMin(lastRow, m_table.rowCount() - 1);
    if (firstRow > lastRow)
        return;
    if (m_batch > 0) {
        m_dirtyFirst = m_dirtyFirst < 0 ? firstRow : qMin(m_dirtyFirst, firstRow);
        m_dirtyLast = qMax(m_dirtyLast, lastRow);
        return;
    }
    emit dataChanged(index(modelRow(firstRow), firstColumn), index(modelRow(lastRow), lastColumn), roles);
}

void SignalTableModel::hiddenChanged(int firstRow, int lastRow)
{
    changed(firstRow, lastRow, 0, kSignalColumns - 1, {RowHiddenRole});
    if (m_batch > 0) {
        m_hiddenFirst = m_hiddenFirst < 0 ? firstRow : qMin(m_hiddenFirst, firstRow);
        m_hiddenLast = qMax(m_hiddenLast, lastRow);
        return;
    }
    emit rowsHiddenChanged(firstRow, lastRow);
}

} // namespace tarveon
