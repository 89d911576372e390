#include "tools/ProjectListCore.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/IniFile.h"
#include "app/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarveon {

namespace {

const QString kDescriptionFile = QStringLiteral("Project.ini");
const QString kSection = QStringLiteral("Project");
const QString kProt = QStringLiteral("Prot");
const QString kDesc = QStringLiteral("Desc");
// Between a message's text and the name or path it is about.
const QString kLineBreak = QStringLiteral("\n");

BoxAnswer show(AppContext &ctx, BoxKind kind, const QString &text, BoxButtons buttons = BoxButtons::Ok,
               BoxAnswer defaultAnswer = BoxAnswer::Ok)
{
    return ctx.prompter->platformBox(kind, kAppTitle, text, buttons, defaultAnswer);
}

QString text(const AppContext &ctx, const char *key)
{
    return ctx.GetText(QLatin1String(key));
}

// A directory whose entries can be read.
bool canList(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && info.isReadable() && info.isExecutable();
}

// Names taken from the list (directory entries) still never leave the projects directory: a
// last guard before anything is opened, renamed or deleted through them.
bool staysInside(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString projectPath(const AppContext &ctx, const QString &name)
{
    // Plain joining: a name is never taken for an absolute path.
    QString root = ctx.PathProjects;
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root + QLatin1Char('/') + name;
}

} // namespace

QString protocolFamilyOf(const QString &protocol)
{
    const qsizetype dash = protocol.indexOf(QLatin1Char('-'));
    return dash < 0 ? protocol : protocol.left(dash);
}

QStringList newProjectProtocols(const AppContext &ctx)
{
    return {ctx.ProtocolNames[70], ctx.ProtocolNames[71]};
}

bool isValidProjectName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    for (const QChar ch : name) {
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QLatin1Char('.'))
            return false;
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) // would break the settings file's lines
            return false;
    }
    return true;
}

QString unstorableCharOf(const QString &name)
{
    for (const char32_t code : name.toUcs4()) {
        const QString one = QString::fromUcs4(&code, 1);
        if (fromCp1252(toCp1252(one)) != one)
            return one;
    }
    return QString();
}

ProjectEntry readProjectEntry(const QString &dir)
{
    IniDocument doc;
    doc.load(findFileNoCase(dir, kDescriptionFile));
    return parseProjectEntry(QFileInfo(dir).fileName(), doc.bytes());
}

ProjectEntry parseProjectEntry(const QString &name, const QByteArray &bytes)
{
    ProjectEntry entry;
    entry.name = name;
    const IniDocument doc(bytes);
    entry.protocol = doc.read(kSection, kProt, QString());
    if (!entry.protocol.isEmpty())
        entry.description = doc.read(kSection, kDesc, QString());
    return entry;
}

bool openProject(AppContext &ctx, const QString &name)
{
    if (!staysInside(name))
        return false;
    const QString dir = projectPath(ctx, name);
    if (!QFileInfo(dir).isDir())
        return false;
    const ProjectEntry entry = readProjectEntry(dir);
    if (entry.protocol.isEmpty())
        return false;
    ctx.IniFileName = kSection; // as after the project list
    ctx.ProjectDir = dir;
    ctx.ProjectName = name;
    ctx.ProjectProtocol = entry.protocol;
    ctx.ProjectDescription = entry.description;
    ctx.ProtocolFamily = protocolFamilyOf(entry.protocol);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Project list

bool ProjectListCore::fill()
{
    m_savedDir = m_ctx.ProjectDir;
    m_ctx.IniFileName = kSection;
    m_entries.clear();
    m_preselected = -1;

    const QString root = m_ctx.PathProjects;
    if (!canList(root) && !(!root.isEmpty() && QDir().mkpath(root) && canList(root))) {
        show(m_ctx, BoxKind::Critical, text(m_ctx, "X94") + kLineBreak + root);
        return false;
    }

    const QFileInfoList infos =
        QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : infos) {
        if (!info.isDir())
            continue;
        const ProjectEntry entry = readProjectEntry(info.filePath());
        if (entry.protocol.isEmpty())
            continue;
        if (m_preselected < 0 && entry.name == m_ctx.ProjectName)
            m_preselected = int(m_entries.size());
        m_entries.append(entry);
    }
    if (m_preselected < 0 && !m_entries.isEmpty())
        m_preselected = 0;
    return true;
}

