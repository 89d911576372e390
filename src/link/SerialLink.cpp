#include "link/SerialLink.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/Text.h"
#include "link/SerialPort.h"
#include "model/ModKorvaneEIB.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>
#include <cstdlib>

namespace tarveon {

namespace {

const QString kSent = QStringLiteral("<");
const QString kReceived = QStringLiteral(">");

bool contains(QByteArrayView haystack, const char *needle)
{
    return haystack.indexOf(QByteArrayView(needle)) >= 0;
}

} // namespace

QString lineToText(QByteArrayView line)
{
    return fromCp1252(line);
}

double leadingValue(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    char buf[64];
    int len = 0;
    auto put = [&](char c) {
        if (len < int(sizeof buf) - 1)
            buf[len++] = c;
    };
    if (i < n && (text[i] == '-' || text[i] == '+'))
        put(text[i++]);
    bool digits = false;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        put(text[i++]), digits = true;
    if (i < n && text[i] == '.') {
        put(text[i++]);
        while (i < n && text[i] >= '0' && text[i] <= '9')
            put(text[i++]), digits = true;
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        qsizetype j = i + 1;
        char exp[8];
        int elen = 0;
        if (j < n && (text[j] == '-' || text[j] == '+'))
            exp[elen++] = text[j++];
        const qsizetype firstDigit = j;
        while (j < n && text[j] >= '0' && text[j] <= '9' && elen < 6)
            exp[elen++] = text[j++];
        if (j > firstDigit) {
            put('e');
            for (int k = 0; k < elen; ++k)
                put(exp[k]);
        }
    }
    buf[len] = '\0';
    return std::strtod(buf, nullptr);
}

SerialLink::SerialLink(AppContext &ctx, SerialPort *port, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_port(port)
{
    if (!m_port->parent())
        m_port->setParent(this);
    connect(m_port, &SerialPort::readyRead, this, &SerialLink::comPort_OnComm);
    connect(m_port, &SerialPort::faultOccurred, this,
            [this](SerialPort::Fault, const QString &description) { onPortFault(description); });
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
    m_ctx.linkTables.clear();
    m_framer.clear();
}

void SerialLink::setBusy(bool busy)
{
    m_view.busy = busy;
}

// ---------------------------------------------------------------- on-line switch

void SerialLink::chkOnline_Click(bool checked)
{
    if (m_onlineBusy)
        return;
    m_onlineBusy = true;
    m_view.onlineChecked = checked;
    if (checked) {
        if (!m_port->isOpen()) {
            LineSettings settings;
            const bool settingsOk = LineSettings::parse(m_portChoice.settings, &settings);
            bool opened = false;
            QString error;
            if (settingsOk) {
                m_port->setPortName(m_portChoice.deviceName());
                m_port->setLineSettings(settings);
                opened = m_port->open();
                error = m_port->errorString();
            } else {
                error = QStringLiteral("Invalid settings \"%1\"").arg(m_portChoice.settings);
            }
            if (!opened) {
                m_view.onlineChecked = false;
                applyPortStateToView();
                emit viewChanged();
                m_ctx.prompter->msgBox(text("X29") + m_portChoice.label() + QStringLiteral(". ") + error,
                                       QStringLiteral("Error"), MsgIcon::Exclamation, MsgDefault::First,
                                       MsgButtons::One);
                m_ctx.LinkState = 0;
            } else {
                m_framer.clear();
                m_ctx.LinkState = 1;
            }
        }
    } else {
        const bool uploading = m_ctx.LinkState == 3 || m_ctx.LinkState == 4;
        EndTransfer();
        if (m_port->isOpen()) {
            StopGatewayOutput();
            m_ctx.LinkState = 0;
            drainOutput(true);
            m_port->close();
        }
        m_ctx.LinkState = 0;
        m_framer.clear();
        if (uploading)
            emit uploadFinished(UploadOutcome::Aborted);
    }
    applyPortStateToView();
    m_onlineBusy = false;
    emit viewChanged();
}

void SerialLink::applyPortStateToView()
{
    if (m_port->isOpen()) {
        m_view.onlineCaption = QStringLiteral("On Line");
        m_view.onlineGreen = true;
    } else {
        m_view.onlineCaption = QStringLiteral("Off Line");
        m_view.onlineGreen = false;
        m_view.sendFileEnabled = false;
        m_view.consoleEnabled = false;
        m_view.viewMenuEnabled = false;
        m_view.fileEntries.clear();
        m_view.fileIndex = -1;
    }
    m_view.projectMenuEnabled = !m_view.onlineChecked;
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
    m_closing = true;
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
    m_closing = false;
}

void SerialLink::onPortFault(const QString &description)
{
    if (m_handlingFault || !m_port->isOpen())
        return;
    if (m_closing) {
        m_drainAborted = true;
        return;
    }
    m_handlingFault = true;
    const bool uploading = m_ctx.LinkState == 3 || m_ctx.LinkState == 4;
    EndTransfer();
    // Close first: a vanished pseudo-terminal keeps raising errors while it stays open, and the
    // message below runs an event loop.
    m_port->close();
    m_framer.clear();
    m_ctx.LinkState = 0;
    const QString message = m_ctx.GetText(QStringLiteral("LNK1")) + m_portChoice.label() + QStringLiteral(". ") + description;
    emit linkLost(message);
    m_view.onlineChecked = false;
    m_onlineBusy = true;
    applyPortStateToView();
    emit viewChanged();
    m_onlineBusy = false;
    if (uploading)
        emit uploadFinished(UploadOutcome::Aborted);
    m_ctx.prompter->msgBox(message, QStringLiteral("Error"), MsgIcon::Exclamation, MsgDefault::First,
                           MsgButtons::One);
    m_handlingFault = false;
}

void SerialLink::Shutdown()
{
    if (m_ctx.LinkState != 0 && m_port->isOpen()) {
        StopGatewayOutput();
        drainOutput(false);
        m_port->close();
    }
}

// ---------------------------------------------------------------- sending

void SerialLink::Timer1_Timer()
{
    switch (m_ctx.LinkState) {
    case 1:
        TransmitTarveon(QStringLiteral("INFO?"));
        break;
    case 3:
    case 4:
        ++m_timeoutTicks;
        if (m_timeoutTicks > 5) {
            EndTransfer();
            emit gatewayLine(text("X80") + QStringLiteral(" Timeout"), kSent);
            emit viewChanged();
            emit uploadFinished(UploadOutcome::TimedOut);
        }
        break;
    default:
        break;
    }
}

void SerialLink::TransmitTarveon(const QString &text, bool raw)
{
    if (m_ctx.LinkState == 0)
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
    if (m_ctx.LinkState == 0)
        return;
    m_port->write(bytes);
}

void SerialLink::ControlaBusTarveon(const QString &side, bool on)
{
    if (m_ctx.LinkState != 2)
        return;
    if (side == QLatin1String("INT")) {
        if (on != m_ctx.BusIntOn) {
            m_ctx.BusIntOn = on;
            TransmitTarveon(on ? QStringLiteral("BUSINTALL") : QStringLiteral("BUSINTOFF"));
        }
    } else if (side == QLatin1String("EXT")) {
        if (on != m_ctx.BusExtOn) {
            m_ctx.BusExtOn = on;
            TransmitTarveon(on ? QStringLiteral("BUSEXTALL") : QStringLiteral("BUSEXTOFF"));
        }
    }
}

void SerialLink::Carga_DatosMFATarveon(const QString &protocol)
{
    setBusy(true);
    m_ctx.linkTables.clear();
    if (protocol == QLatin1String("ZTR001"))
        m_ctx.show(LoadLinkSignals(m_ctx));
    setBusy(false);
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
    TransmitTarveon(cboCmdText);
}

void SerialLink::setFileEntry(const QString &fileName)
{
    m_view.fileEntries = QStringList{fileName};
    m_view.fileIndex = 0;
}

QString SerialLink::fileEntry() const
{
    if (m_view.fileIndex < 0 || m_view.fileIndex >= m_view.fileEntries.size())
        return QString();
    return m_view.fileEntries[m_view.fileIndex];
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
        if (m_ctx.LinkState == 2)
            updateGroupValue(line);
    } else if (line.startsWith("EXT")) {
        if (m_ctx.BusExtOn)
            emit extLine(lineToText(line));
    } else if (line.startsWith("EIB")) {
        if (m_ctx.BusIntOn)
            emit eibLine(lineToText(line));
    } else {
        emit gatewayLine(lineToText(line), kReceived);
    }

    switch (m_ctx.LinkState) {
    case 3:
    case 4:
        handleUploadLine(line);
        break;
    case 1:
    case 2:
        // State 0 sees lines only while the port drains on its way off line: they are shown, but
        // must not bring the link back.
        identify(line);
        break;
    default:
        break;
    }
}

void SerialLink::updateGroupValue(QByteArrayView line)
{
    // "GP:00/0/000=value": the "=" must stand right after the padded address.
    if (line.indexOf('=') != 11)
        return;
    const float value = float(leadingValue(line.sliced(12)));
    const QString key = QString::fromLatin1(line.first(11));
    LinkTables &tables = m_ctx.linkTables;
    const auto it = tables.index.constFind(key);
    if (it == tables.index.constEnd())
        return;
    if (*it >= 0 && *it < tables.signals_.size())
        tables.signals_[*it].value = value;
    QString further = key + QLatin1Char('-');
    const qsizetype base = further.size();
    for (int n = 1; n <= 255; ++n) {
        further.truncate(base);
        further += QString::number(n);
        const auto f = tables.index.constFind(further);
        if (f == tables.index.constEnd())
            break;
        if (*f >= 0 && *f < tables.signals_.size())
            tables.signals_[*f].value = value;
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
        m_ctx.GatewayProtocol = lineToText(rest.first(dot)).toUpper();

    const bool match = m_acceptAnyFamily ? !m_ctx.GatewayProtocol.isEmpty()
                                         : m_ctx.ProtocolFamily.toUpper() == m_ctx.GatewayProtocol;
    if (!match) {
        chkOnline_Click(false);
        m_ctx.prompter->msgBox(text("A26") + m_ctx.GatewayProtocol.toUpper() + QLatin1Char(' ') + text("X88") +
                                   m_ctx.ProjectProtocol.toUpper() + QLatin1Char('\r') + text("A27"),
                               QString(), MsgIcon::Exclamation, MsgDefault::First, MsgButtons::One);
        return;
    }
    setFileEntry(m_ctx.ProjectProtocol + QStringLiteral(".ZDM"));
    m_view.sendFileEnabled = true;
    m_view.consoleEnabled = true;
    m_view.viewMenuEnabled = true;
    m_ctx.LinkState = 2;
    Carga_DatosMFATarveon(m_ctx.GatewayProtocol);
    emit viewChanged();
    if (m_ctx.ViewerOpen)
        emit viewerReload();
    EnableChangeReports();
    emit identified(lineToText(line));
}

// ---------------------------------------------------------------- upload

void SerialLink::cmdSendFileTarveon_Click()
{
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
    if (!(m_ctx.EibMonitorOpen && monitorBusSwitchOff && monitorBusSwitchOff(QStringLiteral("INT"))))
        TransmitTarveon(QStringLiteral("BUSINTOFF"));
    if (!(m_ctx.ExtMonitorOpen && monitorBusSwitchOff && monitorBusSwitchOff(QStringLiteral("EXT"))))
        TransmitTarveon(QStringLiteral("BUSEXTOFF"));
}

void SerialLink::SendFile()
{
    if (m_ctx.LinkState != 2)
        return;
    const QString entry = fileEntry();
    QString path = findFileNoCase(m_ctx.ProjectDir, entry);
    // The entry comes from the project's description file: only a file of the project directory
    // itself is ever sent, never one a path in it reaches elsewhere.
    const bool plainName = !entry.contains(QLatin1Char('/')) && !entry.contains(QLatin1Char('\\'));
    if (entry.isEmpty() || !plainName || !QFileInfo(path).isFile()) {
        setBusy(false);
        emit viewChanged();
        m_ctx.notice(text("X66") + QLatin1Char('\r') + path);
        return;
    }
    QFile file(path);
    auto failed = [&] {
        setBusy(false);
        emit viewChanged();
        m_ctx.notice(text("X69") + QLatin1Char('\r') + path + QStringLiteral("\rError: \r") + file.errorString());
    };
    if (!file.open(QIODevice::ReadOnly)) {
        failed();
        return;
    }
    const qint64 size = file.size();
    emit gatewayLine(text("X36") + path, kReceived);
    emit gatewayLine(text("X78") + QString::number(size) + QStringLiteral(" bytes"), kReceived);
    m_txData = file.readAll();
    if (m_txData.size() != size || file.error() != QFileDevice::NoError) {
        m_txData.clear();
        failed();
        return;
    }
    file.close();
    emit gatewayLine(text("X70"), kSent);
    m_ctx.LinkState = 3;
    TransmitTarveon(QStringLiteral("SEND~") + QString::number(size));
    m_timeoutTicks = 0;
}

void SerialLink::handleUploadLine(QByteArrayView line)
{
    if (m_ctx.LinkState == 3) {
        if (contains(line, "START")) {
            BeginTransfer();
        } else if (contains(line, "CANCEL")) {
            m_ctx.LinkState = 2;
            m_txData.clear();
            emit gatewayLine(text("X44"), kReceived);
            emit uploadFinished(UploadOutcome::Refused);
        }
        return;
    }
    if (contains(line, "SUCCES")) {
        EndTransfer();
        emit gatewayLine(text("X79"), kReceived);
        emit viewChanged();
        if (m_ctx.ViewerOpen)
            emit viewerReload();
        emit uploadFinished(UploadOutcome::Success);
    } else if (contains(line, "CANCEL")) {
        EndTransfer();
        emit gatewayLine(text("X80"), kReceived);
        emit viewChanged();
        emit uploadFinished(UploadOutcome::Cancelled);
    } else if (line.startsWith("Bytes:")) {
        const QByteArrayView count = line.sliced(6);
        if (leadingValue(count) == double(m_txPos - 1))
            SendNextBlock();
    }
}

void SerialLink::BeginTransfer()
{
    emit gatewayLine(text("X43"), kReceived);
    m_ctx.LinkState = 4;
    m_txPos = 1;
    m_txBlockSize = TxBlockSizeDefault;
    setBusy(true);
    m_view.transfer1Visible = true;
    m_view.progressValue = 0;
    m_view.progressMaximum = double(m_txData.size()) / 128.0 + 1.0;
    m_view.progressVisible = true;
    emit viewChanged();
    SendNextBlock();
}

void SerialLink::SendNextBlock()
{
    if (m_txPos > m_txData.size())
        return;
    m_view.transfer2Visible = !m_view.transfer2Visible;
    ++m_view.progressValue;
    const QByteArray block = m_txData.mid(m_txPos - 1, m_txBlockSize);
    emit gatewayLine(QStringLiteral("TX: %1 size %2").arg(m_txPos).arg(block.size()), kReceived);
    TransmitRaw(block);
    m_txPos += m_txBlockSize;
    if (m_txPos > m_txData.size())
        m_txData.clear();
    m_timeoutTicks = 0;
    emit viewChanged();
}

void SerialLink::EndTransfer()
{
    m_view.transfer1Visible = false;
    m_view.transfer2Visible = false;
    m_view.progressVisible = false;
    setBusy(false);
    m_timeoutTicks = 0;
    m_ctx.LinkState = 2;
    m_txData.clear();
}

} // namespace tarveon
