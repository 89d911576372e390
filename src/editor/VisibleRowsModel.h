#pragma once
#include "editor/RowFilter.h"

#include <QAbstractProxyModel>
#include <QPersistentModelIndex>
#include <QVector>
#include <functional>

namespace tarveon {

class SignalTableModel;

// The rows of a signal grid that are not hidden (collapsed bit rows are left out) and that pass the
// filter of the view, for a view.
// Hiding or showing any number of rows re-maps the rows in one pass and announces it as one
// layout change, so a view's current cell and selection follow their rows and the cost does not
// grow with the number of rows changed. A current cell on a row that disappears moves to the
// nearest shown row above it.
class VisibleRowsModel : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit VisibleRowsModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    SignalTableModel *signalModel() const { return m_signal; }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Besides the grid's roles: the whole text of the long text columns as a tool tip.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Table rows (1..N, as the program counts them) and view rows.
    int tableRowOf(int viewRow) const;
    // The view row of a table row; -1 when it is hidden or does not exist.
    int viewRowOf(int tableRow) const;
    // The view row of a table row, or of the nearest shown row above it (then below it).
    int nearestViewRow(int tableRow) const;
    // A table row is shown: not hidden and not filtered out.
    bool isShown(int tableRow) const { return viewRowOf(tableRow) >= 0; }

    // The filter decides which rows are shown besides their hidden state; it is taken again when
    // it is set and when the rows are sorted or replaced, not on every change of a cell (a row
    // does not vanish under the cursor while it is typed into).
    void setFilter(RowFilter filter);
    const RowFilter &filter() const { return m_filter; }
    bool isFilteredOut(int tableRow) const;
    // Text appended to a cell's tool tip (" · " between), by table row and column; empty: none.
    std::function<QString(int tableRow, int column)> toolTipHint;

signals:
    void filterChanged();

private:
    void rebuild();
    void refilter();
    // Maps the rows again after their shown state changed, keeping the view's indexes on their rows.
    void relayout();
    void onSourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);
    void onHiddenChanged(int first, int last);
    void onLayoutAboutToBeChanged();
    void onLayoutChanged();

    SignalTableModel *m_signal = nullptr;
    QVector<int> m_sourceRowOf; // view row -> source (model) row
    QVector<int> m_viewRowOf;   // source row -> view row, -1 when hidden
    RowFilter m_filter;
    QVector<bool> m_filteredOut; // source row -> left out by the filter
    // Across a layout change of the source: the view's persistent indexes and their source cells.
    QModelIndexList m_layoutProxy;
    QList<QPersistentModelIndex> m_layoutSource;
};

} // namespace tarveon
