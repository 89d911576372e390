#include "link/LineFramer.h"

#include "app/Text.h"

namespace tarveon {

QString lineToText(QByteArrayView line)
{
    return fromCp1252(line);
}

} // namespace tarveon
