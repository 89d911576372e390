#pragma once
#include "model/SignalTable.h"

#include <QString>
#include <QStringList>

namespace tarveon {

class AppContext;

// Checks of the signal table before it is saved or turned into a gateway file. Every check stops
// at the first fault and reports it; nothing is shown here (the editor shows the fault's messages
// in its message dialog, the command line prints them).

// Where a check stopped and what it says.
struct ValidationFault {
    int row = -1;
    int column = -1;
    // The row is a collapsed bit row: the window gives it a height before making the cell current.
    bool rowHidden = false;
    // "EIB1" ... "EIB8" and "ED1" for the row checks, "X38" for a group used twice, or the key of
    // the address or list check ("EIB16" ... "EIB30").
    QString key;
    // The complete text of the message.
    QString message;
    // An invalid item of a further-address list: the address check's own text, shown before
    // `message` ("EIB16").
    QString cause;

    // The messages in the order they are shown.
    QStringList messages() const;
};

// The pure check of one group address text. Returns the key of the fault ("EIB20" … "EIB30"),
// or an empty text when the address is valid; then `value` holds it. An empty text is valid with
// value 0; any other text must not give 0.
QString GroupAddressFault(const QString &text, qint16 &value);

// GroupAddressFault with its message: true when the text is invalid (`fault` then tells why),
// false when it is valid (value set).
bool GroupAddressInvalid(const AppContext &ctx, const QString &text, qint16 &value, ValidationFault *fault = nullptr);

// Checks a ","-separated list of further addresses of a row whose own group is `ownGroup`:
// each item must be a valid address ("EIB16", after the address's own message), not repeated
// ("EIB17"), not 0 ("EIB18"); the own group must not be in the list ("EIB19").
// True when the list is invalid (`fault` then tells why).
bool ListenListInvalid(const AppContext &ctx, const QString &list, qint16 ownGroup, ValidationFault *fault = nullptr);

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

// Checks every data row whose yes/no number (leading number of the yes/no column) is above 0,
// except `rowToLeaveOut` (-1: none), in table order: flags against the address, the address,
// groups used twice, the further addresses (which need an address of the row's own), update
// groups used twice, the EIS type. Returns true when every examined row is valid. On the first
// fault sets `faultFlag`, fills `fault` (when given) and returns false. When `faultFlag` is
// already set nothing is checked and false is returned.
bool ValidateSignalTable(const AppContext &ctx, const SignalTable &grid, const SignalColumns &columns, bool &faultFlag,
                         int rowToLeaveOut = -1, ValidationFault *fault = nullptr);

} // namespace tarveon
