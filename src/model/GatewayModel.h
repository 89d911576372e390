#pragma once
#include "app/Fault.h"

#include <QString>
#include <QVector>
#include <array>

namespace tarveon {

class AppContext;
struct ProjectSettings;
struct SignalTable;

// Slot counts of the two machine types: bit signals and value signals per device.
inline constexpr int kUnitBitSlots = 20;      // codes 18..37
inline constexpr int kUnitValueSlots = 18;    // codes 0..17
inline constexpr int kChillerBitSlots = 5;    // codes 11..15
inline constexpr int kChillerValueSlots = 11; // codes 0..10

// Limits of the gateway's link table.
inline constexpr int kMaxLinksPerGroup = 255;
inline constexpr int kMaxLinks = 1000;

// The TR-BAS-HUB controller as the gateway reaches it.
struct GatewayRemote {
    QString remip;          // controller IP text, blank-padded or cut to exactly 16 characters
    qint32 remport = 0;     // controller TCP port
    qint16 idxAlarma = -1;  // group index of the controller status signal (code 100), -1 when none
};

// The fixed signal slots of one enabled device. A unit project uses 20 bit slots and 18 value
// slots; a chiller project uses the first 5 and 11 of them (ChillerRecord), the rest stay unused
// and are never written.
struct UnitRecord {
    quint8 Sys = 0;
    quint8 Uni = 0;
    qint16 idxCom = -1;                                   // group of the device status signal (101)
    std::array<qint16, kUnitBitSlots> idxDatosPropBit{};  // group of bit signal, -1 when none
    quint8 NProps = 0;                                    // value signals that have a group
    std::array<qint16, kUnitValueSlots> idxDatosProp{};   // -2 unused, -1 only a bit signal has a group
};
using ChillerRecord = UnitRecord;

// One distinct EIB group of the gateway's table (sorted by ascending address).
struct GroupRecord {
    qint16 Grupo = 0;
    qint16 IdxPuntos = -1;
    qint16 IdxEnlaces = -1;
    quint8 NEnlaces = 0;
    quint8 Flags = 0;   // 1 U/U2, 2 T, 4 W, 8 R
    quint8 TipoEIS = 0;
    qint16 GrupoU = 0;
};

// The compact model the gateway works on; it lives only while the configuration file is made.
struct GatewayModel {
    bool unitProject = true;  // protocol code 70; otherwise chillers
    GatewayRemote remote;
    QVector<UnitRecord> devices;   // one per enabled device, in device-number order
    QVector<GroupRecord> GruposEIB;
    QVector<qint16> EnlacesEIB;    // 0-based group indices
    qint16 NUnits = 0;
    qint16 PrimerGrupoEIBno0 = -1;
    int eisMismatches = 0;         // listened groups whose EIS type differs from a listener's

    int bitSlots() const { return unitProject ? kUnitBitSlots : kChillerBitSlots; }
    int valueSlots() const { return unitProject ? kUnitValueSlots : kChillerValueSlots; }
};

// Builds the gateway model of a project from its device list, the controller fields and the
// signal table (rows in grid order, row 0 the headers). protocolCode 70 = indoor units, anything
// else chillers. The messages to show are added to `faults` in the order they arise: the internal
// notices ("Esto no puede pasar n"), the EIS mismatch warning ("EIB37" count "EIB38"), and last the
// stop ("EIB36", "EIB39", "EIB40") when the build returns false.
bool BuildGatewayModel(const AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                       const SignalTable &table, GatewayModel &model, Faults &faults);

} // namespace tarveon
