#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace tarveon::test {

QString resourcesDir()
{
    return QStringLiteral(TARVEON_SOURCE_DIR "/resources");
}

QByteArray junk(quint32 seed, qsizetype size)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(gen.bounded(256));
    return out;
}

QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            out.insert(rel + QLatin1Char('/'), {});
        } else {
            QFile f(path);
            out.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        }
    }
    return out;
}

static void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString target = QDir(to).filePath(it.fileName());
        if (it.fileInfo().isDir())
            copyTree(it.filePath(), target);
        else
            QFile::copy(it.filePath(), target);
    }
}

TempProgramDir::TempProgramDir(bool withResources)
{
    if (withResources) {
        QFile::copy(resourcesDir() + QStringLiteral("/RESOURCES.LNG"), m_dir.filePath(QStringLiteral("RESOURCES.LNG")));
        copyTree(resourcesDir() + QStringLiteral("/TemplatesZDM"), m_dir.filePath(QStringLiteral("TemplatesZDM")));
    }
}

void TempProgramDir::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TempProgramDir::readFile(const QString &relative) const
{
    QFile f(m_dir.filePath(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

TestContext::TestContext(bool loadLanguage)
{
    ctx = std::make_unique<AppContext>(dir.path(), QStringLiteral("tarveon-config"), &prompter);
    ctx->InitProtocols();
    ctx->PathTemplates = dir.filePath(QStringLiteral("TemplatesZDM"));
    ctx->PathProjects = dir.filePath(QStringLiteral("ProjectsZDM"));
    if (loadLanguage)
        ctx->language.LoadLanguage();
    prompter.clear();
}

} // namespace tarveon::test
