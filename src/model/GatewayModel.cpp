#include "model/GatewayModel.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "model/GatewayAddresses.h"
#include "model/ProjectSettings.h"
#include "model/GroupAddress.h"
#include "model/SignalTable.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <limits>

namespace tarveon {

namespace {

constexpr int kCodeControllerStatus = kControllerStatusCode;
constexpr int kCodeDeviceStatus = kDeviceStatusCode;

// The integer at the start of a cell or setting, kept within 32 bits.
qint32 leadingInt(QStringView text)
{
    return qint32(std::clamp<qint64>(LeadingInteger(text), std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

// The value slot a bit signal belongs to: marked -1 when it has no group of its own.
int unitParentSlot(int code)
{
    if (code >= 18 && code <= 23)
        return 1;
    if (code >= 24 && code <= 27)
        return 2;
    if (code == 28)
        return 4;
    if (code >= 29 && code <= 32)
        return 5;
    if (code >= 33 && code <= 36)
        return 14;
    return 3; // code 37
}

int chillerParentSlot(int code)
{
    return code == 15 ? 2 : 7; // codes 11..14 belong to 7
}

// A lookup that a validated table never fails, failed: the literal notice n.
Fault cannotHappen(int number)
{
    return Fault{QString(), QStringLiteral("Esto no puede pasar ") + QString::number(number), FaultKind::Information};
}

// A stop of the build: the key's text followed by the count and its maximum ("256 Max.255").
Fault stop(const AppContext &ctx, const QString &key, const QString &tail = {})
{
    return Fault{key, ctx.GetText(key) + tail};
}

bool flagSet(const SignalRow &row, int column)
{
    return !TrimBlanks(row[column]).isEmpty();
}

} // namespace

bool BuildGatewayModel(const AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                       const SignalTable &table, GatewayModel &model, Faults &faults)
{
    model = GatewayModel{};
    model.unitProject = protocol::isIndoorUnits(protocolCode);

    // 1. The controller.
    QString remip = settings.ipTrbas.left(16);
    remip = remip.leftJustified(16, QLatin1Char(' '));
    model.remote.remip = remip;
    model.remote.remport = leadingInt(settings.portTrbas);
    model.remote.idxAlarma = -1;

    // 2. One record per enabled device; UnitsByDevice maps the device number to its 1-based unit index.
    QHash<int, int> UnitsByDevice;
    for (int n = 1; n <= settings.devices.size(); ++n) {
        const DeviceRecord &device = settings.devices[n - 1];
        if (!device.active)
            continue;
        UnitRecord record;
        record.Sys = quint8(leadingInt(device.sys));
        record.Uni = quint8(leadingInt(device.uni));
        model.devices.append(record);
        UnitsByDevice.insert(n, int(model.devices.size()));
    }
    model.NUnits = qint16(model.devices.size());

    // 3. Own addresses (pass 1), then further addresses (pass 2), of every used row.
    GatewayAddresses gathered = CollectGatewayAddresses(settings, table);
    const QVector<GroupRef> &refs = gathered.refs;
    QVector<AddressEntry> &addresses = gathered.addresses;

    // 4.
    if (addresses.isEmpty()) {
        faults.append(stop(ctx, QStringLiteral("EIB36")));
        return false;
    }

    // 5. Ascending addresses; they are distinct, so any correct sort gives the gateway's order.
    std::sort(addresses.begin(), addresses.end(),
              [](const AddressEntry &a, const AddressEntry &b) { return a.address < b.address; });

    // 6. The group table and its two lookups (0-based group indices).
    QHash<qint16, int> GroupsByAddress;
    QHash<int, int> GroupByRow;
    model.GruposEIB.reserve(addresses.size());
    for (int i = 0; i < addresses.size(); ++i) {
        GroupRecord group;
        group.Grupo = addresses[i].address;
        group.IdxPuntos = -1;
        group.NEnlaces = 0;
        model.GruposEIB.append(group);
        if (GroupsByAddress.contains(group.Grupo))
            faults.append(cannotHappen(1));
        else
            GroupsByAddress.insert(group.Grupo, i);
        if (model.PrimerGrupoEIBno0 < 0 && group.Grupo != 0)
            model.PrimerGrupoEIBno0 = qint16(i);
        if (addresses[i].firstRow > 0) {
            if (GroupByRow.contains(addresses[i].firstRow))
                faults.append(cannotHappen(2));
            else
                GroupByRow.insert(addresses[i].firstRow, i);
        }
    }

    // 7. Empty slots.
    for (UnitRecord &device : model.devices) {
        device.idxCom = -1;
        device.idxDatosProp.fill(-2);
        device.idxDatosPropBit.fill(-1);
        device.NProps = 0;
    }

    // 8. Slots, signal points, flags and types from the row that owns each group.
    for (int i = 0; i < model.GruposEIB.size(); ++i) {
        GroupRecord &group = model.GruposEIB[i];
        const int r = addresses[i].firstRow;
        if (r < 0) {
            group.Flags = 4; // only listened to: the gateway writes into it
            continue;
        }
        const qint16 gi = qint16(i);
        const SignalRow &row = table.rows[r];
        const int u = UnitsByDevice.value(leadingInt(row[kColDevice]));
        UnitRecord &device = model.devices[u - 1];
        const int c = leadingInt(row[kColCode]);
        if (c == kCodeControllerStatus) {
            model.remote.idxAlarma = gi;
        } else if (c == kCodeDeviceStatus) {
            device.idxCom = gi;
        } else if (model.unitProject) {
            if (c >= 0 && c <= 17) {
                device.idxDatosProp[size_t(c)] = gi;
                ++device.NProps;
            } else if (c >= 18 && c <= 37) {
                device.idxDatosPropBit[size_t(c - 18)] = gi;
                qint16 &parent = device.idxDatosProp[size_t(unitParentSlot(c))];
                if (parent == -2)
                    parent = -1;
            }
        } else {
            if (c >= 0 && c <= 10) {
                device.idxDatosProp[size_t(c)] = gi;
                ++device.NProps;
            } else if (c >= 11 && c <= 15) {
                device.idxDatosPropBit[size_t(c - 11)] = gi;
                qint16 &parent = device.idxDatosProp[size_t(chillerParentSlot(c))];
                if (parent == -2)
                    parent = -1;
            }
        }
        if (c < 100)
            group.IdxPuntos = qint16((u - 1) * 64 + c);
        group.Flags = quint8((flagSet(row, kColU) ? 1 : 0) | (flagSet(row, kColT) ? 2 : 0)
                             | (flagSet(row, kColW) ? 4 : 0) | (flagSet(row, kColR) ? 8 : 0));
        group.TipoEIS = quint8(leadingInt(row[kColEis]));
        if (TrimBlanks(row[kColU]) == QLatin1String("U2")) {
            QString listen = TrimBlanks(row[kColFurtherAddresses]);
            group.GrupoU = TakeFirstGroup(listen);
        } else {
            group.GrupoU = group.Grupo;
        }
    }

    // 9. Links: every further address feeds the group of the row that lists it, in row order.
    QVector<QVector<qint16>> collected(model.GruposEIB.size());
    QSet<quint32> linked;
    for (const GroupRef &ref : refs) {
        if (!ref.listen)
            continue;
        const auto listened = GroupsByAddress.constFind(ref.group);
        if (listened == GroupsByAddress.constEnd()) {
            faults.append(cannotHappen(5));
            continue;
        }
        const auto owner = GroupByRow.constFind(ref.row);
        if (owner == GroupByRow.constEnd()) {
            faults.append(cannotHappen(6));
            continue;
        }
        const int gl = *listened;
        const int gm = *owner;
        // A group's links form a keyed list: the same listener is kept once.
        const quint32 key = (quint32(gl) << 16) | quint32(gm);
        if (!linked.contains(key)) {
            linked.insert(key);
            collected[gl].append(qint16(gm));
        }
        GroupRecord &target = model.GruposEIB[gl];
        const quint8 listenerType = model.GruposEIB[gm].TipoEIS;
        if (target.TipoEIS == 0)
            target.TipoEIS = listenerType;
        else if (target.TipoEIS != listenerType)
            ++model.eisMismatches;
    }

    // 10.
    if (model.eisMismatches != 0) {
        faults.append(Fault{QStringLiteral("EIB37"), ctx.GetText(QStringLiteral("EIB37"))
                                                         + QString::number(model.eisMismatches)
                                                         + ctx.GetText(QStringLiteral("EIB38"))});
    }

    // 11./12. The link table, 0-based from the start.
    int total = 0;
    for (int i = 0; i < model.GruposEIB.size(); ++i) {
        const QVector<qint16> &links = collected[i];
        const int k = int(links.size());
        if (k == 0)
            continue;
        if (k > kMaxLinksPerGroup) {
            faults.append(stop(ctx, QStringLiteral("EIB39"),
                               QString::number(k) + QStringLiteral(" Max.") + QString::number(kMaxLinksPerGroup)));
            return false;
        }
        GroupRecord &group = model.GruposEIB[i];
        group.NEnlaces = quint8(k);
        group.IdxEnlaces = qint16(total);
        model.EnlacesEIB += links;
        total += k;
        if (total > kMaxLinks) {
            faults.append(stop(ctx, QStringLiteral("EIB40"),
                               QString::number(total) + QStringLiteral(" Max.") + QString::number(kMaxLinks)));
            return false;
        }
    }
    return true;
}

} // namespace tarveon
