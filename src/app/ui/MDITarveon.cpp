#include "app/ui/MDITarveon.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "app/WindowLayout.h"
#include "app/ui/AppIcon.h"
#include "app/ui/ExportMenu.h"
#include "editor/ui/fConfKorvaneEIB.h"
#include "link/PortNames.h"
#include "link/QtSerialPortImpl.h"
#include "link/SerialLink.h"
#include "link/ui/LinkToolStrip.h"
#include "link/ui/fConfPort.h"
#include "tools/ProjectListCore.h"
#include "tools/ui/fProject.h"
#include "tools/ui/fTestEIB.h"
#include "tools/ui/fTestExterno.h"
#include "tools/ui/fTestTarveonZDM.h"
#include "tools/ui/fVerDatosZDM.h"
#include "tools/ui/frmAbout.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace tarveon {

namespace {

const QString kEibMonitorCaption = QStringLiteral("EIB...");
const QString kExtMonitorCaptionOpen = QStringLiteral("TR-BAS-HUB...");

QMenu *addMenu(QWidget *parentMenu, const char *name)
{
    auto *menu = new QMenu(parentMenu);
    menu->setObjectName(QLatin1String(name));
    // The menu's entry in its parent answers to the same name, so enablement is found by name.
    menu->menuAction()->setObjectName(QLatin1String(name));
    if (auto *bar = qobject_cast<QMenuBar *>(parentMenu))
        bar->addMenu(menu);
    else
        static_cast<QMenu *>(parentMenu)->addMenu(menu);
    return menu;
}

QAction *addEntry(QMenu *menu, const char *name)
{
    QAction *action = menu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

} // namespace

MDITarveon::MDITarveon(AppContext &ctx, QWidget *parent, SerialPort *port)
    : QMainWindow(parent), m_ctx(ctx), m_link(new SerialLink(ctx, port ? port : new QtSerialPortImpl, this))
{
    setObjectName(QStringLiteral("MDITarveon"));
    setWindowIcon(appIcon());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);

    buildMenus();
    buildToolStrip();
    buildStatusBar();
    installStandIns();
    connectOnlineTools();
    resize(1024, 720);
}

MDITarveon::~MDITarveon() = default;

void MDITarveon::buildMenus()
{
    QMenuBar *bar = menuBar();

    mnuArchivo = addMenu(bar, "mnuArchivo");
    mnuAProject = addEntry(mnuArchivo, "mnuAProject");
    new ExportMenu(m_ctx, mnuArchivo, this); // File > Export, its own entries and actions
    addSeparator(mnuArchivo, "mnuSep1");
    mnuASalir = addEntry(mnuArchivo, "mnuASalir");
    connect(mnuAProject, &QAction::triggered, this, &MDITarveon::mnuAProject_Click);
    connect(mnuASalir, &QAction::triggered, this, &QWidget::close);

    mnuVer = addMenu(bar, "mnuVer");
    mnuVDatos = addEntry(mnuVer, "mnuVDatos");
    addSeparator(mnuVer, "mnuSep2");
    mnuVProtocolos = addMenu(mnuVer, "mnuVProtocolos");
    mnuVProtocolos->setTitle(QStringLiteral("&Bus"));
    mnuVQuil230 = addEntry(mnuVProtocolos, "mnuVQuil230");
    mnuVPExterno = addEntry(mnuVProtocolos, "mnuVPExterno");
    connect(mnuVDatos, &QAction::triggered, this, &MDITarveon::mnuVDatos_Click);
    connect(mnuVQuil230, &QAction::triggered, this, [this] { ShowMonitor(protocol::Eib); });
    connect(mnuVPExterno, &QAction::triggered, this, [this] { ShowMonitor(100); });

    mnuConfiguracion = addMenu(bar, "mnuConfiguracion");
    mnuCConexion = addEntry(mnuConfiguracion, "mnuCConexion");
    mnuCIdioma = addMenu(mnuConfiguracion, "mnuCIdioma");
    addSeparator(mnuConfiguracion, "mnuSep3");
    mnuCProtocolo = addEntry(mnuConfiguracion, "mnuCProtocolo");
    mnuCProtocolo->setText(QStringLiteral("Korvane Gateway..."));
    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);
    connect(mnuCConexion, &QAction::triggered, this, &MDITarveon::mnuCConexion_Click);
    connect(mnuCProtocolo, &QAction::triggered, this, &MDITarveon::mnuCProtocolo_Click);

    mnuVentanas = addMenu(bar, "mnuVentanas");
    mnuVMosaico = addEntry(mnuVentanas, "mnuVMosaico");
    mnuVCascada = addEntry(mnuVentanas, "mnuVCascada");
    connect(mnuVMosaico, &QAction::triggered, this, &MDITarveon::mnuVMosaico_Click);
    connect(mnuVCascada, &QAction::triggered, this, &MDITarveon::mnuVCascada_Click);
    connect(mnuVentanas, &QMenu::aboutToShow, this, &MDITarveon::fillWindowList);

    mnuAyuda = addMenu(bar, "mnuAyuda");
    mnuAyuda->setTitle(QStringLiteral("&?"));
    mnuDocs = addEntry(mnuAyuda, "mnuDocs");
    addSeparator(mnuAyuda, "mnuSepHelp");
    mnuAcercade = addEntry(mnuAyuda, "mnuAcercade");
    connect(mnuDocs, &QAction::triggered, this, &MDITarveon::mnuDocs_Click);
    connect(mnuAcercade, &QAction::triggered, this, &MDITarveon::mnuAcercade_Click);
}

