#include "app/IniFile.h"

#include "app/Files.h"
#include "app/Text.h"

#include <QFile>
#include <QHash>

namespace tarveon {

namespace {

constexpr int kMaxValueChars = 254;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// One line of the file as the profile functions see it.
struct ProfileLine {
    enum Kind { Other, Section, Key } kind = Other;
    qsizetype begin = 0;      // first byte of the line
    qsizetype contentEnd = 0; // end of the text, before CR LF / LF
    qsizetype next = 0;       // first byte of the following line (size when none)
    qsizetype nameBegin = 0, nameEnd = 0;   // section or key name, blanks removed
    qsizetype valueBegin = 0, valueEnd = 0; // value, blanks removed (Key only)
};

ProfileLine parseLine(const QByteArray &bytes, qsizetype begin)
{
    const char *d = bytes.constData();
    const qsizetype size = bytes.size();
    ProfileLine line;
    line.begin = begin;
    qsizetype lf = bytes.indexOf('\n', begin);
    if (lf < 0)
        lf = size;
    line.next = lf < size ? lf + 1 : size;
    line.contentEnd = (lf > begin && d[lf - 1] == '\r') ? lf - 1 : lf;

    qsizetype tb = begin, te = line.contentEnd;
    // A byte-order mark left by an editor is not part of the first line's text.
    if (begin == 0 && te >= 3 && bytes.startsWith("\xEF\xBB\xBF"))
        tb = 3;
    while (tb < te && isBlank(d[tb]))
        ++tb;
    while (te > tb && isBlank(d[te - 1]))
        --te;
    if (tb == te || d[tb] == ';')
        return line;

    if (d[tb] == '[') {
        qsizetype close = te - 1;
        while (close > tb && d[close] != ']')
            --close;
        if (close == tb)
            return line; // "[" without "]": neither a section nor a key
        qsizetype nb = tb + 1, ne = close;
        while (nb < ne && isBlank(d[nb]))
            ++nb;
        while (ne > nb && isBlank(d[ne - 1]))
            --ne;
        line.kind = ProfileLine::Section;
        line.nameBegin = nb;
        line.nameEnd = ne;
        return line;
    }

    qsizetype eq = tb;
    while (eq < te && d[eq] != '=')
        ++eq;
    if (eq == te)
        return line;
    qsizetype ne = eq;
    while (ne > tb && isBlank(d[ne - 1]))
        --ne;
    if (ne == tb)
        return line; // "=value" has no key
    line.kind = ProfileLine::Key;
    line.nameBegin = tb;
    line.nameEnd = ne;
    qsizetype vb = eq + 1;
    while (vb < te && isBlank(d[vb]))
        ++vb;
    line.valueBegin = vb;
    line.valueEnd = te;
    return line;
}

// Names are compared as text, without regard to case. Windows-1252 has one byte per character,
// so names of another length never match and need no decoding.
bool nameMatches(const QByteArray &bytes, qsizetype begin, qsizetype end, const QByteArray &encoded,
                 const QString &name)
{
    if (end - begin != encoded.size())
        return false;
    const char *stored = bytes.constData() + begin;
    if (QByteArrayView(stored, end - begin) == QByteArrayView(encoded))
        return true;
    // Plain ASCII names (nearly all) compare without decoding; this runs for every line of a
    // section on every write.
    bool ascii = true;
    for (qsizetype i = 0; i < encoded.size() && ascii; ++i)
        ascii = uchar(stored[i]) < 0x80 && uchar(encoded[i]) < 0x80;
    if (ascii)
        return qstrnicmp(stored, encoded.constData(), encoded.size()) == 0;
    return QString::compare(fromCp1252(bytes.mid(begin, end - begin)), name, Qt::CaseInsensitive) == 0;
}

// A value, key or section name is stored on one line.
QString oneLine(const QString &text)
{
    qsizetype cut = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QChar(0) || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            cut = i;
            break;
        }
    }
    return text.left(cut);
}

QByteArray lineEndOf(const QByteArray &bytes)
{
    const qsizetype lf = bytes.indexOf('\n');
    if (lf > 0 && bytes.at(lf - 1) != '\r')
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

QByteArray cutValue(QByteArray raw)
{
    const qsizetype nul = raw.indexOf('\0');
    if (nul >= 0)
        raw.truncate(nul);
    raw.truncate(kMaxValueChars);
    return raw;
}

bool readDocument(const QString &path, IniDocument &doc)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    doc = IniDocument(file.readAll());
    return true;
}

} // namespace

// The first section of each name and, in it, the first line of each key: names case-folded,
// values as byte ranges of the document.
struct IniDocument::Index {
    QHash<QString, QHash<QString, QPair<qsizetype, qsizetype>>> sections;
};

