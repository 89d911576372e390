#include "LinkTestSupport.h"

#include <QtEndian>

namespace tarveon::test {

QByteArray gatewayFileImage(const QString &family, int size, bool goodChecksum)
{
    if (size < 68)
        return QByteArray(size, 'a');
    QByteArray content = (QByteArray("KORVANE-") + family.toLatin1() + "-V.1.0 2026/01/02 03:04:05").leftJustified(62, ' ') + "\r\n";
    for (int i = int(content.size()); i < size - 4; ++i)
        content += char((i * 7 + 3) & 0xFF);
    quint32 sum = goodChecksum ? 0 : 1;
    for (char c : content)
        sum += uchar(c);
    QByteArray out(4, '\0');
    qToLittleEndian(sum, out.data());
    return out + content;
}

} // namespace tarveon::test
