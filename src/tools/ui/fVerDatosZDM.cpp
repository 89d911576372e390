#include "tools/ui/fVerDatosZDM.h"

#include "app/AppContext.h"
#include "link/LinkCommands.h"
#include "app/WindowLayout.h"
#include "tools/ui/fWriteValue.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>
#include <QStyle>

namespace tarveon {

namespace {

// Smallest size of the window, in twips.
constexpr int kMinWidth = 5400;
constexpr int kMinHeight = 4510;
// Height it opens with, in twips; its width shows every column.
constexpr int kOpenHeight = 6600;
// The widest value the Value column shows whole: eight digits and a sign.
const QString kWidestValue = QStringLiteral("-88888888");

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

// The Value column: the number, then what it means ("1 Cool", "23.4 °C"); the cell's own text,
// which the copy takes, stays the number.
class ValueDelegate : public QStyledItemDelegate {
public:
    ValueDelegate(const SignalViewerCore &core, QObject *parent) : QStyledItemDelegate(parent), m_core(core) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString meaning = m_core.valueMeaning(SignalTableModel::tableRow(index.row()));
        if (!meaning.isEmpty() && !option->text.isEmpty())
            option->text += QLatin1Char(' ') + meaning;
    }

private:
    const SignalViewerCore &m_core;
};

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
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(grid);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setModel(&m_core.grid());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false); // Tab goes on to the buttons; the arrows move in the grid
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
    auto *buttons = new QHBoxLayout(Frame1);
    buttons->setContentsMargins(0, 0, 0, 0);
    cmdCopy = new QPushButton(Frame1);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdCopy->setIcon(copyIcon());
    cmdCopy->setIconSize(QSize(20, 20));
    cmdCopy->setToolTip(ctx.GetText(QStringLiteral("X306")));
    cmdRefrescar = new QPushButton(m_core.refreshCaption(), Frame1);
    cmdRefrescar->setObjectName(QStringLiteral("cmdRefrescar"));
    cmdCerrar = new QPushButton(ctx.GetText(QStringLiteral("X15")), Frame1);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    for (QPushButton *b : {cmdCopy, cmdRefrescar, cmdCerrar}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }

    // The tab over its frame; under it the help text and, to its right, the buttons.
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblHelp, 1);
    bottom->addWidget(Frame1, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(TabStrip1, 0, Qt::AlignLeft);
    layout->addWidget(frame, 1);
    layout->addSpacing(6);
    layout->addLayout(bottom);
    lblHelp->setMinimumHeight(2 * lblHelp->fontMetrics().lineSpacing() + 8);

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
        m_core.writeValue(SignalTableModel::tableRow(index.row()));
    });
    grid->setItemDelegateForColumn(kColYesNo, new ValueDelegate(m_core, grid));
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        // The current cell: a right click makes its cell current, the menu key keeps it.
        const QModelIndex index = grid->currentIndex();
        const int row = index.isValid() ? SignalTableModel::tableRow(index.row()) : 0;
        if (!m_core.writeChoices(row))
            return;
        QMenu menu(this);
        menu.addAction(m_ctx.GetText(QStringLiteral("TLG13")), this, [this, row] { writeValueDialog(row); });
        menu.exec(grid->viewport()->mapToGlobal(at));
    });
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        const auto [first, last] = visibleRows();
        m_core.refreshRows(first, last);
    });
    m_core.visibleRows = [this] { return visibleRows(); };
    // Entering a cell shows its column's help.
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            lblHelp->setText(m_core.columns()[size_t(current.column())].Help);
    });

    // Form_Load: captions, the refresh timer, the first tab, the grid.
    m_currentTab = 1;
    Datos_Carga();
    TabStrip1_Click(1);
    resize(sizeHint());
}

fVerDatosZDM::~fVerDatosZDM()
{
    m_core.visibleRows = nullptr;
}

QSize fVerDatosZDM::sizeHint() const
{
    // Every column in view, the Value column included, beside the vertical scroll bar.
    int columns = 0;
    for (int c = 0; c < kSignalColumns; ++c)
        columns += grid->columnWidth(c);
    const QMargins outer = layout()->contentsMargins();
    const int chrome = outer.left() + outer.right() + 2 * 2 + 2 * grid->frameWidth() + 2 * frmTab[1]->frameWidth()
                     + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    return QSize(qMax(columns + chrome, minimumWidth()), qMax(twipsToPixels(kOpenHeight), minimumHeight()));
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
    // Wide enough for a value of eight digits.
    const int widest = qMax(grid->fontMetrics().horizontalAdvance(kWidestValue),
                            grid->fontMetrics().horizontalAdvance(m_core.widestMeaningText()))
                     + 2 * grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    grid->setColumnWidth(kColYesNo, qMax(grid->columnWidth(kColYesNo), widest));
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
    const QString text = m_core.copyText();
    if (!text.isEmpty())
        clipboard->setText(text);
}

void fVerDatosZDM::writeValueDialog(int row)
{
    const std::optional<WriteChoices> choices = m_core.writeChoices(row);
    if (!choices)
        return;
    fWriteValue dialog(m_ctx, *choices, this);
    if (dialog.exec() == QDialog::Accepted)
        m_core.sendValue(row, dialog.value());
}

void fVerDatosZDM::cmdRefrescar_Click()
{
    m_core.cmdRefrescar_Click();
    cmdRefrescar->setText(m_core.refreshCaption());
}

void fVerDatosZDM::closeEvent(QCloseEvent *event)
{
    m_core.Timer1.stop();
    m_core.stopPolling();
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

} // namespace tarveon
