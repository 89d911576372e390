#include "app/mIdioma.h"

#include "app/AppContext.h"
#include "app/TextCodec.h"

#include <QDir>
#include <QFile>

namespace tarveon {

namespace {
const QString kCR = QStringLiteral("\r");
}

bool mIdioma::LoadLanguage()
{
    m_languageIndex = qint16(m_ctx.ini.ReadAppSettingInt(QStringLiteral("X103"), QStringLiteral("Language"), 0));
    m_languages.clear();
    m_texts.clear();

    const QString first = QDir(m_ctx.programDir).filePath(m_ctx.exeBaseName + QStringLiteral(".LNG"));
    QString path = first;
    if (!QFile::exists(first) || !QFile(first).open(QIODevice::ReadOnly)) {
        m_ctx.prompter->platformBox(BoxKind::Critical, kAppTitle, QStringLiteral("File not found. ") + first);
        path = QDir(m_ctx.programDir).filePath(QStringLiteral("RESOURCES.LNG"));
    }
    if (readFile(path))
        return true;
    m_ctx.prompter->platformBox(BoxKind::Critical, kAppTitle, QStringLiteral("Error or File not found. ") + path);
    return false;
}

bool mIdioma::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString content = fromCp1252(file.readAll());
    file.close();

    // Lines end in CR LF in the shipped file; LF alone is accepted too.
    qsizetype pos = 0;
    auto nextLine = [&](QStringView &line) {
        if (pos > content.size() || (pos == content.size() && pos != 0))
            return false;
        qsizetype end = content.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = content.size();
        line = QStringView(content).mid(pos, end - pos);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        pos = end + 1;
        return true;
    };

    QStringView header;
    if (!nextLine(header) || header.trimmed().isEmpty())
        return false;
    const auto headerFields = header.split(QLatin1Char('\t'));
    // Field 1 is the key column's title; a final field without a TAB after it is never a language.
    for (qsizetype i = 1; i + 1 < headerFields.size(); ++i) {
        const QString name = headerFields[i].trimmed().toString();
        if (name == QLatin1String("Software"))
            break;
        m_languages << name;
    }
    if (m_languages.isEmpty())
        return false;

    const qsizetype textField = m_languageIndex + 1;
    QStringView line;
    while (nextLine(line)) {
        if (line.startsWith(QLatin1Char('*')) || line.trimmed().isEmpty())
            continue;
        qsizetype start = 0;
        QString key;
        QString text;
        for (qsizetype field = 0; field <= textField; ++field) {
            qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
            const qsizetype end = tab < 0 ? line.size() : tab;
            if (field == 0)
                key = line.mid(start, end - start).toString();
            else if (field == textField)
                text = line.mid(start, end - start).toString();
            if (tab < 0)
                break;
            start = tab + 1;
        }
        if (text.isEmpty())
            text = QStringLiteral("???");
        if (m_texts.contains(key)) {
            m_ctx.prompter->msgBox(QStringLiteral("Duplicated register in ") + path + kCR + key, QString(), 3, 1, 1);
            continue;
        }
        m_texts.insert(key, text);
    }
    return true;
}

QString mIdioma::GetText(const QString &key) const
{
    const auto it = m_texts.constFind(key);
    if (it != m_texts.constEnd())
        return *it;
    m_ctx.prompter->msgBox(QStringLiteral("No text found for Key: ") + key, QString(), 3, 1, 1);
    return QStringLiteral("???");
}

void mIdioma::SelectLanguage(int index)
{
    m_languageIndex = index;
    m_ctx.ini.WriteAppSetting(QStringLiteral("X103"), QStringLiteral("Language"), QString::number(index));
    m_ctx.prompter->msgBox(GetText(QStringLiteral("X14")), QString(), 0, 1, 1);
}

} // namespace tarveon
