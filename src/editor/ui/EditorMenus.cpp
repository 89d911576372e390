#include "editor/ui/EditorMenus.h"

#include "app/AppContext.h"
#include "app/Text.h"
#include "editor/EditorSession.h"
#include "editor/ui/CellEditCommand.h"
#include "editor/ui/PlanDialog.h"
#include "editor/ui/SignalGridPage.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QUndoStack>

namespace tarveon {

EditorMenus::EditorMenus(AppContext &ctx, EditorSession &session, AddressPlanCore &core, SignalGridPage *page,
                         QTabWidget *tabs, QWidget *window)
    : QObject(window), m_ctx(ctx), m_session(session), m_core(core), m_page(page), m_tabs(tabs), m_window(window)
{
    auto text = [&ctx](const char *key) { return ctx.GetText(QLatin1String(key)); };
    undoStack = new QUndoStack(this);
    session.grid().setRecorder([this](CellEdit edit) {
        undoStack->push(new CellEditCommand(m_session.grid(), std::move(edit)));
    });

    menuBar = new QMenuBar(window);
    menuBar->setObjectName(QStringLiteral("mnuEditor"));
    mnuEdit = menuBar->addMenu(text("PL1"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    auto add = [this](QMenu *menu, const char *name, const QString &caption, void (EditorMenus::*slot)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    mnuEUndo = mnuEdit->addAction(text("PL2"));
    mnuEUndo->setObjectName(QStringLiteral("mnuEUndo"));
    mnuEUndo->setShortcut(QKeySequence::Undo);
    mnuERedo = mnuEdit->addAction(text("PL3"));
    mnuERedo->setObjectName(QStringLiteral("mnuERedo"));
    mnuERedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuEdit->addSeparator();
    mnuECopy = mnuEdit->addAction(text("PL4"));
    mnuECopy->setObjectName(QStringLiteral("mnuECopy"));
    mnuECopy->setShortcut(QKeySequence::Copy);
    mnuEPaste = mnuEdit->addAction(text("PL5"));
    mnuEPaste->setObjectName(QStringLiteral("mnuEPaste"));
    mnuEPaste->setShortcut(QKeySequence::Paste);
    mnuEdit->addSeparator();
    mnuEFind = mnuEdit->addAction(text("PL6"));
    mnuEFind->setObjectName(QStringLiteral("mnuEFind"));
    mnuEFind->setShortcut(QKeySequence::Find);
    // An edit open in a cell takes its own keys; undoing the grid's changes closes it first.
    connect(mnuEUndo, &QAction::triggered, this, [this] {
        m_page->CommitEdit();
        undoStack->undo();
    });
    connect(mnuERedo, &QAction::triggered, this, [this] {
        m_page->CommitEdit();
        undoStack->redo();
    });
    connect(mnuECopy, &QAction::triggered, page, &SignalGridPage::copy);
    connect(mnuEPaste, &QAction::triggered, page, &SignalGridPage::paste);
    connect(mnuEFind, &QAction::triggered, page, &SignalGridPage::find);

    mnuAddresses = menuBar->addMenu(text("PL7"));
    mnuAddresses->setObjectName(QStringLiteral("mnuAddresses"));
    mnuFill = add(mnuAddresses, "mnuFill", text("PL8"), &EditorMenus::fill);
    mnuApplyPlan = add(mnuAddresses, "mnuApplyPlan", m_core.applyPlanCaption(1), &EditorMenus::applyPlan);
    mnuAddresses->addSeparator();
    mnuExportCsv = add(mnuAddresses, "mnuExportCsv", text("PL11"), &EditorMenus::exportCsv);
    mnuImportCsv = add(mnuAddresses, "mnuImportCsv", text("PL12"), &EditorMenus::importCsv);
    mnuAddresses->addSeparator();
    mnuEts = add(mnuAddresses, "mnuEts", text("PL13"), &EditorMenus::importEts);
    connect(mnuAddresses, &QMenu::aboutToShow, this,
            [this] { mnuApplyPlan->setText(m_core.applyPlanCaption(currentDevice())); });

    connect(undoStack, &QUndoStack::canUndoChanged, this, &EditorMenus::updateActions);
    connect(undoStack, &QUndoStack::canRedoChanged, this, &EditorMenus::updateActions);
    connect(tabs, &QTabWidget::currentChanged, this, &EditorMenus::updateActions);
    updateActions();

    chooseFile = [this](const QString &caption, const QString &suggested, const QString &filter, bool save) {
        return save ? QFileDialog::getSaveFileName(m_window, caption, suggested, filter)
                    : QFileDialog::getOpenFileName(m_window, caption, suggested, filter);
    };
}

void EditorMenus::updateActions()
{
    // Keys typed on the settings page are never the grid's.
    const bool grid = m_tabs->currentIndex() == 1;
    mnuEUndo->setEnabled(grid && undoStack->canUndo());
    mnuERedo->setEnabled(grid && undoStack->canRedo());
    for (QAction *a : {mnuECopy, mnuEPaste, mnuEFind})
        a->setEnabled(grid);
}

void EditorMenus::toGrid()
{
    m_tabs->setCurrentIndex(1);
    m_page->CommitEdit();
}

int EditorMenus::currentDevice() const
{
    const int device = int(LeadingInteger(m_session.table().cell(m_session.grid().current().row, kColDevice)));
    return device > 0 ? device : 1;
}

void EditorMenus::fill()
{
    toGrid();
    dialog = new fFillAddresses(m_ctx, m_session, m_core, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void EditorMenus::applyPlan()
{
    toGrid();
    dialog = new fApplyPlan(m_ctx, m_session, m_core, currentDevice(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void EditorMenus::exportCsv()
{
    m_page->CommitEdit();
    const QString suggested = QDir(m_ctx.ProjectDir).filePath(m_ctx.IniFileName + QStringLiteral(".csv"));
    const QString path = chooseFile(mnuExportCsv->text().remove(QChar(0x2026)), suggested,
                                    m_ctx.GetText(QStringLiteral("PL50")), true);
    if (!path.isEmpty())
        m_core.exportCsv(path);
}

void EditorMenus::importCsv()
{
    toGrid();
    const QString path =
        chooseFile(mnuImportCsv->text().remove(QChar(0x2026)), m_ctx.ProjectDir, m_ctx.GetText(QStringLiteral("PL50")), false);
    if (!path.isEmpty())
        m_core.importCsv(path);
}

void EditorMenus::importEts()
{
    m_page->CommitEdit();
    const QString path =
        chooseFile(mnuEts->text().remove(QChar(0x2026)), m_ctx.ProjectDir, m_ctx.GetText(QStringLiteral("PL60")), false);
    if (!path.isEmpty())
        m_core.importEts(path);
}

} // namespace tarveon
