#pragma once
#include "editor/SignalCatalogue.h"
#include "model/DatapointTypes.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tarveon {

class AppContext;
struct ProjectSettings;
struct SignalTable;

// One used row that names a group address, as its own address or as a further one.
struct PlanUse {
    int row = 0;
    int device = 0;
    int code = 0;
    Dpt dpt;
    QString name;   // "Room 101 Setpoint"
    bool listen = false;
};

// A group address of the plan: named, typed and described after the first row that names it;
// the other rows are listed in its description.
struct PlanAddress {
    qint16 address = 0;
    QString name;
    QString description;
    Dpt dpt;
    int code = 0;
    QVector<PlanUse> uses; // the first row first
};

// A used row with an address of its own: a signal that a visualisation reads and writes there.
struct PlanSignal {
    int row = 0;
    int device = 0;
    int code = 0;
    qint16 address = 0;
    Dpt dpt;
    bool writable = false; // the row's W flag
    bool readable = false; // its R or T flag: the gateway answers reads or sends its changes
    QString name;
};

// The project's group addresses as ETS and a visualisation need them: exactly the addresses the
// gateway file holds, each once, ascending, with the names of their main and middle groups.
struct GroupAddressPlan {
    MachineType type = MachineType::IndoorUnits;
    QVector<PlanAddress> addresses;
    QVector<PlanSignal> signalRows;  // in table order
    QMap<int, QString> mainNames;    // main group -> name
    QMap<int, QString> middleNames;  // main * 8 + middle -> name
    QStringList deviceNames;         // device n at n - 1

    const PlanAddress *find(qint16 address) const;
};

// Main group and middle group of an address, and the address as "1/3/1".
inline int MainGroupOf(qint16 address) { return address / 2048; }
inline int MiddleGroupOf(qint16 address) { return (address / 256) % 8; }

// Builds the plan from the device list and the signal table (flags as they stand). Names are the
// device's name (else its list label, "Unit 3") and the signal's name; a main or middle group is
// named after its signal when all its addresses carry one signal code, else "Main group 1" /
// "Middle group 1/3".
GroupAddressPlan BuildGroupAddressPlan(const AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                                       const SignalTable &table);

} // namespace tarveon
