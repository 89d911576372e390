#include "editor/ui/fConfKorvaneEIB.h"

#include "app/AppContext.h"
#include "editor/VisibleRowsModel.h"
#include "editor/ui/SignalGridView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarveon {

namespace {

// Pop-ups open a little below and right of the pointer.
const QPoint kPopupOffset(6, 6);

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
    : QDialog(parent), m_ctx(ctx), m_session(new EditorSession(ctx, this)), m_visible(new VisibleRowsModel(this))
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
    connect(tabBar, &QTabBar::currentChanged, this, [this] { m_switchingTab = true; });
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
    buildGridPage(frmTab[1]);

    connect(cmdAceptar, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdCancelar_Click);
    connect(cmdTarveon, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdTarveon_Click);
    connect(cmdElementos, &QPushButton::clicked, this, &fConfKorvaneEIB::cmdElementos_Click);
    connect(TabStrip1, &QTabWidget::currentChanged, this, [this](int tab) {
        m_switchingTab = false;
        CommitEdit();
        lblHelp->setText(m_session->ChooseTab(tab));
    });

    // Opening.
    {
        BusyPointer busy;
        m_visible->setSourceModel(&m_session->grid);
        m_session->Open();
    }
    grid->setModel(m_visible);
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onCurrentChanged(current); });
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            syncSelection();
    });
    // Leaving the settings page passes the focus to the buttons, not into the grid.
    QWidget *order[] = {TabStrip1->tabBar(), txtIp, txtNetMask, txtGateway, txtIPKorvane, txtPortKorvane,
                        txtTimeoutPoll, txtPhyAdd, chkUpdateOnResetoErrEIB, txtDelayUpdateBus, lstMaquina,
                        txtMaquina[0], txtMaquina[1], txtMaquina[2], cmdElementos, cmdTarveon, cmdAceptar,
                        cmdCancelar, grid, txtEdit};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    showOpenedState();
    // Wide enough for the whole grid where the screen allows.
    int width = 0;
    for (int c = 0; c < kSignalColumns; ++c)
        width += columnWidth(c);
    width += grid->verticalScrollBar()->sizeHint().width() + 48;
    if (const QScreen *screen = this->screen())
        width = std::min(width, screen->availableGeometry().width());
    resize(std::max(width, 900), 640);
}

fConfKorvaneEIB::~fConfKorvaneEIB()
{
    // The view lets go of the model before the model goes.
    grid->setModel(nullptr);
}

// ---- Building -----------------------------------------------------------------------------------

