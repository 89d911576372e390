#pragma once
#include "app/Files.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace tarveon {

// The bytes of one profile (INI) file, read and edited line by line. Section and key names match
// without regard to case; the first matching section and the first matching key in it count.
// Setting a value rewrites that key's line as key=value (the key spelled as stored), or inserts one
// line after the section's last key, or appends the section at the end: every other byte of the
// file stays as it was (comments, odd lines, line ends, bytes the program does not understand). New lines take the
// file's own line end (CR LF for a new file). Text is Windows-1252.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    // Reads the file; a missing file is an empty document. False when the file exists but cannot
    // be read (it must then not be replaced).
    bool load(const QString &path);
    void parse(const QByteArray &bytes)
    {
        m_bytes = bytes;
        m_index.reset();
    }

    // The stored value without the blanks around it, or nothing when the section or key is missing.
    // The first read indexes the document in one pass, so reading every key of a large file
    // stays linear; a change drops the index.
    std::optional<QByteArray> rawValue(const QString &section, const QString &key) const;
    // Writes key=value. A value is one line: it is cut at its first NUL, CR or LF.
    void setValue(const QString &section, const QString &key, const QString &value);

    // The profile reads: at most 254 characters or the default; the leading decimal digits.
    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    qint32 readInt(const QString &section, const QString &key, qint32 defaultValue) const;
    bool contains(const QString &section, const QString &key) const { return rawValue(section, key).has_value(); }
    bool write(const QString &section, const QString &key, const QString &value)
    {
        setValue(section, key, value);
        return true;
    }

    const QByteArray &bytes() const { return m_bytes; }
    QByteArray toBytes() const { return m_bytes; }
    // Saves atomically (through `device` when given); an empty string on success, else the
    // system's error description.
    QString save(const QString &path, const SaveDeviceFactory &device = {}) const;

private:
    struct Index;
    const Index &index() const;

    QByteArray m_bytes;
    mutable std::shared_ptr<const Index> m_index;
};

// The profile facility over one INI file: section and key names match without regard to case,
// missing file/section/key yields the default, writes replace values in place and create the
// file on first write. Files are Windows-1252; a write replaces the file atomically.
class IniFile {
public:
    explicit IniFile(QString path, SaveDeviceFactory device = {})
        : m_path(std::move(path)), m_device(std::move(device))
    {
    }

    const QString &path() const { return m_path; }

    // The value, at most 254 characters, or the default when missing.
    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    // The value's leading decimal digits as a number; default when missing; 0 when the value
    // does not begin with a digit.
    qint32 readInt(const QString &section, const QString &key, qint32 defaultValue) const;
    // Writes key=value; returns false when the file cannot be written.
    bool write(const QString &section, const QString &key, const QString &value) const;

private:
    QString m_path;
    SaveDeviceFactory m_device;
};

} // namespace tarveon