void MDITarveon::buildToolStrip()
{
    picTarveon = new QToolBar(this);
    picTarveon->setObjectName(QStringLiteral("picTarveon"));
    picTarveon->setMovable(false);
    picTarveon->setFloatable(false);
    picTarveon->toggleViewAction()->setVisible(false);
    picTarveon->setVisible(false);
    addToolBar(Qt::TopToolBarArea, picTarveon);

    m_linkStrip = new LinkToolStrip(*m_link, picTarveon);
    chkOnline = m_linkStrip->chkOnline;
    cboCmd = m_linkStrip->cboCmd;
    cmdEnviar = m_linkStrip->cmdEnviar;
    cboFichero = m_linkStrip->cboFichero;
    cmdSendFileTarveon = m_linkStrip->cmdSendFileTarveon;
    ProgressBar1 = m_linkStrip->ProgressBar1;
    shpTransfer1 = m_linkStrip->shpTransfer1;
    shpTransfer2 = m_linkStrip->shpTransfer2;
    picTarveon->addWidget(m_linkStrip);

    auto *gap = new QWidget(picTarveon);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    picTarveon->addWidget(gap);
    imgLogo = new QLabel(picTarveon);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(makerLogo(24));
    imgLogo->setContentsMargins(4, 2, 4, 2);
    picTarveon->addWidget(imgLogo);

    connect(Timer1, &QTimer::timeout, this, &MDITarveon::Timer1_Timer);
    // The menus that follow the link: the project cannot change while the link is open, and there
    // is nothing to view before the gateway is recognised.
    connect(m_link, &SerialLink::viewChanged, this, [this] {
        const LinkView v = m_link->view();
        mnuVer->menuAction()->setEnabled(v.viewMenuEnabled);
        mnuAProject->setEnabled(v.projectMenuEnabled);
    });
}

