#pragma once
#include "app/AppContext.h"
#include "tools/LinkCommands.h"

#include <QStringList>

namespace tarveon::test {

// The link as the on-line tools see it, without a port: commands are recorded as they would go
// out (trimmed, nothing while off line); the report switches act only on line and on a change.
class ScriptedLink : public LinkCommands {
public:
    explicit ScriptedLink(AppContext &ctx) : m_ctx(ctx) {}
    void TransmitTarveon(const QString &text, bool raw = false) override
    {
        if (m_ctx.LinkState == 0)
            return;
        const QString command = raw ? text : text.trimmed();
        if (!command.isEmpty())
            sent << command;
    }
    void ControlaBusTarveon(const QString &side, bool on) override
    {
        if (m_ctx.LinkState != 2)
            return;
        if (side != QLatin1String("INT") && side != QLatin1String("EXT"))
            return;
        bool &flag = side == QLatin1String("INT") ? m_ctx.BusIntOn : m_ctx.BusExtOn;
        if (on == flag)
            return;
        flag = on;
        TransmitTarveon(QStringLiteral("BUS") + side + (on ? QStringLiteral("ALL") : QStringLiteral("OFF")));
    }
    QStringList sent;

private:
    AppContext &m_ctx;
};

} // namespace tarveon::test
