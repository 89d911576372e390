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

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
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

// Passes the first bytes on to the save's file, then fails as a full disk does.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QIODevice &target, qint64 room) : m_target(target), m_room(room) { open(WriteOnly | Unbuffered); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = m_target.write(data, qMin(size, m_room));
        m_room -= n;
        return n;
    }

private:
    QIODevice &m_target;
    qint64 m_room;
};

SaveDeviceFactory failAfter(qint64 bytes)
{
    return [bytes](QIODevice &target) { return std::make_unique<FailingDevice>(target, bytes); };
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
    writeAll(m_dir.filePath(relative), bytes);
}

QByteArray TempProgramDir::readFile(const QString &relative) const
{
    return readAll(m_dir.filePath(relative));
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
