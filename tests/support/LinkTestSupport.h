#pragma once
#include "TestSupport.h"

#include <QByteArray>
#include <QStringList>

namespace tarveon::test {

// Makes sure the temporary program's language file holds these keys (adding a placeholder text
// for any key it lacks) and reloads it, so message expectations built with GetText never depend
// on how complete the shipped file is.
void ensureTexts(TestContext &tc, const QStringList &keys);

// The keys the link shows.
QStringList linkTextKeys();

// A gateway configuration file image: checksum, then the header line for `family` and `size - 4`
// bytes of content in all (size >= 68) — or, for smaller sizes, just `size` bytes of filler.
QByteArray gatewayFileImage(const QString &family, int size, bool goodChecksum = true);

} // namespace tarveon::test