void fConfKorvaneEIB::buildSettingsPage(QWidget *page)
{
    auto lineEdit = [this](const char *name, SettingsField f) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        m_fields.insert(edit, f);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, f](const QString &text) { m_session->SetFieldText(f, text); });
        return edit;
    };
    txtIp = lineEdit("txtIp", SettingsField::Ip);
    txtNetMask = lineEdit("txtNetMask", SettingsField::NetMask);
    txtGateway = lineEdit("txtGateway", SettingsField::Gateway);
    txtIPKorvane = lineEdit("txtIPKorvane", SettingsField::IpKorvane);
    txtPortKorvane = lineEdit("txtPortKorvane", SettingsField::PortKorvane);
    txtTimeoutPoll = lineEdit("txtTimeoutPoll", SettingsField::TimeoutPoll);
    txtPhyAdd = lineEdit("txtPhyAdd", SettingsField::PhyAdd);
    txtDelayUpdateBus = lineEdit("txtDelayUpdateBus", SettingsField::DelayUpdateBus);
    txtMaquina[0] = lineEdit("txtMaquina0", SettingsField::MachineSys);
    txtMaquina[1] = lineEdit("txtMaquina1", SettingsField::MachineUni);
    txtMaquina[2] = lineEdit("txtMaquina2", SettingsField::MachineName);
    // Each field as wide as the longest text it takes.
    auto fit = [this](QLineEdit *e, const char *widest, int maxLength) {
        e->setMaxLength(maxLength);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(QLatin1String(widest)) + 16);
    };
    for (QLineEdit *e : {txtIp, txtNetMask, txtGateway, txtIPKorvane})
        fit(e, "255.255.255.255", 15);
    fit(txtPortKorvane, "000000", 5);
    fit(txtTimeoutPoll, "0000000", 6);
    fit(txtDelayUpdateBus, "000", 2);
    fit(txtPhyAdd, "15.15.255.0", 11);
    fit(txtMaquina[0], "0000", 2);
    fit(txtMaquina[1], "0000", 2);

    chkUpdateOnResetoErrEIB = new QCheckBox(this);
    chkUpdateOnResetoErrEIB->setObjectName(QStringLiteral("chkUpdateOnResetoErrEIB"));
    chkUpdateOnResetoErrEIB->installEventFilter(this);
    connect(chkUpdateOnResetoErrEIB, &QCheckBox::clicked, this,
            [this](bool on) { m_session->SetUpdateOnReset(on); });

    auto *gatewayBox = new QGroupBox(QStringLiteral("Gateway"), page);
    auto *gatewayForm = new QFormLayout(gatewayBox);
    gatewayForm->addRow(QStringLiteral("IP"), txtIp);
    gatewayForm->addRow(QStringLiteral("Net Mask"), txtNetMask);
    gatewayForm->addRow(QStringLiteral("Gateway (router)"), txtGateway);

    auto *hubBox = new QGroupBox(QStringLiteral("Korvane TR-BAS-HUB"), page);
    auto *hubForm = new QFormLayout(hubBox);
    hubForm->addRow(QStringLiteral("IP"), txtIPKorvane);
    hubForm->addRow(QStringLiteral("Port TCP"), txtPortKorvane);
    hubForm->addRow(QStringLiteral("Polling (ms)"), txtTimeoutPoll);

    auto *eibBox = new QGroupBox(page);
    eibBox->setObjectName(QStringLiteral("fraEIB"));
    auto *eibForm = new QFormLayout(eibBox);
    eibForm->addRow(QStringLiteral("Physical address"), txtPhyAdd);
    eibForm->addRow(chkUpdateOnResetoErrEIB);
    eibForm->addRow(QStringLiteral("Delay (s)"), txtDelayUpdateBus);

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
    static const char *const labels[] = {"System", "Unit", "Name"};
    for (size_t i = 0; i < txtMaquina.size(); ++i) {
        lblMaquina[i] = new QLabel(QLatin1String(labels[i]), devicesBox);
        lblMaquina[i]->setBuddy(txtMaquina[i]);
        deviceForm->addRow(lblMaquina[i], txtMaquina[i]);
    }
    txtMaquina[2]->setMaxLength(40);
    devices->addLayout(deviceForm);
    cmdElementos = new QPushButton(devicesBox);
    cmdElementos->setObjectName(QStringLiteral("cmdElementos"));
    cmdElementos->setAutoDefault(false);
    devices->addWidget(cmdElementos, 0, Qt::AlignLeft);

    connect(lstMaquina, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_session->loading || row < 0)
            return;
        m_session->SelectDevice(row);
        showDevice();
    });
    // A click on the item already chosen chooses it again.
    connect(lstMaquina, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const int row = lstMaquina->row(item);
        if (m_session->loading || row != m_session->currentDevice)
            return;
        m_session->SelectDevice(row);
        showDevice();
    });
    connect(lstMaquina, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (m_session->loading)
            return;
        m_session->SetDeviceActive(lstMaquina->row(item), item->checkState() == Qt::Checked);
    });

    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left, 3);
    layout->addWidget(devicesBox, 2);
}

