// Arbitrary bytes as the project's signal table file, read as ReadSignalTable reads it (in memory),
// laid on a small built table and validated. Whatever the file says, the stored table holds no more
// fields per row than the header allows, applying never touches a row that is not in the table,
// and the validation stops with at most two messages.
#include "FuzzSupport.h"
#include "model/GroupAddress.h"
#include "model/SignalTableFile.h"
#include "model/Validation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace tarveon;
    using fuzz::require;
    AppContext &ctx = fuzz::context();
    StoredSignalTable stored;
    const SignalTableParse parse =
        ParseSignalTable(fuzz::bytesOf(data, size), 70, ctx.ProtocolNames[70], QStringLiteral("1.0"), stored);
    if (parse.fault != SignalTableFault::None) {
        require(stored.rowCount() == 0);
        return 0;
    }
    for (int r = 1; r <= stored.rowCount(); ++r)
        require(stored.heldFields(r) <= qMax(stored.fieldCount - 1, 0));

    SignalTable table;
    table.rows.resize(4);
    for (int r = 1; r < 4; ++r) {
        table.rows[r][4] = QStringLiteral("01 - Switching (1 bit)");
        table.rowKeys.insert(QStringLiteral("1-%1").arg(r), r);
    }
    table.rowKeys.insert(QStringLiteral("1-99"), 7); // a key past the table's end is never applied
    Faults faults;
    const int applied = ApplyStoredRows(ctx, stored, table, faults);
    require(applied <= stored.rowCount());
    require(table.rowCount() == 4);

    bool fault = false;
    ValidationFault where;
    if (!ValidateSignalTable(ctx, table, SignalColumns{}, fault, -1, &where)) {
        require(fault && where.row >= 1 && where.row < 4);
        require(!where.messages().isEmpty() && where.messages().size() <= 2);
    }
    for (int r = 1; r <= stored.rowCount() && r < 50; ++r) {
        QString list = stored.field(r, 6);
        for (int i = 0; !list.isEmpty(); ++i) {
            require(i <= stored.field(r, 6).size() + 1);
            (void)TakeFirstGroup(list);
        }
    }
    return 0;
}
