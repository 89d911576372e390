#pragma once
// Process-wide ways to make writes fail (even for root), for writers without a save device.
#include <QDir>
#include <QFile>
#include <QMap>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarveon::test {

// While alive, no file of this process may grow past `bytes` (SIGXFSZ ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
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

private:
    struct rlimit m_saved {};
    void (*m_handler)(int);
    bool m_active = false;
};

// A directory the process cannot write into: root acts as "nobody" (saved user id root), others
// lose its write bits; `traversed` directories are opened for traversal; all is put back after.
class ReadOnlyDirectory {
public:
    ReadOnlyDirectory(const QString &dir, const QStringList &traversed)
    {
        for (const QString &path : traversed + QStringList{dir}) {
            struct stat st {};
            if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
                m_modes.insert(path, st.st_mode & 07777);
                ::chmod(QFile::encodeName(path).constData(), path == dir ? 0555 : (st.st_mode & 07777) | 0755);
            }
        }
        m_switched = ::geteuid() == 0 && ::seteuid(65534) == 0;
        m_active = ::geteuid() != 0;
    }
    ~ReadOnlyDirectory()
    {
        if (m_switched)
            (void)!::seteuid(0);
        for (auto it = m_modes.cbegin(); it != m_modes.cend(); ++it)
            ::chmod(QFile::encodeName(it.key()).constData(), it.value());
    }
    bool active() const { return m_active; }

private:
    QMap<QString, mode_t> m_modes;
    bool m_switched = false;
    bool m_active = false;
};

} // namespace tarveon::test