void MDITarveon::buildStatusBar()
{
    stsBar = new QStatusBar(this);
    stsBar->setObjectName(QStringLiteral("stsBar"));
    setStatusBar(stsBar);
    const int minimumWidths[3] = {160, 160, 0};
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(stsBar);
        panel->setObjectName(QStringLiteral("stsBarPanel%1").arg(i + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(minimumWidths[i]);
        panel->setContentsMargins(4, 0, 4, 0);
        stsBar->addWidget(panel, i == 2 ? 1 : 0);
        stsBarPanels << panel;
    }
}

void MDITarveon::installStandIns()
{
    showProjectList = [this] {
        fProject dialog(m_ctx, this);
        dialog.exec();
    };
    // The editor takes the protocol from the open project.
    showConfigEditor = [this](int) {
        fConfKorvaneEIB editor(m_ctx, this);
        editor.exec();
    };
    showPortDialog = [this] {
        fConfPort dialog(m_ctx, *m_link, this);
        dialog.exec();
    };
    createGatewayMonitor = [this] { return (new fTestTarveonZDM(m_ctx, linkCommands))->withTelegrams(&m_telegrams); };
    createEibMonitor = [this] { return (new fTestEIB(m_ctx, linkCommands))->withTelegrams(&m_telegrams); };
    createExtMonitor = [this] { return new fTestExterno(m_ctx, linkCommands); };
    createSignalViewer = [this] { return new fVerDatosZDM(m_ctx, linkCommands, this); };
    openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

bool MDITarveon::startUp(bool openLastProject)
{
    // 1. One program per program directory; a second one ends without a word.
    if (!m_instance.tryAcquire(m_ctx.programDir))
        return false;

    // 2. Protocol names.
    m_ctx.InitProtocols();
    m_ctx.ProtocolNames[protocol::Eib] = QStringLiteral("EIB");

    // 3. Menu state.
    mnuVQuil230->setText(kEibMonitorCaption);
    mnuASalir->setEnabled(true);
    mnuCConexion->setVisible(true);

    // 4, 5. Caption and tool strip.
    setWindowTitle(kAppTitle);
    picTarveon->setVisible(true);

    // 6. Texts; without them the program cannot go on.
    if (!m_ctx.language.LoadLanguage())
        return false;

    // 7. Port settings, console commands, link-side table, directories.
    InitLinkAndPaths();

    // 8, 9. Language menu and captions.
    fillLanguageMenu();
    applyCaptions();

    // The monitor and the project list open inside the frame: show it first.
    show();

    // 10. The gateway monitor, top left.
    if (QWidget *monitor = gatewayMonitor()) {
        if (QMdiSubWindow *frame = subWindowOf(monitor))
            frame->setGeometry(twipsToPixels(0), twipsToPixels(0), twipsToPixels(7000), twipsToPixels(4000));
    }

    // 11. Link timer.
    Timer1->setInterval(1000);
    Timer1->start();

    // 12. Nothing to view, connect or configure before a project is open and the gateway on line.
    mnuVer->menuAction()->setEnabled(false);
    mnuCConexion->setEnabled(false);
    mnuCProtocolo->setEnabled(false);

    // 13, 14. The project list, preselecting the last project.
    LoadLastProject(m_ctx);
    if (openLastProject && openProject(m_ctx.ProjectName)) {
        clickOnline();
        return true;
    }
    mnuAProject_Click();
    return true;
}

bool MDITarveon::openProject(const QString &name)
{
    if (!tarveon::openProject(m_ctx, name))
        return false;
    applyProjectState();
    return true;
}

void MDITarveon::clickOnline()
{
    chkOnline->click();
}

void MDITarveon::InitLinkAndPaths()
{
    m_link->configurePort(resolvePortChoice(QCoreApplication::arguments(), m_ctx));
    m_link->InitLink();
    ResolvePaths(m_ctx);
}

void MDITarveon::fillLanguageMenu()
{
    for (QAction *entry : std::as_const(mnuCISel)) {
        m_languageGroup->removeAction(entry);
        delete entry;
    }
    mnuCISel.clear();
    const QStringList &languages = m_ctx.language.Languages();
    for (int i = 0; i < languages.size(); ++i) {
        QAction *entry = mnuCIdioma->addAction(languages[i]);
        entry->setObjectName(QStringLiteral("mnuCISel"));
        entry->setData(i);
        entry->setCheckable(true);
        entry->setEnabled(true);
        m_languageGroup->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, i] { mnuCISel_Click(i); });
        mnuCISel << entry;
    }
    const int selected = m_ctx.language.LanguageIndex();
    if (selected >= 0 && selected < mnuCISel.size())
        mnuCISel[selected]->setChecked(true);
}