bool ProjectListCore::takeSelection(const ProjectEntry *item)
{
    if (!item)
        return false;
    mSelNom = item->name;
    mSelProt = item->protocol;
    mSelDesc = item->description;
    return true;
}

bool ProjectListCore::open(const ProjectEntry *item)
{
    mStatus = 2;
    if (!takeSelection(item)) {
        show(m_ctx, BoxKind::Exclamation, text(m_ctx, "X93"));
        return false;
    }
    if (!staysInside(mSelNom))
        return false;
    m_savedDir = projectPath(m_ctx, mSelNom);
    m_ctx.ProjectName = mSelNom;
    m_ctx.ProjectProtocol = mSelProt;
    m_ctx.ProjectDescription = mSelDesc;
    m_ctx.ProtocolFamily = protocolFamilyOf(mSelProt);
    return true;
}

void ProjectListCore::closing()
{
    m_ctx.ProjectDir = m_savedDir;
}

bool ProjectListCore::deleteProject(const ProjectEntry &item)
{
    if (!staysInside(item.name))
        return false;
    const BoxAnswer answer = show(m_ctx, BoxKind::Question, text(m_ctx, "X89") + item.name + QStringLiteral(" ?"),
                                  BoxButtons::YesNo, BoxAnswer::No);
    if (answer != BoxAnswer::Yes)
        return false;

    const QString dir = projectPath(m_ctx, item.name);
    const QFileInfo info(dir);
    if (info.isSymLink()) {
        // A linked project: only the link goes, never the files it points at.
        if (!QFile::remove(dir))
            show(m_ctx, BoxKind::Critical, text(m_ctx, "X91"));
        return true;
    }

    bool filesGone = !info.isDir() || canList(dir);
    if (filesGone) {
        const QFileInfoList files = QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo &file : files) {
            if (!QFile::remove(file.filePath()))
                filesGone = false;
        }
    }
    if (!filesGone)
        show(m_ctx, BoxKind::Critical, text(m_ctx, "X90"));
    // Subdirectories are not deleted: a directory holding one stays.
    if (!QDir().rmdir(dir))
        show(m_ctx, BoxKind::Critical, text(m_ctx, "X91"));
    return true;
}

bool ProjectListCore::beginNew(const ProjectEntry *item)
{
    mStatus = 1;
    if (!takeSelection(item)) {
        mSelNom.clear();
        return true;
    }
    const BoxAnswer answer =
        show(m_ctx, BoxKind::Question,
             text(m_ctx, "X92") + kLineBreak + mSelNom + QStringLiteral(" - ") + mSelProt,
             BoxButtons::YesNoCancel, BoxAnswer::Yes);
    switch (answer) {
    case BoxAnswer::Yes:
        return true; // a copy of the selected project
    case BoxAnswer::No:
        mSelNom.clear(); // from the templates
        return true;
    default:
        return false;
    }
}

void ProjectListCore::beginEdit(const ProjectEntry &item)
{
    mStatus = 2;
    takeSelection(&item);
}

// ---------------------------------------------------------------------------------------------
// Project dialog

ProjectDialogCore::Fields ProjectDialogCore::load()
{
    Fields f;
    f.protocols = newProjectProtocols(m_ctx);
    f.protocolIndex = 0;
    m_mode = m_list.mStatus;
    m_copy = false;
    if (m_list.mSelNom.isEmpty())
        return f;

    f.name = m_list.mSelNom;
    f.description = m_list.mSelDesc;
    f.protocolFixed = true;
    qsizetype index = f.protocols.indexOf(m_list.mSelProt);
    if (index < 0 && !m_list.mSelProt.isEmpty()) {
        // A project of another protocol keeps it: the fixed choice shows it as it is.
        f.protocols.append(m_list.mSelProt);
        index = f.protocols.size() - 1;
    }
    f.protocolIndex = int(qMax<qsizetype>(index, 0));
    if (m_mode != 2)
        m_copy = true;
    return f;
}

