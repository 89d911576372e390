#pragma once

namespace tarveon {

// Protocol codes of the protocol name table (AppContext::ProtocolNames).
namespace protocol {
inline constexpr int Zdm = 0;       // "ZDM": the gateway monitor's log file
inline constexpr int Eib = 47;      // "EIB": the EIB section of the project settings, the EIB monitor
inline constexpr int Packaged = 70; // "ZTR001-PACKAGED": indoor units
inline constexpr int Chiller = 71;  // "ZTR001-CHILLER": chillers

// A project addresses indoor units under protocol 70 and chillers under any other code.
constexpr bool isIndoorUnits(int code) { return code == Packaged; }
// The protocols that have a configuration editor.
constexpr bool hasEditor(int code) { return code == Packaged || code == Chiller; }
} // namespace protocol

// Signal codes that both machine types have.
inline constexpr int kControllerStatusCode = 100; // listed once, in the first device's block
inline constexpr int kDeviceStatusCode = 101;

} // namespace tarveon