void MDITarveon::applyCaptions()
{
    auto text = [this](const char *key) { return m_ctx.GetText(QLatin1String(key)); };
    mnuArchivo->setTitle(text("X48"));
    mnuAProject->setText(ProjectListCaption(m_ctx));
    mnuASalir->setText(text("X49"));
    mnuVer->setTitle(text("X56"));
    mnuVDatos->setText(text("X54"));
    mnuVPExterno->setText(text("X58"));
    mnuConfiguracion->setTitle(text("X52"));
    mnuCConexion->setText(text("X50"));
    mnuCIdioma->setTitle(text("X51"));
    mnuVentanas->setTitle(text("X55"));
    mnuVMosaico->setText(text("X57"));
    mnuVCascada->setText(text("X53"));
    mnuDocs->setText(text("X109") + QStringLiteral("..."));
    mnuAcercade->setText(text("X47"));
    cmdEnviar->setText(text("X16"));
    cmdSendFileTarveon->setText(text("X18"));
    stsBarPanels[0]->setToolTip(text("X86"));
    stsBarPanels[1]->setToolTip(QStringLiteral("Gateway"));
    stsBarPanels[2]->setToolTip(text("X25"));
}

void MDITarveon::applyProjectState()
{
    if (!ProjectIsOpen(m_ctx)) {
        m_ctx.ProjectName.clear();
        return;
    }
    stsBarPanels[0]->setText(m_ctx.ProjectName);
    stsBarPanels[1]->setText(m_ctx.ProjectProtocol);
    stsBarPanels[2]->setText(m_ctx.ProjectDescription);
    chkOnline->setEnabled(true);
    mnuVPExterno->setText(kExtMonitorCaptionOpen);
    mnuCConexion->setEnabled(true);
    mnuCProtocolo->setEnabled(protocol::hasEditor(m_ctx.ProtocolCodes.value(m_ctx.ProjectProtocol)));
    m_telegrams.followProject(m_ctx);
}

void MDITarveon::Timer1_Timer()
{
    m_link->Timer1_Timer();
}

void MDITarveon::mnuAProject_Click()
{
    // The project directory may change: the monitors' log files must be closed first.
    for (QWidget *form : {gatewayMonitor(false), eibMonitor(false), extMonitor(false)}) {
        if (auto *monitor = qobject_cast<MonitorWindow *>(form))
            monitor->stopLogging();
    }
    if (showProjectList)
        showProjectList();
    applyProjectState();
}

void MDITarveon::mnuCProtocolo_Click()
{
    ShowProtocolEditor(m_ctx.ProtocolCodes.value(m_ctx.ProjectProtocol));
    m_telegrams.followProject(m_ctx);
}

void MDITarveon::mnuCConexion_Click()
{
    if (showPortDialog)
        showPortDialog();
}

void MDITarveon::mnuVDatos_Click()
{
    linkCommands->setViewerOpen(true);
    ShowChildForm(signalViewer(), 0);
}

void MDITarveon::mnuVMosaico_Click()
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (w->isVisible() && !w->isMinimized())
            windows << w;
    }
    const QList<QRect> rects = TileSideBySide(mdiArea->viewport()->rect(), int(windows.size()));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(rects[i]);
    }
}

void MDITarveon::mnuVCascada_Click()
{
    mdiArea->cascadeSubWindows();
}

void MDITarveon::mnuDocs_Click()
{
    // A folder that cannot be opened is not worth a message. Only a folder is handed to the file
    // browser, as a file address and without a shell: a file of that name is never opened or run.
    const QString folder = m_ctx.dataDir + QStringLiteral("/DocsZDM");
    if (openUrl && QFileInfo(folder).isDir())
        openUrl(QUrl::fromLocalFile(folder));
}

void MDITarveon::mnuAcercade_Click()
{
    frmAbout about(m_ctx, this);
    about.exec();
}

void MDITarveon::mnuCISel_Click(int index)
{
    if (index < 0 || index >= mnuCISel.size())
        return;
    mnuCISel[index]->setChecked(true);
    m_ctx.language.SelectLanguage(index);
}

void MDITarveon::fillWindowList()
{
    for (QAction *a : std::as_const(m_windowListActions)) {
        mnuVentanas->removeAction(a);
        delete a;
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow *> windows = mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowListActions << mnuVentanas->addSeparator();
    int number = 1;
    for (QMdiSubWindow *w : windows) {
        QAction *a = mnuVentanas->addAction(QStringLiteral("&%1 %2").arg(number++).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == mdiArea->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w = QPointer<QMdiSubWindow>(w)] {
            if (w)
                ShowChildForm(w->widget(), 0);
        });
        m_windowListActions << a;
    }
}

