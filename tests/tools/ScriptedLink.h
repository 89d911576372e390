#pragma once
#include "link/LinkCommands.h"

#include <QStringList>

namespace tarveon::test {

// The link as the on-line tools see it, without a port: commands are recorded as they would go
// out (trimmed, nothing while off line); the test puts the link in any state and fills its tables.
class ScriptedLink : public LinkCommands {
public:
    void TransmitTarveon(const QString &text, bool raw = false) override
    {
        if (state() == LinkState::OffLine)
            return;
        const QString command = raw ? text : text.trimmed();
        if (!command.isEmpty())
            sent << command;
    }
    using LinkCommands::setState;
    using LinkCommands::tables;
    QStringList sent;
};

} // namespace tarveon::test
