#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace tarveon {

class AppContext;

// One project as the project list shows it: its directory name and the "Prot" and "Desc" keys of
// its description file Project.ini.
struct ProjectEntry {
    QString name;
    QString protocol;
    QString description;
    bool operator==(const ProjectEntry &) const = default;
};

// The protocol up to, not including, its first "-"; the whole name when it has none.
QString protocolFamilyOf(const QString &protocol);

// The protocols offered for a new project, in order, the first preselected (codes 70 and 71).
QStringList newProjectProtocols(const AppContext &ctx);

// A name the project dialog accepts: no "/", "\" or ".", not only blanks, no control characters.
// Such a name always stays a single directory inside the projects directory.
bool isValidProjectName(const QString &name);
// The first character of name that the Windows-1252 settings file cannot store (the last project
// is kept there); empty when there is none.
QString unstorableCharOf(const QString &name);

// Reads the description file of the project directory `dir` (Project.ini, any case); an entry
// with an empty protocol when there is none or it holds no "Prot".
ProjectEntry readProjectEntry(const QString &dir);
// The same over the bytes of a description file: the entry of project `name`.
ProjectEntry parseProjectEntry(const QString &name, const QByteArray &bytes);

// Opens the project `name` of the projects directory without any window: sets the current-project
// state as the project list's Open does. False (state unchanged) when the name does not name a
// listed project.
bool openProject(AppContext &ctx, const QString &name);

// The project list fProject without its window: its public fields, the saved project directory,
// and every action of its buttons. The window shows the entries and forwards the user's actions.
class ProjectListCore {
public:
    explicit ProjectListCore(AppContext &ctx) : m_ctx(ctx) {}

    AppContext &context() const { return m_ctx; }

    // Selected, new or edited project and the pending action (1 new, 2 open or edit, 0 cancelled).
    QString mSelNom;
    QString mSelProt;
    QString mSelDesc;
    qint16 mStatus = 0;

    // Filling: saves ProjectDir, sets IniFileName to "Project" and reads the projects directory,
    // making it when it cannot be listed. False after the "X94" message: the list closes.
    bool fill();
    // The projects found by fill, by name.
    const QVector<ProjectEntry> &entries() const { return m_entries; }
    // The entry to select first: the one named ctx.ProjectName, else the first; -1 when empty.
    int preselected() const { return m_preselected; }

    // Selection routine: copies the item into mSelNom, mSelProt, mSelDesc; false without one.
    bool takeSelection(const ProjectEntry *item);

    // Open (cmdSelec): true when the project was opened and the list closes; "X93" without item.
    bool open(const ProjectEntry *item);
    // The list closes, whichever way: ProjectDir becomes the saved project directory again (or
    // the opened project's).
    void closing();
    // Delete (cmdBorrar): asks, then deletes the project's files and directory. True when the
    // item leaves the list (the user said yes), also after a failure that has been reported.
    bool deleteProject(const ProjectEntry &item);
    // New (cmdNuevo), before the dialog: asks whether to copy the selected project. False when
    // the user cancelled; else show the dialog.
    bool beginNew(const ProjectEntry *item);
    // Edit (cmdEdit), before the dialog.
    void beginEdit(const ProjectEntry &item);
    // After the dialog: the project the list shows for a new or edited project.
    ProjectEntry selection() const { return {mSelNom, mSelProt, mSelDesc}; }

    QString savedProjectDir() const { return m_savedDir; }

private:
    AppContext &m_ctx;
    QString m_savedDir;
    QVector<ProjectEntry> m_entries;
    int m_preselected = -1;
};

// The project dialog fProjectNew without its window: new from templates, copy of a project or
// edit, working on the fields of its project list.
class ProjectDialogCore {
public:
    ProjectDialogCore(AppContext &ctx, ProjectListCore &list) : m_ctx(ctx), m_list(list) {}

    // What the dialog's fields show when it loads.
    struct Fields {
        QStringList protocols;  // the choices of cboProt
        int protocolIndex = 0;  // the one shown
        QString name;
        QString description;
        bool protocolFixed = false; // copy and edit: the protocol cannot change
    };
    // Loading: takes the mode from mStatus and sets the copy flag.
    Fields load();
    qint16 mode() const { return m_mode; }
    bool copying() const { return m_copy; }

    // Accepting (cmdAceptar): true when the dialog closes; false after a message, the dialog stays.
    // The name is taken without its leading and trailing blanks.
    bool accept(const QString &name, const QString &description, const QString &protocol);
    // Cancelling: mStatus becomes 0.
    void cancel();

    // Copy routine: the files of `source` matching `pattern` (all files when empty, without
    // regard to case) into `target` under the same names. False when the source cannot be
    // listed; a file that fails is reported and skipped.
    bool copyFiles(const QString &source, const QString &target, const QString &pattern);

private:
    AppContext &m_ctx;
    ProjectListCore &m_list;
    qint16 m_mode = 0;
    bool m_copy = false;
};

} // namespace tarveon
