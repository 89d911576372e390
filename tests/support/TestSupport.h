#pragma once
#include "app/AppContext.h"
#include "RecordingPrompter.h"

#include <QByteArray>
#include <QMap>
#include <QTemporaryDir>
#include <memory>

namespace tarveon::test {

// A private program directory for one test: the shipped language file and templates copied in,
// its own settings file and projects directory. Never touches the user's files.
class TempProgramDir {
public:
    explicit TempProgramDir(bool withResources = true);
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Writes raw bytes to a file below the program directory (creating folders).
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;

private:
    QTemporaryDir m_dir;
};

// A context over a TempProgramDir with a recording prompter; language loaded from the shipped file.
struct TestContext {
    explicit TestContext(bool loadLanguage = true);
    TempProgramDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;
};

// The shipped resources folder in the source tree.
QString resourcesDir();

// A file's bytes (empty when it cannot be read); writing one, making its directories.
QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);

// `size` random bytes, the same for the same seed: damaged input that a test can repeat.
QByteArray junk(quint32 seed, qsizetype size);

// Every file and directory below `root` with its bytes (directories: an empty entry ending in
// "/"), to show that nothing on disk changed.
QMap<QString, QByteArray> snapshot(const QString &root);

// A save device (AppContext::saveDevice) that passes the first `bytes` bytes on to the file and
// then fails as a full disk does.
SaveDeviceFactory failAfter(qint64 bytes);

} // namespace tarveon::test
