#include "editor/ui/SignalGridPage.h"

#include "app/AppContext.h"
#include "editor/EditorSession.h"
#include "editor/ui/SignalGridView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace tarveon {

namespace {

// Pop-ups open a little below and right of the pointer.
const QPoint kPopupOffset(6, 6);

} // namespace

SignalGridPage::SignalGridPage(AppContext &ctx, EditorSession &session, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_session(session), m_controller(session.grid())
{
    grid = new SignalGridView(this);
    grid->setObjectName(QStringLiteral("grid"));
    m_delegate = new GridEditDelegate(m_controller, grid);
    grid->setItemDelegate(m_delegate);
    m_delegate->deviceName = [this](int device) { return m_session.deviceName(device); };

    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(ctx.GetText(QStringLiteral("PL15")));
    txtFilter->setClearButtonEnabled(true);
    txtFilter->installEventFilter(this);
    chkInUse = new QCheckBox(ctx.GetText(QStringLiteral("PL16")), this);
    chkInUse->setObjectName(QStringLiteral("chkInUse"));
    chkInUse->installEventFilter(this);
    auto *findLabel = new QLabel(ctx.GetText(QStringLiteral("PL14")), this);
    findLabel->setBuddy(txtFilter);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(findLabel);
    filterRow->addWidget(txtFilter, 1);
    filterRow->addWidget(chkInUse);
    connect(txtFilter, &QLineEdit::textChanged, this, &SignalGridPage::filterEdited);
    connect(chkInUse, &QCheckBox::toggled, this, &SignalGridPage::filterEdited);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filterRow);
    layout->addWidget(grid);

    grid->keyHandler = [this](QKeyEvent *event) { return keyPressed(event); };
    connect(m_delegate, &GridEditDelegate::moveAfterEdit, this, &SignalGridPage::afterEdit);
    connect(grid, &SignalGridView::focusEntered, this, [this] {
        if (m_pageChanging)
            return;
        CommitEdit();
        m_controller.gridFocused();
    });
    connect(grid, &SignalGridView::userScrolled, this, [this] {
        CommitEdit();
        m_controller.gridFocused();
    });
    connect(grid, &QAbstractItemView::doubleClicked, this, &SignalGridPage::onDoubleClicked);
    connect(grid, &SignalGridView::rightPressed, this, &SignalGridPage::onRightPressed);
    connect(grid->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, &SignalGridPage::sortBy);
    connect(grid, &SignalGridView::cornerDoubleClicked, this, [this] { sortBy(kColRowNumber); });
}

void SignalGridPage::showOpened()
{
    grid->setModel(&m_session.visibleRows());
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onCurrentChanged(current); });
    connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            syncSelection();
    });
    // The fixed column is the vertical header, showing the running numbers.
    grid->setColumnHidden(kColRowNumber, true);
    grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    grid->verticalHeader()->setFixedWidth(columnWidth(kColRowNumber));
    for (int c = 1; c < kSignalColumns; ++c)
        grid->setColumnWidth(c, columnWidth(c));
    m_syncing = true;
    grid->setCurrentIndex(m_controller.viewIndex(m_controller.current()));
    m_syncing = false;
    buildMenus();
}

int SignalGridPage::fullWidth() const
{
    int width = 0;
    for (int c = 0; c < kSignalColumns; ++c)
        width += columnWidth(c);
    return width + grid->verticalScrollBar()->sizeHint().width();
}

int SignalGridPage::columnWidth(int column) const
{
    // The widths of the grid are given for a small dialog font; a column is widened to its title
    // and to the texts of one device's block so that the short columns show their texts whole. The
    // long text columns keep their width and show the whole text as a tool tip.
    const SignalTableModel &model = m_session.table();
    const QFontMetrics fm = grid->fontMetrics();
    const int padding = 2 * grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 10;
    int width = model.columnWidthPixels(column);
    if (column == kColRowNumber)
        return std::max(width, fm.horizontalAdvance(QString::number(model.gridRowCount())) + padding);
    width = std::max(width, grid->horizontalHeader()->fontMetrics().horizontalAdvance(
                                model.headerData(column, Qt::Horizontal).toString())
                                + padding + 6);
    if (column == kColDescription || column == kColFurtherAddresses)
        return width;
    if (column == kColAddress)
        return std::max(width, fm.horizontalAdvance(QStringLiteral("15/7/255")) + padding);
    if (column >= kColR && column <= kColU)
        return std::max(width, fm.horizontalAdvance(QStringLiteral("U2")) + padding);
    if (column == kColDevice) {
        // Room for the device names beside the numbers, within reason.
        for (int d = 1; d <= m_session.settingsPage().deviceCount(); ++d) {
            const QString name = m_session.deviceName(d);
            if (!name.isEmpty())
                width = std::max(width, std::min(fm.horizontalAdvance(QString::number(d) + QStringLiteral(" \u00B7 ") + name)
                                                     + padding, 24 * fm.averageCharWidth()));
        }
    }
    const int blockRows = std::min(model.gridRowCount() - 1, 1 + InfoOf(m_session.machineType()).rowsPerDevice);
    for (int r = 1; r <= blockRows; ++r)
        width = std::max(width, fm.horizontalAdvance(model.cell(r, column)) + padding);
    if (column == kColYesNo) {
        for (const QString &text : m_controller.yesNoPopupItems())
            width = std::max(width, fm.horizontalAdvance(text) + padding);
    }
    return width;
}