void fConfKorvaneEIB::buildGridPage(QWidget *page)
{
    grid = new SignalGridView(page);
    grid->setObjectName(QStringLiteral("grid"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(grid);

    txtEdit = new QLineEdit(grid->viewport());
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    txtEdit->setFrame(false);
    // A thin border tells the box from the cell under it.
    txtEdit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(highlight); padding: 0 2px; }"));
    txtEdit->hide();
    txtEdit->installEventFilter(this);

    grid->keyHandler = [this](QKeyEvent *event) { return gridKeyPress(event); };
    connect(grid, &SignalGridView::focusEntered, this, [this] {
        if (m_switchingTab)
            return;
        CommitEdit();
        m_session->GridFocused();
    });
    connect(grid, &SignalGridView::userScrolled, this, [this] {
        CommitEdit();
        m_session->GridFocused();
    });
    connect(grid, &QAbstractItemView::doubleClicked, this, &fConfKorvaneEIB::onGridDoubleClicked);
    connect(grid, &SignalGridView::rightPressed, this, &fConfKorvaneEIB::onRightPressed);
    connect(grid->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &fConfKorvaneEIB::sortBy);
    connect(grid, &SignalGridView::cornerDoubleClicked, this, [this] { sortBy(kColRowNumber); });
}

void fConfKorvaneEIB::buildMenus()
{
    const EditorSession &s = *m_session;
    popmnuCod = new QMenu(this);
    popmnuCod->setObjectName(QStringLiteral("popmnuCod"));
    for (qsizetype i = 0; i < s.codeLegend.items.size(); ++i) {
        const LegendItem &item = s.codeLegend.items[i];
        if (i == kLegendShowBitsItem) {
            mnuCodShowBits = popmnuCod->addMenu(item.caption);
            for (size_t k = 0; k < mnuMostrar.size() && qsizetype(k) < item.subItems.size(); ++k) {
                mnuMostrar[k] = mnuCodShowBits->addAction(item.subItems[qsizetype(k)].caption);
                connect(mnuMostrar[k], &QAction::triggered, this, [this, k] {
                    m_syncing = true;
                    m_session->ChooseShowBitsItem(int(k));
                    m_syncing = false;
                    keepCurrentInView();
                });
            }
        } else if (i == kLegendSeparatorItem) {
            mnuCodSeparator = popmnuCod->addSeparator();
        } else if (item.subItems.isEmpty()) {
            popmnuCod->addAction(item.caption)->setVisible(!item.hidden);
        } else {
            QMenu *sub = popmnuCod->addMenu(item.caption);
            for (const LegendItem &bit : item.subItems)
                sub->addAction(bit.caption)->setVisible(!bit.hidden && !bit.caption.isEmpty());
            sub->menuAction()->setVisible(!item.hidden);
        }
    }

    popmnuEIS = new QMenu(this);
    popmnuEIS->setObjectName(QStringLiteral("popmnuEIS"));
    for (const LegendItem &item : s.eisLegend)
        popmnuEIS->addAction(item.caption)->setVisible(!item.hidden);

    popmnuRWTU = new QMenu(this);
    popmnuRWTU->setObjectName(QStringLiteral("popmnuRWTU"));
    for (size_t i = 0; i < mnuRWTU.size(); ++i) {
        mnuRWTU[i] = popmnuRWTU->addAction(QString());
        connect(mnuRWTU[i], &QAction::triggered, this, [this, i] { m_session->ChooseFlagItem(int(i)); });
    }

    popmnuSiNo = new QMenu(this);
    popmnuSiNo->setObjectName(QStringLiteral("popmnuSiNo"));
    const QStringList yesNo = s.YesNoPopupItems();
    for (size_t i = 0; i < mnuSiNo.size(); ++i) {
        mnuSiNo[i] = popmnuSiNo->addAction(yesNo.value(qsizetype(i)));
        connect(mnuSiNo[i], &QAction::triggered, this, [this, i] { m_session->ChooseYesNoItem(int(i)); });
    }
}

void fConfKorvaneEIB::showOpenedState()
{
    EditorSession &s = *m_session;
    // Captions.
    setWindowTitle(s.WindowCaption());
    TabStrip1->setTabText(0, s.TabCaption(0));
    TabStrip1->setTabText(1, s.TabCaption(1));
    cmdTarveon->setText(m_ctx.GetText(QStringLiteral("X62")));
    cmdAceptar->setText(m_ctx.GetText(QStringLiteral("X1")));
    cmdCancelar->setText(m_ctx.GetText(QStringLiteral("X8")));
    chkUpdateOnResetoErrEIB->setText(m_ctx.GetText(QStringLiteral("EIB33")));
    findChild<QGroupBox *>(QStringLiteral("fraEIB"))->setTitle(m_ctx.GetText(QStringLiteral("EIB46")));
    cmdElementos->setText(m_ctx.GetText(QStringLiteral("X27")) + QStringLiteral("..."));
    lblMaquinaList->setText(s.DeviceListCaption());

    // Settings page.
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        it.key()->setText(s.FieldText(it.value()));
    chkUpdateOnResetoErrEIB->setChecked(s.settings.updateOnResetoErrEIB != 0);
    lblMaquina[1]->setVisible(s.HasUnitAddress());
    txtMaquina[1]->setVisible(s.HasUnitAddress());
    s.loading = true;
    lstMaquina->clear();
    for (qsizetype i = 0; i < s.settings.devices.size(); ++i) {
        auto *item = new QListWidgetItem(s.DeviceItemText(int(i)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(s.settings.devices[i].active ? Qt::Checked : Qt::Unchecked);
        lstMaquina->addItem(item);
    }
    if (s.currentDevice >= 0)
        lstMaquina->setCurrentRow(s.currentDevice);
    s.loading = false;
    showDevice();

    // Grid: the fixed column is the vertical header, showing the running numbers.
    grid->setColumnHidden(kColRowNumber, true);
    grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (int c = 0; c < kSignalColumns; ++c) {
        const int width = columnWidth(c);
        if (c == kColRowNumber)
            grid->verticalHeader()->setFixedWidth(width);
        else
            grid->setColumnWidth(c, width);
    }
    txtEdit->setFont(grid->font());
    txtEdit->clear();
    txtEdit->hide();
    const GridCell current = s.current();
    m_syncing = true;
    grid->setCurrentIndex(viewIndex(current.row, current.column));
    m_syncing = false;

    buildMenus();
    TabStrip1->setCurrentIndex(0);
    lblHelp->setText(s.ChooseTab(0));
    txtIp->setFocus();
    s.tableChanged = false;
    s.settingsChanged = false;
}

int fConfKorvaneEIB::columnWidth(int column) const
{
    // The widths of the grid are given for a small dialog font; a column is widened to the texts
    // of one device's block (and its title) so that the short columns show their texts whole. The
    // long text columns keep their width and show the whole text as a tool tip.
    const SignalTableModel &model = m_session->grid;
    int width = model.columnWidthPixels(column);
    if (column == kColDescription || column == kColFurtherAddresses)
        return width;
    const QFontMetrics fm = grid->fontMetrics();
    const int padding = 2 * grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 10;
    if (column == kColRowNumber)
        return std::max(width, fm.horizontalAdvance(QString::number(model.gridRowCount())) + padding);
    width = std::max(width, grid->horizontalHeader()->fontMetrics().horizontalAdvance(
                                model.headerData(column, Qt::Horizontal).toString())
                                + padding + 6);
    if (column == kColAddress)
        return std::max(width, fm.horizontalAdvance(QStringLiteral("15/7/255")) + padding);
    if (column >= kColR && column <= kColU)
        return std::max(width, fm.horizontalAdvance(QStringLiteral("U2")) + padding);
    const int blockRows = std::min(model.gridRowCount() - 1, 1 + InfoOf(m_session->machineType).rowsPerDevice);
    for (int r = 1; r <= blockRows; ++r)
        width = std::max(width, fm.horizontalAdvance(model.cell(r, column)) + padding);
    if (column == kColYesNo) {
        for (const QString &text : m_session->YesNoPopupItems())
            width = std::max(width, fm.horizontalAdvance(text) + padding);
    }
    return width;
}

void fConfKorvaneEIB::showDevice()
{
    static const SettingsField fields[] = {SettingsField::MachineSys, SettingsField::MachineUni,
                                           SettingsField::MachineName};
    for (size_t i = 0; i < txtMaquina.size(); ++i)
        txtMaquina[i]->setText(m_session->FieldText(fields[i]));
}

QLineEdit *fConfKorvaneEIB::field(SettingsField f) const
{
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        if (it.value() == f)
            return it.key();
    }
    return nullptr;
}

// ---- Grid ----------------------------------------------------------------------------------------

QModelIndex fConfKorvaneEIB::viewIndex(int row, int column) const
{
    return m_visible->index(m_visible->viewRowOf(row), column);
}

void fConfKorvaneEIB::goToCell(const GridCell &cell)
{
    const QModelIndex index = viewIndex(cell.row, cell.column);
    if (!index.isValid())
        return;
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    grid->scrollTo(index);
}

void fConfKorvaneEIB::CommitEdit()
{
    if (txtEdit->isHidden())
        return;
    const QString text = txtEdit->text();
    hideEditBox();
    m_session->CommitEdit(text);
}

void fConfKorvaneEIB::hideEditBox()
{
    // Hiding the focused box would pass the focus on by a Tab to the grid, which moves its cell.
    if (txtEdit->hasFocus())
        txtEdit->clearFocus();
    txtEdit->hide();
}

void fConfKorvaneEIB::onCurrentChanged(const QModelIndex &current)
{
    if (!current.isValid())
        return;
    const int row = m_visible->tableRowOf(current.row());
    if (m_syncing) {
        m_session->SetCurrentQuietly(row, current.column());
        return;
    }
    CommitEdit();
    const QString help = m_session->GoToCell(row, current.column());
    if (!m_ctx.GridBusy)
        lblHelp->setText(help);
    syncSelection();
}

void fConfKorvaneEIB::syncSelection()
{
    const QItemSelection selection = grid->selectionModel()->selection();
    const GridCell current = m_session->current();
    if (selection.isEmpty()) {
        m_session->SetSelection(current.row, current.row, current.column, current.column);
        return;
    }
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QItemSelectionRange &range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    m_session->SetSelection(m_visible->tableRowOf(top), m_visible->tableRowOf(bottom), left, right);
}

void fConfKorvaneEIB::syncCurrentFromView()
{
    const QModelIndex current = grid->currentIndex();
    if (current.isValid())
        m_session->SetCurrentQuietly(m_visible->tableRowOf(current.row()), current.column());
    syncSelection();
}

void fConfKorvaneEIB::keepCurrentInView()
{
    syncCurrentFromView();
    if (grid->currentIndex().isValid())
        grid->scrollTo(grid->currentIndex());
}

bool fConfKorvaneEIB::gridKeyPress(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    QChar key;
    switch (event->key()) {
    case Qt::Key_Tab:
        key = QLatin1Char('\t');
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = QLatin1Char('\r');
        break;
    case Qt::Key_F2:
        key = QLatin1Char('\r');
        break;
    case Qt::Key_Escape:
        return false;
    default: {
        const QString text = event->text();
        if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        key = text.front();
        if (key.unicode() < 32 && key != QLatin1Char('\b'))
            return false;
        break;
    }
    }
    if (m_ctx.GridBusy)
        return true;
    switch (m_session->GridKeyPress(key)) {
    case GridKey::Edit:
        startEdit(key);
        break;
    case GridKey::MoveNext:
        goToCell(m_session->NextCell(true));
        break;
    case GridKey::Stored:
    case GridKey::Ignored:
        break;
    }
    return true;
}

void fConfKorvaneEIB::startEdit(QChar key)
{
    GridCell moveTo;
    const EditStart start = m_session->BeginEdit(key, &moveTo);
    if (!start.show) {
        goToCell(moveTo);
        return;
    }
    const GridCell current = m_session->current();
    const QModelIndex index = viewIndex(current.row, current.column);
    if (!index.isValid())
        return;
    grid->scrollTo(index);
    txtEdit->setGeometry(grid->visualRect(index));
    txtEdit->setAlignment(start.alignment | Qt::AlignVCenter);
    txtEdit->setText(start.text);
    if (start.selectAll)
        txtEdit->selectAll();
    else
        txtEdit->setCursorPosition(int(start.text.size()));
    txtEdit->show();
    txtEdit->setFocus(Qt::OtherFocusReason);
}

bool fConfKorvaneEIB::editBoxKeyPress(QKeyEvent *event)
{
    const GridCell current = m_session->current();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        grid->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Escape:
        hideEditBox();
        grid->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        grid->setFocus(Qt::OtherFocusReason);
        const int row = m_session->RowAfterMove(event->key() == Qt::Key_Up ? -1 : 1);
        goToCell({row, current.column});
        return true;
    }
    case Qt::Key_Tab: {
        const GridCell next = m_session->NextCell(false);
        grid->setFocus(Qt::OtherFocusReason);
        txtEdit->clear();
        goToCell(next);
        return true;
    }
    case Qt::Key_Backtab:
        grid->setFocus(Qt::OtherFocusReason);
        return true;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QChar typed = text.front();
    if (typed.unicode() < 32 && typed != QLatin1Char('\b'))
        return false;
    QChar key = typed;
    if (!m_session->FilterKey(current.column, key))
        return true;
    if (key != typed) {
        txtEdit->insert(QString(key));
        return true;
    }
    return false;
}

void fConfKorvaneEIB::onGridDoubleClicked(const QModelIndex &index)
{
    if (m_ctx.GridBusy || !index.isValid())
        return;
    const int row = m_visible->tableRowOf(index.row());
    m_syncing = true;
    const bool edit = m_session->DoubleClickCell(row, index.column());
    m_syncing = false;
    keepCurrentInView();
    if (edit)
        startEdit(QLatin1Char('\r'));
}

void fConfKorvaneEIB::onRightPressed(const QModelIndex &index, const QPoint &globalPos)
{
    if (m_ctx.GridBusy || !index.isValid())
        return;
    const int row = m_visible->tableRowOf(index.row());
    const int column = index.column();
    const bool severalRows = !m_session->SelectionIsOneRow();
    GridCell cell;
    const GridPopup popup = m_session->RightClick(row, column, &cell);
    const QModelIndex target = viewIndex(cell.row, cell.column);
    if (target.isValid()) {
        const bool keepSelection = popup != GridPopup::Code && popup != GridPopup::Eis && popup != GridPopup::None
                                   && severalRows;
        grid->selectionModel()->setCurrentIndex(
            target, keepSelection ? QItemSelectionModel::NoUpdate : QItemSelectionModel::ClearAndSelect);
        syncSelection();
    }
    const QPoint at = globalPos + kPopupOffset;
    switch (popup) {
    case GridPopup::Code: {
        const bool bits = m_session->CodePopupShowsBits();
        mnuCodShowBits->menuAction()->setVisible(bits);
        mnuCodSeparator->setVisible(bits);
        popmnuCod->popup(at);
        break;
    }
    case GridPopup::Eis:
        popmnuEIS->popup(at);
        break;
    case GridPopup::Flags: {
        const QStringList items = m_session->FlagPopupItems();
        for (size_t i = 0; i < mnuRWTU.size(); ++i) {
            // An empty choice still needs a line of its own in the menu.
            const QString caption = items.value(qsizetype(i));
            mnuRWTU[i]->setText(caption.isEmpty() ? QStringLiteral(" ") : caption);
        }
        mnuRWTU[2]->setVisible(m_session->popupColumn == kColU);
        popmnuRWTU->popup(at);
        break;
    }
    case GridPopup::YesNo:
        popmnuSiNo->popup(at);
        break;
    case GridPopup::None:
        break;
    }
}

void fConfKorvaneEIB::sortBy(int column)
{
    if (m_ctx.GridBusy)
        return;
    CommitEdit();
    m_syncing = true;
    m_session->SortByColumn(column);
    const QModelIndex current = grid->currentIndex();
    if (current.isValid())
        grid->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
    keepCurrentInView();
}

void fConfKorvaneEIB::copySelection()
{
    QGuiApplication::clipboard()->setText(m_session->SelectionText());
}

// ---- Events -------------------------------------------------------------------------------------

bool fConfKorvaneEIB::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtEdit) {
        if (event->type() == QEvent::KeyPress)
            return editBoxKeyPress(static_cast<QKeyEvent *>(event));
        return false;
    }
    if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
        const auto it = m_fields.constFind(edit);
        if (it != m_fields.constEnd())
            return settingsFieldEvent(edit, it.value(), event);
        return false;
    }
    if (event->type() == QEvent::FocusIn && !isWindowFocusChange(event)) {
        if (watched == lstMaquina)
            lblHelp->setText(m_session->DeviceListHelp());
        else if (watched == chkUpdateOnResetoErrEIB)
            lblHelp->setText(m_session->UpdateOnResetHelp());
    }
    if (watched == chkUpdateOnResetoErrEIB && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab
            && key->key() != Qt::Key_Escape)
            m_session->SettingsTyped();
    }
    return QDialog::eventFilter(watched, event);
}

