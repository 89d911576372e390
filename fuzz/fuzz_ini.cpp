// Arbitrary bytes as a settings file: the profile reads never fail, and a value written into any
// document reads back as written while the other keys keep their values.
#include "FuzzSupport.h"
#include "app/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace tarveon;
    using fuzz::require;
    IniDocument doc(fuzz::bytesOf(data, size));
    (void)doc.read(QStringLiteral("X103"), QStringLiteral("Settings"), QStringLiteral("57600,n,8,1"));
    (void)doc.readInt(QStringLiteral("x103"), QStringLiteral("COM"), 1);
    const QString phy = doc.read(QStringLiteral("EIB"), QStringLiteral("PhyAdd"), QStringLiteral("15.15.255"));
    require(phy.size() <= 254);
    const qint32 language = doc.readInt(QStringLiteral("X103"), QStringLiteral("Language"), -7);

    doc.setValue(QStringLiteral("X103"), QStringLiteral("LastProject"), QStringLiteral("Hotel Sol"));
    require(doc.read(QStringLiteral("x103"), QStringLiteral("lastproject"), QString()) == QStringLiteral("Hotel Sol"));
    require(doc.read(QStringLiteral("EIB"), QStringLiteral("PhyAdd"), QStringLiteral("15.15.255")) == phy);
    require(doc.readInt(QStringLiteral("X103"), QStringLiteral("Language"), -7) == language);

    // Rewriting the same value changes no byte.
    const QByteArray once = doc.bytes();
    doc.setValue(QStringLiteral("X103"), QStringLiteral("LastProject"), QStringLiteral("Hotel Sol"));
    require(doc.bytes() == once);
    return 0;
}
