#include "tools/ui/MonitorWindow.h"

#include "app/AppContext.h"
#include "app/WindowLayout.h"
#include "tools/ui/fTestEIB.h"
#include "tools/ui/fTestExterno.h"
#include "tools/ui/fTestTarveonZDM.h"
#include "tools/TelegramLog.h"
#include "tools/ui/fEstadisticasEIB.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace tarveon {

namespace {

// A new window's size, in twips.
constexpr int kWindowWidth = 7000;
constexpr int kWindowHeight = 4000;
// The external monitor's list scrolls over at least this many pixels, whatever its lines.
constexpr int kExternalExtent = 4500;
// Room a line's text leaves beside it in the list, pixels.
constexpr int kTextPadding = 12;
// Shortest time between two drawings of a list that receives lines, in milliseconds.
constexpr int kRepaintMs = 40;

} // namespace

MonitorWindow::MonitorWindow(AppContext &ctx, MonitorKind kind, LinkCommands *link, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_core(ctx, kind, link)
{
    // Created in the order the user tabs through them: filter, pause, list, then the row below.
    txtFiltro = new QLineEdit(this);
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->setPlaceholderText(ctx.GetText(QStringLiteral("X302")));
    txtFiltro->setToolTip(ctx.GetText(QStringLiteral("X303")));
    txtFiltro->setClearButtonEnabled(true);
    chkPausa = new QCheckBox(ctx.GetText(QStringLiteral("X304")), this);
    chkPausa->setObjectName(QStringLiteral("chkPausa"));
    chkPausa->setToolTip(ctx.GetText(QStringLiteral("X305")));

    lstTramas = new QTreeView(this);
    lstTramas->setObjectName(QStringLiteral("lstTramas"));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8.25);
    lstTramas->setFont(font);
    lstTramas->setHeaderHidden(true);
    lstTramas->setRootIsDecorated(false);
    lstTramas->setItemsExpandable(false);
    lstTramas->setUniformRowHeights(true);
    lstTramas->setAllColumnsShowFocus(true);
    lstTramas->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTramas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTramas->setTextElideMode(Qt::ElideNone);
    lstTramas->header()->setStretchLastSection(false);
    // The EIB monitor shows each line in the list's width (the full text in its tool tip); the
    // others scroll sideways over their longest line.
    lstTramas->setHorizontalScrollBarPolicy(kind == MonitorKind::Eib ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    lstTramas->setModel(&m_core.lines());
    // Only the EIB and gateway monitors have decoded texts beside their lines.
    lstTramas->setColumnHidden(MonitorLines::DecodedColumn, kind == MonitorKind::External);
    // Under heavy traffic the list is drawn at most every kRepaintMs: it stays hidden from the
    // screen while a burst of lines changes it, and is drawn once afterwards with the newest
    // line selected and in view (selecting per line would lay the list out per line).
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(kRepaintMs);
    connect(&m_repaintTimer, &QTimer::timeout, this, &MonitorWindow::drawBurst);

    chkBus = new QCheckBox(ctx.GetText(QStringLiteral("X81")), this);
    chkBus->setObjectName(QStringLiteral("chkBus"));
    chkLog = new QCheckBox(QStringLiteral("Log to File"), this);
    chkLog->setObjectName(QStringLiteral("chkLog"));
    chkUltimo = new QCheckBox(ctx.GetText(QStringLiteral("X83")), this);
    chkUltimo->setObjectName(QStringLiteral("chkUltimo"));
    cmdClear = new QPushButton(ctx.GetText(QStringLiteral("X301")), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setAutoDefault(false);

    auto *top = new QHBoxLayout;
    top->addWidget(txtFiltro, 1);
    top->addWidget(chkPausa);
    if (kind == MonitorKind::Eib) {
        cmdExportar = new QPushButton(ctx.GetText(QStringLiteral("TLG3")), this);
        cmdExportar->setObjectName(QStringLiteral("cmdExportar"));
        cmdEstadisticas = new QPushButton(ctx.GetText(QStringLiteral("TLG4")), this);
        cmdEstadisticas->setObjectName(QStringLiteral("cmdEstadisticas"));
        for (QPushButton *b : {cmdExportar, cmdEstadisticas}) {
            b->setAutoDefault(false);
            top->addWidget(b);
        }
        connect(cmdExportar, &QPushButton::clicked, this, &MonitorWindow::exportCsv);
        connect(cmdEstadisticas, &QPushButton::clicked, this, &MonitorWindow::showStatistics);
        askCsvPath = [this](const QString &suggested) {
            return QFileDialog::getSaveFileName(this, cmdExportar->text(), suggested,
                                                m_ctx.GetText(QStringLiteral("TLG11")));
        };
    }
    m_controls = new QGridLayout;
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstTramas, 1);
    layout->addLayout(m_controls);
    arrangeControls();

    // Form_Load: bus shown, newest line followed, no log file.
    chkBus->setChecked(true);
    chkUltimo->setChecked(true);
    chkLog->setChecked(false);
    m_core.load();

    // Check boxes act on every change of their value, the program's own included (the main
    // window unchecks chkLog before the project changes; an upload unchecks chkBus).
    connect(chkBus, &QCheckBox::toggled, this, [this](bool on) { m_core.chkBus_Click(on); });
    connect(chkLog, &QCheckBox::toggled, this, &MonitorWindow::chkLog_Click);
    connect(chkUltimo, &QCheckBox::toggled, this, [this](bool on) {
        m_core.setShowLast(on);
        if (!on)
            m_followPending = false;
    });
    connect(cmdClear, &QPushButton::clicked, this, [this] { m_core.clear(); });
    connect(txtFiltro, &QLineEdit::textChanged, this, [this](const QString &text) { m_core.setFilter(text); });
    connect(chkPausa, &QCheckBox::toggled, this, [this](bool on) { m_core.setPaused(on); });
    connect(&m_core, &MonitorCore::showRequested, this, &MonitorWindow::makeVisible);
    connect(&m_core, &MonitorCore::lineAdded, this, &MonitorWindow::followLine);
    connect(&m_core, &MonitorCore::logAbandoned, this, [this] { chkLog->setChecked(false); });
    if (kind != MonitorKind::Eib)
        connect(lstTramas, &QTreeView::doubleClicked, this, &MonitorWindow::copyEntry);

    resize(sizeHint());
}

QSize MonitorWindow::sizeHint() const
{
    return QSize(twipsToPixels(kWindowWidth), twipsToPixels(kWindowHeight));
}

MonitorWindow::~MonitorWindow()
{
    // Discarded without being closed (the program ends): the flags still follow, the log file
    // is closed by the core with its stop marker; the link may be gone, so nothing is sent.
    m_core.disconnect(this);
    m_core.setLink(nullptr);
    if (m_core.loaded())
        m_core.unload();
}

int MonitorWindow::controlsWidth(int columns) const
{
    QWidget *const controls[4] = {chkBus, chkLog, chkUltimo, cmdClear};
    int widest = 0;
    for (int row = 0; row < 4 / columns; ++row) {
        int width = 0;
        for (int c = 0; c < columns; ++c)
            width += controls[row * columns + c]->sizeHint().width();
        widest = qMax(widest, width);
    }
    const QMargins margins = layout()->contentsMargins();
    return widest + (columns - 1) * qMax(0, m_controls->horizontalSpacing()) + margins.left() + margins.right();
}

QSize MonitorWindow::minimumSizeHint() const
{
    // Narrow enough for two rows of controls: a tiled window keeps every control whole.
    return QSize(controlsWidth(2), QWidget::minimumSizeHint().height());
}

void MonitorWindow::arrangeControls()
{
    // One row under the list when it fits, else two rows of two.
    QWidget *const controls[4] = {chkBus, chkLog, chkUltimo, cmdClear};
    const int columns = width() >= controlsWidth(4) ? 4 : 2;
    if (columns == m_controlColumns)
        return;
    m_controlColumns = columns;
    for (int i = 0; i < 4; ++i) {
        m_controls->removeWidget(controls[i]);
        m_controls->addWidget(controls[i], i / columns, i % columns);
    }
    // The room right of the controls stays free (a double click there copies the list).
    m_controls->setColumnStretch(2, columns == 2 ? 1 : 0);
    m_controls->setColumnStretch(4, columns == 4 ? 1 : 0);
    layout()->activate();
}

void MonitorWindow::fitTextWidth()
{
    const QString &longest = m_core.lines().longestText();
    int width = longest.isEmpty() ? 0 : lstTramas->fontMetrics().horizontalAdvance(longest) + kTextPadding;
    const int room = lstTramas->viewport()->width();
    if (kind() == MonitorKind::Eib) {
        // The frame and its decoded text side by side in the list's width (full texts in the tool
        // tips): the frame at most half of it.
        width = qMin(width, room / 2);
        lstTramas->setColumnWidth(MonitorLines::TextColumn, width);
        lstTramas->setColumnWidth(MonitorLines::DecodedColumn, qMax(0, room - width));
        return;
    }
    if (kind() == MonitorKind::External) {
        lstTramas->setColumnWidth(MonitorLines::TextColumn, qMax(qMax(width, kExternalExtent), room));
        return;
    }
    // The gateway monitor: the decoded text of a "GP:" report after the longest line.
    const QString &decoded = m_core.lines().longestDecoded();
    const int decodedWidth = decoded.isEmpty() ? 0 : lstTramas->fontMetrics().horizontalAdvance(decoded) + kTextPadding;
    lstTramas->setColumnWidth(MonitorLines::TextColumn, width);
    lstTramas->setColumnWidth(MonitorLines::DecodedColumn, qMax(room - width, decodedWidth));
}

void MonitorWindow::exportCsv()
{
    TelegramLog *log = m_core.telegrams();
    if (!log || !askCsvPath)
        return;
    const QString suggested = m_ctx.ProjectDir.isEmpty() ? QString() : m_ctx.ProjectDir + QStringLiteral("/BUS_EIB.csv");
    const QString path = askCsvPath(suggested);
    if (path.isEmpty())
        return;
    QString error;
    if (!log->saveCsv(path, &error))
        m_ctx.notice(m_ctx.GetText(QStringLiteral("TLG12")) + path + QLatin1Char('\n') + error);
}

fEstadisticasEIB *MonitorWindow::showStatistics()
{
    TelegramLog *log = m_core.telegrams();
    if (!log)
        return nullptr;
    if (!m_statistics) {
        m_statistics = new fEstadisticasEIB(m_ctx, *log, this);
        m_statistics->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_statistics->refresh();
    m_statistics->show();
    m_statistics->raise();
    m_statistics->activateWindow();
    return m_statistics;
}

void MonitorWindow::makeVisible()
{
    if (isHidden())
        show();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && frame->isHidden())
        frame->show();
}

void MonitorWindow::followLine()
{
    if (m_core.showLast())
        m_followPending = true;
    if (!m_repaintTimer.isActive()) {
        lstTramas->setUpdatesEnabled(false);
        m_repaintTimer.start();
    }
}

void MonitorWindow::drawBurst()
{
    fitTextWidth();
    if (m_followPending) {
        m_followPending = false;
        const int last = m_core.lines().count() - 1;
        if (last >= 0) {
            const QModelIndex newest = m_core.lines().index(last, MonitorLines::TextColumn);
            lstTramas->selectionModel()->setCurrentIndex(newest, QItemSelectionModel::ClearAndSelect);
            // Down to the newest line, without moving sideways.
            const int across = lstTramas->horizontalScrollBar()->value();
            lstTramas->scrollTo(newest);
            lstTramas->horizontalScrollBar()->setValue(across);
        }
    }
    lstTramas->setUpdatesEnabled(true);
}

void MonitorWindow::chkLog_Click(bool checked)
{
    if (checked) {
        if (!m_core.startLog())
            chkLog->setChecked(false);
    } else {
        m_core.stopLog();
    }
}

bool MonitorWindow::switchBusOff()
{
    if (!chkBus->isChecked())
        return false;
    chkBus->setChecked(false);
    return true;
}

void MonitorWindow::stopLogging()
{
    chkLog->setChecked(false);
}

void MonitorWindow::closeByProgram()
{
    m_programClose = true;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

void MonitorWindow::closeEvent(QCloseEvent *event)
{
    if (kind() == MonitorKind::Gateway && !m_programClose) {
        event->ignore();
        return;
    }
    m_core.unload();
    event->accept();
}

void MonitorWindow::copyAll()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    const QString text = m_core.allText();
    if (!text.isEmpty())
        clipboard->setText(text);
}

void MonitorWindow::copyEntry(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setText(m_core.lines().line(index.row()).text);
}

void MonitorWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    copyAll();
    event->accept();
}

void MonitorWindow::focusInEvent(QFocusEvent *event)
{
    // A monitor brought forward has its list in hand.
    lstTramas->setFocus(event->reason());
}

void MonitorWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrangeControls();
    fitTextWidth();
}

fTestEIB::fTestEIB(AppContext &ctx, LinkCommands *link, QWidget *parent)
    : MonitorWindow(ctx, MonitorKind::Eib, link, parent)
{
    setObjectName(QStringLiteral("fTestEIB"));
    setWindowTitle(QStringLiteral("Bus EIB"));
}

fTestExterno::fTestExterno(AppContext &ctx, LinkCommands *link, QWidget *parent)
    : MonitorWindow(ctx, MonitorKind::External, link, parent)
{
    setObjectName(QStringLiteral("fTestExterno"));
    setWindowTitle(QStringLiteral("Bus TR-BAS-HUB"));
}

fTestTarveonZDM::fTestTarveonZDM(AppContext &ctx, LinkCommands *link, QWidget *parent)
    : MonitorWindow(ctx, MonitorKind::Gateway, link, parent)
{
    setObjectName(QStringLiteral("fTestTarveonZDM"));
    setWindowTitle(ctx.GetText(QStringLiteral("A21")));
}

} // namespace tarveon
