#pragma once
#include "model/SignalTable.h"

namespace tarveon {

// The rules that keep the object flags of a signal row consistent with its signal code:
// read-only signals lose "U" and "W", step signals lose "R" and "T"; "U" clears "R";
// "U" or "U2" sets "W"; "R" sets "T". protocolCode 70 = indoor units, anything else chillers.
void NormaliseRow(SignalRow &row, int protocolCode);
// The same on row `row` (>= 1) of the table; rows out of range are left alone.
void NormaliseRow(SignalTable &table, int row, int protocolCode);

} // namespace tarveon
