#pragma once
#include <QByteArray>

namespace tarveon {

class AppContext;
struct GroupAddressPlan;

// The `knx:` configuration of Home Assistant's KNX integration for the plan's signals (rows with
// an address of their own), in UTF-8:
// - a device with on/off, setpoint and inlet temperature addresses becomes a `climate` entity
//   (min_temp and max_temp from the setpoint's range); one without gets a comment saying what it lacks;
// - writable values with meanings in their range text (mode, fan speed, louver, ...) become
//   `select` entities with the gateway's own values as options (payload_length 1), other writable
//   values `number` entities;
// - 1-bit signals: read-only ones `binary_sensor` (the status signals with device_class
//   problem), writable ones `switch`; other read-only values `sensor` with the type of their
//   datapoint (temperature, percent, 1byte_unsigned).
// Only keys that Home Assistant documents for each platform are written.
QByteArray HomeAssistantYaml(const AppContext &ctx, const GroupAddressPlan &plan);

} // namespace tarveon
