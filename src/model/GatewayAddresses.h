#pragma once
#include <QVector>
#include <QtGlobal>

namespace tarveon {

struct ProjectSettings;
struct SignalTable;

// One address met in a used row: the row's own address (listen false) or one of its further
// addresses (listen true).
struct GroupRef {
    int row;
    qint16 group;
    bool listen;
};

// A distinct address and the row that first named it (negative when first met as a further address).
struct AddressEntry {
    int firstRow;
    qint16 address;
};

// The group addresses the gateway file holds, before they are sorted into its group table.
struct GatewayAddresses {
    QVector<GroupRef> refs;          // own addresses of every used row in table order, then further ones
    QVector<AddressEntry> addresses; // each distinct address once, in the order first met
};

// The device numbers (from 1) whose device is enabled in the device list.
bool IsEnabledDevice(const ProjectSettings &settings, qint64 device);

// Collects the addresses of the used rows (yes/no number not 0, device enabled): pass 1 takes
// every row's own address (column 5), pass 2 its further addresses (column 6); 0 is no address,
// and a list stops at its first negative value. The generator builds its group table from this,
// the exports publish exactly these addresses.
GatewayAddresses CollectGatewayAddresses(const ProjectSettings &settings, const SignalTable &table);

} // namespace tarveon
