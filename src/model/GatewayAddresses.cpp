#include "model/GatewayAddresses.h"

#include "model/ProjectSettings.h"
#include "model/GroupAddress.h"
#include "model/SignalTable.h"

#include <QSet>

namespace tarveon {

bool IsEnabledDevice(const ProjectSettings &settings, qint64 device)
{
    return device >= 1 && device <= settings.devices.size() && settings.devices[device - 1].active;
}

GatewayAddresses CollectGatewayAddresses(const ProjectSettings &settings, const SignalTable &table)
{
    GatewayAddresses out;
    QSet<qint16> seen;
    const int rows = table.rowCount();
    for (int pass = 1; pass <= 2; ++pass) {
        for (int r = 1; r < rows; ++r) {
            const SignalRow &row = table.rows[r];
            if (LeadingInteger(row[kColYesNo]) == 0 || !IsEnabledDevice(settings, LeadingInteger(row[kColDevice])))
                continue;
            QString list = pass == 1 ? TrimBlanks(row[kColAddress]) + QLatin1Char(',') : TrimBlanks(row[kColFurtherAddresses]);
            while (!list.isEmpty()) {
                const qint16 g = TakeFirstGroup(list);
                if (g < 0)
                    break;
                if (g == 0)
                    continue;
                out.refs.append(GroupRef{r, g, pass == 2});
                if (!seen.contains(g)) {
                    seen.insert(g);
                    out.addresses.append(AddressEntry{pass == 1 ? r : -r, g});
                }
            }
        }
    }
    return out;
}

} // namespace tarveon
