#include "editor/VisibleRowsModel.h"

#include "editor/SignalTableModel.h"

#include <algorithm>

namespace tarveon {

VisibleRowsModel::VisibleRowsModel(QObject *parent) : QAbstractProxyModel(parent) {}

void VisibleRowsModel::setSourceModel(QAbstractItemModel *source)
{
    beginResetModel();
    if (QAbstractItemModel *old = sourceModel())
        disconnect(old, nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    m_signal = qobject_cast<SignalTableModel *>(source);
    if (source) {
        connect(source, &QAbstractItemModel::dataChanged, this, &VisibleRowsModel::onSourceDataChanged);
        connect(source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            refilter();
            rebuild();
            endResetModel();
        });
        // The signal grid changes its row count only by resets; anything else is taken as one too.
        auto beginReset = [this] { beginResetModel(); };
        auto endReset = [this] {
            refilter();
            rebuild();
            endResetModel();
        };
        connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this, beginReset);
        connect(source, &QAbstractItemModel::rowsInserted, this, endReset);
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, beginReset);
        connect(source, &QAbstractItemModel::rowsRemoved, this, endReset);
        connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this, beginReset);
        connect(source, &QAbstractItemModel::columnsInserted, this, endReset);
        connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this, beginReset);
        connect(source, &QAbstractItemModel::columnsRemoved, this, endReset);
        connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this,
                &VisibleRowsModel::onLayoutAboutToBeChanged);
        connect(source, &QAbstractItemModel::layoutChanged, this, &VisibleRowsModel::onLayoutChanged);
        if (m_signal)
            connect(m_signal, &SignalTableModel::rowsHiddenChanged, this, &VisibleRowsModel::onHiddenChanged);
    }
    refilter();
    rebuild();
    endResetModel();
}

void VisibleRowsModel::refilter()
{
    const int n = m_signal ? m_signal->rowCount() : 0;
    m_filteredOut.fill(false, n);
    if (!m_filter.isActive())
        return;
    const SignalTable &table = m_signal->table();
    for (int s = 0; s < n; ++s)
        m_filteredOut[s] = !m_filter.matches(table.rows[SignalTableModel::tableRow(s)]);
}

bool VisibleRowsModel::isFilteredOut(int tableRow) const
{
    const int s = SignalTableModel::modelRow(tableRow);
    return s >= 0 && s < m_filteredOut.size() && m_filteredOut[s];
}

void VisibleRowsModel::setFilter(RowFilter filter)
{
    m_filter = std::move(filter);
    m_filter.text = m_filter.text.trimmed();
    refilter();
    relayout();
    emit filterChanged();
}

void VisibleRowsModel::rebuild()
{
    const int n = sourceModel() ? sourceModel()->rowCount() : 0;
    m_sourceRowOf.clear();
    m_sourceRowOf.reserve(n);
    m_viewRowOf.resize(n);
    for (int s = 0; s < n; ++s) {
        const bool hidden = (m_signal && m_signal->isRowHidden(SignalTableModel::tableRow(s)))
                            || (s < m_filteredOut.size() && m_filteredOut[s]);
        if (hidden) {
            m_viewRowOf[s] = -1;
        } else {
            m_viewRowOf[s] = int(m_sourceRowOf.size());
            m_sourceRowOf.append(s);
        }
    }
}

QModelIndex VisibleRowsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= m_sourceRowOf.size() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex VisibleRowsModel::parent(const QModelIndex &) const
{
    return {};
}

int VisibleRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sourceRowOf.size());
}

int VisibleRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

bool VisibleRowsModel::hasChildren(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_sourceRowOf.isEmpty();
}

QModelIndex VisibleRowsModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel() || proxyIndex.row() >= m_sourceRowOf.size())
        return {};
    return sourceModel()->index(m_sourceRowOf[proxyIndex.row()], proxyIndex.column());
}

QModelIndex VisibleRowsModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.row() >= m_viewRowOf.size())
        return {};
    const int row = m_viewRowOf[sourceIndex.row()];
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant VisibleRowsModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::ToolTipRole) {
        const int column = index.column();
        if (column != kColCode && column != kColDescription && column != kColEis && column != kColFurtherAddresses)
            return {};
        QString text = QAbstractProxyModel::data(index, Qt::DisplayRole).toString();
        if (toolTipHint) {
            const QString hint = toolTipHint(tableRowOf(index.row()), column);
            if (!hint.isEmpty())
                text += QStringLiteral(" \u00B7 ") + hint;
        }
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    return QAbstractProxyModel::data(index, role);
}

