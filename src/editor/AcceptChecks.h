#pragma once
#include "editor/ProjectSettings.h"
#include "model/SignalTable.h"

#include <QString>

namespace tarveon {

class AppContext;

// RemoveBlankRows: with at least three rows in the table, removes every data row whose columns
// 1 to 11 are all blank, renumbers column 0 (1, 2, ...) and moves the row keys with their rows.
void RemoveBlankRows(SignalTable &table);

// The code check of the accept: every selected row (yes/no number above 0) is normalised by the
// flag rules in table order; a row whose code is neither 100 nor 101 and outside 0..37 stops the
// check with "A8". Returns that row, or 0 when every selected row passed.
int NormaliseAndCheckCodes(AppContext &ctx, int protocolCode, SignalTable &table);

// Which check of the accept stopped, and where, for the window to put the cell in view.
struct AcceptFault {
    enum Check { None, Validation, Code, Devices, PhysicalAddress } check = None;
    int row = -1;
    int column = -1;
    bool rowHidden = false; // a collapsed bit row: give it a height before showing the cell
};

// The checks of the editor's accept, in its order, without writing anything: blank rows removed,
// ValidateSignalTable, the flag rules and the code check ("A8"), CheckDevices and the physical
// address. Each failing check has shown its message. The table is changed as the accept changes
// it (blank rows gone, selected rows normalised up to the stop).
AcceptFault RunAcceptChecks(AppContext &ctx, int protocolCode, const ProjectSettings &settings, SignalTable &table);

} // namespace tarveon
