// Arbitrary text through the address conversions and checks: never a crash, and every address the
// check accepts converts to the value the check reported and back to the same three-level text.
#include "model/GroupAddress.h"
#include "model/Validation.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace tarveon;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)LeadingNumber(text);
    (void)IsNumericText(text);
    (void)PhysicalTextToNumber(text);
    const qint16 number = GroupTextToNumber(text);
    qint16 checked = -1;
    if (GroupAddressFault(text, checked).isEmpty()) {
        if (checked != number)
            std::abort();
        if (GroupTextToNumber(GroupNumberToText(checked)) != checked)
            std::abort();
    }
    QString list = text;
    for (int i = 0; i < 10000 && !list.isEmpty(); ++i)
        (void)TakeFirstGroup(list);
    if (!list.isEmpty())
        std::abort();
    return 0;
}
