#pragma once
#include "app/Fault.h"

#include <QString>
#include <optional>

namespace tarveon {

class AppContext;

// The six settings access operations. App* address the application settings file
// (program directory / executable base name + ".ini"); Project* the open project's settings
// file (ProjectDir / IniFileName + ".ini", the section's name when IniFileName is empty).
// The two writes show the "X31" message of a failed write; saveAppSetting and
// saveProjectSetting write the same way and return that message instead.
class ModulINI {
public:
    explicit ModulINI(AppContext &ctx) : m_ctx(ctx) {}

    QString ReadAppSetting(const QString &section, const QString &key, const QString &defaultValue) const;
    qint32 ReadAppSettingInt(const QString &section, const QString &key, qint32 defaultValue) const;
    void WriteAppSetting(const QString &section, const QString &key, const QString &value) const;

    QString ReadProjectSetting(const QString &section, const QString &key, const QString &defaultValue) const;
    qint32 ReadProjectSettingInt(const QString &section, const QString &key, qint32 defaultValue) const;
    void WriteProjectSetting(const QString &section, const QString &key, const QString &value) const;

    std::optional<Fault> saveAppSetting(const QString &section, const QString &key, const QString &value) const;
    std::optional<Fault> saveProjectSetting(const QString &section, const QString &key, const QString &value) const;

    QString appFilePath() const;
    // Empty while no project directory is set: reads then give the defaults and writes fail.
    QString projectFilePath(const QString &section) const;

private:
    QString projectFileName(const QString &section) const;
    std::optional<Fault> save(const QString &path, const QString &shownName, const QString &section,
                              const QString &key, const QString &value) const;
    AppContext &m_ctx;
};

} // namespace tarveon
