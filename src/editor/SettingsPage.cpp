#include "editor/SettingsPage.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/DeviceChecks.h"
#include "model/GroupAddress.h"

namespace tarveon {

bool IsValidIp(const QString &input)
{
    const QString text = input + QLatin1Char('.');
    qsizetype start = 0;
    for (int part = 0; part < 4; ++part) {
        const qsizetype dot = text.indexOf(QLatin1Char('.'), start);
        if (dot < 0)
            return false;
        const QStringView piece = QStringView(text).mid(start, dot - start);
        if (TrimBlanks(piece).isEmpty())
            return false;
        const double value = LeadingNumber(piece);
        if (!(value >= 0 && value <= 255))
            return false;
        start = dot + 1;
    }
    return true;
}

SettingsPage::SettingsPage(AppContext &ctx) : m_ctx(ctx) {}

void SettingsPage::LoadProjectSettings(int protocolCode)
{
    m_loading = true;
    m_protocolCode = protocolCode;
    m_settings = ProjectSettings::load(m_ctx, protocolCode);
    m_lastAccepted = {};
    m_lastAccepted[size_t(SettingsField::Ip)] = m_settings.ip;
    m_lastAccepted[size_t(SettingsField::NetMask)] = m_settings.netMask;
    m_lastAccepted[size_t(SettingsField::Gateway)] = m_settings.gateway;
    m_lastAccepted[size_t(SettingsField::IpKorvane)] = m_settings.ipTrbas;
    m_lastAccepted[size_t(SettingsField::PhyAdd)] = m_settings.phyAdd;
    m_loading = false;
    m_currentDevice = m_settings.devices.isEmpty() ? -1 : 0;
    m_machineText = {};
    if (m_currentDevice >= 0) {
        const DeviceRecord &d = m_settings.devices[m_currentDevice];
        m_machineText = {d.sys, d.uni, d.name};
    }
    m_changed = false;
}

QString &SettingsPage::slot(SettingsField field)
{
    switch (field) {
    case SettingsField::Ip:
        return m_settings.ip;
    case SettingsField::NetMask:
        return m_settings.netMask;
    case SettingsField::Gateway:
        return m_settings.gateway;
    case SettingsField::IpKorvane:
        return m_settings.ipTrbas;
    case SettingsField::PortKorvane:
        return m_settings.portTrbas;
    case SettingsField::TimeoutPoll:
        return m_settings.pollingMs;
    case SettingsField::PhyAdd:
        return m_settings.phyAdd;
    case SettingsField::DelayUpdateBus:
        return m_settings.delayUpdateBus;
    case SettingsField::MachineSys:
        return m_machineText[0];
    case SettingsField::MachineUni:
        return m_machineText[1];
    case SettingsField::MachineName:
        break;
    }
    return m_machineText[2];
}

QString SettingsPage::fieldText(SettingsField field) const
{
    return const_cast<SettingsPage *>(this)->slot(field);
}

void SettingsPage::setFieldText(SettingsField field, const QString &text)
{
    slot(field) = text;
}

FieldCheck SettingsPage::leaveField(SettingsField field, const QString &input)
{
    FieldCheck check{input};
    QString &lastAccepted = m_lastAccepted[size_t(field)];
    auto ipField = [&](const QString &label, const QString &text) {
        if (IsValidIp(text)) {
            lastAccepted = text;
            return text;
        }
        m_ctx.notice(label + text + m_ctx.GetText(QStringLiteral("X41")));
        return lastAccepted;
    };
    switch (field) {
    case SettingsField::Ip:
    case SettingsField::IpKorvane:
        check.text = ipField(QStringLiteral("IP: "), input);
        break;
    case SettingsField::NetMask:
        check.text = ipField(QStringLiteral("NetMask: "), input);
        break;
    case SettingsField::Gateway: {
        const QString text = TrimBlanks(input);
        if (text.isEmpty()) {
            lastAccepted = text;
            check.text = text;
        } else {
            check.text = ipField(QStringLiteral("Gateway: "), text);
        }
        break;
    }
    case SettingsField::PortKorvane:
        check.text = QString::number(LeadingInteger(input));
        break;
    case SettingsField::PhyAdd:
        if (IsInvalidPhysicalAddress(m_ctx, input))
            check.text = lastAccepted;
        else
            lastAccepted = input;
        break;
    case SettingsField::DelayUpdateBus: {
        const double n = LeadingNumber(input);
        if (n < 0 || n > 9)
            check.text = QStringLiteral("4");
        break;
    }
    case SettingsField::TimeoutPoll:
        if (LeadingNumber(input) < 0)
            check.text = QStringLiteral("0");
        if (LeadingNumber(check.text) > 10000)
            check.text = QStringLiteral("10000");
        break;
    case SettingsField::MachineSys:
    case SettingsField::MachineUni: {
        const QString text = TrimBlanks(input);
        check.text = text;
        if (m_currentDevice < 0 || m_currentDevice >= deviceCount())
            break;
        DeviceRecord &device = m_settings.devices[m_currentDevice];
        QString &stored = field == SettingsField::MachineSys ? device.sys : device.uni;
        if (text.isEmpty()) {
            check.beep = true;
            m_ctx.notice(m_ctx.GetText(QStringLiteral("X65")));
            check.text = stored;
        } else {
            stored = text;
        }
        break;
    }
    case SettingsField::MachineName:
        check.text = TrimBlanks(input);
        if (m_currentDevice >= 0 && m_currentDevice < deviceCount())
            m_settings.devices[m_currentDevice].name = check.text;
        break;
    }
    slot(field) = check.text;
    return check;
}

QString SettingsPage::fieldHelp(SettingsField field) const
{
    switch (field) {
    case SettingsField::Ip:
        return QStringLiteral("IP Gateway");
    case SettingsField::NetMask:
        return QStringLiteral("Net Mask gateway");
    case SettingsField::Gateway:
        return m_ctx.GetText(QStringLiteral("X37"));
    case SettingsField::IpKorvane:
        return QStringLiteral("IP Korvane TR-BAS-HUB");
    case SettingsField::PortKorvane:
        return QStringLiteral("Port TCP Korvane");
    case SettingsField::TimeoutPoll:
        return QStringLiteral("Polling interval 0..10000 ms");
    case SettingsField::PhyAdd:
        return m_ctx.GetText(QStringLiteral("EIB35"));
    case SettingsField::DelayUpdateBus:
        return m_ctx.GetText(QStringLiteral("A134"));
    case SettingsField::MachineSys:
        return QStringLiteral("QLOOP1 System Address");
    case SettingsField::MachineUni:
        return QStringLiteral("QLOOP1 Unit Address");
    case SettingsField::MachineName:
        return m_ctx.GetText(QStringLiteral("X63"));
    }
    return {};
}

QString SettingsPage::deviceListHelp() const
{
    return m_ctx.GetText(QStringLiteral("X46"));
}

QString SettingsPage::updateOnResetHelp() const
{
    return m_ctx.GetText(QStringLiteral("EIB32"));
}

void SettingsPage::setUpdateOnReset(bool on)
{
    m_settings.updateOnResetoErrEIB = on;
    m_changed = true;
}

QString SettingsPage::deviceItemText(int index) const
{
    const QString label = ProjectSettings::deviceLabel(m_protocolCode, index + 1);
    const QString name = index >= 0 && index < deviceCount() ? TrimBlanks(m_settings.devices[index].name) : QString();
    return name.isEmpty() ? label : label + QStringLiteral(" \u00B7 ") + name;
}

bool SettingsPage::deviceActive(int index) const
{
    return index >= 0 && index < deviceCount() && m_settings.devices[index].active;
}

bool SettingsPage::hasUnitAddress() const
{
    return protocol::isIndoorUnits(m_protocolCode);
}

void SettingsPage::selectDevice(int index)
{
    if (m_loading || index < 0 || index >= deviceCount())
        return;
    m_currentDevice = index;
    const DeviceRecord &d = m_settings.devices[index];
    m_machineText = {d.sys, d.uni, d.name};
    m_changed = true;
}

void SettingsPage::setDeviceActive(int index, bool active)
{
    if (m_loading || index < 0 || index >= deviceCount() || m_settings.devices[index].active == active)
        return;
    m_settings.devices[index].active = active;
    m_changed = true;
}

SettingsField SettingsPage::nextDeviceField(SettingsField from) const
{
    switch (from) {
    case SettingsField::MachineSys:
        return hasUnitAddress() ? SettingsField::MachineUni : SettingsField::MachineName;
    case SettingsField::MachineUni:
        return SettingsField::MachineName;
    default:
        return SettingsField::MachineSys;
    }
}

bool SettingsPage::askDeviceCount()
{
    const int count = deviceCount();
    const QString answer = m_ctx.prompter->inputBox(m_ctx.GetText(QStringLiteral("X27")),
                                                    m_ctx.GetText(QStringLiteral("X106")), QString::number(count));
    const qint64 wanted = LeadingInteger(answer);
    if (wanted <= 0 || wanted == count)
        return false;
    const int max = ProjectSettings::maxDevices(m_protocolCode);
    if (wanted > max) {
        m_ctx.notice(m_ctx.GetText(QStringLiteral("X107")) + QStringLiteral(". Max:") + QString::number(max));
        return false;
    }
    m_ctx.notice(m_ctx.GetText(QStringLiteral("X108")));
    const QString protocolName = m_ctx.ProtocolNames[size_t(m_protocolCode)];
    m_ctx.IniFileName = protocolName;
    m_ctx.ini.WriteProjectSetting(protocolName, QStringLiteral("Devices"), QString::number(wanted));
    return true;
}

QString SettingsPage::deviceFault() const
{
    return DeviceListFault(m_ctx, m_protocolCode, m_settings.devices);
}

QString SettingsPage::physicalAddressFault() const
{
    return IsValidPhysicalAddress(m_settings.phyAdd) ? QString() : m_ctx.GetText(QStringLiteral("EIB31"));
}

} // namespace tarveon
