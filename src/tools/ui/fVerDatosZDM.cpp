#include "tools/ui/fVerDatosZDM.h"

#include "app/AppContext.h"
#include "link/LinkCommands.h"
#include "app/WindowLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>

namespace tarveon {

namespace {

// Smallest size of the window, in twips.
constexpr int kMinWidth = 5400;
constexpr int kMinHeight = 4510;
// Size it opens with, in twips.
constexpr int kOpenWidth = 12000;
constexpr int kOpenHeight = 6600;
// Narrower than this (pixels) beside the buttons, the help text goes above them.
constexpr int kNarrowHelpWidth = 200;

// The picture of cmdCopy: two sheets, one over the other.
QIcon copyIcon()
{
    QPixmap picture(20, 20);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(2, 2, 10, 12);
    p.setBrush(Qt::white);
    p.drawRect(7, 6, 10, 12);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y = 9; y <= 15; y += 2)
        p.drawLine(9, y, 15, y);
    return QIcon(picture);
}

} // namespace

fVerDatosZDM::fVerDatosZDM(AppContext &ctx, LinkCommands *link, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_core(ctx, link)
{
    setObjectName(QStringLiteral("fVerDatosZDM"));
    setWindowTitle(ctx.GetText(QStringLiteral("X84")));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());
    setMinimumSize(twipsToPixels(kMinWidth), twipsToPixels(kMinHeight));

    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(ctx.GetText(QStringLiteral("X76")));
    TabStrip1->setTabToolTip(0, ctx.GetText(QStringLiteral("X76")));
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);

    frmTab << nullptr;
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frmTab"));
    frame->setFrameShape(QFrame::StyledPanel);
    frmTab << frame;

    grid = new QTableView(frame);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setModel(&m_core.grid());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setMinimumSectionSize(8); // the flag columns are 20 pixels wide
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The model gives the header its widths only; its height follows the font.
    grid->horizontalHeader()->setFixedHeight(grid->horizontalHeader()->fontMetrics().height() + 8);

    lblHelp = new QLabel(this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setWordWrap(true);
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblHelp->setFrameShape(QFrame::StyledPanel);
    lblHelp->setFrameShadow(QFrame::Sunken);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmdCopy = new QPushButton(Frame1);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdCopy->setIcon(copyIcon());
    cmdCopy->setIconSize(QSize(20, 20));
    cmdCopy->setToolTip(ctx.GetText(QStringLiteral("X306")));
    cmdRefrescar = new QPushButton(m_core.refreshCaption(), Frame1);
    cmdRefrescar->setObjectName(QStringLiteral("cmdRefrescar"));
    cmdCerrar = new QPushButton(ctx.GetText(QStringLiteral("X15")), Frame1);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    for (QPushButton *b : {cmdCopy, cmdRefrescar, cmdCerrar})
        b->setAutoDefault(false);

    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) { TabStrip1_Click(index + 1); });
    connect(cmdCopy, &QPushButton::clicked, this, &fVerDatosZDM::cmdCopy_Click);
    connect(cmdRefrescar, &QPushButton::clicked, this, &fVerDatosZDM::cmdRefrescar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, [this] {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            frame->close();
        else
            close();
    });
    connect(&m_core, &SignalViewerCore::pollingChanged, this,
            [this] { cmdRefrescar->setText(m_core.refreshCaption()); });
    connect(grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        m_core.WriteValue(SignalTableModel::tableRow(index.row()));
    });
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        const auto [first, last] = visibleRows();
        m_core.RefreshRows(first, last);
    });
    m_core.visibleRows = [this] { return visibleRows(); };
    // Entering a cell shows its column's help.
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            lblHelp->setText(m_core.columns()[size_t(current.column())].Help);
    });

    // Form_Load: captions, the refresh timer, the first tab, the grid.
    m_currentTab = 1;
    resize(sizeHint());
    Datos_Carga();
    TabStrip1_Click(1);
}

fVerDatosZDM::~fVerDatosZDM()
{
    m_core.visibleRows = nullptr;
}

QSize fVerDatosZDM::sizeHint() const
{
    return QSize(twipsToPixels(kOpenWidth), twipsToPixels(kOpenHeight));
}

