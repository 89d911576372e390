#include "tools/ui/MonitorWindow.h"

#include "app/AppContext.h"
#include "app/WindowLayout.h"
#include "tools/ui/fTestEIB.h"
#include "tools/ui/fTestExterno.h"
#include "tools/ui/fTestTarveonZDM.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>

namespace tarveon {

namespace {

// Measures of the window, in twips.
constexpr int kListLeft = 150;        // the list's left edge
constexpr int kRightMargin = 300;     // inner width the list leaves free
constexpr int kBottomStrip = 450;     // strip under the list for the check boxes and cmdClear
constexpr int kTopStrip = 480;        // strip over the list for the filter and the pause
constexpr int kControlGap = 150;
constexpr int kWindowWidth = 7000;   // a new window's size
constexpr int kWindowHeight = 4000;
// Shortest time between two drawings of a list that receives lines, in milliseconds.
constexpr int kRepaintMs = 40;

// The external monitor's list scrolls horizontally over 4500 pixels, whatever its lines; the
// others show each line in the list's width, the full text in the entry's tool tip.
class MonitorItemDelegate : public QStyledItemDelegate {
public:
    MonitorItemDelegate(int extent, QObject *parent) : QStyledItemDelegate(parent), m_extent(extent) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(m_extent);
        return size;
    }

private:
    int m_extent;
};

} // namespace

MonitorWindow::MonitorWindow(AppContext &ctx, MonitorKind kind, LinkCommands *link, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_core(ctx, kind, link)
{
    lstTramas = new QListView(this);
    lstTramas->setObjectName(QStringLiteral("lstTramas"));
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8.25);
    lstTramas->setFont(font);
    lstTramas->setUniformItemSizes(true);
    lstTramas->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTramas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTramas->setTextElideMode(Qt::ElideNone);
    lstTramas->setItemDelegate(new MonitorItemDelegate(kind == MonitorKind::External ? 4500 : 1, lstTramas));
    lstTramas->setHorizontalScrollBarPolicy(kind == MonitorKind::External ? Qt::ScrollBarAsNeeded
                                                                          : Qt::ScrollBarAlwaysOff);
    lstTramas->setModel(&m_core.lines());
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

    txtFiltro = new QLineEdit(this);
    txtFiltro->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro->setPlaceholderText(ctx.GetText(QStringLiteral("X302")));
    txtFiltro->setToolTip(ctx.GetText(QStringLiteral("X303")));
    txtFiltro->setClearButtonEnabled(true);
    chkPausa = new QCheckBox(ctx.GetText(QStringLiteral("X304")), this);
    chkPausa->setObjectName(QStringLiteral("chkPausa"));
    chkPausa->setToolTip(ctx.GetText(QStringLiteral("X305")));

    // Form_Load: bus shown, newest line followed, no log file.
    chkBus->setChecked(true);
    chkUltimo->setChecked(true);
    chkLog->setChecked(false);
    m_core.Load();

    // Check boxes act on every change of their value, the program's own included (the main
    // window unchecks chkLog before the project changes; an upload unchecks chkBus).
    connect(chkBus, &QCheckBox::toggled, this, [this](bool on) { m_core.chkBus_Click(on); });
    connect(chkLog, &QCheckBox::toggled, this, &MonitorWindow::chkLog_Click);
    connect(chkUltimo, &QCheckBox::toggled, this, [this](bool on) {
        m_core.setShowLast(on);
        if (!on)
            m_followPending = false;
    });
    connect(cmdClear, &QPushButton::clicked, this, [this] { m_core.Clear(); });
    connect(txtFiltro, &QLineEdit::textChanged, this, [this](const QString &text) { m_core.setFilter(text); });
    connect(chkPausa, &QCheckBox::toggled, this, [this](bool on) { m_core.setPaused(on); });
    connect(&m_core, &MonitorCore::showRequested, this, &MonitorWindow::makeVisible);
    connect(&m_core, &MonitorCore::lineAdded, this, &MonitorWindow::followLine);
    if (kind != MonitorKind::Eib)
        connect(lstTramas, &QListView::doubleClicked, this, &MonitorWindow::copyEntry);

    resize(sizeHint());
    layoutControls();
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
        m_core.Unload();
}

void MonitorWindow::makeVisible()
{
    if (isHidden())
        show();
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && frame->isHidden())
        frame->show();
}

void MonitorWindow::followLine(int row)
{
    Q_UNUSED(row); // the newest line is always the last row by the time the list is drawn
    if (m_core.showLast())
        m_followPending = true;
    if (!m_repaintTimer.isActive()) {
        lstTramas->setUpdatesEnabled(false);
        m_repaintTimer.start();
    }
}

void MonitorWindow::drawBurst()
{
    if (m_followPending) {
        m_followPending = false;
        const int last = m_core.lines().count() - 1;
        if (last >= 0) {
            const QModelIndex newest = m_core.lines().index(last);
            lstTramas->selectionModel()->setCurrentIndex(newest, QItemSelectionModel::ClearAndSelect);
            lstTramas->scrollTo(newest);
        }
    }
    lstTramas->setUpdatesEnabled(true);
}

void MonitorWindow::chkLog_Click(bool checked)
{
    if (checked) {
        if (!m_core.StartLog())
            chkLog->setChecked(false);
    } else {
        m_core.StopLog();
    }
}

bool MonitorWindow::switchBusOff()
{
    if (!chkBus->isChecked())
        return false;
    chkBus->setChecked(false);
    return true;
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
    m_core.Unload();
    event->accept();
}

void MonitorWindow::copyAll()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    const QString text = m_core.AllText();
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
    clipboard->setText(m_core.lines().line(index.row()));
}

void MonitorWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    copyAll();
    event->accept();
}

void MonitorWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void MonitorWindow::layoutControls()
{
    if (isMinimized())
        return;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && frame->isMinimized())
        return;
    const int left = twipsToPixels(kListLeft);
    const int top = twipsToPixels(kTopStrip);
    const int listWidth = width() - twipsToPixels(kRightMargin);
    const int listHeight = height() - twipsToPixels(kBottomStrip) - top;
    // No room: the list keeps its place and size.
    if (listWidth <= 0 || listHeight <= 0)
        return;
    lstTramas->setGeometry(left, top, listWidth, listHeight);

    const int gap = twipsToPixels(kControlGap);
    // Over the list: the filter takes what the pause leaves.
    const int pauseWidth = chkPausa->sizeHint().width();
    const int topRow = qMax(txtFiltro->sizeHint().height(), chkPausa->sizeHint().height());
    const int topY = (top - topRow) / 2;
    chkPausa->setGeometry(left + listWidth - pauseWidth, topY, pauseWidth, topRow);
    txtFiltro->setGeometry(left, topY, qMax(0, listWidth - pauseWidth - gap), topRow);

    // Under the list: the check boxes, then cmdClear, in one row.
    const int strip = twipsToPixels(kBottomStrip);
    const int stripTop = top + listHeight;
    int x = left;
    for (QWidget *w : {static_cast<QWidget *>(chkBus), static_cast<QWidget *>(chkLog),
                       static_cast<QWidget *>(chkUltimo)}) {
        const QSize hint = w->sizeHint();
        w->setGeometry(x, stripTop + (strip - hint.height()) / 2, hint.width(), hint.height());
        x += hint.width() + gap;
    }
    const QSize hint = cmdClear->sizeHint();
    const int buttonHeight = qMin(hint.height(), strip - 4);
    cmdClear->setGeometry(x, stripTop + (strip - buttonHeight) / 2, hint.width(), buttonHeight);
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
