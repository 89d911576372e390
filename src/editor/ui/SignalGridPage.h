#pragma once
#include "editor/GridController.h"

#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;

namespace tarveon {

class AppContext;
class EditorSession;
class GridEditDelegate;
class SignalGridView;

// The signal table tab of the configuration editor: the filter line, the grid `grid` with its
// in-place editor and its pop-up menus. It hands the user's keys and clicks to the session's grid
// controller and shows what comes back; the help line is the window's (helpChanged).
class SignalGridPage : public QWidget {
    Q_OBJECT
public:
    SignalGridPage(AppContext &ctx, EditorSession &session, QWidget *parent);

    // After the session opened: the model, the column widths, the menus, the current cell.
    void showOpened();
    // The width that shows every column.
    int fullWidth() const;

    // CommitEdit: an open editor's text goes into its cell.
    void CommitEdit();
    // Makes a cell current (a one-cell selection), in view.
    void goToCell(const GridCell &cell);
    // After rows went or moved under the view: the view's current cell and the controller's agree.
    void followModel();
    // The tab strip is changing pages: the focus that moves meanwhile is not the user's.
    void setPageChanging(bool changing) { m_pageChanging = changing; }

    // Ctrl+C and Ctrl+V on the grid (an open editor is committed first).
    void copy();
    void paste();
    // Ctrl+F: the focus into the filter line.
    void find();
    // After the session changed the filter itself: the filter line shows it.
    void showFilter();
    // The help line's text for a cell (the column's help unless given).
    std::function<QString(const GridCell &)> helpFor;
    GridEditDelegate *delegate() const { return m_delegate; }

    QLineEdit *txtFilter = nullptr;
    QCheckBox *chkInUse = nullptr;

    SignalGridView *grid = nullptr;
    QMenu *popmnuCod = nullptr;
    QMenu *mnuCodShowBits = nullptr; // the show-bits entry (item 0 of the code legend)
    QAction *mnuCodSeparator = nullptr;
    std::array<QAction *, 2> mnuMostrar{};
    QMenu *popmnuEIS = nullptr;
    QMenu *popmnuRWTU = nullptr;
    std::array<QAction *, 3> mnuRWTU{};
    QMenu *popmnuSiNo = nullptr;
    std::array<QAction *, 2> mnuSiNo{};

signals:
    void helpChanged(const QString &text);

private:
    void buildMenus();
    int columnWidth(int column) const;
    bool keyPressed(QKeyEvent *event);
    void startEdit(QChar key);
    void afterEdit(int key);
    void onCurrentChanged(const QModelIndex &current);
    void syncSelection();
    void keepCurrentInView();
    void onDoubleClicked(const QModelIndex &index);
    void onRightPressed(const QModelIndex &index, const QPoint &globalPos);
    void sortBy(int column);
    void filterEdited();
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Runs an action of the controller that may move or hide rows under the view's current cell.
    template <typename Action> void moving(Action action);

    AppContext &m_ctx;
    EditorSession &m_session;
    GridController &m_controller;
    GridEditDelegate *m_delegate = nullptr;
    bool m_syncing = false;       // the program moves the view's current cell itself
    bool m_pageChanging = false;
};

} // namespace tarveon
