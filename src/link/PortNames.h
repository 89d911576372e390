#pragma once
#include <QString>
#include <QStringList>

namespace tarveon {

class AppContext;

// Where the link's port comes from. The settings file keeps the port number (Com, 1..16) and the
// line settings; on this platform a number n names the device /dev/ttyS<n-1> (COM1 = /dev/ttyS0),
// on Windows COM<n>. A device path typed in the port dialog (setting kPortDeviceKey, for USB
// adapters and pseudo-terminals, which no port list shows) or given as --port on the command
// line takes the number's place.
inline const QString kPortSection = QStringLiteral("X103");
inline const QString kPortDeviceKey = QStringLiteral("Device");
inline const QString kDefaultLineSettings = QStringLiteral("57600,n,8,1");

struct PortChoice {
    int number = 1;          // setting Com
    QString device;          // explicit device path; empty = derived from number
    QString settings = kDefaultLineSettings;
    bool deviceForThisRun = false; // device from --port: used, never stored unless applied anew

    // The device the port opens.
    QString deviceName() const;
    // The number and its device ("1 (/dev/ttyS0)"), as the port-number messages continue; the
    // device path when one is given.
    QString label() const;
    // How other messages name the port: "COM1 (/dev/ttyS0)", or the device path.
    QString name() const;
};

// The device a numbered port stands for.
QString deviceForPortNumber(int number);

// The port to use: --port DEVICE (or --port=DEVICE) in args wins, then the Device setting, then
// the number Com; the line settings come from the setting Settings.
PortChoice resolvePortChoice(const QStringList &args, const AppContext &ctx);

// Stores the choice (Com, Settings, and Device unless it is for this run only) in section X103;
// the settings access shows its own message when a write fails.
void storePortChoice(const PortChoice &choice, const AppContext &ctx);

} // namespace tarveon
