#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

namespace tarveon {

class AppContext;

// Language resources: the tab-separated language file with one column per language, read once
// at start-up; every text shown to the user is looked up by key. The file is Windows-1252 (UTF-8
// when it starts with a byte-order mark); lines may end in CR LF, LF or CR.
class mIdioma {
public:
    explicit mIdioma(AppContext &ctx) : m_ctx(ctx) {}

    // Reads setting Language and the language file (exeBaseName + ".LNG", else "RESOURCES.LNG",
    // in the context's dataDir).
    // Returns false on the fatal end (no file, empty header, no languages): the message has been
    // shown, no texts are loaded, and the caller ends the program.
    bool LoadLanguage();

    // The reading step of LoadLanguage over the bytes of a language file already in memory, in
    // language column `languageIndex` (out of range: the first); `path` is named in the messages.
    // Returns false on the fatal end, after the message.
    bool LoadLanguageBytes(const QByteArray &bytes, const QString &path, int languageIndex);

    // The text for key in the selected language; "???" after a message when the key is missing.
    QString GetText(const QString &key) const;

    // The text for key, or an empty string when missing, without any message.
    QString textOrEmpty(const QString &key) const { return m_texts.value(key); }
    bool hasKey(const QString &key) const { return m_texts.contains(key); }

    const QStringList &Languages() const { return m_languages; }
    int LanguageIndex() const { return m_languageIndex; }

    // Language menu entry i chosen: LanguageIndex = i, setting Language = i, message "X14". The
    // loaded texts stay; the new language takes effect at the next start.
    void SelectLanguage(int index);

    // Installs texts directly (tests and tools that have no language file).
    void setTexts(const QHash<QString, QString> &texts) { m_texts = texts; }

private:
    bool readTexts(const QString &content, const QString &path);
    bool fail(const QString &path);

    AppContext &m_ctx;
    int m_languageIndex = 0;
    QStringList m_languages;
    QHash<QString, QString> m_texts;
    mutable bool m_reporting = false; // a "No text found" message is being shown
};

} // namespace tarveon
