#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QTabWidget;
class QUndoStack;
class QWidget;

namespace tarveon {

class AddressPlanCore;
class AppContext;
class EditorSession;
class PlanDialog;
class SignalGridPage;

// The configuration editor's menu bar: Edit (undo and redo of every change to the signal table
// until OK or Close, copy, paste, find) and Addresses (fill, apply plan, the spreadsheet round trip,
// the ETS address book). The Edit entries act on the signal table while its page is shown; the
// Addresses entries bring that page forward.
class EditorMenus : public QObject {
    Q_OBJECT
public:
    EditorMenus(AppContext &ctx, EditorSession &session, AddressPlanCore &core, SignalGridPage *page,
                QTabWidget *tabs, QWidget *window);

    QMenuBar *menuBar;
    QMenu *mnuEdit;
    QAction *mnuEUndo;
    QAction *mnuERedo;
    QAction *mnuECopy;
    QAction *mnuEPaste;
    QAction *mnuEFind;
    QMenu *mnuAddresses;
    QAction *mnuFill;
    QAction *mnuApplyPlan;
    QAction *mnuExportCsv;
    QAction *mnuImportCsv;
    QAction *mnuEts;
    // Every change to the signal table, one command per action of the user.
    QUndoStack *undoStack;
    // The address dialog that is open, if any.
    QPointer<PlanDialog> dialog;

    // Asks for a file to write (`save`) or to read, starting at `suggested`; empty: cancelled.
    // File dialogs unless replaced.
    std::function<QString(const QString &caption, const QString &suggested, const QString &filter, bool save)>
        chooseFile;

    void fill();
    void applyPlan();
    void exportCsv();
    void importCsv();
    void importEts();

private:
    void updateActions();
    // The signal page shown, an open edit committed.
    void toGrid();
    int currentDevice() const;

    AppContext &m_ctx;
    EditorSession &m_session;
    AddressPlanCore &m_core;
    SignalGridPage *m_page;
    QTabWidget *m_tabs;
    QWidget *m_window;
};

} // namespace tarveon
