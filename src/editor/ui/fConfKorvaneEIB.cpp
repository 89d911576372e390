#include "editor/ui/fConfKorvaneEIB.h"

#include "app/AppContext.h"
#include "editor/ui/EditorMenus.h"
#include "editor/ui/SignalGridPage.h"
#include "editor/ui/SignalGridView.h"
#include "tools/AddressPlanCore.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoStack>
#include <QVBoxLayout>

namespace tarveon {

namespace {

void processEvents()
{
    QCoreApplication::processEvents();
}

// A message box that closes inside a field's focus-out handler hands the focus back with one of
// these reasons; they do not mean that the user left or entered a control.
bool isWindowFocusChange(QEvent *event)
{
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

bool isDeviceField(SettingsField f)
{
    return f == SettingsField::MachineSys || f == SettingsField::MachineUni || f == SettingsField::MachineName;
}

// A tab widget over a tab bar of the window's own.
class TabStrip : public QTabWidget {
public:
    TabStrip(QTabBar *bar, QWidget *parent) : QTabWidget(parent) { setTabBar(bar); }
};

class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
};

} // namespace

fConfKorvaneEIB::fConfKorvaneEIB(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_session(new EditorSession(ctx, this)), m_page(m_session->settingsPage())
{
    setObjectName(QStringLiteral("fConfKorvaneEIB"));
    setModal(true);
    setSizeGripEnabled(true);

    auto *main = new QVBoxLayout(this);
    // Changing the page passes the focus into the new page; that is not the user entering the
    // grid. The tab bar is connected here before the tab widget connects it, so the switch is
    // known before the pages change.
    auto *tabBar = new QTabBar;
    tabBar->setFocusPolicy(Qt::StrongFocus);
    TabStrip1 = new TabStrip(tabBar, this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    for (size_t i = 0; i < frmTab.size(); ++i) {
        frmTab[i] = new QWidget(TabStrip1);
        frmTab[i]->setObjectName(QStringLiteral("frmTab%1").arg(i + 1));
        TabStrip1->addTab(frmTab[i], QString());
    }
    main->addWidget(TabStrip1, 1);

    lblHelp = new QLabel(this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setWordWrap(true);
    lblHelp->setFrameShape(QFrame::StyledPanel);
    lblHelp->setFrameShadow(QFrame::Sunken);
    lblHelp->setMinimumHeight(2 * fontMetrics().height() + 8);
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    main->addWidget(lblHelp);

    auto *buttons = new QHBoxLayout;
    cmdTarveon = new QPushButton(this);
    cmdTarveon->setObjectName(QStringLiteral("cmdTarveon"));
    cmdAceptar = new QPushButton(this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdCancelar = new QPushButton(this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    for (QPushButton *b : {cmdTarveon, cmdAceptar, cmdCancelar}) {
        // Enter belongs to the fields and the grid, never to a button.
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(100);
    }
    buttons->addWidget(cmdTarveon);
    buttons->addStretch(1);
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    main->addLayout(buttons);

    buildSettingsPage(frmTab[0]);
    gridPage = new SignalGridPage(ctx, *m_session, frmTab[1]);
    grid = gridPage->grid;
    auto *gridLayout = new QVBoxLayout(frmTab[1]);
    gridLayout->setContentsMargins(2, 2, 2, 2);
    gridLayout->addWidget(gridPage);
    connect(gridPage, &SignalGridPage::helpChanged, lblHelp, &QLabel::setText);

    connect(tabBar, &QTabBar::currentChanged, this, [this] { gridPage->setPageChanging(true); });
    connect(cmdAceptar, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdCancelar_Click);
    connect(cmdTarveon, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdTarveon_Click);
    connect(cmdElementos, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdElementos_Click);
    connect(TabStrip1, &QTabWidget::currentChanged, this, [this](int tab) {
        gridPage->setPageChanging(false);
        gridPage->CommitEdit();
        lblHelp->setText(m_session->tabHelp(tab));
    });

    {
        BusyPointer busy;
        m_session->open();
    }
    // The address tools, the ETS address book kept with the project and the KNX hints.
    m_planCore = std::make_unique<AddressPlanCore>(ctx, *m_session);
    m_planCore->loadBook();
    AddressPlanCore *core = m_planCore.get();
    gridPage->helpFor = [core](const GridCell &cell) { return core->helpText(cell); };
    gridPage->delegate()->completions = [core](const QString &typed) { return core->completions(typed); };
    m_session->visibleRows().toolTipHint = [core](int row, int column) {
        return column == kColEis ? core->datapointText(row) : QString();
    };
    m_session->acceptAdvice = [core] { return core->typeWarnings(); };
    menus = new EditorMenus(ctx, *m_session, *core, gridPage, TabStrip1, this);
    main->setMenuBar(menus->menuBar);
    // Leaving the settings page passes the focus to the buttons, not into the grid.
    QWidget *order[] = {TabStrip1->tabBar(), txtIp, txtNetMask, txtGateway, txtIPKorvane, txtPortKorvane,
                        txtTimeoutPoll, txtPhyAdd, chkUpdateOnResetoErrEIB, txtDelayUpdateBus, lstMaquina,
                        txtMaquina[0], txtMaquina[1], txtMaquina[2], cmdElementos, cmdTarveon, cmdAceptar,
                        cmdCancelar, grid};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    showOpenedState();
    // Wide enough for the whole grid where the screen allows.
    int width = gridPage->fullWidth() + 48;
    if (const QScreen *screen = this->screen())
        width = std::min(width, screen->availableGeometry().width());
    resize(std::max(width, 900), 640);
}

fConfKorvaneEIB::~fConfKorvaneEIB()
{
    // The view lets go of the model before the model goes; the undo stack's commands go before the
    // grid they change.
    grid->setModel(nullptr);
    m_session->grid().setRecorder({});
    delete menus;
}

// ---- Building -----------------------------------------------------------------------------------

void fConfKorvaneEIB::buildSettingsPage(QWidget *page)
{
    auto text = [this](const char *key) { return m_ctx.GetText(QLatin1String(key)); };
    // Each field as wide as the longest text it takes when typed into.
    auto lineEdit = [this](const char *name, SettingsField f, const char *widest, int maxLength) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        m_fields.insert(edit, f);
        m_maxLength.insert(edit, maxLength);
        edit->setMaxLength(maxLength);
        if (widest)
            edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1String(widest)) + 16);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, f](const QString &typed) { m_page.setFieldText(f, typed); });
        return edit;
    };
    const char *ip = "255.255.255.255";
    txtIp = lineEdit("txtIp", SettingsField::Ip, ip, 15);
    txtNetMask = lineEdit("txtNetMask", SettingsField::NetMask, ip, 15);
    txtGateway = lineEdit("txtGateway", SettingsField::Gateway, ip, 15);
    txtIPKorvane = lineEdit("txtIPKorvane", SettingsField::IpKorvane, ip, 15);
    txtPortKorvane = lineEdit("txtPortKorvane", SettingsField::PortKorvane, "000000", 5);
    txtTimeoutPoll = lineEdit("txtTimeoutPoll", SettingsField::TimeoutPoll, "0000000", 6);
    txtPhyAdd = lineEdit("txtPhyAdd", SettingsField::PhyAdd, "15.15.255.0", 11);
    txtDelayUpdateBus = lineEdit("txtDelayUpdateBus", SettingsField::DelayUpdateBus, "000", 2);
    txtMaquina[0] = lineEdit("txtMaquina0", SettingsField::MachineSys, "0000", 2);
    txtMaquina[1] = lineEdit("txtMaquina1", SettingsField::MachineUni, "0000", 2);
    txtMaquina[2] = lineEdit("txtMaquina2", SettingsField::MachineName, nullptr, 40);
    // Wide enough for the longest names a project keeps.
    txtMaquina[2]->setMinimumWidth(txtMaquina[2]->fontMetrics().averageCharWidth() * 46 + 8);

    chkUpdateOnResetoErrEIB = new QCheckBox(text("EIB33"), this);
    chkUpdateOnResetoErrEIB->setObjectName(QStringLiteral("chkUpdateOnResetoErrEIB"));
    chkUpdateOnResetoErrEIB->installEventFilter(this);
    connect(chkUpdateOnResetoErrEIB, &QCheckBox::clicked, this, [this](bool on) { m_page.setUpdateOnReset(on); });

    auto *gatewayBox = new QGroupBox(text("ED2"), page);
    auto *gatewayForm = new QFormLayout(gatewayBox);
    gatewayForm->addRow(text("ED3"), txtIp);
    gatewayForm->addRow(text("ED4"), txtNetMask);
    gatewayForm->addRow(text("ED5"), txtGateway);

    auto *hubBox = new QGroupBox(QStringLiteral("Korvane TR-BAS-HUB"), page);
    auto *hubForm = new QFormLayout(hubBox);
    hubForm->addRow(text("ED3"), txtIPKorvane);
    hubForm->addRow(text("ED6"), txtPortKorvane);
    hubForm->addRow(text("ED7"), txtTimeoutPoll);

    auto *eibBox = new QGroupBox(text("EIB46"), page);
    eibBox->setObjectName(QStringLiteral("fraEIB"));
    auto *eibForm = new QFormLayout(eibBox);
    eibForm->addRow(text("ED8"), txtPhyAdd);
    eibForm->addRow(chkUpdateOnResetoErrEIB);
    eibForm->addRow(text("ED9"), txtDelayUpdateBus);

    auto *left = new QVBoxLayout;
    left->addWidget(gatewayBox);
    left->addWidget(hubBox);
    left->addWidget(eibBox);
    left->addStretch(1);

    auto *devicesBox = new QGroupBox(page);
    auto *devices = new QVBoxLayout(devicesBox);
    lblMaquinaList = new QLabel(devicesBox);
    lblMaquinaList->setObjectName(QStringLiteral("lblMaquinaList"));
    lstMaquina = new QListWidget(devicesBox);
    lstMaquina->setObjectName(QStringLiteral("lstMaquina"));
    lstMaquina->setUniformItemSizes(true);
    lstMaquina->installEventFilter(this);
    lblMaquinaList->setBuddy(lstMaquina);
    devices->addWidget(lblMaquinaList);
    devices->addWidget(lstMaquina, 1);
    auto *deviceForm = new QFormLayout;
    static const char *const labels[] = {"ED10", "ED11", "ED12"};
    for (size_t i = 0; i < txtMaquina.size(); ++i) {
        lblMaquina[i] = new QLabel(text(labels[i]), devicesBox);
        lblMaquina[i]->setBuddy(txtMaquina[i]);
        deviceForm->addRow(lblMaquina[i], txtMaquina[i]);
    }
    devices->addLayout(deviceForm);
    cmdElementos = new QPushButton(text("X27") + QStringLiteral("..."), devicesBox);
    cmdElementos->setObjectName(QStringLiteral("cmdElementos"));
    cmdElementos->setAutoDefault(false);
    devices->addWidget(cmdElementos, 0, Qt::AlignLeft);

    connect(lstMaquina, &QListWidget::currentRowChanged, this, [this](int row) {
        m_page.selectDevice(row);
        showDevice();
    });
    // A click on the item already chosen chooses it again.
    connect(lstMaquina, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const int row = lstMaquina->row(item);
        if (row != m_page.currentDevice())
            return;
        m_page.selectDevice(row);
        showDevice();
    });
    connect(lstMaquina, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        m_page.setDeviceActive(lstMaquina->row(item), item->checkState() == Qt::Checked);
    });

    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left, 3);
    layout->addWidget(devicesBox, 2);
}

