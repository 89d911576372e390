#include "app/mIdioma.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/Text.h"

#include <QFile>

namespace tarveon {

namespace {

const QString kCR = QStringLiteral("\r");
const QString kNoText = QStringLiteral("???");

// A line of blanks and TABs carries nothing.
bool isBlankLine(QStringView s)
{
    for (const QChar c : s) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

// The file is Windows-1252; one saved by an editor as UTF-8 with its byte-order mark is read as
// UTF-8, so that an installer's edit does not garble the accented texts.
QString decodeLanguageFile(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    return fromCp1252(bytes);
}

// Splits the text into lines at CR LF, LF or CR alone.
class LineReader {
public:
    explicit LineReader(const QString &text) : m_text(text) {}
    bool next(QStringView &line)
    {
        const qsizetype size = m_text.size();
        if (m_pos >= size)
            return false;
        const QChar *d = m_text.constData();
        qsizetype end = m_pos;
        while (end < size && d[end] != QLatin1Char('\n') && d[end] != QLatin1Char('\r'))
            ++end;
        line = QStringView(m_text).mid(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < size && d[m_pos] == QLatin1Char('\r'))
            ++m_pos;
        if (m_pos < size && d[m_pos] == QLatin1Char('\n'))
            ++m_pos;
        return true;
    }

private:
    const QString &m_text;
    qsizetype m_pos = 0;
};

} // namespace

bool mIdioma::LoadLanguage()
{
    m_languageIndex = qint16(m_ctx.ini.ReadAppSettingInt(QStringLiteral("X103"), QStringLiteral("Language"), 0));
    m_languages.clear();
    m_texts.clear();

    // The names are looked up without regard to case: a copy of the file may have come from a
    // system that does not keep the case of names.
    const QString firstName = m_ctx.exeBaseName + QStringLiteral(".LNG");
    QString path = findFileNoCase(m_ctx.dataDir, firstName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_ctx.prompter->platformBox(BoxKind::Critical, kAppTitle, QStringLiteral("File not found. ") + path);
        path = findFileNoCase(m_ctx.dataDir, QStringLiteral("RESOURCES.LNG"));
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(path);
    }
    const QByteArray bytes = file.readAll();
    file.close();
    return LoadLanguageBytes(bytes, path, m_languageIndex);
}

bool mIdioma::LoadLanguageBytes(const QByteArray &bytes, const QString &path, int languageIndex)
{
    m_languageIndex = languageIndex;
    m_languages.clear();
    m_texts.clear();
    if (!readTexts(decodeLanguageFile(bytes), path))
        return fail(path);
    return true;
}

bool mIdioma::fail(const QString &path)
{
    m_languages.clear();
    m_texts.clear();
    m_ctx.prompter->platformBox(BoxKind::Critical, kAppTitle, QStringLiteral("Error or File not found. ") + path);
    return false;
}

bool mIdioma::readTexts(const QString &content, const QString &path)
{
    LineReader reader(content);
    QStringView header;
    if (!reader.next(header) || isBlankLine(header))
        return false;
    const auto headerFields = header.split(QLatin1Char('\t'));
    // Field 1 is the key column's title; a final field without a TAB after it is never a language.
    for (qsizetype i = 1; i + 1 < headerFields.size(); ++i) {
        const QStringView name = BlankTrimmed(headerFields[i]);
        if (name == QLatin1String("Software"))
            break;
        m_languages << name.toString();
    }
    if (m_languages.isEmpty())
        return false;

    // A stored index outside the file's languages (another file, a hand-edited setting) falls
    // back to the first language rather than showing "???" everywhere.
    if (m_languageIndex < 0 || m_languageIndex >= m_languages.size())
        m_languageIndex = 0;

    const qsizetype textField = m_languageIndex + 1; // 0-based index of field LanguageIndex + 2
    QStringView line;
    while (reader.next(line)) {
        if (line.startsWith(QLatin1Char('*')) || isBlankLine(line))
            continue;
        qsizetype start = 0;
        QStringView key;
        QStringView text;
        for (qsizetype field = 0; field <= textField; ++field) {
            const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
            const qsizetype end = tab < 0 ? line.size() : tab;
            if (field == 0)
                key = line.mid(start, end - start);
            else if (field == textField)
                text = line.mid(start, end - start);
            if (tab < 0)
                break;
            start = tab + 1;
        }
        const QString keyText = key.toString();
        if (m_texts.contains(keyText)) {
            m_ctx.prompter->msgBox(QStringLiteral("Duplicated register in ") + path + kCR + keyText, QString(),
                                   MsgIcon::Alert, MsgDefault::First, MsgButtons::One);
            continue;
        }
        m_texts.insert(keyText, text.isEmpty() ? kNoText : text.toString());
    }
    return true;
}

QString mIdioma::GetText(const QString &key) const
{
    const auto it = m_texts.constFind(key);
    if (it != m_texts.constEnd())
        return *it;
    // The message dialog takes its own captions from here; a key missing while the message is
    // being shown must not start another message.
    if (!m_reporting) {
        m_reporting = true;
        m_ctx.prompter->msgBox(QStringLiteral("No text found for Key: ") + key, QString(), MsgIcon::Alert,
                               MsgDefault::First, MsgButtons::One);
        m_reporting = false;
    }
    return kNoText;
}

void mIdioma::SelectLanguage(int index)
{
    m_languageIndex = index;
    m_ctx.ini.WriteAppSetting(QStringLiteral("X103"), QStringLiteral("Language"), QString::number(index));
    m_ctx.prompter->msgBox(GetText(QStringLiteral("X14")), QString(), MsgIcon::Exclamation, MsgDefault::First,
                           MsgButtons::One);
}

} // namespace tarveon
