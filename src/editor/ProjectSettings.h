#pragma once
#include <QString>
#include <QVector>

namespace tarveon {

class AppContext;

// One device of the device list: its QLOOP addresses, free name and checked (active) state.
struct DeviceRecord {
    QString sys;
    QString uni;
    QString name;
    bool active = false;
};

// The project settings file's contents: the protocol section (controller link, gateway IP
// settings, device list) and section "EIB". Shared by the editor, the generator and the command line.
struct ProjectSettings {
    QString ip = QStringLiteral("192.168.0.1");
    QString netMask = QStringLiteral("255.255.255.0");
    QString gateway;
    QString pollingMs = QStringLiteral("1000");
    QString ipTrbas = QStringLiteral("192.168.0.2");
    QString portTrbas = QStringLiteral("502");
    QVector<DeviceRecord> devices;
    QString phyAdd = QStringLiteral("15.15.255");
    int updateOnResetoErrEIB = 0;
    QString delayUpdateBus = QStringLiteral("4");

    // Reads ProjectDir / protocol name + ".ini" (sets ctx.IniFileName to the protocol name).
    // protocolCode 70 = indoor units, anything else chillers.
    static ProjectSettings load(AppContext &ctx, int protocolCode);
    // Writes every key in its order.
    void save(AppContext &ctx, int protocolCode) const;
};

} // namespace tarveon
