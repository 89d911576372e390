#include "link/SerialPort.h"

#include <QStringList>

namespace tarveon {

bool LineSettings::parse(const QString &text, LineSettings *out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    LineSettings s;
    bool ok = false;
    s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return false;
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity))
        return false;
    s.parity = char(parity[0].unicode());
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = 1;
    else if (stop == QLatin1String("2"))
        s.stopBits = 2;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = 15;
    else
        return false;
    *out = s;
    return true;
}

QString LineSettings::toString() const
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(QLatin1Char(parity))
        .arg(dataBits)
        .arg(stopBits == 15 ? QStringLiteral("1.5") : QString::number(stopBits));
}

} // namespace tarveon