void fConfKorvaneEIB::showOpenedState()
{
    setWindowTitle(m_session->windowCaption());
    TabStrip1->setTabText(0, m_session->tabCaption(0));
    TabStrip1->setTabText(1, m_session->tabCaption(1));
    cmdTarveon->setText(m_ctx.GetText(QStringLiteral("X62")));
    cmdAceptar->setText(m_ctx.GetText(QStringLiteral("X1")));
    cmdCancelar->setText(m_ctx.GetText(QStringLiteral("X8")));
    lblMaquinaList->setText(m_ctx.GetText(m_page.hasUnitAddress() ? QStringLiteral("ED13") : QStringLiteral("ED14")));

    // Settings page.
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        showFieldText(it.key(), m_page.fieldText(it.value()));
    chkUpdateOnResetoErrEIB->setChecked(m_page.updateOnReset());
    lblMaquina[1]->setVisible(m_page.hasUnitAddress());
    txtMaquina[1]->setVisible(m_page.hasUnitAddress());
    {
        // Filling the list is not the user choosing or checking devices.
        const QSignalBlocker blocker(lstMaquina);
        lstMaquina->clear();
        for (int i = 0; i < m_page.deviceCount(); ++i) {
            auto *item = new QListWidgetItem(m_page.deviceItemText(i));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(m_page.deviceActive(i) ? Qt::Checked : Qt::Unchecked);
            lstMaquina->addItem(item);
        }
        if (m_page.currentDevice() >= 0)
            lstMaquina->setCurrentRow(m_page.currentDevice());
    }
    showDevice();

    gridPage->showOpened();
    TabStrip1->setCurrentIndex(0);
    lblHelp->setText(m_session->tabHelp(0));
    txtIp->setFocus();
    m_session->grid().clearChanged();
    m_page.clearChanged();
}