QWidget *MDITarveon::child(QPointer<QWidget> &slot, const ChildFactory &factory, bool create)
{
    if (slot || !create || !factory)
        return slot;
    QWidget *form = factory();
    if (!form)
        return nullptr;
    QMdiSubWindow *frame = mdiArea->addSubWindow(form);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(form->windowIcon().isNull() ? windowIcon() : form->windowIcon());
    slot = form;
    frame->show();
    return form;
}

QMdiSubWindow *MDITarveon::subWindowOf(QWidget *form) const
{
    for (QWidget *w = form; w; w = w->parentWidget()) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(w))
            return frame->mdiArea() == mdiArea ? frame : nullptr;
    }
    return nullptr;
}

void MDITarveon::ShowChildForm(QWidget *form, int state)
{
    if (!form)
        return;
    QMdiSubWindow *frame = subWindowOf(form);
    QWidget *window = frame ? static_cast<QWidget *>(frame) : form;
    if (state == 1)
        window->showMinimized();
    else if (state == 2)
        window->showMaximized();
    else if (window->isMinimized())
        window->showNormal();
    if (window->isHidden())
        window->show();
    if (frame)
        mdiArea->setActiveSubWindow(frame);
    form->setFocus(Qt::OtherFocusReason);
}

void MDITarveon::ShowMonitor(int code)
{
    ShowChildForm(code == protocol::Eib ? eibMonitor() : extMonitor(), 0);
}

void MDITarveon::ShowProtocolEditor(int code)
{
    if (protocol::hasEditor(code) && showConfigEditor)
        showConfigEditor(code);
}

void MDITarveon::MDIForm_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    StoreLastProject(m_ctx);
    linkCommands->Shutdown();
}

void MDITarveon::connectOnlineTools()
{
    linkCommands = m_link;
    connect(m_link, &SerialLink::gatewayLine, this, &MDITarveon::showGatewayLine);
    connect(m_link, &SerialLink::eibLine, this, &MDITarveon::showEibLine);
    connect(m_link, &SerialLink::extLine, this, &MDITarveon::showExtLine);
    connect(m_link, &SerialLink::viewerReload, this, &MDITarveon::reloadSignalViewer);
    connect(m_link, &SerialLink::identified, this, [this] { m_telegrams.followProject(m_ctx); });
    m_link->monitorBusSwitchOff = [this](const QString &side) { return monitorBusSwitchOff(side); };
    m_link->bringToFront = [this] {
        raise();
        activateWindow();
    };
}

void MDITarveon::showGatewayLine(const QString &trama, const QString &mark)
{
    if (auto *monitor = qobject_cast<fTestTarveonZDM *>(gatewayMonitor()))
        monitor->VerTramas(trama, mark);
}

void MDITarveon::showEibLine(const QString &trama)
{
    if (auto *monitor = qobject_cast<fTestEIB *>(eibMonitor()))
        monitor->VerTramas(trama);
}

void MDITarveon::showExtLine(const QString &trama)
{
    if (auto *monitor = qobject_cast<fTestExterno *>(extMonitor()))
        monitor->VerTramas(trama);
}

void MDITarveon::reloadSignalViewer()
{
    if (!linkCommands->viewerOpen())
        return;
    if (auto *viewer = qobject_cast<fVerDatosZDM *>(signalViewer(false)))
        viewer->Datos_Carga();
}

bool MDITarveon::monitorBusSwitchOff(const QString &side)
{
    QWidget *form = side == QLatin1String("INT") ? eibMonitor(false)
                  : side == QLatin1String("EXT") ? extMonitor(false)
                                                 : nullptr;
    auto *monitor = qobject_cast<MonitorWindow *>(form);
    return monitor && monitor->switchBusOff();
}

void MDITarveon::closeEvent(QCloseEvent *event)
{
    MDIForm_Unload();
    // The gateway monitor refuses the user's close box, not the program's.
    if (auto *monitor = qobject_cast<MonitorWindow *>(gatewayMonitor(false)))
        monitor->closeByProgram();
    mdiArea->closeAllSubWindows();
    event->accept();
}

} // namespace tarveon
