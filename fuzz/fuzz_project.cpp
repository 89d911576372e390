// Arbitrary bytes as a project's description file (Project.ini) and as its settings file (the
// protocol's ".ini"). The first line of the input is a description the project dialog stores.
// Reading never fails; the dialog's write of "Desc" and "Prot" reads back as written; saving the
// settings read from any file, then reading them again, settles after one save (the second save
// changes no byte and gives the same values).
#include "FuzzSupport.h"
#include "app/IniFile.h"
#include "model/ProjectSettings.h"
#include "tools/ProjectListCore.h"

namespace {

using namespace tarveon;
using fuzz::require;

bool sameSettings(const ProjectSettings &a, const ProjectSettings &b)
{
    if (a.devices.size() != b.devices.size())
        return false;
    for (qsizetype i = 0; i < a.devices.size(); ++i) {
        const DeviceRecord &x = a.devices[i];
        const DeviceRecord &y = b.devices[i];
        if (x.sys != y.sys || x.uni != y.uni || x.name != y.name || x.active != y.active)
            return false;
    }
    return a.ip == b.ip && a.netMask == b.netMask && a.gateway == b.gateway && a.pollingMs == b.pollingMs
        && a.ipTrbas == b.ipTrbas && a.portTrbas == b.portTrbas && a.phyAdd == b.phyAdd
        && a.updateOnResetoErrEIB == b.updateOnResetoErrEIB && a.delayUpdateBus == b.delayUpdateBus;
}

// A description that a profile read gives back unchanged: printable ASCII, no blanks around it.
bool plainDescription(const QByteArray &d)
{
    if (d.size() > 254 || d.startsWith(' ') || d.endsWith(' '))
        return false;
    for (const char c : d) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const qsizetype lf = bytes.indexOf('\n');
    const QByteArray description = lf < 0 ? QByteArray() : bytes.left(lf);
    const QByteArray file = lf < 0 ? bytes : bytes.mid(lf + 1);

    // Description file, as the project list reads it and the project dialog writes it.
    const ProjectEntry entry = parseProjectEntry(QStringLiteral("Hotel"), file);
    require(entry.name == QStringLiteral("Hotel"));
    require(!entry.protocol.isEmpty() || entry.description.isEmpty());
    IniDocument doc(file);
    doc.write(QStringLiteral("Project"), QStringLiteral("Desc"), QString::fromLatin1(description));
    doc.write(QStringLiteral("Project"), QStringLiteral("Prot"), QStringLiteral("ZTR001-CHILLER"));
    const ProjectEntry written = parseProjectEntry(QStringLiteral("Hotel"), doc.bytes());
    require(written.protocol == QStringLiteral("ZTR001-CHILLER"));
    if (plainDescription(description))
        require(written.description == QString::fromLatin1(description));

    // Settings file of one machine type (by the input's length, to keep the runs quick).
    for (const int code : {size % 2 ? 70 : 71}) {
        const QString section = code == 70 ? QStringLiteral("ZTR001-PACKAGED") : QStringLiteral("ZTR001-CHILLER");
        IniDocument settingsDoc(file);
        const ProjectSettings first = ProjectSettings::fromIni(settingsDoc, section, QStringLiteral("EIB"), code);
        require(first.devices.size() <= ProjectSettings::maxDevices(code));
        first.toIni(settingsDoc, section, QStringLiteral("EIB"), code);
        const ProjectSettings second = ProjectSettings::fromIni(settingsDoc, section, QStringLiteral("EIB"), code);
        require(second.devices.size() == first.devices.size());
        second.toIni(settingsDoc, section, QStringLiteral("EIB"), code);
        const QByteArray saved = settingsDoc.bytes();
        const ProjectSettings third = ProjectSettings::fromIni(settingsDoc, section, QStringLiteral("EIB"), code);
        require(sameSettings(second, third));
        third.toIni(settingsDoc, section, QStringLiteral("EIB"), code);
        require(settingsDoc.bytes() == saved);
    }
    return 0;
}
