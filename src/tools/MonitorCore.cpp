#include "tools/MonitorCore.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "app/Text.h"
#include "link/LinkCommands.h"
#include "tools/TelegramLog.h"

#include <QDateTime>
#include <QFile>

namespace tarveon {

MonitorCore::MonitorCore(AppContext &ctx, MonitorKind kind, LinkCommands *link, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_kind(kind), m_link(link), m_all(kMaxLines), m_shown(kMaxLines)
{
}

MonitorCore::~MonitorCore()
{
    if (m_log && m_ctx.ProjectDir == m_logProject)
        writeLog(shownText(kLogStopMarker, m_kind == MonitorKind::Gateway ? kMarkReceived : QString()));
}

QString MonitorCore::busSide() const
{
    return m_kind == MonitorKind::Eib ? QStringLiteral("INT") : QStringLiteral("EXT");
}

bool MonitorCore::busShown() const
{
    return m_link ? m_link->busReportOn(busSide()) : m_busShownWithoutLink;
}

void MonitorCore::load()
{
    m_showLast = true;
    switch (m_kind) {
    case MonitorKind::Eib:
    case MonitorKind::External:
        if (m_link)
            m_link->busMonitorOpened(busSide());
        m_busShownWithoutLink = true;
        break;
    case MonitorKind::Gateway:
        m_ctx.GatewayMonitorShow = true;
        break;
    }
    m_loaded = true;
}

void MonitorCore::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    switch (m_kind) {
    case MonitorKind::Eib:
    case MonitorKind::External:
        if (m_link)
            m_link->ControlaBusTarveon(busSide(), false);
        stopLog();
        if (m_link)
            m_link->busMonitorClosed(busSide());
        m_busShownWithoutLink = false;
        break;
    case MonitorKind::Gateway:
        stopLog();
        m_ctx.GatewayMonitorShow = false;
        break;
    }
}

QString MonitorCore::shownText(const QString &trama, const QString &N) const
{
    if (m_kind == MonitorKind::Gateway)
        return N + trama;
    return trama.mid(4);
}

bool MonitorCore::guardPasses() const
{
    switch (m_kind) {
    case MonitorKind::Eib:
        return true;
    case MonitorKind::External:
        return busShown();
    case MonitorKind::Gateway:
        return m_ctx.GatewayMonitorShow;
    }
    return true;
}

void MonitorCore::VerTramas(const QString &trama, const QString &N)
{
    // The project changed under an open log: not a line more into a project that is not open.
    if (m_log && m_ctx.ProjectDir != m_logProject) {
        m_log.reset();
        emit logAbandoned();
    }
    // The external monitor ignores everything while its report is off.
    if (m_kind == MonitorKind::External && !busShown())
        return;
    emit showRequested();
    if (!guardPasses())
        return;

    MonitorLine line{shownText(trama, N), QString()};
    line.decoded = decode(line.text, N);
    m_all.append(line);
    if (!m_paused && matches(line)) {
        m_shown.append(line);
        emit lineAdded();
    }
    if (m_log)
        writeLog(line.text);
}

bool MonitorCore::matches(const MonitorLine &line) const
{
    return m_filter.isEmpty() || line.text.contains(m_filter, Qt::CaseInsensitive)
        || line.decoded.contains(m_filter, Qt::CaseInsensitive);
}

QString MonitorCore::decode(const QString &text, const QString &N)
{
    if (!m_telegrams || text.endsWith(kLogStartMarker.mid(4)) || text.endsWith(kLogStopMarker.mid(4)))
        return {};
    const qint64 now = m_ctx.clock().toMSecsSinceEpoch();
    switch (m_kind) {
    case MonitorKind::Eib:
        return m_telegrams->recordFrame(now, text);
    case MonitorKind::Gateway:
        // Only the gateway's reports: a "GP:" query or write the tool sent is no value seen.
        return N == kMarkReceived ? m_telegrams->recordReport(now, QStringView(text).mid(N.size())) : QString();
    case MonitorKind::External:
        break;
    }
    return {};
}

void MonitorCore::chkBus_Click(bool checked)
{
    switch (m_kind) {
    case MonitorKind::Eib:
    case MonitorKind::External:
        if (m_link)
            m_link->showBus(busSide(), checked);
        m_busShownWithoutLink = checked;
        break;
    case MonitorKind::Gateway:
        m_ctx.GatewayMonitorShow = checked;
        break;
    }
}

QString MonitorCore::logFileName() const
{
    // Without an open project there is no directory to log into.
    if (m_ctx.ProjectDir.isEmpty() || m_ctx.ProjectProtocol.isEmpty())
        return QString();
    QString name;
    switch (m_kind) {
    case MonitorKind::Eib:
        name = QStringLiteral("BUS_") + m_ctx.ProtocolNames[protocol::Eib];
        break;
    case MonitorKind::External:
        name = m_ctx.ProjectProtocol;
        break;
    case MonitorKind::Gateway:
        name = m_ctx.ProtocolNames[protocol::Zdm];
        break;
    }
    return m_ctx.ProjectDir + QLatin1Char('/') + name + QStringLiteral(".log");
}

bool MonitorCore::startLog()
{
    if (m_log)
        return true;
    const bool isGateway = m_kind == MonitorKind::Gateway;
    const QString path = logFileName();
    if (path.isEmpty())
        return !isGateway;
    auto file = std::make_unique<QFile>(path);
    // Unbuffered: every line reaches the file as it is logged.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return !isGateway;
    m_log = std::move(file);
    m_logProject = m_ctx.ProjectDir;
    VerTramas(kLogStartMarker, isGateway ? kMarkReceived : QString());
    return true;
}

void MonitorCore::stopLog()
{
    if (!m_log)
        return;
    VerTramas(kLogStopMarker, m_kind == MonitorKind::Gateway ? kMarkReceived : QString());
    m_log.reset();
}

QByteArray MonitorCore::timeStamp()
{
    const QDateTime now = m_ctx.clock();
    const qint64 second = now.toSecsSinceEpoch();
    if (second != m_stampSecond || m_stamp.isEmpty()) {
        m_stampSecond = second;
        m_stamp = now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss ")).toLatin1();
    }
    return m_stamp;
}

void MonitorCore::writeLog(const QString &text)
{
    // Write errors are not worth a message: the line is simply lost from the file.
    QByteArray bytes = timeStamp();
    bytes += toCp1252(text);
    bytes += "\r\n";
    m_log->write(bytes);
}

void MonitorCore::clear()
{
    m_all.clear();
    m_shown.clear();
}

void MonitorCore::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    m_filter = text;
    if (!m_paused)
        rebuildShown();
}

void MonitorCore::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (!m_paused)
        rebuildShown();
}

void MonitorCore::rebuildShown()
{
    std::vector<MonitorLine> shown;
    shown.reserve(size_t(m_all.size()));
    for (int i = 0; i < m_all.size(); ++i) {
        if (matches(m_all.at(i)))
            shown.push_back(m_all.at(i));
    }
    m_shown.setLines(shown);
    if (m_shown.count() > 0)
        emit lineAdded();
}

QString MonitorCore::allText() const
{
    QString out;
    for (int i = 0; i < m_shown.count(); ++i) {
        out += m_shown.line(i).text;
        out += QStringLiteral("\r\n");
    }
    return out;
}

} // namespace tarveon
