#include "app/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tarveon {

QString fromCp1252(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1252");
    if (decoder.isValid())
        return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray toCp1252(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    if (encoder.isValid())
        return encoder.encode(text);
    return text.toLatin1();
}

} // namespace tarveon