bool fConfKorvaneEIB::settingsFieldEvent(QLineEdit *edit, SettingsField f, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!isWindowFocusChange(event))
            lblHelp->setText(m_session->FieldHelp(f));
        return false;
    case QEvent::FocusOut: {
        if (isWindowFocusChange(event))
            return false;
        const FieldCheck check = m_session->LeaveField(f, edit->text());
        if (check.beep)
            QApplication::beep();
        if (edit->text() != check.text)
            edit->setText(check.text);
        return false;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab moves on and Escape closes the window: neither is typed into the field.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape
            || key->text().isEmpty())
            return false;
        m_session->SettingsTyped();
        const bool deviceField =
            f == SettingsField::MachineSys || f == SettingsField::MachineUni || f == SettingsField::MachineName;
        if (deviceField && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            const SettingsField next = m_session->NextDeviceField(f);
            if (QLineEdit *target = field(next))
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
    CommitEdit();
    const AcceptOutcome outcome = m_session->Accept(processEvents);
    if (!grid->currentIndex().isValid()) {
        // Blank rows went: the view starts again from the session's cell.
        const GridCell current = m_session->current();
        m_syncing = true;
        grid->setCurrentIndex(viewIndex(current.row, current.column));
        m_syncing = false;
    }
    syncCurrentFromView();
    switch (outcome.stop) {
    case AcceptOutcome::Validation:
    case AcceptOutcome::Code:
        TabStrip1->setCurrentIndex(1);
        goToCell(outcome.cell);
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
    CommitEdit();
    if (m_session->GenerateFromEditor(processEvents))
        cmdTarveon->setEnabled(false);
}

void fConfKorvaneEIB::cmdElementos_Click()
{
    CommitEdit();
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
    CommitEdit();
    if (!m_session->QueryClose())
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