void SignalGridPage::buildMenus()
{
    popmnuCod = new QMenu(this);
    popmnuCod->setObjectName(QStringLiteral("popmnuCod"));
    const QVector<LegendItem> &items = m_session.codeLegend().items;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const LegendItem &item = items[i];
        if (i == kLegendShowBitsItem) {
            mnuCodShowBits = popmnuCod->addMenu(item.caption);
            for (size_t k = 0; k < mnuMostrar.size() && qsizetype(k) < item.subItems.size(); ++k) {
                mnuMostrar[k] = mnuCodShowBits->addAction(item.subItems[qsizetype(k)].caption);
                connect(mnuMostrar[k], &QAction::triggered, this,
                        [this, k] { moving([&] { m_controller.chooseShowBitsItem(int(k)); }); });
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
    for (const LegendItem &item : m_session.eisLegend())
        popmnuEIS->addAction(item.caption)->setVisible(!item.hidden);

    popmnuRWTU = new QMenu(this);
    popmnuRWTU->setObjectName(QStringLiteral("popmnuRWTU"));
    for (size_t i = 0; i < mnuRWTU.size(); ++i) {
        mnuRWTU[i] = popmnuRWTU->addAction(QString());
        connect(mnuRWTU[i], &QAction::triggered, this, [this, i] { m_controller.chooseFlagItem(int(i)); });
    }

    popmnuSiNo = new QMenu(this);
    popmnuSiNo->setObjectName(QStringLiteral("popmnuSiNo"));
    const QStringList yesNo = m_controller.yesNoPopupItems();
    for (size_t i = 0; i < mnuSiNo.size(); ++i) {
        mnuSiNo[i] = popmnuSiNo->addAction(yesNo.value(qsizetype(i)));
        connect(mnuSiNo[i], &QAction::triggered, this, [this, i] { m_controller.chooseYesNoItem(int(i)); });
    }
}

// ---- Current cell ----------------------------------------------------------------------------------

void SignalGridPage::goToCell(const GridCell &cell)
{
    const QModelIndex index = m_controller.viewIndex(cell);
    if (!index.isValid())
        return;
    grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    grid->scrollTo(index);
}

void SignalGridPage::followModel()
{
    if (!grid->currentIndex().isValid()) {
        m_syncing = true;
        grid->setCurrentIndex(m_controller.viewIndex(m_controller.current()));
        m_syncing = false;
    }
    const QModelIndex current = grid->currentIndex();
    if (current.isValid())
        m_controller.setCurrentQuietly(m_controller.cellAt(current));
    syncSelection();
}

void SignalGridPage::CommitEdit()
{
    grid->commitEditor();
}

void SignalGridPage::onCurrentChanged(const QModelIndex &current)
{
    if (!current.isValid())
        return;
    if (m_syncing) {
        m_controller.setCurrentQuietly(m_controller.cellAt(current));
        return;
    }
    CommitEdit();
    const GridCell cell = m_controller.cellAt(current);
    const QString help = m_controller.goToCell(cell);
    if (!m_ctx.GridBusy)
        emit helpChanged(helpFor ? helpFor(cell) : help);
    syncSelection();
}

void SignalGridPage::syncSelection()
{
    const QItemSelection selection = grid->selectionModel()->selection();
    const GridCell current = m_controller.current();
    if (selection.isEmpty()) {
        m_controller.setSelection(current.row, current.row, current.column, current.column);
        return;
    }
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QItemSelectionRange &range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    const QAbstractItemModel *model = grid->model();
    m_controller.setSelection(m_controller.cellAt(model->index(top, 0)).row,
                              m_controller.cellAt(model->index(bottom, 0)).row, left, right);
}

void SignalGridPage::keepCurrentInView()
{
    followModel();
    if (grid->currentIndex().isValid())
        grid->scrollTo(grid->currentIndex());
}

template <typename Action> void SignalGridPage::moving(Action action)
{
    m_syncing = true;
    action();
    m_syncing = false;
    keepCurrentInView();
}

// ---- Keys and the in-place edit --------------------------------------------------------------------

void SignalGridPage::copy()
{
    CommitEdit();
    QGuiApplication::clipboard()->setText(m_controller.selectionText());
}

void SignalGridPage::paste()
{
    CommitEdit();
    m_session.paste(QGuiApplication::clipboard()->text());
}

void SignalGridPage::find()
{
    txtFilter->setFocus(Qt::ShortcutFocusReason);
    txtFilter->selectAll();
}

void SignalGridPage::filterEdited()
{
    CommitEdit();
    moving([&] { m_session.setFilter(txtFilter->text(), chkInUse->isChecked()); });
}

void SignalGridPage::showFilter()
{
    const RowFilter &filter = m_session.visibleRows().filter();
    const QSignalBlocker blockText(txtFilter);
    const QSignalBlocker blockCheck(chkInUse);
    txtFilter->setText(filter.text);
    chkInUse->setChecked(filter.inUseOnly);
}

bool SignalGridPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtFilter)
            emit helpChanged(m_ctx.GetText(QStringLiteral("PL17")));
        return false;
    }
    if (watched != txtFilter || event->type() != QEvent::KeyPress)
        return false;
    // Escape empties the filter before it closes the window; Enter and Down go to the rows found.
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape && !txtFilter->text().isEmpty()) {
        txtFilter->clear();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Down) {
        grid->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

bool SignalGridPage::keyPressed(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    QChar key;
    switch (event->key()) {
    case Qt::Key_Tab:
        key = QLatin1Char('\t');
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
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
    switch (m_controller.keyPress(key)) {
    case GridKey::Edit:
        startEdit(key);
        break;
    case GridKey::MoveNext:
        goToCell(m_controller.nextCell(true));
        break;
    case GridKey::Stored:
    case GridKey::Ignored:
        break;
    }
    return true;
}

void SignalGridPage::startEdit(QChar key)
{
    GridCell moveTo;
    const EditStart start = m_controller.beginEdit(key, &moveTo);
    if (!start.show) {
        goToCell(moveTo);
        return;
    }
    const QModelIndex index = m_controller.viewIndex(m_controller.current());
    if (!index.isValid())
        return;
    grid->scrollTo(index);
    m_delegate->setStart(start);
    grid->edit(index);
}

void SignalGridPage::afterEdit(int key)
{
    const GridCell current = m_controller.current();
    if (key == Qt::Key_Tab)
        goToCell(m_controller.nextCell(false));
    else
        goToCell({m_controller.rowAfterMove(key == Qt::Key_Up ? -1 : 1), current.column});
}

// ---- Mouse -------------------------------------------------------------------------------------------

void SignalGridPage::onDoubleClicked(const QModelIndex &index)
{
    if (m_ctx.GridBusy || !index.isValid())
        return;
    bool edit = false;
    moving([&] { edit = m_controller.doubleClickCell(m_controller.cellAt(index)); });
    if (edit)
        startEdit(QLatin1Char('\r'));
}

void SignalGridPage::onRightPressed(const QModelIndex &index, const QPoint &globalPos)
{
    if (m_ctx.GridBusy || !index.isValid())
        return;
    const bool severalRows = !m_controller.selectionIsOneRow();
    GridCell cell;
    const GridPopup popup = m_controller.rightClick(m_controller.cellAt(index), &cell);
    const QModelIndex target = m_controller.viewIndex(cell);
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
        const bool bits = m_controller.codePopupShowsBits();
        mnuCodShowBits->menuAction()->setVisible(bits);
        mnuCodSeparator->setVisible(bits);
        popmnuCod->popup(at);
        break;
    }
    case GridPopup::Eis:
        popmnuEIS->popup(at);
        break;
    case GridPopup::Flags: {
        const QStringList items = m_controller.flagPopupItems();
        for (size_t i = 0; i < mnuRWTU.size(); ++i) {
            // An empty choice still needs a line of its own in the menu.
            const QString caption = items.value(qsizetype(i));
            mnuRWTU[i]->setText(caption.isEmpty() ? QStringLiteral(" ") : caption);
        }
        mnuRWTU[2]->setVisible(m_controller.popupColumn() == kColU);
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

void SignalGridPage::sortBy(int column)
{
    if (m_ctx.GridBusy)
        return;
    CommitEdit();
    moving([&] {
        m_controller.sortByColumn(column);
        const QModelIndex current = grid->currentIndex();
        if (current.isValid())
            grid->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    });
}

} // namespace tarveon
