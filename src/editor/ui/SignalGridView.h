#pragma once
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

class QAbstractButton;

namespace tarveon {

// Paints the row colours of a signal grid (the model's background role, 0xFFRRGGBB).
class SignalCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The signal grid `grid` of the configuration editor: a table view whose fixed column is the
// vertical header (the running row numbers) and whose fixed row is the horizontal header. It
// only reports the user's actions; the window decides.
class SignalGridView : public QTableView {
    Q_OBJECT
public:
    explicit SignalGridView(QWidget *parent = nullptr);

    // A key pressed on the grid; true when it was handled (else the view navigates with it).
    std::function<bool(QKeyEvent *)> keyHandler;

    // The top-left corner cell.
    QAbstractButton *cornerButton() const { return m_corner; }

signals:
    void rightPressed(const QModelIndex &index, const QPoint &globalPos);
    // The grid got the focus from the user or the program (not from a window or pop-up change).
    void focusEntered();
    // The user scrolled the grid (scroll bars or wheel).
    void userScrolled();
    void cornerDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractButton *m_corner = nullptr;
};

} // namespace tarveon
