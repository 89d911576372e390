// Settings file figures: saving and loading the settings of a project with 160 indoor units
// (7 + 160 x 4 + 3 keys) one operation at a time, as the editor does, and in one batch.
#include "app/IniFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

using namespace tarveon;

namespace {

struct Entry {
    QString section, key, value;
};

QList<Entry> projectKeys()
{
    const QString proto = QStringLiteral("ZTR001-PACKAGED");
    QList<Entry> keys = {{proto, "IP", "192.168.0.1"},       {proto, "NetMask", "255.255.255.0"},
                         {proto, "Gateway", "192.168.0.254"}, {proto, "TmPolling_ms", "1000"},
                         {proto, "IPTRBAS", "192.168.0.2"},   {proto, "PortTRBAS", "502"},
                         {proto, "Devices", "160"}};
    for (int n = 1; n <= 160; ++n) {
        const QString d = QStringLiteral("D%1-").arg(n);
        keys.append({proto, d + "Active", "1"});
        keys.append({proto, d + "Sys", QString::number(n / 64)});
        keys.append({proto, d + "Uni", QString::number(n % 64)});
        keys.append({proto, d + "Name", QStringLiteral("Planta %1 sala %2").arg(n / 20).arg(n)});
    }
    keys.append({"EIB", "PhyAdd", "15.15.255"});
    keys.append({"EIB", "UpdateOnResetoErrEIB", "0"});
    keys.append({"EIB", "tS_DelayUpdateBus", "4"});
    return keys;
}

} // namespace

int main()
{
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QList<Entry> keys = projectKeys();
    const QString path = dir.filePath(QStringLiteral("ZTR001-PACKAGED.ini"));
    QElapsedTimer t;

    t.start();
    for (const Entry &e : keys)
        IniFile(path).write(e.section, e.key, e.value);
    const qint64 firstSave = t.elapsed();

    t.restart();
    for (const Entry &e : keys)
        IniFile(path).write(e.section, e.key, e.value);
    const qint64 resave = t.elapsed();

    t.restart();
    int found = 0;
    for (const Entry &e : keys)
        found += IniFile(path).read(e.section, e.key, QString()) == e.value;
    const qint64 load = t.elapsed();

    t.restart();
    IniDocument doc;
    for (const Entry &e : keys)
        doc.setValue(e.section, e.key, e.value);
    const qint64 batch = t.elapsed();

    out << "settings: " << keys.size() << " keys, file " << QFileInfo(path).size() << " bytes\n"
        << "settings: save key by key (new file)   " << firstSave << " ms\n"
        << "settings: save key by key (unchanged)  " << resave << " ms\n"
        << "settings: load key by key              " << load << " ms (" << found << " found)\n"
        << "settings: set all in one IniDocument   " << batch << " ms\n";
    return found == keys.size() ? 0 : 1;
}
