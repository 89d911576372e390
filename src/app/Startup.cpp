#include "app/Startup.h"

#include "app/AppContext.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tarveon {

namespace {
const QChar kCR = QLatin1Char('\r');
}

QString SingleInstance::lockPath(const QString &programDir) const
{
    QString dir = m_lockDir;
    if (dir.isEmpty()) {
        // The runtime directory is per user and cleared at log-out; without one, the temporary
        // directory with the user's name in the file name keeps users apart.
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (dir.isEmpty())
            dir = QDir::tempPath();
    }
    const QString canonical = QFileInfo(programDir).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(
        (canonical + QLatin1Char('|') + qEnvironmentVariable("USER")).toUtf8(), QCryptographicHash::Sha1);
    return QDir(dir).filePath(QStringLiteral("tarveon-config-") + QString::fromLatin1(hash.toHex().left(16)) +
                              QStringLiteral(".lock"));
}

bool SingleInstance::tryAcquire(const QString &programDir)
{
    m_lock = std::make_unique<QLockFile>(lockPath(programDir));
    // The program runs for hours: only a dead owner makes a lock stale, never its age.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    const bool heldByOther = m_lock->error() == QLockFile::LockFailedError;
    m_lock.reset();
    return !heldByOther;
}

void SingleInstance::release()
{
    m_lock.reset();
}

bool DirExists(AppContext &ctx, const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    ctx.prompter->platformBox(BoxKind::Critical, kAppTitle, ctx.GetText(QStringLiteral("X99")) + kCR + path);
    return false;
}

QString DirectorySetting(const AppContext &ctx, const QString &key, const QString &subdir)
{
    return DirectorySetting(ctx, key, subdir, ctx.programDir);
}

QString DirectorySetting(const AppContext &ctx, const QString &key, const QString &subdir, const QString &baseDir)
{
    const QString value = ctx.ini.ReadAppSetting(kAppSection, key, QString());
    if (!value.isEmpty())
        return value;
    return baseDir + QLatin1Char('/') + subdir;
}

void ResolvePaths(AppContext &ctx)
{
    ctx.PathTemplates = DirectorySetting(ctx, QStringLiteral("PathTemplates"), QStringLiteral("TemplatesZDM"), ctx.dataDir);
    ctx.PathProjects = DirectorySetting(ctx, QStringLiteral("PathProjects"), QStringLiteral("ProjectsZDM"));
    if (!DirExists(ctx, ctx.PathTemplates))
        ctx.prompter->platformBox(BoxKind::Critical, kAppTitle,
                                  QStringLiteral("Error path Templates") + kCR + ctx.PathTemplates);
}

void LoadLastProject(AppContext &ctx)
{
    ctx.ProjectName = ctx.ini.ReadAppSetting(kAppSection, QStringLiteral("LastProject"), QString());
}

void StoreLastProject(AppContext &ctx)
{
    if (!ctx.ProjectName.isEmpty())
        ctx.ini.WriteAppSetting(kAppSection, QStringLiteral("LastProject"), ctx.ProjectName);
}

bool ProjectIsOpen(const AppContext &ctx)
{
    return !ctx.ProjectProtocol.isEmpty();
}

QString ProjectListCaption(const AppContext &ctx)
{
    return QLatin1Char('&') + ctx.GetText(QStringLiteral("X86")) + QStringLiteral("s...");
}

} // namespace tarveon
