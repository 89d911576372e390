#include "tools/KnxSignals.h"

#include "app/AppContext.h"
#include "app/Protocols.h"

namespace tarveon {

namespace {

QString ownName(const AppContext &ctx, const CatalogueEntry &e)
{
    QString name = e.captionKey ? ctx.GetText(QLatin1String(e.captionKey)) : QString();
    if (e.captionSuffix)
        name += QString::fromUtf8(e.captionSuffix);
    return name.trimmed();
}

bool isBitOrStep(const CatalogueEntry &e)
{
    return e.rowClass == RowClass::Bit || e.rowClass == RowClass::Step;
}

} // namespace

SignalMeaning MeaningOfCode(MachineType type, int code)
{
    if (code == kControllerStatusCode || code == kDeviceStatusCode)
        return SignalMeaning::Status;
    return IsStepCode(type, code) ? SignalMeaning::Step : SignalMeaning::Plain;
}

Dpt SignalDpt(MachineType type, int code, int eis)
{
    return DptOfEis(eis, MeaningOfCode(type, code));
}

QString SignalName(const AppContext &ctx, MachineType type, int code)
{
    const CatalogueEntry *head = nullptr;
    for (const CatalogueEntry &e : Catalogue(type)) {
        if (e.code == code) {
            const QString own = ownName(ctx, e);
            return isBitOrStep(e) && head ? ownName(ctx, *head) + QLatin1Char(' ') + own : own;
        }
        if (!isBitOrStep(e))
            head = &e;
    }
    return {};
}

RangeText SignalRange(const AppContext &ctx, MachineType type, int code)
{
    const CatalogueEntry *e = FindEntry(type, code);
    if (!e)
        return {};
    if (e->rangeKey)
        return ParseRangeText(ctx.GetText(QLatin1String(e->rangeKey)));
    return ParseRangeText(e->rangeLiteral ? QString::fromUtf8(e->rangeLiteral) : QString());
}

QString SignalValueText(const AppContext &ctx, MachineType type, int code, int eis, QByteArrayView bytes)
{
    const Dpt dpt = SignalDpt(type, code, eis);
    const std::optional<double> value = DecodeValue(dpt, bytes);
    if (!value)
        return {};
    return ValueText(ctx, dpt, *value, SignalRange(ctx, type, code), SignalName(ctx, type, code));
}

} // namespace tarveon