void fConfKorvaneEIB::showFieldText(QLineEdit *edit, const QString &text)
{
    edit->setMaxLength(std::max(m_maxLength.value(edit, 32767), int(text.size())));
    edit->setText(text);
}

void fConfKorvaneEIB::showDevice()
{
    static const SettingsField fields[] = {SettingsField::MachineSys, SettingsField::MachineUni,
                                           SettingsField::MachineName};
    for (size_t i = 0; i < txtMaquina.size(); ++i)
        showFieldText(txtMaquina[i], m_page.fieldText(fields[i]));
}

QLineEdit *fConfKorvaneEIB::field(SettingsField f) const
{
    return m_fields.key(f, nullptr);
}

// ---- Events -------------------------------------------------------------------------------------

bool fConfKorvaneEIB::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
        const auto it = m_fields.constFind(edit);
        if (it != m_fields.constEnd())
            return settingsFieldEvent(edit, it.value(), event);
        return false;
    }
    if (event->type() == QEvent::FocusIn && !isWindowFocusChange(event)) {
        if (watched == lstMaquina)
            lblHelp->setText(m_page.deviceListHelp());
        else if (watched == chkUpdateOnResetoErrEIB)
            lblHelp->setText(m_page.updateOnResetHelp());
    }
    if (watched == chkUpdateOnResetoErrEIB && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab
            && key->key() != Qt::Key_Escape)
            m_page.typed();
    }
    return QDialog::eventFilter(watched, event);
}

