#pragma once
#include "editor/CellEdit.h"
#include "model/SignalTable.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

namespace tarveon {

// The signal table as a spreadsheet takes it: UTF-8 with a byte-order mark (so that Excel reads
// it as UTF-8), ";" between fields, the twelve columns of the grid with the header row first,
// CR LF; a field holding ";", a quote or a line end is quoted, its quotes doubled.
QByteArray SignalTableCsv(const SignalTable &table);

// What a spreadsheet's file gives the table: the texts of columns 5 to 11 of each row it names by
// its device (column 1) and signal code (leading number of column 2), as typing stores them, and
// the lines it could not place ("7: 161-3": line 7 names device 161, code 3) because no row has
// that key, the line has fewer fields than the grid has columns, or a value is one its column does
// not take. A first line whose device field is no number is the header.
struct SignalCsvImport {
    QVector<CellWrite> writes;
    int placed = 0;
    QStringList unplaced;
};
SignalCsvImport ReadSignalTableCsv(const QByteArray &bytes, const SignalTable &table, const ColumnInfos &columns);

} // namespace tarveon
