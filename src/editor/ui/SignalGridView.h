#pragma once
#include "editor/GridController.h"

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

class QCompleter;

class QAbstractButton;

namespace tarveon {

// Paints the row colours of a signal grid (the model's background role, 0xFFRRGGBB) and, when it
// is given the names, the device's name beside its number in the Unit column ("12 · Room 204"):
// the cell's text stays the number.
class SignalCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The name of a device (1..n); empty: none shown.
    std::function<QString(int device)> deviceName;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The in-place editor of the grid's text columns, opened with the view's edit(): a line edit over
// the cell that starts as the grid's key asked (EditStart) and passes the key filter of its column.
// Enter commits; Escape drops the text; Up, Down and Tab commit and then ask for the move
// (moveAfterEdit). What it commits goes to the grid controller.
class GridEditDelegate : public SignalCellDelegate {
    Q_OBJECT
public:
    GridEditDelegate(GridController &grid, QObject *parent);

    // How the next editor starts.
    void setStart(const EditStart &start);
    // The editor that is open, or null.
    QLineEdit *openEditor() const { return m_editor; }
    // Entries offered while an address column is typed into ("1/3/1 Room 101 Setpoint · 9.001");
    // choosing one puts its address into the cell (in the further-address list, as its last item).
    std::function<QStringList(const QString &typed)> completions;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

signals:
    // The editor was closed by Up, Down or Tab, which move the current cell on.
    void moveAfterEdit(int key);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void finish(QLineEdit *editor, bool commit);
    void offerCompletions(QLineEdit *editor) const;

    GridController &m_grid;
    EditStart m_start;
    mutable bool m_startPending = false;
    mutable bool m_caretPending = false;
    mutable int m_column = -1;
    mutable QPointer<QLineEdit> m_editor;
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
    // CommitEdit: an open editor's text goes into its cell and the editor closes.
    void commitEditor();

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
