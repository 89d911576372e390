#include "editor/ui/SignalGridView.h"

#include "editor/SignalTableModel.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

namespace tarveon {

void SignalCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const uint rgb = index.data(SignalTableModel::BackgroundRgbRole).toUInt();
    if (rgb != 0)
        option->backgroundBrush = QColor::fromRgba(rgb);
}

// ---- In-place editor -------------------------------------------------------------------------------

GridEditDelegate::GridEditDelegate(GridController &grid, QObject *parent) : SignalCellDelegate(parent), m_grid(grid) {}

void GridEditDelegate::setStart(const EditStart &start)
{
    m_start = start;
    m_startPending = true;
}

QWidget *GridEditDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("txtEdit"));
    editor->setFrame(false);
    // A thin border tells the editor from the cell under it.
    editor->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(highlight); padding: 0 2px; }"));
    m_column = index.column();
    m_editor = editor;
    return editor;
}

void GridEditDelegate::setEditorData(QWidget *widget, const QModelIndex &) const
{
    // Only the start: later changes of the cell under an open editor leave the typed text alone.
    auto *editor = qobject_cast<QLineEdit *>(widget);
    if (!editor || !m_startPending)
        return;
    m_startPending = false;
    editor->setAlignment(m_start.alignment | Qt::AlignVCenter);
    editor->setText(m_start.text);
    // The view selects a new line editor's whole text after this; the caret is placed when the
    // editor gets the focus.
    m_caretPending = true;
}

void GridEditDelegate::setModelData(QWidget *widget, QAbstractItemModel *, const QModelIndex &index) const
{
    if (auto *editor = qobject_cast<QLineEdit *>(widget))
        m_grid.commitEdit(m_grid.cellAt(index), editor->text());
}

void GridEditDelegate::finish(QLineEdit *editor, bool commit)
{
    if (commit)
        emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool GridEditDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QLineEdit *>(object);
    if (editor && event->type() == QEvent::FocusIn && m_caretPending) {
        m_caretPending = false;
        if (m_start.selectAll)
            editor->selectAll();
        else
            editor->setCursorPosition(int(m_start.text.size()));
    }
    if (!editor || event->type() != QEvent::KeyPress)
        return SignalCellDelegate::eventFilter(object, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backtab:
        finish(editor, true);
        return true;
    case Qt::Key_Escape:
        finish(editor, false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
        finish(editor, true);
        emit moveAfterEdit(key->key());
        return true;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QChar typed = text.front();
    if (typed.unicode() < 32 && typed != QLatin1Char('\b'))
        return false;
    QChar filtered = typed;
    if (!m_grid.filterKey(m_column, filtered))
        return true;
    if (filtered != typed) {
        editor->insert(QString(filtered));
        return true;
    }
    return false;
}

// ---- View ----------------------------------------------------------------------------------------------

SignalGridView::SignalGridView(QWidget *parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_corner = findChild<QAbstractButton *>();
    if (m_corner)
        m_corner->installEventFilter(this);
    auto scrolled = [this](int action) {
        if (action != QAbstractSlider::SliderNoAction)
            emit userScrolled();
    };
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, scrolled);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, scrolled);
}

void SignalGridView::commitEditor()
{
    auto *delegate = qobject_cast<GridEditDelegate *>(itemDelegate());
    QLineEdit *editor = delegate ? delegate->openEditor() : nullptr;
    if (!editor || indexWidget(currentIndex()) != editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void SignalGridView::keyPressEvent(QKeyEvent *event)
{
    if (keyHandler && keyHandler(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void SignalGridView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            emit rightPressed(index, event->globalPosition().toPoint());
        return;
    }
    QTableView::mousePressEvent(event);
}

void SignalGridView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusEntered();
}

bool SignalGridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::MouseButtonDblClick) {
        emit cornerDoubleClicked();
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace tarveon
