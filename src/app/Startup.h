#pragma once
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace tarveon {

class AppContext;

// One running program per program directory. The lock lives outside the program directory
// (which may be read-only) under a name derived from it, so programs started from different
// directories, such as tests with their own directories, never refuse each other.
class SingleInstance {
public:
    // lockDir: where the lock file goes; empty means the user's runtime or temporary directory.
    explicit SingleInstance(QString lockDir = {}) : m_lockDir(std::move(lockDir)) {}

    // True when this program may run. False only when a running program holds the lock of
    // programDir; a lock that cannot be made at all (no writable place) does not stop the program.
    bool tryAcquire(const QString &programDir);
    void release();
    QString lockPath(const QString &programDir) const;

private:
    QString m_lockDir;
    std::unique_ptr<QLockFile> m_lock;
};


// True when path names an existing directory; otherwise shows the critical message
// "X99" CR path titled with the application title and returns false.
bool DirExists(AppContext &ctx, const QString &path);

// A directory setting: the stored value, or programDir/subdir when the value is empty.
QString DirectorySetting(const AppContext &ctx, const QString &key, const QString &subdir);
// The same with baseDir/subdir as the default (the templates ship in the data directory).
QString DirectorySetting(const AppContext &ctx, const QString &key, const QString &subdir, const QString &baseDir);

// PathTemplates and PathProjects from the settings file, defaulted to dataDir/TemplatesZDM and
// programDir/ProjectsZDM (both the program directory unless the program is installed);
// a missing templates directory gives the "X99" message and then "Error path Templates".
// Nothing is created here.
void ResolvePaths(AppContext &ctx);

// ProjectName = setting LastProject.
void LoadLastProject(AppContext &ctx);
// At exit: a set ProjectName is stored as LastProject.
void StoreLastProject(AppContext &ctx);

// A project is open once the project list has set its protocol.
bool ProjectIsOpen(const AppContext &ctx);

// The File menu's project list entry: "&" + "X86" + "s...".
QString ProjectListCaption(const AppContext &ctx);

// Names of the settings section and keys used at start-up and exit.
inline const QString kAppSection = QStringLiteral("X103");

} // namespace tarveon
