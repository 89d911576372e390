#pragma once
#include "tools/ProjectListCore.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarveon {

class AppContext;

// The project list: open, new, edit and delete projects. Shown modally (exec()); after it closes
// the current project is in the AppContext (ProjectName, ProjectProtocol, ProjectDescription,
// ProtocolFamily, ProjectDir), changed only when the user opened one.
class fProject : public QDialog {
    Q_OBJECT
public:
    fProject(AppContext &ctx, QWidget *parent = nullptr);

    // The list's public fields (mSelNom, mSelProt, mSelDesc, mStatus) and actions, shared with
    // the project dialog.
    ProjectListCore &list() { return m_list; }
    // False when the projects directory could be neither read nor made: the message has been
    // shown and the window closes as soon as it is shown.
    bool loaded() const { return m_loaded; }

    void done(int result) override;

    QLabel *lblPathProjects;
    QTreeWidget *lvwPro;
    QPushButton *cmdNuevo;
    QPushButton *cmdEdit;
    QPushButton *cmdBorrar;
    QPushButton *cmdSelec;
    QPushButton *cmdSalir;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdSelec_Click();
    void cmdSalir_Click();
    void cmdNuevo_Click();
    void cmdEdit_Click();
    void cmdBorrar_Click();
    void lvwPro_ColumnClick(int column);

    void fillList();
    QTreeWidgetItem *addItem(const ProjectEntry &entry);
    QTreeWidgetItem *selectedItem() const;
    static ProjectEntry entryOf(const QTreeWidgetItem *item);

    AppContext &m_ctx;
    ProjectListCore m_list;
    bool m_loaded = false;
    bool m_sorted = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace tarveon
