// Fuzzed further-address (listen) lists and physical addresses (conversion and the settings page's check). The first byte chooses the row's
// own group; the rest is the list. A list the check accepts holds distinct non-zero valid groups
// other than the own one; a refused list yields one or two messages. Physical address texts
// convert without fault and a valid area.line.device converts back to the same value.
#include "FuzzSupport.h"
#include "editor/DeviceChecks.h"
#include "model/GroupAddress.h"
#include "model/Validation.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace tarveon;
    using fuzz::require;
    if (size == 0)
        return 0;
    AppContext &ctx = fuzz::context();
    const qint16 own = qint16(data[0] * 129); // spreads over 0..32895 (wraps to negatives too)
    const QString list = QString::fromLatin1(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    ValidationFault fault;
    const bool invalid = ListenListInvalid(ctx, list, own, &fault);
    if (invalid) {
        const QStringList messages = fault.messages();
        require(!messages.isEmpty() && messages.size() <= 2);
    } else {
        require(fault.key.isEmpty());
        QString rest = list;
        QSet<qint16> seen;
        while (!rest.isEmpty()) {
            const qint16 g = TakeFirstGroup(rest);
            require(g > 0 && g != own && !seen.contains(g));
            seen.insert(g);
        }
    }

    const qint32 physical = PhysicalTextToNumber(list);
    if (physical >= 0 && physical <= 0xFFFF) {
        const QString text = PhysicalNumberToText(quint16(physical));
        require(PhysicalTextToNumber(text) == physical);
    }
    // The settings page's check of the physical address: one message for a refused text, none
    // for an accepted one.
    fuzz::prompter().clear();
    if (!IsInvalidPhysicalAddress(ctx, list)) {
        require(fuzz::prompter().records.isEmpty());
        require(IsValidPhysicalAddress(list));
    } else {
        require(fuzz::prompter().records.size() == 1);
    }
    return 0;
}
