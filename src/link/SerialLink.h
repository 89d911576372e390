#pragma once
#include "link/LineFramer.h"
#include "link/LinkCommands.h"
#include "link/PortNames.h"
#include "link/Upload.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarveon {

class AppContext;
class SerialPort;

// What the main window shows of the link: it copies these into its controls on viewChanged().
struct LinkView {
    bool onlineChecked = false;                         // chkOnline
    QString onlineCaption = QStringLiteral("Off Line"); // "On Line" while the port is open
    bool onlineGreen = false;                           // green face (RGB 0,255,0) while open
    bool projectMenuEnabled = true;                     // mnuAProject: only while chkOnline is off
    bool sendFileEnabled = false;                       // cmdSendFileTarveon: on line, no upload
    bool consoleEnabled = false;                        // cmdEnviar and Enter in cboCmd: likewise
    bool viewMenuEnabled = false;                       // mnuVer: from identification to off line
    QStringList fileEntries;                            // cboFichero's items
    int fileIndex = -1;                                 // cboFichero's selection
    UploadProgress upload;                              // ProgressBar1, shpTransfer1, shpTransfer2
};

// The serial link to the gateway: the on-line switch, identification polling, the receive parser
// that distributes the gateway's lines, the command console and the traffic report switches. It
// owns the link's state and flags (LinkCommands) and the upload, which it drives through a small
// send interface. The main window forwards its events and shows view(); the monitors and the
// viewer connect to the line signals.
class SerialLink : public LinkCommands, private UploadChannel {
    Q_OBJECT
public:
    // The link drives `port` (adopted as a child when it has no parent).
    SerialLink(AppContext &ctx, SerialPort *port, QObject *parent = nullptr);
    ~SerialLink() override;

    // The console command list of cboCmd, in its order.
    static QStringList ConsoleCommands();

    // Port settings (settings string and number, or a device path), applied at the next opening;
    // the port dialog only allows it while off line.
    void configurePort(const PortChoice &choice) { m_portChoice = choice; }
    const PortChoice &portChoice() const { return m_portChoice; }
    SerialPort *port() const { return m_port; }

    // Start-up part of the link: the link-side table emptied to one record, the port closed.
    void InitLink();

    // --- Main window events ---
    // chkOnline clicked by the user. Ignored while the handler itself runs (OnlineBusy).
    void chkOnline_Click(bool checked);
    // Timer1, every 1000 ms: identification polling (state 1) and upload time-out (states 3, 4).
    void Timer1_Timer();
    // cmdEnviar, or Enter in cboCmd: sends the console text (only on line, not while uploading).
    void cmdEnviar_Click(const QString &cboCmdText);
    // cboFichero's text (the file to upload, in ProjectDir); set on identification.
    void setFileEntry(const QString &fileName) { m_fileEntry = fileName; }
    QString fileEntry() const { return m_fileEntry; }
    // cmdSendFileTarveon: stops the bus reports, asks "A25" and uploads on the first button.
    void cmdSendFileTarveon_Click();
    // Exit of the program: reports off and the port closed, waiting for output without events.
    void Shutdown() override;

    // --- Public operations of the main window ---
    void TransmitTarveon(const QString &text, bool raw = false) override;
    void TransmitRaw(const QByteArray &bytes);
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
    // Announces the file of cboFichero; only on line.
    void SendFile();
    const Upload &upload() const { return m_upload; }

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

    // The protocol family the gateway reported, upper case.
    QString GatewayProtocol() const { return m_gatewayProtocol; }
    LinkView view() const;
    // Received text not yet parsed (the partial line).
    const QByteArray &RxBuffer() const { return m_framer.pending(); }
    bool OnlineBusy() const { return m_onlineBusy; }

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
    // UploadChannel: what the upload may ask of the link.
    void sendText(const QString &text) override { TransmitTarveon(text); }
    void sendBytes(const QByteArray &bytes) override { TransmitRaw(bytes); }
    void enterState(LinkState state) override { setState(state); }
    void showLine(const QString &text, bool sent) override;

    void openPort();
    void handleLine(QByteArrayView line);
    void identify(QByteArrayView line);
    void resumeBusReports();
    void updateGroupValue(QByteArrayView line);
    void goneOffLine();
    void drainOutput(bool processEvents);
    void onPortFault();
    void onUploadFinished(UploadOutcome outcome);
    QString text(const char *key) const;

    AppContext &m_ctx;
    SerialPort *m_port;
    PortChoice m_portChoice;
    LineFramer m_framer;
    Upload m_upload;
    QString m_gatewayProtocol;
    QString m_fileEntry;
    bool m_onlineChecked = false;
    bool m_onlineBusy = false;
    bool m_acceptAnyFamily = false;
    bool m_closing = false;
    bool m_drainAborted = false;
    bool m_handlingFault = false;
    bool m_inReceive = false;
    int m_drainLimitMs = -1;
};

} // namespace tarveon
