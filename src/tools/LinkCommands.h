#pragma once
#include <QString>

namespace tarveon {

// What the on-line tools (monitors, signal viewer) ask of the gateway link. The link's state
// (LinkState, BusIntOn, BusExtOn) is read from the AppContext; this seam only sends.
class LinkCommands {
public:
    virtual ~LinkCommands() = default;

    // One command line: trimmed, shown in the gateway monitor as sent, sent with CR. Does nothing
    // while the link is off line; raw texts go out exactly as passed.
    virtual void TransmitTarveon(const QString &text, bool raw = false) = 0;
    // Switches the gateway's traffic report of side "INT" (EIB) or "EXT" (controller) on or off;
    // acts only while on line and only when the state differs from BusIntOn / BusExtOn.
    virtual void ControlaBusTarveon(const QString &side, bool on) = 0;
};

} // namespace tarveon
