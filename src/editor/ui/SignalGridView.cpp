#include "editor/ui/SignalGridView.h"

#include "editor/SignalTableModel.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
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

SignalGridView::SignalGridView(QWidget *parent) : QTableView(parent)
{
    setItemDelegate(new SignalCellDelegate(this));
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
