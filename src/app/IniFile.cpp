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

void configure(CSimpleIniA &ini)
{
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    ini.SetQuotes(true);
    ini.SetSpaces(false); // key=value, as the profile functions write it
}

} // namespace

struct IniDocument::Data {
    Data() { configure(ini); }
    const char *find(const QString &section, const QString &key) const
    {
        return ini.GetValue(toCp1252(section).constData(), toCp1252(key).constData(), nullptr);
    }
    CSimpleIniA ini;
};

IniDocument::IniDocument() : d(std::make_unique<Data>()) {}
IniDocument::~IniDocument() = default;
IniDocument::IniDocument(IniDocument &&) noexcept = default;
IniDocument &IniDocument::operator=(IniDocument &&) noexcept = default;

bool IniDocument::load(const QString &path)
{
    d->ini.Reset();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    parse(file.readAll());
    return file.error() == QFileDevice::NoError;
}

void IniDocument::parse(const QByteArray &bytes)
{
    d->ini.Reset();
    d->ini.LoadData(bytes.constData(), size_t(bytes.size()));
}

QString IniDocument::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    const char *found = d->find(section, key);
    QString value = found ? fromCp1252(QByteArray(found)) : defaultValue;
    // The profile facility copies at most 254 characters and stops at the first NUL.
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value.left(kMaxValueChars);
}

qint32 IniDocument::readInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    const char *found = d->find(section, key);
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

bool IniDocument::contains(const QString &section, const QString &key) const
{
    return d->find(section, key) != nullptr;
}

bool IniDocument::write(const QString &section, const QString &key, const QString &value)
{
    return d->ini.SetValue(toCp1252(section).constData(), toCp1252(key).constData(),
                           toCp1252(value).constData()) >= 0;
}

bool IniDocument::serialize(QByteArray &bytes) const
{
    std::string out;
    if (d->ini.Save(out) < 0)
        return false;
    bytes = QByteArray::fromStdString(out);
    bytes.replace("\r\n", "\n");
    // The library puts two empty lines between sections; one is the usual layout. Values never
    // hold line breaks, so three in a row only ever stand between sections.
    bytes.replace("\n\n\n", "\n\n");
    bytes.replace("\n", "\r\n");
    return true;
}

QByteArray IniDocument::toBytes() const
{
    QByteArray bytes;
    serialize(bytes);
    return bytes;
}

QString IniDocument::save(const QString &path) const
{
    QByteArray bytes;
    if (!serialize(bytes))
        return QStringLiteral("Out of memory");
    return saveFileAtomically(path, bytes);
}

QString IniFile::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    IniDocument doc;
    doc.load(m_path);
    return doc.read(section, key, defaultValue);
}

qint32 IniFile::readInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    IniDocument doc;
    doc.load(m_path);
    return doc.readInt(section, key, defaultValue);
}

bool IniFile::write(const QString &section, const QString &key, const QString &value) const
{
    IniDocument doc;
    // A file that exists but cannot be read is not replaced by one holding only this key.
    if (!doc.load(m_path) || !doc.write(section, key, value))
        return false;
    return doc.save(m_path).isEmpty();
}

} // namespace tarveon
