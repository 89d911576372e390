#include "link/LinkCommands.h"

namespace tarveon {

void LinkCommands::setState(LinkState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

LinkCommands::SideFlags *LinkCommands::sideOf(const QString &side)
{
    return side == QLatin1String("INT") ? &m_int : side == QLatin1String("EXT") ? &m_ext : nullptr;
}

const LinkCommands::SideFlags *LinkCommands::sideOf(const QString &side) const
{
    return const_cast<LinkCommands *>(this)->sideOf(side);
}

bool LinkCommands::busReportOn(const QString &side) const
{
    const SideFlags *s = sideOf(side);
    return s && s->reportOn;
}

bool LinkCommands::busMonitorOpen(const QString &side) const
{
    const SideFlags *s = sideOf(side);
    return s && s->monitorOpen;
}

void LinkCommands::ControlaBusTarveon(const QString &side, bool on)
{
    SideFlags *s = sideOf(side);
    if (m_state != LinkState::OnLine || !s || s->reportOn == on)
        return;
    s->reportOn = on;
    TransmitTarveon(QStringLiteral("BUS") + side + (on ? QStringLiteral("ALL") : QStringLiteral("OFF")));
}

void LinkCommands::showBus(const QString &side, bool on)
{
    ControlaBusTarveon(side, on);
    if (SideFlags *s = sideOf(side))
        s->reportOn = on;
}

void LinkCommands::busMonitorOpened(const QString &side)
{
    if (SideFlags *s = sideOf(side))
        s->monitorOpen = true;
    showBus(side, true);
}

void LinkCommands::busMonitorClosed(const QString &side)
{
    if (SideFlags *s = sideOf(side))
        *s = SideFlags{};
}

void LinkCommands::setSignalValue(int entry, float value)
{
    if (entry >= 1 && entry <= m_tables.count())
        m_tables.signals_[entry].value = value;
}

} // namespace tarveon
