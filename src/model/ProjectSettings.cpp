#include "model/ProjectSettings.h"

#include "app/AppContext.h"
#include "app/IniFile.h"
#include "app/Protocols.h"
#include "app/Text.h"

#include <QDir>

namespace tarveon {

namespace {

const QString kEibSection = QStringLiteral("EIB");

QString protocolName(const AppContext &ctx, int protocolCode)
{
    if (protocolCode < 0 || protocolCode >= int(ctx.ProtocolNames.size()))
        return {};
    return ctx.ProtocolNames[size_t(protocolCode)];
}

QString eibSection(const AppContext &ctx)
{
    const QString name = ctx.ProtocolNames[protocol::Eib];
    return name.isEmpty() ? kEibSection : name;
}

QString deviceKey(int n, const char *suffix)
{
    return QStringLiteral("D") + QString::number(n) + QLatin1String(suffix);
}

// The file named after the protocol in the project directory, as the project settings access
// operations address it.
QString settingsPath(AppContext &ctx, int protocolCode)
{
    ctx.IniFileName = protocolName(ctx, protocolCode);
    return ctx.ini.projectFilePath(ctx.IniFileName);
}

} // namespace

int ProjectSettings::maxDevices(int protocolCode)
{
    return protocol::isIndoorUnits(protocolCode) ? 160 : 8;
}

DeviceRecord ProjectSettings::defaultDevice(int protocolCode, int n)
{
    DeviceRecord d;
    if (protocol::isIndoorUnits(protocolCode)) {
        d.sys = QString::number(n / 64);
        d.uni = QString::number(n % 64);
    } else {
        d.sys = QString::number(n - 1);
        d.uni = QStringLiteral("0");
    }
    return d;
}

QString ProjectSettings::deviceLabel(int protocolCode, int n)
{
    return (protocol::isIndoorUnits(protocolCode) ? QStringLiteral("Unit ") : QStringLiteral("Chiller ")) + QString::number(n);
}

ProjectSettings ProjectSettings::fromIni(const IniDocument &doc, const QString &section, const QString &eib,
                                         int protocolCode)
{
    ProjectSettings s;
    s.ip = doc.read(section, QStringLiteral("IP"), s.ip);
    s.netMask = doc.read(section, QStringLiteral("NetMask"), s.netMask);
    s.gateway = doc.read(section, QStringLiteral("Gateway"), s.gateway);
    s.pollingMs = doc.read(section, QStringLiteral("TmPolling_ms"), s.pollingMs);
    s.ipTrbas = doc.read(section, QStringLiteral("IPTRBAS"), s.ipTrbas);
    s.portTrbas = doc.read(section, QStringLiteral("PortTRBAS"), s.portTrbas);

    // A count the 32-bit read wrapped below 0 means no devices.
    const int count = qBound(0, doc.readInt(section, QStringLiteral("Devices"), 1), maxDevices(protocolCode));
    const bool indoor = protocol::isIndoorUnits(protocolCode);
    s.devices.clear();
    s.devices.reserve(count);
    for (int n = 1; n <= count; ++n) {
        const DeviceRecord def = defaultDevice(protocolCode, n);
        DeviceRecord d;
        d.active = doc.readInt(section, deviceKey(n, "-Active"), 0) != 0;
        d.sys = QString::number(doc.readInt(section, deviceKey(n, "-Sys"), def.sys.toInt()));
        d.uni = indoor ? QString::number(doc.readInt(section, deviceKey(n, "-Uni"), def.uni.toInt())) : def.uni;
        d.name = doc.read(section, deviceKey(n, "-Name"), QString());
        s.devices.append(d);
    }

    s.phyAdd = doc.read(eib, QStringLiteral("PhyAdd"), s.phyAdd);
    s.updateOnResetoErrEIB = LeadingInteger(doc.read(eib, QStringLiteral("UpdateOnResetoErrEIB"), QStringLiteral("0"))) != 0;
    s.delayUpdateBus = QString::number(doc.readInt(eib, QStringLiteral("tS_DelayUpdateBus"), 4));
    return s;
}

void ProjectSettings::toIni(IniDocument &doc, const QString &section, const QString &eib, int protocolCode) const
{
    doc.write(section, QStringLiteral("IP"), ip);
    doc.write(section, QStringLiteral("NetMask"), netMask);
    doc.write(section, QStringLiteral("Gateway"), gateway);
    doc.write(section, QStringLiteral("TmPolling_ms"), pollingMs);
    doc.write(section, QStringLiteral("IPTRBAS"), ipTrbas);
    doc.write(section, QStringLiteral("PortTRBAS"), portTrbas);
    doc.write(section, QStringLiteral("Devices"), QString::number(devices.size()));
    const bool indoor = protocol::isIndoorUnits(protocolCode);
    for (int i = 0; i < devices.size(); ++i) {
        const int n = i + 1;
        const DeviceRecord &d = devices[i];
        doc.write(section, deviceKey(n, "-Active"), d.active ? QStringLiteral("1") : QStringLiteral("0"));
        doc.write(section, deviceKey(n, "-Sys"), d.sys);
        if (indoor)
            doc.write(section, deviceKey(n, "-Uni"), d.uni);
        doc.write(section, deviceKey(n, "-Name"), d.name);
    }
    doc.write(eib, QStringLiteral("PhyAdd"), phyAdd);
    doc.write(eib, QStringLiteral("UpdateOnResetoErrEIB"), updateOnResetoErrEIB ? QStringLiteral("1") : QStringLiteral("0"));
    doc.write(eib, QStringLiteral("tS_DelayUpdateBus"), delayUpdateBus);
}

ProjectSettings ProjectSettings::load(AppContext &ctx, int protocolCode)
{
    IniDocument doc;
    doc.load(settingsPath(ctx, protocolCode)); // unreadable reads as missing: the defaults
    return fromIni(doc, protocolName(ctx, protocolCode), eibSection(ctx), protocolCode);
}

std::optional<Fault> ProjectSettings::save(AppContext &ctx, int protocolCode) const
{
    const QString path = settingsPath(ctx, protocolCode);
    IniDocument doc;
    // A file that exists but cannot be read is left alone rather than replaced by one without
    // the keys it holds besides ours.
    bool ok = doc.load(path);
    if (ok) {
        toIni(doc, protocolName(ctx, protocolCode), eibSection(ctx), protocolCode);
        ok = doc.save(path, ctx.saveDevice).isEmpty();
    }
    if (ok)
        return std::nullopt;
    return Fault{QStringLiteral("X31"), ctx.GetText(QStringLiteral("X31")) + QFileInfo(path).fileName(),
                 FaultKind::Information};
}

} // namespace tarveon