bool fConfKorvaneEIB::settingsFieldEvent(QLineEdit *edit, SettingsField f, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!isWindowFocusChange(event))
            lblHelp->setText(m_page.fieldHelp(f));
        return false;
    case QEvent::FocusOut: {
        if (isWindowFocusChange(event))
            return false;
        const FieldCheck check = m_page.leaveField(f, edit->text());
        if (check.beep)
            QApplication::beep();
        if (edit->text() != check.text)
            showFieldText(edit, check.text);
        if (f == SettingsField::MachineName) {
            // The list and the grid show the device's name.
            if (QListWidgetItem *item = lstMaquina->item(m_page.currentDevice()))
                item->setText(m_page.deviceItemText(m_page.currentDevice()));
            grid->viewport()->update();
        }
        return false;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab moves on and Escape closes the window: neither is typed into the field.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape
            || key->text().isEmpty())
            return false;
        m_page.typed();
        if (isDeviceField(f) && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (QLineEdit *target = field(m_page.nextDeviceField(f)))
                target->setFocus(Qt::TabFocusReason);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

// ---- Buttons and closing ---------------------------------------------------------------------------

void fConfKorvaneEIB::cmdAceptar_Click()
{
    gridPage->CommitEdit();
    const AcceptOutcome outcome = m_session->accept(processEvents);
    // Blank rows may have gone and the filter may have been cleared: the view starts again from
    // the controller's cell.
    gridPage->showFilter();
    gridPage->followModel();
    switch (outcome.stop) {
    case AcceptOutcome::Validation:
    case AcceptOutcome::Code:
        TabStrip1->setCurrentIndex(1);
        gridPage->goToCell(outcome.cell);
        grid->setFocus(Qt::OtherFocusReason);
        break;
    case AcceptOutcome::Devices:
        TabStrip1->setCurrentIndex(0);
        lstMaquina->setFocus(Qt::OtherFocusReason);
        break;
    case AcceptOutcome::PhysicalAddress:
        TabStrip1->setCurrentIndex(0);
        break;
    case AcceptOutcome::Saved:
        // What was saved is the new start: no undo reaches behind it.
        menus->undoStack->clear();
        if (outcome.generated)
            cmdTarveon->setEnabled(false);
        break;
    case AcceptOutcome::Declined:
    case AcceptOutcome::SaveFailed:
        break;
    }
}

void fConfKorvaneEIB::cmdCancelar_Click()
{
    close();
}

void fConfKorvaneEIB::cmdTarveon_Click()
{
    gridPage->CommitEdit();
    if (m_session->GenerateFromEditor(processEvents))
        cmdTarveon->setEnabled(false);
}

void fConfKorvaneEIB::cmdElementos_Click()
{
    gridPage->CommitEdit();
    if (m_session->ChangeDeviceCount()) {
        // Opening the editor again builds everything for the new count.
        m_closeConfirmed = true;
        close();
    }
}

bool fConfKorvaneEIB::mayClose()
{
    if (m_closeConfirmed)
        return true;
    gridPage->CommitEdit();
    if (!m_session->queryClose())
        return false;
    m_closeConfirmed = true;
    return true;
}

void fConfKorvaneEIB::reject()
{
    if (mayClose())
        QDialog::reject();
}

void fConfKorvaneEIB::closeEvent(QCloseEvent *event)
{
    if (mayClose())
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace tarveon
