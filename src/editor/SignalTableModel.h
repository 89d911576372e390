#pragma once
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "model/SignalTable.h"

#include <QAbstractTableModel>
#include <functional>

namespace tarveon {

// The signal grid as a table model, shared by the editor's and the viewer's views. Row 0 of the
// table holds the column titles and feeds the horizontal header; model row m shows table row
// m + 1. Every other accessor takes table rows (1..N), as the rest of the program counts them.
//
// Besides the text of its cells a row carries its mark, its hidden state and a background colour
// (as 0xFFRRGGBB in BackgroundRgbRole, 0 for the default; views turn it into a brush).
class SignalTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        RowMarkRole = Qt::UserRole + 1, // qint16: 1 on a group head with its bit rows shown, 2 hidden
        BackgroundRgbRole,              // uint: the cell's background, 0 = default
        RowHiddenRole,                  // bool: the row has height 0
        RowDataRole,                    // int: the row's data (the viewer's entry index)
    };

    static constexpr int kTwipsPerPixel = 15;
    static int tableRow(int modelRow) { return modelRow + 1; }
    static int modelRow(int tableRow) { return tableRow - 1; }

    explicit SignalTableModel(QObject *parent = nullptr);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Sorts the data rows by a column: cells that read as numbers by value, before any text;
    // texts without regard to case. Equal cells keep their order. Row keys follow the rows.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The whole grid, replaced at once (one model reset).
    void setTable(SignalTable table, ColumnInfos columns);
    void clear();
    const SignalTable &table() const { return m_table; }
    const ColumnInfos &columnInfos() const { return m_columns; }
    const ColumnInfo &columnInfo(int column) const { return m_columns[size_t(column)]; }
    void setColumnInfo(int column, ColumnInfo info);

    // Table rows including the header row (the grid's row count).
    int gridRowCount() const { return m_table.rowCount(); }

    // Column look: header text (row 0), format, width in pixels at 96 dpi.
    void setHeaderText(int column, const QString &text);
    void setColumnFormat(int column, const ColumnFormat &format);
    const ColumnFormat &columnFormat(int column) const { return m_table.columns[size_t(column)]; }
    int columnWidthPixels(int column) const;

    // Cells and row state by table row (1..N). Out-of-range rows read as empty and ignore writes.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    qint16 rowMark(int row) const;
    void setRowMark(int row, qint16 mark);
    bool isRowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    // Rows first..last (clamped to the data rows) hidden or shown, one notification.
    void setRowsHidden(int first, int last, bool hidden);
    int rowData(int row) const;
    void setRowData(int row, int data);
    // Whether the background of the cell is coloured, and with what (0 = default).
    quint32 cellBackground(int row, int column) const;

    // Changes made between beginBatch() and the matching endBatch() are announced once, as one
    // range of rows, at the end; use it for loops over many rows.
    void beginBatch();
    void endBatch();

    // Lets `change` work on the table directly (for example laying the stored rows on it), then
    // announces every row as changed at once. Keep the row count; a change of it resets the model.
    void updateTable(const std::function<void(SignalTable &)> &change);

    // The bit rows of a group head are its own bit signals, found by their row keys wherever a
    // sort has put them. Shown: the head's mark 1 and its bit rows shown, else mark 2 and hidden.
    // False when the row is no group head.
    bool setGroupShown(MachineType type, int headRow, bool shown);
    // Every group head of the table at once. Showing shows every row again.
    void setAllGroupsShown(MachineType type, bool shown);

    // Row registered for device and code, or -1.
    int findRow(int device, int code) const { return FindRow(m_table, device, code); }
    // Re-registers every row under its device (column 1) and code (leading number of column 2);
    // the first row of a key keeps it.
    void rebuildRowKeys();

    // Every grid row, header and column 0 included: each cell followed by a TAB, lines by CR LF.
    QString tabSeparatedText() const;

signals:
    // Rows first..last (table rows) may have changed their hidden state.
    void rowsHiddenChanged(int first, int last);

private:
    bool validRow(int row) const { return row >= 1 && row < m_table.rowCount(); }
    // Marks a head and hides or shows its bit rows (within a batch).
    void showGroup(int headRow, std::span<const CatalogueEntry> bits, bool shown);
    void changed(int firstRow, int lastRow, int firstColumn, int lastColumn, const QList<int> &roles = {});
    void hiddenChanged(int firstRow, int lastRow);

    SignalTable m_table;
    ColumnInfos m_columns;
    int m_batch = 0;
    int m_dirtyFirst = -1;
    int m_dirtyLast = -1;
    int m_hiddenFirst = -1;
    int m_hiddenLast = -1;
};

} // namespace tarveon
