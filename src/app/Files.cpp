#include "app/Files.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace tarveon {

QString findFileNoCase(const QString &dir, const QString &name)
{
    const QString exact = QDir(dir).filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(dir).filePath(entry);
    }
    return exact;
}

namespace {

// Opens a save unbuffered: a short write (disk full, file size limit) then shows in write()'s
// count. Buffered, it would surface only in commit's flush, which QSaveFile does not take for a
// failure: the partial file would replace the good one.
bool openForSave(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

// Writes all of `data` through `out`, or cancels the save and gives the system's error. A short
// write is followed by another for the rest, which then fails with the real reason.
QString writeAll(QSaveFile &file, QIODevice &out, const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = out.write(data + done, size - done);
        if (n <= 0) {
            QString error = out.errorString();
            file.cancelWriting();
            return error.isEmpty() ? QStringLiteral("Write error") : error;
        }
        done += n;
    }
    return {};
}

} // namespace

QString saveFileAtomically(const QString &path, const QByteArray &bytes, bool *opened, const SaveDeviceFactory &device)
{
    if (opened)
        *opened = false;
    QSaveFile file(path);
    if (!openForSave(file))
        return file.errorString();
    if (opened)
        *opened = true;
    const std::unique_ptr<QIODevice> front = device ? device(file) : nullptr;
    QIODevice &out = front ? *front : static_cast<QIODevice &>(file);
    if (QString error = writeAll(file, out, bytes.constData(), bytes.size()); !error.isEmpty())
        return error;
    if (!file.commit())
        return file.errorString();
    return {};
}

QString copyFileAsNew(const QString &from, const QString &to)
{
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink())
        return QStringLiteral("Destination file exists");
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    QSaveFile copy(to);
    if (!openForSave(copy))
        return copy.errorString();
    QByteArray block;
    while (!(block = source.read(64 * 1024)).isEmpty()) {
        if (QString error = writeAll(copy, copy, block.constData(), block.size()); !error.isEmpty())
            return error;
    }
    if (source.error() != QFileDevice::NoError) {
        copy.cancelWriting();
        return source.errorString();
    }
    if (!copy.commit())
        return copy.errorString();
    return {};
}

} // namespace tarveon
