#include "editor/FlagRules.h"

#include "model/GroupAddress.h"

namespace tarveon {

namespace {

constexpr int kColCode = 2;
constexpr int kColR = 7;
constexpr int kColW = 8;
constexpr int kColT = 9;
constexpr int kColU = 10;

bool isStepCode(qint64 code, int protocolCode)
{
    if (protocolCode == 70)
        return code == 23 || code == 27 || code == 28 || code == 37;
    return code == 15;
}

bool isReadOnly(qint64 code, int protocolCode)
{
    if (code >= 100)
        return true;
    if (protocolCode == 70)
        return (code >= 6 && code <= 16) || (code >= 33 && code <= 36);
    return (code >= 3 && code <= 9) || (code >= 11 && code <= 14);
}

} // namespace

bool IsReadOnlyCode(int code, int protocolCode)
{
    return isReadOnly(code, protocolCode);
}

void NormaliseRow(SignalRow &row, int protocolCode)
{
    const qint64 code = LeadingInteger(row[kColCode]);
    if (isReadOnly(code, protocolCode)) {
        row[kColU].clear();
        row[kColW].clear();
    } else if (isStepCode(code, protocolCode)) {
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