bool ProjectDialogCore::accept(const QString &typedName, const QString &description, const QString &protocol)
{
    // Blanks around a name would make two projects look alike.
    const QString name = TrimBlanks(typedName);
    if (!isValidProjectName(name)) {
        show(m_ctx, BoxKind::Exclamation, text(m_ctx, "X98"));
        return false;
    }
    // A name the settings file cannot store would not be found again as the last project.
    if (const QString bad = unstorableCharOf(name); !bad.isEmpty()) {
        show(m_ctx, BoxKind::Exclamation, text(m_ctx, "PRJ1") + QStringLiteral(" \"") + bad + QLatin1Char('"'));
        return false;
    }
    const QString target = projectPath(m_ctx, name);
    m_ctx.ProjectDir = target;

    if (m_mode == 2) {
        if (name != m_list.mSelNom) {
            const QString source = projectPath(m_ctx, m_list.mSelNom);
            // Never onto another directory: the rename would merge or replace it.
            const bool occupied = QFileInfo::exists(target)
                && QFileInfo(target).canonicalFilePath() != QFileInfo(source).canonicalFilePath();
            if (!staysInside(m_list.mSelNom) || occupied || !QDir().rename(source, target)) {
                show(m_ctx, BoxKind::Critical, text(m_ctx, "X98"));
                return false;
            }
        }
    } else if (m_mode == 1) {
        if (QFileInfo::exists(target) || !QDir().mkdir(target)) {
            show(m_ctx, BoxKind::Critical, text(m_ctx, "X95"));
            return false;
        }
        if (m_copy) {
            if (!staysInside(m_list.mSelNom)
                || !copyFiles(projectPath(m_ctx, m_list.mSelNom), target, QString()))
                show(m_ctx, BoxKind::Exclamation, text(m_ctx, "X96"));
        } else if (!copyFiles(m_ctx.PathTemplates, target, protocol + QStringLiteral(".*"))) {
            show(m_ctx, BoxKind::Exclamation, text(m_ctx, "X97"));
        }
    }

    m_list.mSelNom = name;
    m_list.mSelDesc = description;
    m_list.mSelProt = protocol;

    // "Desc", then "Prot", in one save.
    const QString file = findFileNoCase(target, kDescriptionFile);
    IniDocument doc;
    bool written = doc.load(file);
    if (written) {
        doc.write(kSection, kDesc, description);
        doc.write(kSection, kProt, protocol);
        written = doc.save(file).isEmpty();
    }
    if (!written)
        show(m_ctx, BoxKind::Information, text(m_ctx, "X31") + QFileInfo(file).fileName());
    return true;
}

void ProjectDialogCore::cancel()
{
    m_list.mStatus = 0;
}

bool ProjectDialogCore::copyFiles(const QString &source, const QString &target, const QString &pattern)
{
    if (!QFileInfo(source).isDir() || !canList(source)) {
        show(m_ctx, BoxKind::Critical, text(m_ctx, "X99") + kLineBreak + source);
        return false;
    }
    QDir dir(source);
    if (!pattern.isEmpty())
        dir.setNameFilters({pattern}); // without QDir::CaseSensitive: ".DAT" and ".dat" alike
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString to = target + QLatin1Char('/') + file.fileName();
        // The copies are new files of the user: templates installed read-only, or with execute or
        // write bits for others, do not pass those on.
        if (!copyFileAsNew(file.filePath(), to).isEmpty())
            show(m_ctx, BoxKind::Exclamation, text(m_ctx, "X100") + kLineBreak + to);
    }
    return true;
}

} // namespace tarveon
