#pragma once
#include <QHash>
#include <QString>

namespace tarveon {

// Protocol codes of the protocol name table (AppContext::ProtocolNames).
namespace protocol {
inline constexpr int Zdm = 0;       // "ZDM": the gateway monitor's log file
inline constexpr int Eib = 47;      // "EIB": the EIB section of the project settings, the EIB monitor
inline constexpr int Packaged = 70; // "ZTR001-PACKAGED": indoor units
inline constexpr int Chiller = 71;  // "ZTR001-CHILLER": chillers

// A project addresses indoor units under protocol 70 and chillers under any other code.
constexpr bool isIndoorUnits(int code) { return code == Packaged; }
// The protocols that have a configuration editor.
constexpr bool hasEditor(int code) { return code == Packaged || code == Chiller; }
} // namespace protocol

// Protocol names to codes (AppContext::ProtocolCodes). A project's protocol comes from its
// description file, which installers edit by hand: names match without regard to case, so that
// "ztr001-packaged" is the indoor-unit protocol like "ZTR001-PACKAGED".
class ProtocolCodeTable {
public:
    void clear() { m_codes.clear(); }
    // Adds a name; a name already present keeps its first code.
    void insert(const QString &name, int code)
    {
        if (!contains(name))
            m_codes.insert(name.toUpper(), code);
    }
    bool contains(const QString &name) const { return m_codes.contains(name.toUpper()); }
    // The code of a name, or defaultCode when the table does not hold it.
    int value(const QString &name, int defaultCode = -1) const { return m_codes.value(name.toUpper(), defaultCode); }
    qsizetype size() const { return m_codes.size(); }

private:
    QHash<QString, int> m_codes; // names in upper case
};

// Signal codes that both machine types have.
inline constexpr int kControllerStatusCode = 100; // listed once, in the first device's block
inline constexpr int kDeviceStatusCode = 101;

} // namespace tarveon
