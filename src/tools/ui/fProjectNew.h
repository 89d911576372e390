#pragma once
#include "tools/ProjectListCore.h"

#include <QDialog>
#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarveon {

class AppContext;

// The project dialog: name, protocol and description of a new project (from templates or as a
// copy) or of an edited one. Works on the fields of the project list it is opened from (its
// parent fProject); without one it makes a new project from templates. Shown modally (exec()).
class fProjectNew : public QDialog {
    Q_OBJECT
public:
    fProjectNew(AppContext &ctx, QWidget *parent = nullptr);
    ~fProjectNew() override;

    const ProjectDialogCore &logic() const { return m_dialog; }

    void reject() override;

    std::array<QLabel *, 3> lbl;
    QLineEdit *txtNom;
    QLineEdit *txtDesc;
    QComboBox *cboProt;
    QPushButton *cmdAceptar;
    QPushButton *cmdCancelar;

private:
    void cmdAceptar_Click();

    AppContext &m_ctx;
    std::unique_ptr<ProjectListCore> m_ownList; // only without a project list to work for
    ProjectDialogCore m_dialog;
};

} // namespace tarveon
