#pragma once
#include "TestSupport.h"

#include <QByteArray>
#include <QString>

namespace tarveon::test {

// A gateway configuration file image: checksum, then the header line for `family` and `size - 4`
// bytes of content in all (size >= 68), or for smaller sizes just `size` bytes of filler.
QByteArray gatewayFileImage(const QString &family, int size, bool goodChecksum = true);

} // namespace tarveon::test
