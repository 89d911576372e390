#pragma once
#include "model/SignalTable.h"

#include <QString>
#include <QVector>
#include <array>

namespace tarveon {

class AppContext;

// How the user may change a column's cells.
enum EditKind : qint16 {
    kEditFree = 0,   // edited in place as text
    kEditChoice = 1, // one of the column's Values
    kEditFixed = 2,  // not editable by the user
};

// One entry of a column's keyed list of allowed texts ("KR": "R").
struct ColumnValue {
    QString key;
    QString text;
};

// The descriptor of one column of a signal grid.
struct ColumnInfo {
    qint16 EditKind = kEditFree;
    QVector<ColumnValue> Values; // in order
    QString Help;

    // The text stored under key, or an empty string when the column has no such key.
    QString value(const QString &key) const;
    bool hasValue(const QString &key) const;
};

using ColumnInfos = std::array<ColumnInfo, kSignalColumns>;

// The shared set-up of the EIS, address, further-address, flag and yes/no columns: per column
// writes the header into row 0 (adding that row to an empty grid), sets width (never narrower than
// its header text), content kind and alignment, and fills the descriptor.
void SetupSignalColumns(const AppContext &ctx, SignalTable &grid, ColumnInfos &info, qint16 eis,
                        qint16 address, qint16 furtherAddresses, qint16 r, qint16 w, qint16 t, qint16 u,
                        qint16 yesNo);

} // namespace tarveon
