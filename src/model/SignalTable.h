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
    qint32 rowData = 0;          // the viewer keeps the link-side entry index of the row here

    QString &operator[](int column) { return cells[size_t(column)]; }
    const QString &operator[](int column) const { return cells[size_t(column)]; }
};

// What a content kind lets through while a cell is typed into (the editor's key filter).
enum class ContentKind : qint16 {
    Integer = 2,   // digits, backspace, "-"
    Long = 3,      // as Integer
    Decimal = 4,   // digits, backspace, "+", ",", "-", "." (turned into ",")
    Text = 8,      // every key
    Hex = 17,      // digits, "A" to "F", "a" to "f", backspace
};

enum class CellAlignment : quint8 {
    Default,     // the view's own choice
    LeftCentre,  // left, centred vertically
    Centre,
};

// How a column of the grid is shown: width in twips (15 per pixel at 96 dpi), content kind, alignment.
struct ColumnFormat {
    int widthTwips = 0;
    ContentKind kind = ContentKind::Text;
    CellAlignment alignment = CellAlignment::Default;
};

constexpr int kSignalColumns = 12;

// Column numbers of the signal grids (the editor's, the viewer's and the files').
enum SignalColumn : qint16 {
    kColRowNumber = 0,
    kColDevice = 1,
    kColCode = 2,
    kColDescription = 3,
    kColEis = 4,
    kColAddress = 5,
    kColFurtherAddresses = 6,
    kColR = 7,
    kColW = 8,
    kColT = 9,
    kColU = 10,
    kColYesNo = 11,
};

// The signal table of a project: row 0 holds the column headers, rows 1..N the signals.
// rowKeys maps "device-code" (e.g. "3-101") to the row index.
struct SignalTable {
    QVector<SignalRow> rows;
    QHash<QString, int> rowKeys;
    std::array<ColumnFormat, kSignalColumns> columns{};

    int rowCount() const { return int(rows.size()); }
    QString &cell(int row, int column) { return rows[row].cells[size_t(column)]; }
    const QString &cell(int row, int column) const { return rows[row].cells[size_t(column)]; }
};

} // namespace tarveon
