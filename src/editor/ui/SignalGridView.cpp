#include "editor/ui/SignalGridView.h"

#include "editor/SignalTableModel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringListModel>

namespace tarveon {

namespace {

// Offers book entries for what is typed; the address of the entry chosen goes into the cell, as
// the whole text or, in a further-address list, as its last item.
class AddressCompleter : public QCompleter {
public:
    AddressCompleter(QLineEdit *editor, bool list) : QCompleter(editor), m_list(list)
    {
        setModel(new QStringListModel(this));
        setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        setMaxVisibleItems(12);
        setWidget(editor);
        connect(this, qOverload<const QString &>(&QCompleter::activated), editor, &QLineEdit::setText);
    }
    // What the last item of the text is.
    QString typed(const QString &text) const { return m_list ? text.section(u',', -1).trimmed() : text.trimmed(); }
    void show(const QStringList &entries)
    {
        static_cast<QStringListModel *>(model())->setStringList(entries);
        if (entries.isEmpty()) {
            popup()->hide();
            return;
        }
        // The cell is narrow; the names are what the list is for.
        const QFontMetrics fm = popup()->fontMetrics();
        int width = widget()->width();
        for (const QString &entry : entries)
            width = std::max(width, fm.horizontalAdvance(entry) + 24);
        const int scrollBar = popup()->verticalScrollBar()->sizeHint().width();
        complete(QRect(0, 0, width + (entries.size() > maxVisibleItems() ? scrollBar : 0), widget()->height()));
    }
    QString pathFromIndex(const QModelIndex &index) const override
    {
        const QString address = index.data().toString().section(u' ', 0, 0);
        const auto *editor = qobject_cast<QLineEdit *>(widget());
        const QString text = editor ? editor->text() : QString();
        const qsizetype comma = m_list ? text.lastIndexOf(u',') : -1;
        return comma < 0 ? address : text.left(comma + 1) + QLatin1Char(' ') + address;
    }

private:
    bool m_list;
};

} // namespace

void SignalCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const uint rgb = index.data(SignalTableModel::BackgroundRgbRole).toUInt();
    if (rgb != 0)
        option->backgroundBrush = QColor::fromRgba(rgb);
    if (index.column() == kColDevice && deviceName) {
        const QString name = deviceName(option->text.toInt());
        if (!name.isEmpty())
            option->text += QStringLiteral(" \u00B7 ") + name;
    }
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
    if (completions && (m_column == kColAddress || m_column == kColFurtherAddresses)) {
        auto *completer = new AddressCompleter(editor, m_column == kColFurtherAddresses);
        connect(editor, &QLineEdit::textEdited, completer, [this, editor] { offerCompletions(editor); });
    }
    return editor;
}

void GridEditDelegate::offerCompletions(QLineEdit *editor) const
{
    if (auto *completer = editor->findChild<AddressCompleter *>())
        completer->show(completions(completer->typed(editor->text())));
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
        if (m_start.selectAll) {
            editor->selectAll();
        } else {
            editor->setCursorPosition(int(m_start.text.size()));
            // The key that started the edit is typed text too.
            offerCompletions(editor);
        }
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
