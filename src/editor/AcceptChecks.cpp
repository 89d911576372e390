#include "editor/AcceptChecks.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/DeviceChecks.h"
#include "editor/FlagRules.h"
#include "model/GroupAddress.h"
#include "model/Validation.h"

namespace tarveon {

namespace {

constexpr int kColCode = 2;
constexpr int kColYesNo = 11;

bool isBlankRow(const SignalRow &row)
{
    for (int c = 1; c <= 11; ++c) {
        if (!TrimBlanks(row[c]).isEmpty())
            return false;
    }
    return true;
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
        table.rows[r][0] = QString::number(r);
}

int NormaliseAndCheckCodes(AppContext &ctx, int protocolCode, SignalTable &table)
{
    for (int r = 1; r < table.rowCount(); ++r) {
        if (LeadingNumber(table.rows[r][kColYesNo]) <= 0)
            continue;
        NormaliseRow(table.rows[r], protocolCode);
        const qint64 code = LeadingInteger(table.rows[r][kColCode]);
        if (code != kControllerStatusCode && code != kDeviceStatusCode && (code < 0 || code > 37)) {
            ctx.notice(ctx.GetText(QStringLiteral("A8")));
            return r;
        }
    }
    return 0;
}

AcceptFault RunAcceptChecks(AppContext &ctx, int protocolCode, const ProjectSettings &settings, SignalTable &table)
{
    AcceptFault fault;
    RemoveBlankRows(table);

    bool faultFlag = false;
    ValidationFault where;
    if (!ValidateSignalTable(ctx, table, SignalColumns{}, faultFlag, -1, &where)) {
        fault.check = AcceptFault::Validation;
        fault.row = where.row;
        fault.column = where.column;
        fault.rowHidden = where.rowHidden;
        return fault;
    }
    if (const int row = NormaliseAndCheckCodes(ctx, protocolCode, table); row > 0) {
        fault.check = AcceptFault::Code;
        fault.row = row;
        fault.column = kColCode;
        fault.rowHidden = table.rows[row].hidden;
        return fault;
    }
    if (!CheckDevices(ctx, protocolCode, settings.devices)) {
        fault.check = AcceptFault::Devices;
        return fault;
    }
    if (IsInvalidPhysicalAddress(ctx, settings.phyAdd)) {
        fault.check = AcceptFault::PhysicalAddress;
        return fault;
    }
    return fault;
}

} // namespace tarveon
