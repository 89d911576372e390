#include "tools/GroupAddressPlan.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "model/ProjectSettings.h"
#include "editor/SignalColumns.h"
#include "model/GatewayAddresses.h"
#include "model/GroupAddress.h"
#include "tools/KnxSignals.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace tarveon {

namespace {

// The codes met in each range; a range with one code is named after its signal.
void nameRanges(const AppContext &ctx, GroupAddressPlan &plan)
{
    QMap<int, QSet<int>> mainCodes;
    QMap<int, QSet<int>> middleCodes;
    for (const PlanAddress &a : plan.addresses) {
        mainCodes[MainGroupOf(a.address)].insert(a.code);
        middleCodes[MainGroupOf(a.address) * 8 + MiddleGroupOf(a.address)].insert(a.code);
    }
    for (auto it = mainCodes.cbegin(); it != mainCodes.cend(); ++it) {
        plan.mainNames[it.key()] = it->size() == 1 ? SignalName(ctx, plan.type, *it->cbegin())
                                                   : ctx.GetText(QStringLiteral("KNX1")) + QString::number(it.key());
    }
    for (auto it = middleCodes.cbegin(); it != middleCodes.cend(); ++it) {
        plan.middleNames[it.key()] =
            it->size() == 1 ? SignalName(ctx, plan.type, *it->cbegin())
                            : ctx.GetText(QStringLiteral("KNX2")) + QString::number(it.key() / 8) + QLatin1Char('/')
                                  + QString::number(it.key() % 8);
    }
}

} // namespace

const PlanAddress *GroupAddressPlan::find(qint16 address) const
{
    const auto it = std::lower_bound(addresses.cbegin(), addresses.cend(), address,
                                     [](const PlanAddress &a, qint16 v) { return a.address < v; });
    return it != addresses.cend() && it->address == address ? &*it : nullptr;
}

GroupAddressPlan BuildGroupAddressPlan(const AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                                       const SignalTable &table)
{
    GroupAddressPlan plan;
    plan.type = MachineTypeOf(protocolCode);
    for (int n = 1; n <= settings.devices.size(); ++n) {
        const QString name = TrimBlanks(settings.devices[n - 1].name);
        plan.deviceNames << (name.isEmpty() ? ProjectSettings::deviceLabel(protocolCode, n) : name);
    }

    // What each used row is: its device, signal, type and name.
    QHash<int, QString> signalNames;
    auto useOf = [&](int r, bool listen) {
        const SignalRow &row = table.rows[r];
        PlanUse use;
        use.row = r;
        use.device = int(LeadingInteger(row[kColDevice]));
        use.code = int(LeadingInteger(row[kColCode]));
        use.dpt = SignalDpt(plan.type, use.code, int(LeadingInteger(row[kColEis])));
        use.listen = listen;
        auto name = signalNames.constFind(use.code);
        if (name == signalNames.constEnd())
            name = signalNames.insert(use.code, SignalName(ctx, plan.type, use.code));
        use.name = *name;
        if (use.code != kControllerStatusCode)
            use.name = plan.deviceNames.value(use.device - 1) + QLatin1Char(' ') + use.name;
        return use;
    };

    const GatewayAddresses collected = CollectGatewayAddresses(settings, table);
    QHash<qint16, int> indexOf;
    for (const AddressEntry &entry : collected.addresses) {
        indexOf.insert(entry.address, int(plan.addresses.size()));
        PlanAddress a;
        a.address = entry.address;
        plan.addresses.append(a);
    }
    for (const GroupRef &ref : collected.refs) {
        PlanAddress &a = plan.addresses[indexOf.value(ref.group)];
        const PlanUse use = useOf(ref.row, ref.listen);
        if (std::none_of(a.uses.cbegin(), a.uses.cend(), [&](const PlanUse &u) { return u.row == ref.row; }))
            a.uses.append(use);
        if (!ref.listen) {
            const SignalRow &row = table.rows[ref.row];
            auto set = [&](int column) { return !TrimBlanks(row[column]).isEmpty(); };
            plan.signalRows.append(PlanSignal{ref.row, use.device, use.code, ref.group, use.dpt, set(kColW),
                                              set(kColR) || set(kColT), use.name});
        }
    }
    for (PlanAddress &a : plan.addresses) {
        const PlanUse &first = a.uses.front();
        a.name = first.name;
        a.dpt = first.dpt;
        a.code = first.code;
        QStringList others;
        for (qsizetype i = 1; i < a.uses.size(); ++i)
            others << a.uses[i].name;
        a.description = others.join(QStringLiteral(", "));
    }
    std::sort(plan.addresses.begin(), plan.addresses.end(),
              [](const PlanAddress &x, const PlanAddress &y) { return x.address < y.address; });
    nameRanges(ctx, plan);
    return plan;
}

} // namespace tarveon
