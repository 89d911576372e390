#pragma once
#include "app/Fault.h"

#include <QString>
#include <QVector>
#include <optional>

namespace tarveon {

class AppContext;
class IniDocument;

// One device of the device list: its QLOOP addresses, free name and checked (active) state.
struct DeviceRecord {
    QString sys;
    QString uni;
    QString name;
    bool active = false;
};

// The project settings file's contents: the protocol section (controller link, gateway IP
// settings, device list) and section "EIB". Shared by the editor, the generator and the command line.
// Protocol code 70 means indoor units, any other code chillers.
struct ProjectSettings {
    QString ip = QStringLiteral("192.168.0.1");
    QString netMask = QStringLiteral("255.255.255.0");
    QString gateway;
    QString pollingMs = QStringLiteral("1000");
    QString ipTrbas = QStringLiteral("192.168.0.2");
    QString portTrbas = QStringLiteral("502");
    QVector<DeviceRecord> devices;
    QString phyAdd = QStringLiteral("15.15.255");
    // Read as the generator reads it: the number at the start of the stored text, not 0 = on;
    // written as "1" or "0".
    bool updateOnResetoErrEIB = false;
    QString delayUpdateBus = QStringLiteral("4");

    // Sets ctx.IniFileName to the protocol's name and reads ProjectDir / that name + ".ini"
    // (missing file or keys: the defaults; Devices clamped to the machine type's maximum).
    static ProjectSettings load(AppContext &ctx, int protocolCode);
    // Sets ctx.IniFileName to the protocol's name and writes every key in its order into that
    // file, in one atomic save (keys the file holds besides are kept). On failure returns the
    // "X31" fault (its text and the file name) for the caller to show.
    std::optional<Fault> save(AppContext &ctx, int protocolCode) const;

    // The same over a document already in memory; the sections are the protocol's name and "EIB".
    static ProjectSettings fromIni(const IniDocument &doc, const QString &protocolSection,
                                   const QString &eibSection, int protocolCode);
    void toIni(IniDocument &doc, const QString &protocolSection, const QString &eibSection,
               int protocolCode) const;

    // 160 for indoor units (code 70), 8 for chillers.
    static int maxDevices(int protocolCode);
    // Device n (from 1) as it is when its file holds no keys: not active, no name; indoor units
    // system n div 64 and unit n mod 64, chillers system n - 1 and unit "0".
    static DeviceRecord defaultDevice(int protocolCode, int n);
    // The device list's item text: "Unit n" for indoor units, "Chiller n" for chillers.
    static QString deviceLabel(int protocolCode, int n);
};

} // namespace tarveon
