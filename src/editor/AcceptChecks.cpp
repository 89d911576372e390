#include "editor/AcceptChecks.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/DeviceChecks.h"
#include "editor/FlagRules.h"
#include "editor/SignalColumns.h"
#include "model/GroupAddress.h"

namespace tarveon {

namespace {

bool isBlankRow(const SignalRow &row)
{
    for (int c = 1; c < kSignalColumns; ++c) {
        if (!TrimBlanks(row[c]).isEmpty())
            return false;
    }
    return true;
}

bool inUse(const SignalRow &row)
{
    return LeadingNumber(row[kColYesNo]) > 0;
}

} // namespace

void RemoveBlankRows(SignalTable &table)
{
    if (table.rowCount() < 3)
        return;
    QVector<int> newIndex(table.rowCount(), -1);
    QVector<SignalRow> kept;
    kept.reserve(table.rowCount());
    kept.append(table.rows[0]);
    newIndex[0] = 0;
    for (int r = 1; r < table.rowCount(); ++r) {
        if (isBlankRow(table.rows[r]))
            continue;
        newIndex[r] = int(kept.size());
        kept.append(table.rows[r]);
    }
    if (kept.size() != table.rows.size()) {
        table.rows = std::move(kept);
        for (auto it = table.rowKeys.begin(); it != table.rowKeys.end();) {
            const int moved = (it.value() >= 0 && it.value() < newIndex.size()) ? newIndex[it.value()] : -1;
            if (moved < 0) {
                it = table.rowKeys.erase(it);
            } else {
                it.value() = moved;
                ++it;
            }
        }
    }
    for (int r = 1; r < table.rowCount(); ++r)
        table.rows[r][kColRowNumber] = QString::number(r);
}

void NormaliseRowsInUse(SignalTable &table, int protocolCode)
{
    for (int r = 1; r < table.rowCount(); ++r) {
        if (inUse(table.rows[r]))
            NormaliseRow(table.rows[r], protocolCode);
    }
}

int UnknownCodeRow(const SignalTable &table)
{
    for (int r = 1; r < table.rowCount(); ++r) {
        if (!inUse(table.rows[r]))
            continue;
        const qint64 code = LeadingInteger(table.rows[r][kColCode]);
        if (code != kControllerStatusCode && code != kDeviceStatusCode && (code < 0 || code > 37))
            return r;
    }
    return 0;
}

AcceptFault RunAcceptChecks(const AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                            SignalTable &table)
{
    AcceptFault fault;
    RemoveBlankRows(table);
    // What is saved must pass the next accept: the rules run before the rows are examined.
    NormaliseRowsInUse(table, protocolCode);

    bool faultFlag = false;
    ValidationFault found;
    if (!ValidateSignalTable(ctx, table, SignalColumns{}, faultFlag, -1, &found)) {
        static_cast<ValidationFault &>(fault) = found;
        fault.check = AcceptFault::Validation;
        return fault;
    }
    if (const int row = UnknownCodeRow(table); row > 0) {
        fault.check = AcceptFault::Code;
        fault.row = row;
        fault.column = kColCode;
        fault.rowHidden = table.rows[row].hidden;
        fault.key = QStringLiteral("A8");
        fault.message = ctx.GetText(fault.key);
        return fault;
    }
    if (const QString text = DeviceListFault(ctx, protocolCode, settings.devices); !text.isEmpty()) {
        fault.check = AcceptFault::Devices;
        fault.message = text;
        return fault;
    }
    if (!IsValidPhysicalAddress(settings.phyAdd)) {
        fault.check = AcceptFault::PhysicalAddress;
        fault.key = QStringLiteral("EIB31");
        fault.message = ctx.GetText(fault.key);
    }
    return fault;
}

} // namespace tarveon
