#include "tools/ui/fVerDatosZDM.h"

#include "app/AppContext.h"
#include "app/WindowLayout.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>

namespace tarveon {

namespace {

// Smallest size of the window, in twips.
constexpr int kMinWidth = 5400;
constexpr int kMinHeight = 4510;

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
    cmdCopy->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    cmdCopy->setToolTip(QStringLiteral("Copy"));
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
    resize(twipsToPixels(11000), twipsToPixels(6000));
    Datos_Carga();
    TabStrip1_Click(1);
}

fVerDatosZDM::~fVerDatosZDM()
{
    m_core.visibleRows = nullptr;
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
    m_ctx.ViewerOpen = false;
    event->accept();
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

    // Bottom: the buttons to the right, the help text beside them.
    int buttonsWidth = 0;
    for (QPushButton *b : {cmdCopy, cmdRefrescar, cmdCerrar})
        buttonsWidth += qMax(b->sizeHint().width(), 90) + margin;
    const int bottomHeight = qMax(helpHeight, buttonHeight);
    const int bottomTop = h - margin - bottomHeight;
    Frame1->setGeometry(w - margin - buttonsWidth, bottomTop + (bottomHeight - buttonHeight) / 2, buttonsWidth,
                        buttonHeight);
    int x = 0;
    for (QPushButton *b : {cmdCopy, cmdRefrescar, cmdCerrar}) {
        const int bw = qMax(b->sizeHint().width(), 90);
        b->setGeometry(x + margin, 0, bw, buttonHeight);
        x += bw + margin;
    }
    lblHelp->setGeometry(margin, bottomTop, qMax(0, w - 2 * margin - buttonsWidth), bottomHeight);

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
