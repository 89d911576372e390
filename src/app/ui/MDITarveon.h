#pragma once
#include "app/Startup.h"
#include "tools/TelegramLog.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QUrl;

namespace tarveon {

class AppContext;
class LinkCommands;
class LinkToolStrip;

// The main window: a multiple-document frame with the menus, the tool strip of the gateway
// link, the status bar with the open project's identity, and the start-up and shutdown
// sequences. Child windows (monitors, signal viewer) live in its document area; the dialogs of
// the other parts of the tool open over it.
class SerialLink;
class SerialPort;

class MDITarveon : public QMainWindow {
    Q_OBJECT
public:
    // port: the serial port of the gateway link (a QSerialPort when null); the window owns it.
    explicit MDITarveon(AppContext &ctx, QWidget *parent = nullptr, SerialPort *port = nullptr);
    ~MDITarveon() override;

    // The start-up sequence. Returns false when the program must end: another program runs from
    // the same directory (silently), or the language file could not be read (after its message).
    // On success the window is shown and the project list has been through once. With
    // openLastProject (tarveon-config --online) the last project is opened directly instead and
    // the on-line switch clicked; without such a project the list opens as usual.
    bool startUp(bool openLastProject = false);
    // Opens the project `name` of the projects directory as the project list's Open does. False,
    // and nothing changed, when there is no such project.
    bool openProject(const QString &name);
    // The on-line switch clicked, as by the user (nothing while it is disabled).
    void clickOnline();

    // The serial link to the gateway (state machine, console, upload).
    SerialLink &link() { return *m_link; }
    // The session's EIB telegrams and statistics, named and decoded after the open project.
    TelegramLog &telegrams() { return m_telegrams; }

    // --- Windows of the other parts of the tool ---------------------------------------------
    // Each hook has a stand-in until its window exists; the owner of the window replaces it.
    // Modal windows run inside the hook and return when closed.

    // Project list fProject, modal. Opening a project sets ProjectName, ProjectProtocol,
    // ProjectDescription, ProtocolFamily and ProjectDir in the context; preselects ProjectName.
    std::function<void()> showProjectList;
    // Configuration editor fConfKorvaneEIB for protocol code 70 or 71, modal.
    std::function<void(int code)> showConfigEditor;
    // Serial port dialog fConfPort, modal.
    std::function<void()> showPortDialog;
    // Child windows: each factory makes a new top-level widget that the frame puts into its
    // document area; closing the child discards it, and the next use makes a new one.
    using ChildFactory = std::function<QWidget *()>;
    ChildFactory createGatewayMonitor; // fTestTarveonZDM
    ChildFactory createEibMonitor;     // fTestEIB
    ChildFactory createExtMonitor;     // fTestExterno
    ChildFactory createSignalViewer;   // fVerDatosZDM
    // Opens a folder in the file browser (the documentation menu).
    std::function<bool(const QUrl &)> openUrl;

    // The open child windows; with create, a missing one is made and shown first.
    QWidget *gatewayMonitor(bool create = true) { return child(m_gatewayMonitor, createGatewayMonitor, create); }
    QWidget *eibMonitor(bool create = true) { return child(m_eibMonitor, createEibMonitor, create); }
    QWidget *extMonitor(bool create = true) { return child(m_extMonitor, createExtMonitor, create); }
    QWidget *signalViewer(bool create = true) { return child(m_signalViewer, createSignalViewer, create); }
    // The document-area frame of a child window (nullptr when form is not a child).
    QMdiSubWindow *subWindowOf(QWidget *form) const;

    // Brings a child forward. state: 0 normal, 1 minimised, 2 maximised; with 0 a minimised
    // window becomes normal and other states are kept. A hidden window is shown, then focused.
    void ShowChildForm(QWidget *form, int state);
    // 47: the EIB bus monitor; any other code: the external-bus monitor.
    void ShowMonitor(int code);
    // 70, 71: the configuration editor; other codes do nothing.
    void ShowProtocolEditor(int code);

    // After the project list: shows the open project or forgets the last project name.
    void applyProjectState();

    // --- Gateway link and the on-line tools ----------------------------------------------------
    // The link the monitors and the signal viewer talk to: the window's own (tests may put
    // another in before the windows are made).
    LinkCommands *linkCommands = nullptr;
    // The link's lines to the monitors' VerTramas; a monitor that is not open is made first.
    void showGatewayLine(const QString &trama, const QString &mark);
    void showEibLine(const QString &trama);
    void showExtLine(const QString &trama);
    // The link reloaded its tables: an open signal viewer rebuilds its grid (Datos_Carga).
    void reloadSignalViewer();
    // Upload start: the monitor of side "INT" or "EXT", when open with chkBus on, switches it
    // off (and so its report); returns whether it did.
    bool monitorBusSwitchOff(const QString &side);

    // --- Controls (names as the rest of the tool knows them) -------------------------------
    QTimer *Timer1;
    QToolBar *picTarveon;
    QComboBox *cboFichero;
    QPushButton *cmdEnviar;
    QPushButton *cmdSendFileTarveon;
    QComboBox *cboCmd;
    QPushButton *chkOnline; // checkable: "Off Line" / "On Line"
    QProgressBar *ProgressBar1;
    QLabel *imgLogo;
    QFrame *shpTransfer2;
    QFrame *shpTransfer1;
    QStatusBar *stsBar;
    QList<QLabel *> stsBarPanels; // panels 1 to 3 at indexes 0 to 2
    QMdiArea *mdiArea;

    QMenu *mnuArchivo;
    QAction *mnuAProject;
    QAction *mnuASalir;
    QMenu *mnuVer;
    QAction *mnuVDatos;
    QMenu *mnuVProtocolos;
    QAction *mnuVQuil230;
    QAction *mnuVPExterno;
    QMenu *mnuConfiguracion;
    QAction *mnuCConexion;
    QMenu *mnuCIdioma;
    QList<QAction *> mnuCISel; // one entry per language, indexes from 0
    QAction *mnuCProtocolo;
    QMenu *mnuVentanas;
    QAction *mnuVMosaico;
    QAction *mnuVCascada;
    QMenu *mnuAyuda;
    QAction *mnuDocs;
    QAction *mnuAcercade;

public slots:
    // Every second: identification polling and upload time-out of the gateway link.
    void Timer1_Timer();

    void mnuAProject_Click();
    void mnuCProtocolo_Click();
    void mnuCConexion_Click();
    void mnuVDatos_Click();
    void mnuVMosaico_Click();
    void mnuVCascada_Click();
    void mnuDocs_Click();
    void mnuAcercade_Click();
    void mnuCISel_Click(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolStrip();
    void buildStatusBar();
    void installStandIns();
    void InitLinkAndPaths();
    void fillLanguageMenu();
    void applyCaptions();
    void fillWindowList();
    void MDIForm_Unload();
    // The link's lines to the monitors, its reloads to the viewer, its upload hooks.
    void connectOnlineTools();
    QWidget *child(QPointer<QWidget> &slot, const ChildFactory &factory, bool create);

    AppContext &m_ctx;
    SerialLink *m_link;
    LinkToolStrip *m_linkStrip = nullptr;
    SingleInstance m_instance;
    QActionGroup *m_languageGroup;
    QList<QAction *> m_windowListActions;
    QPointer<QWidget> m_gatewayMonitor;
    QPointer<QWidget> m_eibMonitor;
    QPointer<QWidget> m_extMonitor;
    QPointer<QWidget> m_signalViewer;
    bool m_unloaded = false;
    TelegramLog m_telegrams;
};

} // namespace tarveon
