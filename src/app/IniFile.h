#pragma once
#include <QString>

namespace tarveon {

// The profile facility over one INI file: section and key names match without regard to case,
// missing file/section/key yields the default, writes replace values in place and create the
// file on first write. Files are Windows-1252 with CR LF line ends; a write replaces the file
// atomically.
class IniFile {
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

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
};

} // namespace tarveon