QVariant VisibleRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return {};
    if (orientation == Qt::Horizontal) {
        // The grid's width hint has no height, which would fold the header row away; views set
        // the widths themselves.
        if (role == Qt::SizeHintRole)
            return {};
        return sourceModel()->headerData(section, orientation, role);
    }
    if (section < 0 || section >= m_sourceRowOf.size())
        return {};
    // The fixed column of the signal grid: the running row number of column 0.
    if (m_signal && role == Qt::DisplayRole)
        return m_signal->cell(SignalTableModel::tableRow(m_sourceRowOf[section]), kColRowNumber);
    return sourceModel()->headerData(m_sourceRowOf[section], orientation, role);
}

void VisibleRowsModel::sort(int column, Qt::SortOrder order)
{
    if (sourceModel())
        sourceModel()->sort(column, order);
}

int VisibleRowsModel::tableRowOf(int viewRow) const
{
    if (viewRow < 0 || viewRow >= m_sourceRowOf.size())
        return -1;
    return SignalTableModel::tableRow(m_sourceRowOf[viewRow]);
}

int VisibleRowsModel::viewRowOf(int tableRow) const
{
    const int s = SignalTableModel::modelRow(tableRow);
    if (s < 0 || s >= m_viewRowOf.size())
        return -1;
    return m_viewRowOf[s];
}

int VisibleRowsModel::nearestViewRow(int tableRow) const
{
    if (m_sourceRowOf.isEmpty())
        return -1;
    const int s = std::clamp(SignalTableModel::modelRow(tableRow), 0, int(m_viewRowOf.size()) - 1);
    for (int i = s; i >= 0; --i) {
        if (m_viewRowOf[i] >= 0)
            return m_viewRowOf[i];
    }
    for (int i = s + 1; i < m_viewRowOf.size(); ++i) {
        if (m_viewRowOf[i] >= 0)
            return m_viewRowOf[i];
    }
    return -1;
}

void VisibleRowsModel::onSourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                           const QList<int> &roles)
{
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    // View rows are in source order: the changed view rows are one range found by two searches.
    const auto first = std::lower_bound(m_sourceRowOf.cbegin(), m_sourceRowOf.cend(), topLeft.row());
    const auto last = std::upper_bound(first, m_sourceRowOf.cend(), bottomRight.row());
    if (first == last)
        return;
    const int firstRow = int(first - m_sourceRowOf.cbegin());
    const int lastRow = int(last - m_sourceRowOf.cbegin()) - 1;
    emit dataChanged(index(firstRow, topLeft.column()), index(lastRow, bottomRight.column()), roles);
    if (topLeft.column() <= kColRowNumber)
        emit headerDataChanged(Qt::Vertical, firstRow, lastRow);
}

void VisibleRowsModel::onHiddenChanged(int first, int last)
{
    if (!m_signal)
        return;
    first = std::max(SignalTableModel::modelRow(first), 0);
    last = std::min(SignalTableModel::modelRow(last), int(m_viewRowOf.size()) - 1);
    bool differs = false;
    for (int s = first; s <= last && !differs; ++s) {
        const bool hidden = m_signal->isRowHidden(SignalTableModel::tableRow(s)) || m_filteredOut.value(s);
        differs = (m_viewRowOf[s] < 0) != hidden;
    }
    if (differs)
        relayout();
}

void VisibleRowsModel::relayout()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QVector<int> sourceRows;
    sourceRows.reserve(before.size());
    for (const QModelIndex &idx : before)
        sourceRows.append(idx.row() < m_sourceRowOf.size() ? m_sourceRowOf[idx.row()] : -1);
    rebuild();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = sourceRows[i] < 0 ? -1 : nearestViewRow(SignalTableModel::tableRow(sourceRows[i]));
        after.append(row < 0 ? QModelIndex() : index(row, before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void VisibleRowsModel::onLayoutAboutToBeChanged()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_layoutProxy = persistentIndexList();
    m_layoutSource.clear();
    m_layoutSource.reserve(m_layoutProxy.size());
    for (const QModelIndex &idx : m_layoutProxy)
        m_layoutSource.append(QPersistentModelIndex(mapToSource(idx)));
}

void VisibleRowsModel::onLayoutChanged()
{
    refilter();
    rebuild();
    QModelIndexList after;
    after.reserve(m_layoutProxy.size());
    for (const QPersistentModelIndex &src : std::as_const(m_layoutSource)) {
        const int row = src.isValid() ? nearestViewRow(SignalTableModel::tableRow(src.row())) : -1;
        after.append(row < 0 ? QModelIndex() : index(row, src.column()));
    }
    changePersistentIndexList(m_layoutProxy, after);
    m_layoutProxy.clear();
    m_layoutSource.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace tarveon
