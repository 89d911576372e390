#include "link/SerialLink.h"

#include "app/AppContext.h"
#include "app/Text.h"
#include "link/SerialPort.h"
#include "model/ModKorvaneEIB.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QTimer>

namespace tarveon {

namespace {

const QString kSent = QStringLiteral("<");
const QString kReceived = QStringLiteral(">");
const QString kSides[] = {QStringLiteral("INT"), QStringLiteral("EXT")};

} // namespace

SerialLink::SerialLink(AppContext &ctx, SerialPort *port, QObject *parent)
    : LinkCommands(parent), m_ctx(ctx), m_port(port), m_upload(ctx, *this)
{
    if (!m_port->parent())
        m_port->setParent(this);
    connect(m_port, &SerialPort::readyRead, this, &SerialLink::comPort_OnComm);
    connect(m_port, &SerialPort::faultOccurred, this, &SerialLink::onPortFault);
    connect(this, &LinkCommands::stateChanged, this, &SerialLink::viewChanged);
    connect(&m_upload, &Upload::progressChanged, this, &SerialLink::viewChanged);
    connect(&m_upload, &Upload::finished, this, &SerialLink::onUploadFinished);
}

SerialLink::~SerialLink() = default;

QStringList SerialLink::ConsoleCommands()
{
    return {QStringLiteral("BUSINTALL"), QStringLiteral("BUSINTTX"),  QStringLiteral("BUSINTRX"),
            QStringLiteral("BUSINTOFF"), QStringLiteral("BUSEXTALL"), QStringLiteral("BUSEXTTX"),
            QStringLiteral("BUSEXTRX"),  QStringLiteral("BUSEXTOFF"), QStringLiteral("RESET~"),
            QStringLiteral("HELP"),      QStringLiteral("INFO?"),     QStringLiteral("OFCHANGES"),
            QStringLiteral("ONCHANGES"), QStringLiteral("DEBUG=0"),   QStringLiteral("DEBUG=1"),
            QStringLiteral("DEBUG=2"),   QStringLiteral("GP:00/0/000?"), QStringLiteral("GP:00/0/000=0.0")};
}

QString SerialLink::text(const char *key) const
{
    return m_ctx.GetText(QString::fromLatin1(key));
}

void SerialLink::InitLink()
{
    tables().clear();
    m_framer.clear();
}

LinkView SerialLink::view() const
{
    LinkView v;
    const bool open = m_port->isOpen();
    v.onlineChecked = m_onlineChecked;
    v.onlineCaption = open ? QStringLiteral("On Line") : QStringLiteral("Off Line");
    v.onlineGreen = open;
    v.projectMenuEnabled = !m_onlineChecked;
    // A second press while an upload is announced or running would break the file in two.
    v.sendFileEnabled = v.consoleEnabled = state() == LinkState::OnLine;
    v.viewMenuEnabled = state() >= LinkState::OnLine;
    if (v.viewMenuEnabled && !m_fileEntry.isEmpty()) {
        v.fileEntries = QStringList{m_fileEntry};
        v.fileIndex = 0;
    }
    v.upload = m_upload.progress();
    return v;
}

// ---------------------------------------------------------------- on-line switch

void SerialLink::chkOnline_Click(bool checked)
{
    if (m_onlineBusy)
        return;
    {
        const QScopedValueRollback busy(m_onlineBusy, true);
        m_onlineChecked = checked;
        if (checked) {
            if (!m_port->isOpen())
                openPort();
        } else {
            m_upload.abort();
            if (m_port->isOpen()) {
                StopGatewayOutput();
                setState(LinkState::OffLine);
                drainOutput(true);
                m_port->close();
            }
            goneOffLine();
        }
    }
    emit viewChanged();
}

void SerialLink::openPort()
{
    LineSettings settings;
    QString error;
    if (LineSettings::parse(m_portChoice.settings, &settings)) {
        m_port->setPortName(m_portChoice.deviceName());
        m_port->setLineSettings(settings);
        if (m_port->open()) {
            m_framer.clear();
            setState(LinkState::Identifying);
            return;
        }
        error = m_port->errorString();
    } else {
        error = QStringLiteral("Invalid settings \"%1\"").arg(m_portChoice.settings);
    }
    m_onlineChecked = false;
    emit viewChanged();
    // A device path is named as it is, never as "COM" and a path.
    const QString port = m_portChoice.device.isEmpty() ? text("X29") + m_portChoice.label()
                                                       : text("LNK5") + m_portChoice.device;
    m_ctx.prompter->msgBox(port + QStringLiteral(". ") + error, QStringLiteral("Error"), MsgIcon::Exclamation,
                           MsgDefault::First, MsgButtons::One);
}

void SerialLink::goneOffLine()
{
    m_framer.clear();
    m_fileEntry.clear();
    setState(LinkState::OffLine);
}

void SerialLink::drainOutput(bool processEvents)
{
    // A dead device never drains: give up after the time the line needs, plus a second.
    qint64 limit = m_drainLimitMs;
    if (limit < 0) {
        LineSettings s;
        LineSettings::parse(m_portChoice.settings, &s);
        limit = 1000 + m_port->bytesToWrite() * 10 * 1000 / qMax(1, s.baudRate);
    }
    const QScopedValueRollback closing(m_closing, true);
    m_drainAborted = false;
    QElapsedTimer clock;
    clock.start();
    while (m_port->isOpen() && m_port->bytesToWrite() > 0 && !m_drainAborted && clock.elapsed() < limit) {
        if (processEvents) {
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        } else {
            m_port->waitForBytesWritten(10);
        }
    }
}

void SerialLink::onPortFault()
{
    if (m_handlingFault || !m_port->isOpen())
        return;
    if (m_closing) {
        m_drainAborted = true;
        return;
    }
    const QScopedValueRollback guard(m_handlingFault, true);
    m_upload.abort();
    // Close first: a vanished pseudo-terminal keeps raising errors while it stays open, and the
    // message below runs an event loop. The system's own text for it ("Input/output error",
    // "Resource temporarily unavailable") would tell the user nothing.
    m_port->close();
    const QString message = text("LNK6") + m_portChoice.name() + QLatin1Char('.');
    emit linkLost(message);
    m_onlineChecked = false;
    {
        const QScopedValueRollback busy(m_onlineBusy, true);
        goneOffLine();
        emit viewChanged();
    }
    m_ctx.prompter->msgBox(message, QStringLiteral("Error"), MsgIcon::Exclamation, MsgDefault::First,
                           MsgButtons::One);
}

void SerialLink::Shutdown()
{
    if (state() != LinkState::OffLine && m_port->isOpen()) {
        StopGatewayOutput();
        drainOutput(false);
        m_port->close();
    }
    // What the child windows do as they close sends nothing more.
    setState(LinkState::OffLine);
}

// ---------------------------------------------------------------- sending

void SerialLink::Timer1_Timer()
{
    if (state() == LinkState::Identifying)
        TransmitTarveon(QStringLiteral("INFO?"));
    else if (state() == LinkState::UploadAnnounced || state() == LinkState::Uploading)
        m_upload.tick();
}

void SerialLink::TransmitTarveon(const QString &text, bool raw)
{
    if (state() == LinkState::OffLine)
        return;
    if (raw) {
        m_port->write(toCp1252(text));
        return;
    }
    const QString command = TrimBlanks(text);
    if (command.isEmpty())
        return;
    emit gatewayLine(command, kSent);
    m_port->write(toCp1252(command) + '\r');
}

void SerialLink::TransmitRaw(const QByteArray &bytes)
{
    if (state() != LinkState::OffLine)
        m_port->write(bytes);
}

void SerialLink::showLine(const QString &text, bool sent)
{
    emit gatewayLine(text, sent ? kSent : kReceived);
}

void SerialLink::Carga_DatosMFATarveon(const QString &protocol)
{
    tables().clear();
    if (protocol == QLatin1String("ZTR001"))
        m_ctx.show(LoadLinkSignals(m_ctx, tables()));
}

void SerialLink::EnableChangeReports()
{
    TransmitTarveon(QStringLiteral("ONCHANGES"));
}

void SerialLink::StopGatewayOutput()
{
    TransmitTarveon(QStringLiteral("BUSINTOFF"));
    TransmitTarveon(QStringLiteral("BUSEXTOFF"));
    TransmitTarveon(QStringLiteral("OFCHANGES"));
    TransmitTarveon(QStringLiteral("DEBUG=0"));
}

void SerialLink::cmdEnviar_Click(const QString &cboCmdText)
{
    if (state() == LinkState::OnLine)
        TransmitTarveon(cboCmdText);
}

// ---------------------------------------------------------------- receiving

void SerialLink::comPort_OnComm()
{
    // A line handled here may wait with events running (the drain when going off line): input
    // arriving meanwhile is left to the loop below instead of being parsed in the middle of a line.
    if (m_inReceive)
        return;
    const QScopedValueRollback guard(m_inReceive, true);
    // Lines handled here may close the port (mismatch, fault): stop reading then.
    while (m_port->isOpen() && m_port->bytesAvailable() > 0) {
        const QByteArray input = m_port->readAll();
        if (input.isEmpty())
            break;
        ProcessReceived(input);
    }
}

void SerialLink::ProcessReceived(QByteArrayView text)
{
    m_framer.feed(text, [this](QByteArrayView line) { handleLine(line); });
}

void SerialLink::handleLine(QByteArrayView line)
{
    if (line.startsWith("GP:")) {
        emit gatewayLine(lineToText(line), kReceived);
        if (state() == LinkState::OnLine)
            updateGroupValue(line);
    } else if (line.startsWith("EXT")) {
        if (busReportOn(kSides[1]))
            emit extLine(lineToText(line));
    } else if (line.startsWith("EIB")) {
        if (busReportOn(kSides[0]))
            emit eibLine(lineToText(line));
    } else {
        emit gatewayLine(lineToText(line), kReceived);
    }

    switch (state()) {
    case LinkState::UploadAnnounced:
    case LinkState::Uploading:
        m_upload.handleLine(line);
        break;
    case LinkState::Identifying:
    case LinkState::OnLine:
        // Off line, lines arrive only while the port drains: they are shown, but must not bring
        // the link back.
        identify(line);
        break;
    case LinkState::OffLine:
        break;
    }
}

void SerialLink::updateGroupValue(QByteArrayView line)
{
    // "GP:00/0/000=value": the "=" must stand right after the padded address.
    if (line.indexOf('=') != 11)
        return;
    const float value = float(LeadingValue(line.sliced(12)));
    const QString key = QString::fromLatin1(line.first(11));
    LinkTables &t = tables();
    const auto it = t.index.constFind(key);
    if (it == t.index.constEnd())
        return;
    setSignalValue(*it, value);
    QString further = key + QLatin1Char('-');
    const qsizetype base = further.size();
    for (int n = 1; n <= 255; ++n) {
        further.truncate(base);
        further += QString::number(n);
        const auto f = t.index.constFind(further);
        if (f == t.index.constEnd())
            break;
        setSignalValue(*f, value);
    }
}

void SerialLink::identify(QByteArrayView line)
{
    const qsizetype at = line.indexOf(QByteArrayView("Protocol:"));
    if (at < 0)
        return;
    const QByteArrayView rest = line.sliced(at + 9);
    const qsizetype dot = rest.indexOf('.');
    if (dot >= 0)
        m_gatewayProtocol = lineToText(rest.first(dot)).toUpper();

    const bool match = m_acceptAnyFamily ? !m_gatewayProtocol.isEmpty()
                                         : m_ctx.ProtocolFamily.toUpper() == m_gatewayProtocol;
    if (!match) {
        chkOnline_Click(false);
        m_ctx.prompter->msgBox(text("A26") + m_gatewayProtocol + QLatin1Char(' ') + text("X88") +
                                   m_ctx.ProjectProtocol.toUpper() + QLatin1Char('\r') + text("A27"),
                               QString(), MsgIcon::Exclamation, MsgDefault::First, MsgButtons::One);
        return;
    }
    m_fileEntry = m_ctx.ProjectProtocol + QStringLiteral(".ZDM");
    setState(LinkState::OnLine);
    Carga_DatosMFATarveon(m_gatewayProtocol);
    emit viewChanged();
    if (viewerOpen())
        emit viewerReload();
    EnableChangeReports();
    resumeBusReports();
    emit identified(lineToText(line));
}

void SerialLink::resumeBusReports()
{
    // Going off line switched the gateway's reports off while the open monitors kept showing
    // "Show bus" ticked: ask again for what they show, whatever the flag says.
    for (const QString &side : kSides) {
        if (busMonitorOpen(side) && busReportOn(side))
            TransmitTarveon(QStringLiteral("BUS") + side + QStringLiteral("ALL"));
    }
}

// ---------------------------------------------------------------- upload

void SerialLink::cmdSendFileTarveon_Click()
{
    if (state() != LinkState::OnLine)
        return;
    StopBusReportsForUpload();
    const int answer = m_ctx.prompter->msgBox(text("A25"), QString(), MsgIcon::Question, MsgDefault::First,
                                              MsgButtons::Two, text("X1"), text("X3"));
    if (answer != 1)
        return;
    QCoreApplication::processEvents();
    if (bringToFront)
        bringToFront();
    SendFile();
}

void SerialLink::StopBusReportsForUpload()
{
    for (const QString &side : kSides) {
        if (!(busMonitorOpen(side) && monitorBusSwitchOff && monitorBusSwitchOff(side)))
            TransmitTarveon(QStringLiteral("BUS") + side + QStringLiteral("OFF"));
    }
}

void SerialLink::SendFile()
{
    if (state() == LinkState::OnLine)
        m_upload.SendFile(m_ctx.ProjectDir, m_fileEntry);
}

void SerialLink::onUploadFinished(UploadOutcome outcome)
{
    if (outcome == UploadOutcome::Success && viewerOpen())
        emit viewerReload();
    emit uploadFinished(outcome);
}

} // namespace tarveon
