#pragma once
#include "editor/SignalColumns.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace tarveon {

// One cell changed by the user. The row is named by its key (device and signal code), which a
// sort does not change, so that an undo finds it wherever the rows stand by then.
struct CellChange {
    qint16 device = 0;
    qint16 code = 0;
    qint16 column = 0;
    QString before;
    QString after;
};

// Everything one action of the user changed, in the order it was changed.
struct CellEdit {
    QVector<CellChange> changes;
    // The flag rules that ran when a row was left: they finish the action before and are undone
    // with it.
    bool followUp = false;
};

// A text for one cell, as fills, plans, pastes and imports hand it to the grid.
struct CellWrite {
    int row = 0;
    int column = 0;
    QString text;
};

// The text a column takes for a pasted or imported value, as typing would store it: any text in
// the address columns (blanks trimmed), a flag column's letter or a blank ("U" or "U2" in column
// 10, upper or lower case), a Use value by its leading number 0 or 1 (the text must start with
// it). Nothing when the column does not take the value or is not edited by the user.
std::optional<QString> ColumnValueOf(const ColumnInfo &info, int column, const QString &text);

// Text copied from a spreadsheet or the grid: lines ending in "\n" or "\r\n" (the last line end
// is no further line), cells separated by TAB.
QVector<QStringList> TabSeparatedLines(const QString &text);

} // namespace tarveon
