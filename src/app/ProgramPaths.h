#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace tarveon {

// Where a program of the tool finds its files. Two layouts are served:
// - a program directory that holds the shipped data and may be written (the build tree, a copy
//   unpacked anywhere): everything lives beside the executable, as the tool always did;
// - an installed program (/usr/bin with its data in /usr/share/tarveon-config): the shipped data
//   is read from the installed data directory, and the settings file and the projects directory
//   go to the user's data directory (~/.local/share/tarveon-config), same names, same formats.
struct ProgramPaths {
    QString exeDir;      // the executable's directory
    QString baseName;    // the tool's base name: settings file baseName.ini, language file baseName.LNG
    QString settingsDir; // settings file and, by default, ProjectsZDM (AppContext::programDir)
    QString dataDir;     // read-only shipped data: language file, TemplatesZDM, DocsZDM (AppContext::dataDir)

    bool operator==(const ProgramPaths &) const = default;
};

// What the resolution asks of the system, so that tests can play both layouts (tests run as
// root, where every directory can be written).
struct PathEnvironment {
    // True when files can be created in the directory.
    std::function<bool(const QString &dir)> isWritable;
    // The user's data directory for the tool (created when chosen).
    QString userDataDir;
    // Installed data directories to try, in order, after exeDir/../share/tarveon-config.
    QStringList systemDataDirs;

    // The running system: writability from the file system, $XDG_DATA_HOME/tarveon-config (or
    // ~/.local/share/tarveon-config) and each of $XDG_DATA_DIRS/tarveon-config.
    static PathEnvironment system();
};

// Name of the tool's directory below share/ and below the user's data directory.
inline const QString kDataDirName = QStringLiteral("tarveon-config");
// Base name of the desktop tool: the command line and the simulator read its settings and
// language file.
inline const QString kToolBaseName = QStringLiteral("tarveon-config");

// True when dir holds a language file the tool would read: baseName.LNG or RESOURCES.LNG.
bool HoldsLanguageFile(const QString &dir, const QString &baseName);

// Resolves the directories for an executable in exeDir named baseName:
// - dataDir: exeDir when it holds a language file, else exeDir/../share/tarveon-config, else the
//   first of env.systemDataDirs, that holds one; exeDir when none does (the language load then
//   reports the file missing there);
// - settingsDir: exeDir when the settings file is already there, or when exeDir holds the
//   shipped data, and exeDir is writable in either case; otherwise env.userDataDir.
// Nothing is created (tarveon-config --paths only tells).
ProgramPaths ResolveProgramPaths(const QString &exeDir, const QString &baseName,
                                 const PathEnvironment &env = PathEnvironment::system());

// Creates the settings directory (the user's data directory of an installed program) before the
// program writes its settings there: the settings write creates the file, not its directory.
bool MakeSettingsDir(const ProgramPaths &paths);

// The paths of the running executable; baseName empty means the executable's own base name.
// QCoreApplication must exist.
ProgramPaths CurrentProgramPaths(const QString &baseName = QString());

// The language file the tool reads from dir: baseName.LNG, else RESOURCES.LNG (either found
// without regard to case); the path of baseName.LNG when neither exists.
QString LanguageFilePath(const QString &dir, const QString &baseName);

class AppContext;
// One "name: path" line per file and directory the program uses, with the directory settings
// applied (for --paths and for support).
QString DescribePaths(const AppContext &ctx);

} // namespace tarveon
