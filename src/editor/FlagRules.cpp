#include "editor/FlagRules.h"

#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "model/GroupAddress.h"

#include <algorithm>

namespace tarveon {

void NormaliseRow(SignalRow &row, int protocolCode)
{
    const MachineType type = MachineTypeOf(protocolCode);
    const int code = int(std::clamp<qint64>(LeadingInteger(row[kColCode]), -100000, 100000));
    if (IsReadOnlyCode(type, code)) {
        row[kColU].clear();
        row[kColW].clear();
    } else if (IsStepCode(type, code)) {
        row[kColR].clear();
        row[kColT].clear();
    }
    const QString u = TrimBlanks(row[kColU]);
    if (u == QLatin1String("U"))
        row[kColR].clear();
    if (u == QLatin1String("U") || u == QLatin1String("U2"))
        row[kColW] = QStringLiteral("W");
    if (TrimBlanks(row[kColR]) == QLatin1String("R"))
        row[kColT] = QStringLiteral("T");
}

void NormaliseRow(SignalTable &table, int row, int protocolCode)
{
    if (row >= 1 && row < table.rowCount())
        NormaliseRow(table.rows[row], protocolCode);
}

} // namespace tarveon
