#pragma once
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

namespace tarveon {

// Finds the file named `name` in `dir` without regard to case (".DAT" and ".dat" are one file,
// as on the gateway's home platform). Returns the full path of the existing file, or
// dir + "/" + name when none exists.
QString findFileNoCase(const QString &dir, const QString &name);

// The device a save writes through, given the file's QSaveFile (open for writing). Empty: the
// bytes go straight into the QSaveFile. Fault tests return a device in front of it that fails part
// way, as a full disk does.
using SaveDeviceFactory = std::function<std::unique_ptr<QIODevice>(QIODevice &target)>;

// Writes `bytes` to `path` through a temporary file renamed over the old one, so that a failed
// save never leaves a half-written file where a good one was. Returns an empty string on success,
// else the system's error description. When `opened` is given it tells whether the failure came
// after the file was opened for writing (a write or commit error) or before (it could not be created).
QString saveFileAtomically(const QString &path, const QByteArray &bytes, bool *opened = nullptr,
                           const SaveDeviceFactory &device = {});

// Copies the bytes of `from` into the new file `to`, which must not exist yet (nor be a link).
// The copy gets the permissions of any new file of the user, never the source's: a read-only,
// executable or world-writable source does not make such a copy. A failed copy leaves no file
// behind. Returns an empty string on success, else the system's error description.
QString copyFileAsNew(const QString &from, const QString &to);

} // namespace tarveon
