#pragma once
#include "model/SignalTable.h"

#include <QString>

namespace tarveon {

class AppContext;

// Checks of the signal table before it is saved or turned into a gateway file. Every check stops
// at the first fault and shows one notice (message dialog, application title, one button "X1").

// The pure check of one group address text. Returns the key of the fault ("EIB20" … "EIB30"),
// or an empty text when the address is valid; then `value` holds it. An empty text is valid with
// value 0; any other text must not give 0.
QString GroupAddressFault(const QString &text, qint16 &value);

// GroupAddressFault with its message: true after showing the fault, false when valid (value set).
bool GroupAddressInvalid(AppContext &ctx, const QString &text, qint16 &value);

// Checks a ","-separated list of further addresses of a row whose own group is `ownGroup`:
// each item must be a valid address ("EIB16", after the address's own message), not repeated
// ("EIB17"), not 0 ("EIB18"); the own group must not be in the list ("EIB19").
// True after showing the fault, false when valid.
bool ListenListInvalid(AppContext &ctx, const QString &list, qint16 ownGroup);

// Column numbers of the checked columns (always 4 … 11 in the signal table).
struct SignalColumns {
    int eis = 4;
    int address = 5;
    int further = 6;
    int r = 7;
    int w = 8;
    int t = 9;
    int u = 10;
    int yesNo = 11;
};

// Where the check stopped, for the window to make that cell current. When `rowHidden` is set the
// row is a collapsed bit row: the window gives it the height of row 0 first.
struct ValidationFault {
    int row = -1;
    int column = -1;
    bool rowHidden = false;
    // The message kind: "EIB1" … "EIB8" for the row checks, "X38" for a group used twice, or the
    // key of the address / list check's message ("EIB16" … "EIB30").
    QString key;
};

// Checks every data row whose yes/no number (leading number of the yes/no column) is above 0,
// except `rowToLeaveOut` (-1: none), in table order: flags against the address, the address,
// groups used twice, the further addresses, update groups used twice, the EIS type.
// Returns true when every examined row is valid. On the first fault shows its message, sets
// `faultFlag`, fills `fault` (when given) and returns false. When `faultFlag` is already set
// nothing is checked and false is returned.
bool ValidateSignalTable(AppContext &ctx, const SignalTable &grid, const SignalColumns &columns, bool &faultFlag,
                         int rowToLeaveOut = -1, ValidationFault *fault = nullptr);

} // namespace tarveon
