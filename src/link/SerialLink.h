#pragma once
#include "link/LineFramer.h"
#include "link/PortNames.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarveon {

class AppContext;
class SerialPort;

// How an upload ended.
enum class UploadOutcome { Success, Refused, Cancelled, TimedOut, Aborted };

// What the main window shows of the link: it copies these into its controls on viewChanged().
struct LinkView {
    bool onlineChecked = false;                       // chkOnline
    QString onlineCaption = QStringLiteral("Off Line"); // "On Line" / "Off Line"
    bool onlineGreen = false;                         // green face (RGB 0,255,0), else the button face
    bool projectMenuEnabled = true;                   // mnuAProject: only while chkOnline is off
    bool sendFileEnabled = false;                     // cmdSendFileTarveon
    bool consoleEnabled = false;                      // cmdEnviar (and Enter in cboCmd)
    bool viewMenuEnabled = false;                     // mnuVer
    QStringList fileEntries;                          // cboFichero's items
    int fileIndex = -1;                               // cboFichero's selection
    bool progressVisible = false;                     // ProgressBar1
    double progressMaximum = 0.0;                     // file length / 128 + 1 (not rounded)
    int progressValue = 0;                            // blocks sent
    bool transfer1Visible = false;                    // shpTransfer1: shown during the transfer
    bool transfer2Visible = false;                    // shpTransfer2: blinks once per block
    bool busy = false;                                // busy mouse pointer
};

// The serial link to the gateway: on-line switch, identification polling, receive parser and
// distribution, command console, traffic report switches and the upload of the gateway file.
// The state it shares with the rest of the program (LinkState, GatewayProtocol, BusIntOn, ...,
// the link-side tables) lives in AppContext; the window-side fields live here. The main window
// forwards its events and shows view(); the monitors and the viewer connect to the line signals.
class SerialLink : public QObject {
    Q_OBJECT
public:
    // The link drives `port` (adopted as a child when it has no parent).
    SerialLink(AppContext &ctx, SerialPort *port, QObject *parent = nullptr);
    ~SerialLink() override;

    // The console command list of cboCmd, in its order.
    static QStringList ConsoleCommands();
    static constexpr int TxBlockSizeDefault = 128;

    // Port settings (comPort's settings string and number, or a device path). Applied at the next
    // opening; the port dialog only allows it while off line.
    void configurePort(const PortChoice &choice) { m_portChoice = choice; }
    const PortChoice &portChoice() const { return m_portChoice; }
    SerialPort *port() const { return m_port; }

    // Start-up part of the link: the link-side table emptied to one record, the port closed.
    void InitLink();

    // --- Main window events ---
    // chkOnline clicked by the user (connect QAbstractButton::clicked, which programmatic
    // setChecked does not raise). Ignored while the handler itself runs (OnlineBusy).
    void chkOnline_Click(bool checked);
    // Timer1, every 1000 ms: identification polling (state 1) and upload time-out (states 3, 4).
    void Timer1_Timer();
    // cmdEnviar, or Enter in cboCmd while cmdEnviar is enabled: sends the console text.
    void cmdEnviar_Click(const QString &cboCmdText);
    // cboFichero's text (the file to upload, relative to ProjectDir); set on identification.
    void setFileEntry(const QString &fileName);
    QString fileEntry() const;
    // cmdSendFileTarveon: stops the bus reports, asks "A25" and uploads on the first button.
    void cmdSendFileTarveon_Click();
    // Exit of the program: reports off and the port closed, waiting for output without events.
    void Shutdown();

    // --- Public operations of the main window ---
    void TransmitTarveon(const QString &text, bool raw = false);
    void TransmitRaw(const QByteArray &bytes);
    void ControlaBusTarveon(const QString &side, bool on);
    void Carga_DatosMFATarveon(const QString &protocol);
    void EnableChangeReports();
    void StopGatewayOutput();

    // --- Receive side ---
    // Reads all waiting input (repeatedly while input remains) into ProcessReceived.
    void comPort_OnComm();
    // Appends to the pending line, parses every complete line. Linear in the input.
    void ProcessReceived(QByteArrayView text);

    // --- Upload ---
    // The two report switch-offs that start an upload (steps before the question).
    void StopBusReportsForUpload();
    void SendFile();
    void BeginTransfer();
    void SendNextBlock();
    void EndTransfer();

    // --- Hooks the windows install ---
    // Upload start: when the EIB ("INT") or external ("EXT") monitor is loaded with its chkBus on,
    // switches that check box off and returns true (the monitor then stops the report itself).
    std::function<bool(const QString &side)> monitorBusSwitchOff;
    // Brings the main window forward before an upload starts.
    std::function<void()> bringToFront;

    // Without a project (command line info and monitor): any family the gateway names is taken.
    void setAcceptAnyFamily(bool any) { m_acceptAnyFamily = any; }
    // Longest wait for the output to drain when going off line; <0 = by line speed, plus a second.
    void setDrainLimitMs(int ms) { m_drainLimitMs = ms; }

    const LinkView &view() const { return m_view; }
    // Window-side fields, for the monitors and tests.
    const QByteArray &RxBuffer() const { return m_framer.pending(); }
    bool OnlineBusy() const { return m_onlineBusy; }
    int TimeoutTicks() const { return m_timeoutTicks; }
    qint32 TxPos() const { return m_txPos; }
    qsizetype TxDataSize() const { return m_txData.size(); }

signals:
    // Gateway monitor (fTestTarveonZDM.VerTramas): trama and the direction mark ">" or "<".
    void gatewayLine(const QString &trama, const QString &mark);
    // EIB bus monitor (fTestEIB.VerTramas) and external-bus monitor (fTestExterno.VerTramas).
    void eibLine(const QString &trama);
    void extLine(const QString &trama);
    // The signal viewer rebuilds its grid (Datos_Carga); only raised while ViewerOpen.
    void viewerReload();
    // view() changed.
    void viewChanged();
    // The gateway was recognised (state 2); `line` is its identification answer.
    void identified(const QString &line);
    void uploadFinished(tarveon::UploadOutcome outcome);
    // The port failed while open; the link went off line and showed `message` once.
    void linkLost(const QString &message);

private:
    void handleLine(QByteArrayView line);
    void handleUploadLine(QByteArrayView line);
    void identify(QByteArrayView line);
    void updateGroupValue(QByteArrayView line);
    void applyPortStateToView();
    void drainOutput(bool processEvents);
    void onPortFault(const QString &description);
    void setBusy(bool busy);
    QString text(const char *key) const;

    AppContext &m_ctx;
    SerialPort *m_port;
    PortChoice m_portChoice;
    LinkView m_view;
    LineFramer m_framer;
    bool m_onlineBusy = false;
    bool m_acceptAnyFamily = false;
    bool m_closing = false;
    bool m_drainAborted = false;
    bool m_handlingFault = false;
    bool m_inReceive = false;
    int m_drainLimitMs = -1;
    int m_timeoutTicks = 0;
    QByteArray m_txData;
    qint32 m_txPos = 1;
    qint16 m_txBlockSize = TxBlockSizeDefault;
};

// Decodes a line of the gateway (Windows-1252; plain ASCII takes the fast path).
QString lineToText(QByteArrayView line);
// The number at the start of text as the gateway's value reports carry it: blanks skipped, sign,
// digits, decimal point, exponent; reading stops at the first character that does not belong.
double leadingValue(QByteArrayView text);

} // namespace tarveon
