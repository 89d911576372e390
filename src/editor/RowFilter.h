#pragma once
#include "model/SignalTable.h"

#include <QString>
#include <QStringList>

namespace tarveon {

// What the filter line above the grid lets through: the rows whose device (number or name), code
// caption, description or addresses contain the text (case aside), and with `inUseOnly` only the
// rows in use (Use number above 0, as the checks of OK count them). It decides what the view
// shows; the table never learns of it.
struct RowFilter {
    QString text;
    bool inUseOnly = false;
    QStringList deviceNames; // device n at n - 1

    bool isActive() const { return !text.isEmpty() || inUseOnly; }
    bool matches(const SignalRow &row) const;
};

} // namespace tarveon
