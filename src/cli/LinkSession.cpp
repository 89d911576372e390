#include "LinkSession.h"

#include "link/QtSerialPortImpl.h"

namespace tarveon::cli {

namespace {
// The family an identification line names: the text between "Protocol:" and the next "."; empty
// when there is none (no "." at all, or nothing before it). Lines without "Protocol:" give null.
QString familyNamed(const QString &line)
{
    const qsizetype at = line.indexOf(QLatin1String("Protocol:"));
    if (at < 0)
        return QString();
    const qsizetype dot = line.indexOf(QLatin1Char('.'), at + 9);
    return dot < 0 ? QStringLiteral("") : line.mid(at + 9, dot - at - 9);
}
} // namespace

LinkSession::LinkSession(CliContext &cli, const PortChoice &port, int identifySeconds, int tickMs)
    : link(*cli.ctx, new QtSerialPortImpl), m_cli(cli), m_ctx(*cli.ctx), m_identifySeconds(identifySeconds)
{
    link.configurePort(port);
    link.setDrainLimitMs(2000);
    link.setAcceptAnyFamily(m_ctx.ProtocolFamily.isEmpty());
    m_timer1.setInterval(qMax(1, tickMs));
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        if (link.state() == LinkState::Identifying && ++m_identifyTicks > m_identifySeconds) {
            ConsolePrompter::print(m_ctx.GetText(QStringLiteral("LNK2")) + link.portChoice().label());
            finish(ExitRefused);
            return;
        }
        link.Timer1_Timer();
    });
    // An identification that names no family: the link's mismatch message would name none. The
    // session says what is wrong and ends; the link then goes off line quietly.
    connect(&link, &SerialLink::gatewayLine, this, [this](const QString &line, const QString &mark) {
        if (mark != QLatin1String(">") || link.state() != LinkState::Identifying || m_finished)
            return;
        const QString family = familyNamed(line);
        if (family.isNull() || !family.isEmpty())
            return;
        ConsolePrompter::print(m_ctx.GetText(QStringLiteral("CLI3")) + line);
        m_cli.prompter.hold(true);
        finish(ExitRefused);
    });
    connect(&link, &SerialLink::linkLost, this, [this] { finish(ExitError); });
    // A gateway of another family takes the link off line with its message.
    connect(&link, &SerialLink::viewChanged, this, [this] {
        if (!link.port()->isOpen())
            finish(ExitRefused);
    });
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