void fVerDatosZDM::Datos_Carga()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_core.Datos_Carga();
    applyColumnWidths();
    QApplication::restoreOverrideCursor();
}

void fVerDatosZDM::applyColumnWidths()
{
    for (int c = 0; c < kSignalColumns; ++c)
        grid->setColumnWidth(c, m_core.grid().columnWidthPixels(c));
}

std::pair<int, int> fVerDatosZDM::visibleRows() const
{
    const int rows = grid->model()->rowCount();
    if (rows == 0)
        return {1, 0};
    int top = grid->rowAt(0);
    if (top < 0)
        top = 0;
    int bottom = grid->rowAt(grid->viewport()->height() - 1);
    if (bottom < 0)
        bottom = rows - 1;
    return {SignalTableModel::tableRow(top), SignalTableModel::tableRow(bottom)};
}

void fVerDatosZDM::TabStrip1_Click(int index)
{
    if (index < 1 || index >= frmTab.size())
        return;
    if (m_currentTab >= 1 && m_currentTab < frmTab.size() && m_currentTab != index)
        frmTab[m_currentTab]->hide();
    frmTab[index]->show();
    lblHelp->setText(TabStrip1->tabToolTip(index - 1));
    m_currentTab = index;
}

void fVerDatosZDM::cmdCopy_Click()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    const QString text = m_core.CopyText();
    if (!text.isEmpty())
        clipboard->setText(text);
}

void fVerDatosZDM::cmdRefrescar_Click()
{
    m_core.cmdRefrescar_Click();
    cmdRefrescar->setText(m_core.refreshCaption());
}

void fVerDatosZDM::closeEvent(QCloseEvent *event)
{
    m_core.Timer1.stop();
    m_core.StopPolling();
    if (LinkCommands *link = m_core.link())
        link->setViewerOpen(false);
    event->accept();
}

void fVerDatosZDM::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // In the document area the frame keeps the window from getting smaller than its minimum.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->setMinimumSize(frame->size() - size() + minimumSize());
}

void fVerDatosZDM::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void fVerDatosZDM::layoutControls()
{
    const int margin = 6;
    const int w = width(), h = height();
    const int buttonHeight = cmdRefrescar->sizeHint().height();
    const int helpHeight = 2 * fontMetrics().lineSpacing() + 8;
    const int tabHeight = TabStrip1->sizeHint().height();

    // Bottom: the buttons to the right, the help text beside them; in a narrow window the help
    // text gets a row of its own above the buttons.
    int buttonsWidth = 0;
    for (QPushButton *b : {cmdCopy, cmdRefrescar, cmdCerrar})
        buttonsWidth += qMax(b->sizeHint().width(), 90) + margin;
    const bool stacked = w - 2 * margin - buttonsWidth < kNarrowHelpWidth;
    const int buttonsTop = h - margin - buttonHeight;
    const int helpTop = stacked ? buttonsTop - margin - helpHeight : h - margin - qMax(helpHeight, buttonHeight);
    const int bottomTop = qMin(helpTop, buttonsTop);
    Frame1->setGeometry(w - margin - buttonsWidth, stacked ? buttonsTop : helpTop + (qMax(helpHeight, buttonHeight) - buttonHeight) / 2,
                        buttonsWidth, buttonHeight);
    int x = 0;
    for (QPushButton *b : {cmdCopy, cmdRefrescar, cmdCerrar}) {
        const int bw = qMax(b->sizeHint().width(), 90);
        b->setGeometry(x + margin, 0, bw, buttonHeight);
        x += bw + margin;
    }
    lblHelp->setGeometry(margin, helpTop, qMax(0, stacked ? w - 2 * margin : w - 2 * margin - buttonsWidth),
                         stacked ? helpHeight : qMax(helpHeight, buttonHeight));

    TabStrip1->setGeometry(margin, margin, qMin(w - 2 * margin, TabStrip1->sizeHint().width()), tabHeight);
    const QRect frameRect(margin, margin + tabHeight, w - 2 * margin, bottomTop - margin - (margin + tabHeight));
    for (QFrame *f : frmTab) {
        if (f)
            f->setGeometry(frameRect);
    }
    if (frameRect.isValid())
        grid->setGeometry(2, 2, frameRect.width() - 4, frameRect.height() - 4);
}

} // namespace tarveon
