#pragma once
#include <QByteArray>
#include <QString>

namespace tarveon {

// Files the tool reads and writes are Windows-1252 text.
QString fromCp1252(const QByteArray &bytes);
QByteArray toCp1252(const QString &text);

} // namespace tarveon
