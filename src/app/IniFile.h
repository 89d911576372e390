#pragma once
#include <QString>

#include <memory>

namespace tarveon {

// One INI file held in memory: loaded once, read and written key by key with the profile
// semantics below, saved once. Used where many keys are written together (a project's device
// list), where rewriting the file for every key would be far too slow.
//
// Profile semantics: section and key names match without regard to case, a missing section or
// key yields the default, a write replaces the value in place (a new key goes to the end of its
// section, a new section to the end of the file). Files are Windows-1252 with CR LF line ends.
class IniDocument {
public:
    IniDocument();
    ~IniDocument();
    IniDocument(IniDocument &&) noexcept;
    IniDocument &operator=(IniDocument &&) noexcept;

    // Reads the file at `path`, replacing the contents. A missing file leaves the document empty
    // and is no error; false when the file exists but cannot be read (the document is empty then).
    bool load(const QString &path);
    // Replaces the contents with the text of an INI file.
    void parse(const QByteArray &bytes);

    // The value, at most 254 characters, or the default when missing.
    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    // The value's leading decimal digits as a number; default when missing; 0 when the value
    // does not begin with a digit.
    qint32 readInt(const QString &section, const QString &key, qint32 defaultValue) const;
    bool contains(const QString &section, const QString &key) const;

    // Sets key=value in memory, creating the section and key as needed.
    bool write(const QString &section, const QString &key, const QString &value);

    // The file's bytes (CR LF line ends).
    QByteArray toBytes() const;
    // Writes the file atomically. Empty on success, else the system's error description.
    QString save(const QString &path) const;

private:
    bool serialize(QByteArray &bytes) const;
    struct Data;
    std::unique_ptr<Data> d;
};

// The profile facility over one INI file, one key per call: every call reads the file, a write
// replaces the file atomically and creates it on first write. Same semantics as IniDocument.
class IniFile {
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // The value, at most 254 characters, or the default when missing.
    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    // The value's leading decimal digits as a number; default when missing; 0 when the value
    // does not begin with a digit.
    qint32 readInt(const QString &section, const QString &key, qint32 defaultValue) const;
    // Writes key=value; returns false when the file cannot be written (nor read, when it exists).
    bool write(const QString &section, const QString &key, const QString &value) const;

private:
    QString m_path;
};

} // namespace tarveon
