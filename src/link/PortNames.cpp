#include "link/PortNames.h"

#include "app/AppContext.h"

namespace tarveon {

QString deviceForPortNumber(int number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString PortChoice::deviceName() const
{
    return device.isEmpty() ? deviceForPortNumber(number) : device;
}

QString PortChoice::label() const
{
    if (!device.isEmpty())
        return device;
#ifdef Q_OS_WIN
    return QString::number(number);
#else
    // The number alone would not tell which device failed.
    return QStringLiteral("%1 (%2)").arg(number).arg(deviceForPortNumber(number));
#endif
}

QString PortChoice::name() const
{
    return device.isEmpty() ? QStringLiteral("COM") + label() : device;
}

PortChoice resolvePortChoice(const QStringList &args, const AppContext &ctx)
{
    PortChoice choice;
    choice.settings = ctx.ini.ReadAppSetting(kPortSection, QStringLiteral("Settings"), kDefaultLineSettings);
    choice.number = ctx.ini.ReadAppSettingInt(kPortSection, QStringLiteral("Com"), 1);
    choice.device = ctx.ini.ReadAppSetting(kPortSection, kPortDeviceKey, QString()).trimmed();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--port") && i + 1 < args.size())
            choice.device = args[++i];
        else if (a.startsWith(QLatin1String("--port=")))
            choice.device = a.mid(7);
        else
            continue;
        choice.deviceForThisRun = true;
    }
    return choice;
}

void storePortChoice(const PortChoice &choice, const AppContext &ctx)
{
    ctx.ini.WriteAppSetting(kPortSection, QStringLiteral("Com"), QString::number(choice.number));
    ctx.ini.WriteAppSetting(kPortSection, QStringLiteral("Settings"), choice.settings);
    if (!choice.deviceForThisRun)
        ctx.ini.WriteAppSetting(kPortSection, kPortDeviceKey, choice.device);
}

} // namespace tarveon
