#include "LinkSession.h"

#include "link/QtSerialPortImpl.h"

namespace tarveon::cli {

LinkSession::LinkSession(AppContext &ctx, const PortChoice &port, int identifySeconds, int tickMs)
    : link(ctx, new QtSerialPortImpl), m_ctx(ctx), m_identifySeconds(identifySeconds)
{
    link.configurePort(port);
    link.setDrainLimitMs(2000);
    m_timer1.setInterval(qMax(1, tickMs));
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        if (link.state() == LinkState::Identifying && ++m_identifyTicks > m_identifySeconds) {
            printMessage(m_ctx.GetText(QStringLiteral("LNK2")) + link.portChoice().label());
            finish(ExitRefused);
            return;
        }
        link.Timer1_Timer();
    });
    connect(&link, &SerialLink::linkLost, this, [this] { finish(ExitError); });
}

int LinkSession::run()
{
    link.chkOnline_Click(true);
    if (link.state() == LinkState::OffLine)
        return ExitError;
    // The first question goes out at once rather than a second later.
    link.Timer1_Timer();
    m_timer1.start();
    if (!m_finished)
        m_loop.exec();
    m_timer1.stop();
    goOffLine();
    return m_code;
}

void LinkSession::finish(int code)
{
    if (m_finished)
        return;
    m_finished = true;
    m_code = code;
    m_loop.quit();
}

void LinkSession::goOffLine()
{
    if (link.port()->isOpen())
        link.chkOnline_Click(false);
}

} // namespace tarveon::cli
