#pragma once
#include "model/LinkSignals.h"

#include <QObject>
#include <QString>

namespace tarveon {

// The states of the link to the gateway, numbered as the rest of the tool knows them.
enum class LinkState : qint16 {
    OffLine = 0,         // port closed
    Identifying = 1,     // port open, waiting for the gateway to name its protocol
    OnLine = 2,
    UploadAnnounced = 3, // waiting for the gateway to accept the file
    Uploading = 4,       // file blocks being sent
};

// The gateway link as the on-line tools (bus monitors, signal viewer) see it: its state, the
// traffic report flags, which tools are open, the link-side signal tables, and the operations
// that change them. The link is the only owner of all of it; SerialLink drives it over the serial
// port, tests script it.
class LinkCommands : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    LinkState state() const { return m_state; }

    // One command line: trimmed, shown in the gateway monitor as sent, sent with CR. Does nothing
    // while the link is off line; raw texts go out exactly as passed.
    virtual void TransmitTarveon(const QString &text, bool raw = false) = 0;
    // The program ends: the link goes off line for good, so that what the tools do as they close
    // sends nothing more.
    virtual void Shutdown() { setState(LinkState::OffLine); }
    // Switches the gateway's traffic report of side "INT" (EIB) or "EXT" (controller): only while
    // on line and only when `on` differs from the side's flag, which then follows.
    void ControlaBusTarveon(const QString &side, bool on);

    // BusIntOn ("INT") / BusExtOn ("EXT"): the traffic report of that side counts as on.
    bool busReportOn(const QString &side) const;
    // A bus monitor's "Show bus" clicked: the report is switched, and the flag follows `on` even
    // where nothing could be sent (a monitor opened off line counts its report as on).
    void showBus(const QString &side, bool on);
    // EibMonitorOpen ("INT") / ExtMonitorOpen ("EXT").
    bool busMonitorOpen(const QString &side) const;
    // The bus monitor of `side` loads: marked open, its report on (showBus).
    void busMonitorOpened(const QString &side);
    // The bus monitor of `side` is gone (after switching its report off): flag and mark cleared.
    void busMonitorClosed(const QString &side);

    // ViewerOpen: the signal viewer is open and wants its grid rebuilt when the tables reload.
    bool viewerOpen() const { return m_viewerOpen; }
    void setViewerOpen(bool open) { m_viewerOpen = open; }

    // LinkSignals and LinkSignalIndex, filled when the gateway is recognised.
    const LinkTables &signalTables() const { return m_tables; }
    // The viewer wrote a value to the gateway: entry (1..count) takes it.
    void setSignalValue(int entry, float value);

signals:
    void stateChanged(tarveon::LinkState state);

protected:
    // Only the link itself moves between states.
    void setState(LinkState state);
    LinkTables &tables() { return m_tables; }

private:
    // The flags of one side: BusIntOn and EibMonitorOpen, or BusExtOn and ExtMonitorOpen.
    struct SideFlags {
        bool reportOn = false;
        bool monitorOpen = false;
    };
    SideFlags *sideOf(const QString &side);
    const SideFlags *sideOf(const QString &side) const;

    LinkState m_state = LinkState::OffLine;
    SideFlags m_int;
    SideFlags m_ext;
    bool m_viewerOpen = false;
    LinkTables m_tables;
};

} // namespace tarveon
