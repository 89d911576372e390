#include "app/IniFile.h"

#include "app/Files.h"
#include "app/TextCodec.h"

#include <QFile>

// Values are bytes in the file's code page; no UTF conversion is wanted.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace tarveon {

namespace {

constexpr int kMaxValueChars = 254;

bool loadIni(const QString &path, CSimpleIniA &ini)
{
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    ini.SetQuotes(true);
    ini.SetSpaces(false); // key=value, as the profile functions write it
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    return ini.LoadData(data.constData(), size_t(data.size())) >= 0;
}

} // namespace

QString IniFile::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    CSimpleIniA ini;
    QString value = defaultValue;
    if (loadIni(m_path, ini)) {
        const char *found = ini.GetValue(toCp1252(section).constData(), toCp1252(key).constData(), nullptr);
        if (found)
            value = fromCp1252(QByteArray(found));
    }
    // The profile facility copies at most 254 characters and stops at the first NUL.
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value.left(kMaxValueChars);
}

qint32 IniFile::readInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    CSimpleIniA ini;
    if (!loadIni(m_path, ini))
        return defaultValue;
    const char *found = ini.GetValue(toCp1252(section).constData(), toCp1252(key).constData(), nullptr);
    if (!found)
        return defaultValue;
    qint64 number = 0;
    for (const char *p = found; *p >= '0' && *p <= '9'; ++p) {
        number = number * 10 + (*p - '0');
        if (number > 0xFFFFFFFFLL)
            number %= 0x100000000LL; // wraps like the 32-bit profile read
    }
    return qint32(quint32(number));
}

bool IniFile::write(const QString &section, const QString &key, const QString &value) const
{
    CSimpleIniA ini;
    loadIni(m_path, ini);
    if (ini.SetValue(toCp1252(section).constData(), toCp1252(key).constData(),
                     toCp1252(value).constData()) < 0)
        return false;
    std::string out;
    if (ini.Save(out) < 0)
        return false;
    QByteArray bytes = QByteArray::fromStdString(out);
    bytes.replace("\r\n", "\n");
    bytes.replace("\n", "\r\n");
    return saveFileAtomically(m_path, bytes).isEmpty();
}

} // namespace tarveon
