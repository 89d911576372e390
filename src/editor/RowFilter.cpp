#include "editor/RowFilter.h"

#include "app/Text.h"
#include "editor/SignalColumns.h"

namespace tarveon {

bool RowFilter::matches(const SignalRow &row) const
{
    if (inUseOnly && LeadingNumber(row[kColYesNo]) <= 0)
        return false;
    if (text.isEmpty())
        return true;
    auto has = [this](const QString &cell) { return cell.contains(text, Qt::CaseInsensitive); };
    if (has(row[kColDevice]) || has(row[kColCode]) || has(row[kColDescription]) || has(row[kColAddress])
        || has(row[kColFurtherAddresses]))
        return true;
    const qint64 device = LeadingInteger(row[kColDevice]);
    return device >= 1 && device <= deviceNames.size() && has(deviceNames[device - 1]);
}

} // namespace tarveon
