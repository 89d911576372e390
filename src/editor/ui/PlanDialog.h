#pragma once
#include "tools/AddressPlanCore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tarveon {

class AppContext;
class EditorSession;

// What the address dialogs share: a form, the step per device (level and amount), a preview line
// that follows every change, and OK, which runs the change and closes only when it was done (a
// refused change has shown its message and left the table alone).
class PlanDialog : public QDialog {
    Q_OBJECT
public:
    PlanDialog(AppContext &ctx, EditorSession &session, AddressPlanCore &core, QWidget *parent);

    QComboBox *cboLevel;
    QSpinBox *txtStep;
    QLabel *lblPreview;
    QPushButton *cmdAceptar;
    QPushButton *cmdCancelar;

    // The preview line after a change of any field.
    void updatePreview();

protected:
    StepLevel level() const;
    // A spin box of device numbers 1..count.
    QSpinBox *deviceBox(const char *name, int value);
    // Lays out the form's fields above the step, the check box below it, the preview and the
    // buttons; the keyboard goes through them in this order.
    void finishLayout(const QList<QWidget *> &fields, const QString &stepLabel, QCheckBox *option);
    virtual PlanResult plan() const = 0;
    virtual bool run() = 0;

    AppContext &m_ctx;
    EditorSession &m_session;
    AddressPlanCore &m_core;
    QFormLayout *m_form;
};

// "Fill addresses…": a series of group addresses down the selected rows, or down the rows of one
// signal on a range of devices.
class fFillAddresses : public PlanDialog {
    Q_OBJECT
public:
    fFillAddresses(AppContext &ctx, EditorSession &session, AddressPlanCore &core, QWidget *parent);

    FillRequest request() const;

    QRadioButton *optSelection;
    QRadioButton *optCode;
    QComboBox *cboCode;
    QSpinBox *txtFrom;
    QSpinBox *txtTo;
    QLineEdit *txtStart;
    QCheckBox *chkUse;

protected:
    PlanResult plan() const override { return m_core.planFill(request()); }
    bool run() override { return m_core.fill(request()); }
};

// "Apply plan of unit N to…": one device's addresses, flags and Use on a range of devices.
class fApplyPlan : public PlanDialog {
    Q_OBJECT
public:
    fApplyPlan(AppContext &ctx, EditorSession &session, AddressPlanCore &core, int source, QWidget *parent);

    ApplyPlanRequest request() const;

    QSpinBox *txtSource;
    QSpinBox *txtFrom;
    QSpinBox *txtTo;
    QCheckBox *chkFurther;

protected:
    PlanResult plan() const override { return m_core.planApply(request()); }
    bool run() override { return m_core.applyPlan(request()); }
};

} // namespace tarveon
