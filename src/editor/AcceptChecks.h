#pragma once
#include "model/ProjectSettings.h"
#include "model/SignalTable.h"
#include "model/Validation.h"

#include <QString>

namespace tarveon {

class AppContext;

// RemoveBlankRows: with at least three rows in the table, removes every data row whose columns
// 1 to 11 are all blank, renumbers column 0 (1, 2, ...) and moves the row keys with their rows.
void RemoveBlankRows(SignalTable &table);

// The flag rules on every row in use (yes/no number above 0).
void NormaliseRowsInUse(SignalTable &table, int protocolCode);

// The code check of the accept: the first row in use whose signal code is neither 100 nor 101
// and outside 0..37, or 0 when there is none.
int UnknownCodeRow(const SignalTable &table);

// Which check of the accept stopped, where, and what it says (key "A8" or "EIB31", no key for
// the device list). Nothing is shown: the editor shows the messages in its message dialog, the
// command line prints them.
struct AcceptFault : ValidationFault {
    enum Check { None, Validation, Code, Devices, PhysicalAddress } check = None;
};

// The checks of the editor's accept, in its order, without writing anything: blank rows removed,
// the flag rules on the rows in use, ValidateSignalTable, the code check ("A8"), the device list
// and the physical address. The table is changed as the accept changes it.
AcceptFault RunAcceptChecks(const AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                            SignalTable &table);

} // namespace tarveon