const IniDocument::Index &IniDocument::index() const
{
    if (m_index)
        return *m_index;
    auto index = std::make_shared<Index>();
    QHash<QString, QPair<qsizetype, qsizetype>> *keys = nullptr;
    for (qsizetype pos = 0; pos < m_bytes.size();) {
        const ProfileLine line = parseLine(m_bytes, pos);
        pos = line.next;
        if (line.kind == ProfileLine::Section) {
            const QString name = fromCp1252(m_bytes.mid(line.nameBegin, line.nameEnd - line.nameBegin)).toCaseFolded();
            // Only the first section of a name counts.
            keys = index->sections.contains(name) ? nullptr : &index->sections[name];
        } else if (keys && line.kind == ProfileLine::Key) {
            const QString name = fromCp1252(m_bytes.mid(line.nameBegin, line.nameEnd - line.nameBegin)).toCaseFolded();
            if (!keys->contains(name))
                keys->insert(name, {line.valueBegin, line.valueEnd - line.valueBegin});
        }
    }
    m_index = std::move(index);
    return *m_index;
}

std::optional<QByteArray> IniDocument::rawValue(const QString &section, const QString &key) const
{
    const Index &idx = index();
    const auto s = idx.sections.constFind(oneLine(section).toCaseFolded());
    if (s == idx.sections.constEnd())
        return std::nullopt;
    const auto k = s->constFind(oneLine(key).toCaseFolded());
    if (k == s->constEnd())
        return std::nullopt;
    return m_bytes.mid(k->first, k->second);
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    m_index.reset();
    const QString sectionName = oneLine(section);
    const QString keyName = oneLine(key);
    const QByteArray encSection = toCp1252(sectionName);
    const QByteArray encKey = toCp1252(keyName);
    const QByteArray encValue = toCp1252(oneLine(value));
    const QByteArray eol = lineEndOf(m_bytes);

    bool inSection = false;
    ProfileLine insertAfter; // the section's header or its last key line
    for (qsizetype pos = 0; pos < m_bytes.size();) {
        const ProfileLine line = parseLine(m_bytes, pos);
        pos = line.next;
        if (line.kind == ProfileLine::Section) {
            if (inSection)
                break;
            inSection = nameMatches(m_bytes, line.nameBegin, line.nameEnd, encSection, sectionName);
            if (inSection)
                insertAfter = line;
        } else if (inSection && line.kind == ProfileLine::Key) {
            if (nameMatches(m_bytes, line.nameBegin, line.nameEnd, encKey, keyName)) {
                // The line becomes key=value with the key spelled as stored.
                const QByteArray stored = m_bytes.mid(line.nameBegin, line.nameEnd - line.nameBegin);
                m_bytes.replace(line.begin, line.contentEnd - line.begin, stored + '=' + encValue);
                return;
            }
            insertAfter = line;
        }
    }

    const QByteArray keyLine = encKey + '=' + encValue + eol;
    if (inSection) {
        const bool terminated = insertAfter.next > 0 && m_bytes.at(insertAfter.next - 1) == '\n';
        if (!terminated) // last line of the file, no line end yet
            m_bytes.insert(insertAfter.next, eol + keyLine);
        else
            m_bytes.insert(insertAfter.next, keyLine);
        return;
    }
    if (!m_bytes.isEmpty() && !m_bytes.endsWith('\n'))
        m_bytes += eol;
    m_bytes += '[' + encSection + ']' + eol + keyLine;
}

bool IniDocument::load(const QString &path)
{
    m_bytes.clear();
    m_index.reset();
    if (!QFile::exists(path))
        return true;
    return readDocument(path, *this);
}

QString IniDocument::save(const QString &path, const SaveDeviceFactory &device) const
{
    return saveFileAtomically(path, m_bytes, nullptr, device);
}

QString IniDocument::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    if (const auto raw = rawValue(section, key))
        return fromCp1252(cutValue(*raw));
    // The profile facility copies at most 254 characters and stops at the first NUL.
    QString value = defaultValue;
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    return value.left(kMaxValueChars);
}

QString IniFile::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    IniDocument doc;
    readDocument(m_path, doc);
    return doc.read(section, key, defaultValue);
}

qint32 IniFile::readInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    IniDocument doc;
    readDocument(m_path, doc);
    return doc.readInt(section, key, defaultValue);
}

qint32 IniDocument::readInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    const QByteArray value = cutValue(*raw);
    quint32 number = 0; // wraps like the 32-bit profile read
    for (const char c : value) {
        if (c < '0' || c > '9')
            break;
        number = number * 10u + quint32(c - '0');
    }
    return qint32(number);
}

bool IniFile::write(const QString &section, const QString &key, const QString &value) const
{
    if (m_path.isEmpty())
        return false;
    IniDocument doc;
    const bool exists = QFile::exists(m_path);
    // An existing file that cannot be read must not be replaced by one holding only this key.
    if (exists && !readDocument(m_path, doc))
        return false;
    const QByteArray before = doc.bytes();
    doc.setValue(section, key, value);
    // Storing the value the file already holds needs no write (a save is a synced disk write).
    if (exists && doc.bytes() == before)
        return true;
    return doc.save(m_path, m_device).isEmpty();
}

} // namespace tarveon
