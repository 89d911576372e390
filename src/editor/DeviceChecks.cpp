#include "editor/DeviceChecks.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "model/GroupAddress.h"

#include <QSet>

namespace tarveon {

namespace {

// A part of a physical address: numeric, and its rounded value within min..max.
bool partInRange(QStringView part, qint64 min, qint64 max, qint64 &value)
{
    if (!IsNumericText(part))
        return false;
    value = LeadingInteger(part);
    return value >= min && value <= max;
}

} // namespace

QString DeviceListFault(const AppContext &ctx, int protocolCode, const QVector<DeviceRecord> &devices)
{
    const bool units = protocol::isIndoorUnits(protocolCode);
    QSet<QPair<qint64, qint64>> checkedPairs;
    for (const DeviceRecord &device : devices) {
        const qint64 s = LeadingInteger(device.sys);
        const qint64 u = LeadingInteger(device.uni);
        if (device.active) {
            const QPair<qint64, qint64> pair(s, u);
            if (checkedPairs.contains(pair)) {
                QString text = QStringLiteral("Not allowed 2 devices with same ");
                if (units)
                    text += QStringLiteral("Sytem-Unit: ") + QString::number(s) + QLatin1Char('-') + QString::number(u);
                else
                    text += QStringLiteral("Sytem: ") + QString::number(s);
                return text;
            }
            checkedPairs.insert(pair);
        }
        if (s < 0 || s > (units ? 63 : 7))
            return QStringLiteral(" Sytem: ") + QString::number(s) + ctx.GetText(QStringLiteral("X85"));
        if (units && (u < 0 || u > 63))
            return QStringLiteral(" Unit: ") + QString::number(u) + ctx.GetText(QStringLiteral("X85"));
    }
    return {};
}

bool IsValidPhysicalAddress(const QString &input)
{
    const QString text = TrimBlanks(input);
    const qsizetype first = text.indexOf(QLatin1Char('.'));
    if (first > 0) {
        const qsizetype second = text.indexOf(QLatin1Char('.'), first + 1);
        if (second < 0 || second == first + 1)
            return false;
        qint64 area = 0;
        qint64 line = 0;
        qint64 device = 0;
        if (!partInRange(QStringView(text).left(first), 0, 15, area))
            return false;
        if (!partInRange(QStringView(text).mid(first + 1, second - first - 1), 0, 15, line))
            return false;
        if (!partInRange(QStringView(text).mid(second + 1), 0, 255, device))
            return false;
        return area != 0 || line != 0 || device != 0;
    }
    qint64 value = 0;
    return partInRange(text, 1, 65535, value);
}

bool IsInvalidPhysicalAddress(const AppContext &ctx, const QString &text)
{
    if (IsValidPhysicalAddress(text))
        return false;
    ctx.notice(ctx.GetText(QStringLiteral("EIB31")));
    return true;
}

} // namespace tarveon
