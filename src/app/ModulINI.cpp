#include "app/ModulINI.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/IniFile.h"

namespace tarveon {

// File names are matched without regard to case, as on the platform the files come from: a
// project's "project.ini" and "Project.ini" are one file.
QString ModulINI::appFilePath() const
{
    return findFileNoCase(m_ctx.programDir, m_ctx.exeBaseName + QStringLiteral(".ini"));
}

QString ModulINI::projectFileName(const QString &section) const
{
    return (m_ctx.IniFileName.isEmpty() ? section : m_ctx.IniFileName) + QStringLiteral(".ini");
}

QString ModulINI::projectFilePath(const QString &section) const
{
    // Without a project directory there is no project file: reads give the defaults and writes
    // fail, instead of touching a file in whatever directory the program was started from.
    if (m_ctx.ProjectDir.isEmpty())
        return QString();
    return findFileNoCase(m_ctx.ProjectDir, projectFileName(section));
}

std::optional<Fault> ModulINI::save(const QString &path, const QString &shownName, const QString &section,
                                    const QString &key, const QString &value) const
{
    if (IniFile(path, m_ctx.saveDevice).write(section, key, value))
        return std::nullopt;
    return Fault{QStringLiteral("X31"), m_ctx.GetText(QStringLiteral("X31")) + shownName, FaultKind::Information};
}

std::optional<Fault> ModulINI::saveAppSetting(const QString &section, const QString &key, const QString &value) const
{
    return save(appFilePath(), m_ctx.exeBaseName + QStringLiteral(".ini"), section, key, value);
}

std::optional<Fault> ModulINI::saveProjectSetting(const QString &section, const QString &key,
                                                  const QString &value) const
{
    return save(projectFilePath(section), projectFileName(section), section, key, value);
}

QString ModulINI::ReadAppSetting(const QString &section, const QString &key, const QString &defaultValue) const
{
    return IniFile(appFilePath()).read(section, key, defaultValue);
}

qint32 ModulINI::ReadAppSettingInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    return IniFile(appFilePath()).readInt(section, key, defaultValue);
}

void ModulINI::WriteAppSetting(const QString &section, const QString &key, const QString &value) const
{
    m_ctx.show(saveAppSetting(section, key, value));
}

QString ModulINI::ReadProjectSetting(const QString &section, const QString &key, const QString &defaultValue) const
{
    return IniFile(projectFilePath(section)).read(section, key, defaultValue);
}

qint32 ModulINI::ReadProjectSettingInt(const QString &section, const QString &key, qint32 defaultValue) const
{
    return IniFile(projectFilePath(section)).readInt(section, key, defaultValue);
}

void ModulINI::WriteProjectSetting(const QString &section, const QString &key, const QString &value) const
{
    m_ctx.show(saveProjectSetting(section, key, value));
}

} // namespace tarveon
