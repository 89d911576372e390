#pragma once
#include "model/ProjectSettings.h"

#include <QString>
#include <QVector>

namespace tarveon {

class AppContext;

// The failure text of the device list, or an empty text when it passes: no two checked devices
// share a system/unit pair; system and unit addresses in range (0..63 for indoor units, system
// 0..7 for chillers) for every device, checked or not. Devices are examined in order and the first
// failure is reported. protocolCode 70 = indoor units, anything else chillers.
QString DeviceListFault(const AppContext &ctx, int protocolCode, const QVector<DeviceRecord> &devices);

// True when the text is a valid EIB physical address: area.line.device (area and line 0..15,
// device 0..255, not all 0) or a plain number 1..65535. Shows nothing.
bool IsValidPhysicalAddress(const QString &text);

// IsInvalidPhysicalAddress: shows "EIB31" and yields true when the text is not a valid physical
// address; false without a message otherwise.
bool IsInvalidPhysicalAddress(const AppContext &ctx, const QString &text);

} // namespace tarveon
