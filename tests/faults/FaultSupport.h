#pragma once
// Ways to make file writes fail that hold even for root (the tests run as root in CI, where
// permission bits alone stop nothing).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarveon::test {

// While alive, no file of this process may grow past `bytes`: a write beyond fails with EFBIG
// (SIGXFSZ, which would end the process, is ignored meanwhile). Files already larger stay as they are.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    bool active() const { return m_active; }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    struct rlimit m_saved {};
    void (*m_handler)(int) = SIG_DFL;
    bool m_active = false;
};

// A directory the process cannot write into. As root, the process acts as user "nobody" (the
// saved user id stays root, so it can come back) on a directory that root owns and nobody may only
// read; as any other user the directory's write bits are taken away. The directories above it are
// opened for traversal meanwhile. Everything is put back when the object goes.
class ReadOnlyDirectory {
public:
    ReadOnlyDirectory(const QString &dir, const QStringList &traversed)
    {
        m_dir = dir;
        for (const QString &path : traversed + QStringList{dir}) {
            struct stat st {};
            if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
                m_modes.insert(path, st.st_mode & 07777);
                ::chmod(QFile::encodeName(path).constData(), path == dir ? 0555 : (st.st_mode & 07777) | 0755);
            }
        }
        if (::geteuid() == 0)
            m_switched = ::seteuid(65534) == 0;
        m_active = ::geteuid() != 0;
    }
    ~ReadOnlyDirectory()
    {
        if (m_switched)
            (void)!::seteuid(0);
        for (auto it = m_modes.cbegin(); it != m_modes.cend(); ++it)
            ::chmod(QFile::encodeName(it.key()).constData(), it.value());
    }
    // False when the directory could not be made read-only for this process.
    bool active() const { return m_active; }
    ReadOnlyDirectory(const ReadOnlyDirectory &) = delete;
    ReadOnlyDirectory &operator=(const ReadOnlyDirectory &) = delete;

private:
    QString m_dir;
    QMap<QString, mode_t> m_modes;
    bool m_switched = false;
    bool m_active = false;
};

// The names of the entries of a directory (hidden ones too): a failed save leaves no temporary file.
inline QStringList entriesOf(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace tarveon::test
