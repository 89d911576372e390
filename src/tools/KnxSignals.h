#pragma once
#include "editor/SignalCatalogue.h"
#include "model/DatapointTypes.h"

#include <QByteArrayView>
#include <QString>

namespace tarveon {

class AppContext;

// The KNX side of the catalogue's signals: their datapoint types, names and value texts.

// Status signals (100, 101) are alarms, the "1+/0-" signals steps, the others plain values.
SignalMeaning MeaningOfCode(MachineType type, int code);
// The datapoint type of a signal with the EIS number of its row.
Dpt SignalDpt(MachineType type, int code, int eis);

// The signal's name as integrators see it: its caption without the code ("Setpoint"); bit and
// step signals follow their group head's name ("Mode Auto (0)", "Setpoint Step 1+/0-"). Empty for
// codes the machine type does not have.
QString SignalName(const AppContext &ctx, MachineType type, int code);

// The range text of the signal's catalogue entry read as limits and meanings ("0-Auto, 1-Cool",
// "17..30 ºC"); bit and step signals have none.
RangeText SignalRange(const AppContext &ctx, MachineType type, int code);

// A value of the signal as it travels on the bus shown as a person reads it ("23.40 °C", "On",
// "Mode 1 Cool"); empty when the bytes do not fit its datapoint type.
QString SignalValueText(const AppContext &ctx, MachineType type, int code, int eis, QByteArrayView bytes);

} // namespace tarveon
