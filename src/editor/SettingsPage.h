#pragma once
#include "model/ProjectSettings.h"

#include <QString>
#include <array>

namespace tarveon {

class AppContext;

// IsValidIp: four parts separated by ".", each not blank and with a leading number of 0..255
// (a part without a number reads 0); text after the fourth part is not examined.
bool IsValidIp(const QString &text);

// The fields of the settings page, in the order of the page.
enum class SettingsField {
    Ip,             // txtIp
    NetMask,        // txtNetMask
    Gateway,        // txtGateway
    IpKorvane,      // txtIPKorvane
    PortKorvane,    // txtPortKorvane
    TimeoutPoll,    // txtTimeoutPoll
    PhyAdd,         // txtPhyAdd
    DelayUpdateBus, // txtDelayUpdateBus
    MachineSys,     // txtMaquina item 0
    MachineUni,     // txtMaquina item 1
    MachineName,    // txtMaquina item 2
};
constexpr int kSettingsFieldCount = 11;

// What a field shows after it was left, and whether the program beeps.
struct FieldCheck {
    QString text;
    bool beep = false;
};

// The settings page of the editor without its window: the gateway's and the controller's fields
// with their checks, the device list with the device shown in the device fields, the device count
// and the device checks. It owns the project settings record while the editor is open and its
// own settings-changed flag.
class SettingsPage {
public:
    explicit SettingsPage(AppContext &ctx);

    // LoadProjectSettings: the page and the device list from the project settings file; the
    // first device shown, the changed flag down.
    void LoadProjectSettings(int protocolCode);
    const ProjectSettings &settings() const { return m_settings; }

    // The settings-changed flag: any key typed into a field, a click on the check box, a device
    // chosen or checked.
    bool changed() const { return m_changed; }
    void clearChanged() { m_changed = false; }
    // A key typed into a field of the page.
    void typed() { m_changed = true; }

    // What a field shows, and text typed into it (kept as typed until the field is left).
    QString fieldText(SettingsField field) const;
    void setFieldText(SettingsField field, const QString &text);
    // The check of a field that lost the focus: the text it shows afterwards.
    FieldCheck leaveField(SettingsField field, const QString &text);
    QString fieldHelp(SettingsField field) const;
    QString deviceListHelp() const;
    QString updateOnResetHelp() const;

    // The check box chkUpdateOnResetoErrEIB.
    bool updateOnReset() const { return m_settings.updateOnResetoErrEIB; }
    void setUpdateOnReset(bool on);

    // The device list.
    int deviceCount() const { return int(m_settings.devices.size()); }
    int currentDevice() const { return m_currentDevice; }
    // "Unit 12 · Room 204"; "Unit 12" while the device has no name.
    QString deviceItemText(int index) const;
    bool deviceActive(int index) const;
    bool hasUnitAddress() const;
    // Choosing an item shows its device in the device fields.
    void selectDevice(int index);
    void setDeviceActive(int index, bool active);
    // Enter in a device field: the field that gets the focus next.
    SettingsField nextDeviceField(SettingsField from) const;

    // The device-count question ("X27", "X106"); true when a new count was written and the editor
    // must close. The caller has refused it while anything is unsaved.
    bool askDeviceCount();
    // CheckDevices: the failure text of the device list, empty when it passes.
    QString deviceFault() const;
    // The physical address field: "EIB31" text when it is invalid, else empty.
    QString physicalAddressFault() const;

private:
    QString &slot(SettingsField field);

    AppContext &m_ctx;
    int m_protocolCode = 0;
    ProjectSettings m_settings;
    bool m_changed = false;
    bool m_loading = false;
    int m_currentDevice = -1;
    std::array<QString, kSettingsFieldCount> m_lastAccepted;
    std::array<QString, 3> m_machineText; // what the device fields show
};

} // namespace tarveon
