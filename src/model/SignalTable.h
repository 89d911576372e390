#pragma once
#include <QHash>
#include <QString>
#include <QVector>
#include <array>

namespace tarveon {

// One row of the signal table: the twelve cells of text plus the row's mark (1 on group heads),
// whether it is hidden (a collapsed bit row) and the background colour of its cells
// (0 = default, else 0xFFRRGGBB; status rows colour columns 1..11, heads/bit rows only column 2).
struct SignalRow {
    std::array<QString, 12> cells;
    qint16 mark = 0;
    bool hidden = false;
    quint32 background = 0;     // applies to the cells listed in colouredColumns
    quint16 colouredColumns = 0; // bit c set: column c carries `background`

    QString &operator[](int column) { return cells[size_t(column)]; }
    const QString &operator[](int column) const { return cells[size_t(column)]; }
};

// The signal table of a project: row 0 holds the column headers, rows 1..N the signals.
// rowKeys maps "device-code" (e.g. "3-101") to the row index.
struct SignalTable {
    QVector<SignalRow> rows;
    QHash<QString, int> rowKeys;

    int rowCount() const { return int(rows.size()); }
    QString &cell(int row, int column) { return rows[row].cells[size_t(column)]; }
    const QString &cell(int row, int column) const { return rows[row].cells[size_t(column)]; }
};

} // namespace tarveon
