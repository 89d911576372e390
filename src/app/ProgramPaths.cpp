#include "app/ProgramPaths.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarveon {

namespace {

const QString kResourcesLng = QStringLiteral("RESOURCES.LNG");

QString cleanDir(const QString &dir)
{
    return QDir::cleanPath(QDir(dir).absolutePath());
}

} // namespace

PathEnvironment PathEnvironment::system()
{
    PathEnvironment env;
    env.isWritable = [](const QString &dir) {
        const QFileInfo info(dir);
        return info.isDir() && info.isWritable();
    };
    // The generic location, not the per-application one: the three programs have different
    // application names but share the tool's settings and projects.
    env.userDataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') +
                      kDataDirName;
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        env.systemDataDirs << dir + QLatin1Char('/') + kDataDirName;
    env.systemDataDirs.removeAll(env.userDataDir);
    return env;
}

QString LanguageFilePath(const QString &dir, const QString &baseName)
{
    const QString own = findFileNoCase(dir, baseName + QStringLiteral(".LNG"));
    if (QFileInfo(own).isFile())
        return own;
    const QString shared = findFileNoCase(dir, kResourcesLng);
    if (QFileInfo(shared).isFile())
        return shared;
    return own;
}

bool HoldsLanguageFile(const QString &dir, const QString &baseName)
{
    return !dir.isEmpty() && QFileInfo(LanguageFilePath(dir, baseName)).isFile();
}

ProgramPaths ResolveProgramPaths(const QString &exeDir, const QString &baseName, const PathEnvironment &env)
{
    ProgramPaths paths;
    paths.exeDir = cleanDir(exeDir);
    paths.baseName = baseName;

    const bool dataBeside = HoldsLanguageFile(paths.exeDir, baseName);
    paths.dataDir = paths.exeDir;
    if (!dataBeside) {
        QStringList candidates{cleanDir(paths.exeDir + QStringLiteral("/../share/") + kDataDirName)};
        candidates << env.systemDataDirs;
        for (const QString &dir : std::as_const(candidates)) {
            if (HoldsLanguageFile(dir, baseName)) {
                paths.dataDir = cleanDir(dir);
                break;
            }
        }
    }

    // A settings file already beside the program keeps it there (a portable copy that a user
    // started once); otherwise the program directory is used only when it is a complete
    // program directory, so that an installed program run by root never writes into /usr/bin.
    const bool settingsBeside =
        QFileInfo(findFileNoCase(paths.exeDir, baseName + QStringLiteral(".ini"))).isFile();
    const bool writable = env.isWritable && env.isWritable(paths.exeDir);
    if ((settingsBeside || dataBeside) && writable) {
        paths.settingsDir = paths.exeDir;
    } else if (!env.userDataDir.isEmpty()) {
        paths.settingsDir = cleanDir(env.userDataDir);
    } else {
        paths.settingsDir = paths.exeDir;
    }
    return paths;
}

bool MakeSettingsDir(const ProgramPaths &paths)
{
    return QDir().mkpath(paths.settingsDir);
}

ProgramPaths CurrentProgramPaths(const QString &baseName)
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return ResolveProgramPaths(exe.absolutePath(), baseName.isEmpty() ? exe.completeBaseName() : baseName);
}

QString DescribePaths(const AppContext &ctx)
{
    const auto line = [](const char *name, const QString &path) {
        return QString::fromLatin1(name) + QStringLiteral(": ") + QDir::toNativeSeparators(path) + QLatin1Char('\n');
    };
    QString text;
    text += line("settings", ctx.ini.appFilePath());
    text += line("language", LanguageFilePath(ctx.dataDir, ctx.exeBaseName));
    text += line("templates", DirectorySetting(ctx, QStringLiteral("PathTemplates"), QStringLiteral("TemplatesZDM"), ctx.dataDir));
    text += line("projects", DirectorySetting(ctx, QStringLiteral("PathProjects"), QStringLiteral("ProjectsZDM")));
    text += line("docs", ctx.dataDir + QStringLiteral("/DocsZDM"));
    return text;
}

} // namespace tarveon
