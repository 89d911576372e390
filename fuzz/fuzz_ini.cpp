// Feeds arbitrary bytes to the settings file reader as a file on disk.
#include "app/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    tarveon::IniFile ini(path);
    (void)ini.read(QStringLiteral("X103"), QStringLiteral("Settings"), QStringLiteral("57600,n,8,1"));
    (void)ini.readInt(QStringLiteral("x103"), QStringLiteral("COM"), 1);
    (void)ini.read(QStringLiteral("EIB"), QStringLiteral("PhyAdd"), QStringLiteral("15.15.255"));
    return 0;
}
