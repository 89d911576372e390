#include "editor/ui/PlanDialog.h"

#include "app/AppContext.h"
#include "app/Text.h"
#include "editor/EditorSession.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarveon {

namespace {

// A menu entry's text as a window title: no "&", no "…".
QString titleOf(QString text)
{
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QChar(0x2026)))
        text.chop(1);
    return text.trimmed();
}

} // namespace

PlanDialog::PlanDialog(AppContext &ctx, EditorSession &session, AddressPlanCore &core, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_session(session), m_core(core)
{
    setModal(true);
    m_form = new QFormLayout;
    cboLevel = new QComboBox(this);
    cboLevel->setObjectName(QStringLiteral("cboLevel"));
    for (const char *key : {"PL26", "PL27", "PL28"})
        cboLevel->addItem(ctx.GetText(QLatin1String(key)));
    txtStep = new QSpinBox(this);
    txtStep->setObjectName(QStringLiteral("txtStep"));
    txtStep->setRange(0, 255);
    txtStep->setValue(1);
    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setWordWrap(true);
    lblPreview->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    lblPreview->setMinimumHeight(fontMetrics().height() * 3);
    lblPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdAceptar = new QPushButton(ctx.GetText(QStringLiteral("X1")), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdCancelar = new QPushButton(ctx.GetText(QStringLiteral("X3")), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    connect(cmdAceptar, &QPushButton::clicked, this, [this] {
        if (run())
            accept();
    });
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(cboLevel, &QComboBox::currentIndexChanged, this, &PlanDialog::updatePreview);
    connect(txtStep, &QSpinBox::valueChanged, this, &PlanDialog::updatePreview);
}

StepLevel PlanDialog::level() const
{
    return StepLevel(cboLevel->currentIndex());
}

QSpinBox *PlanDialog::deviceBox(const char *name, int value)
{
    auto *box = new QSpinBox(this);
    box->setObjectName(QLatin1String(name));
    box->setRange(1, std::max(1, m_session.settingsPage().deviceCount()));
    box->setValue(value);
    connect(box, &QSpinBox::valueChanged, this, &PlanDialog::updatePreview);
    return box;
}

void PlanDialog::finishLayout(const QList<QWidget *> &fields, const QString &stepLabel, QCheckBox *option)
{
    auto *step = new QHBoxLayout;
    step->addWidget(cboLevel);
    step->addWidget(txtStep);
    step->addStretch(1);
    m_form->addRow(stepLabel, step);
    m_form->addRow(option);
    const QList<QWidget *> order = fields + QList<QWidget *>{cboLevel, txtStep, option, cmdAceptar, cmdCancelar};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    auto *main = new QVBoxLayout(this);
    main->addLayout(m_form);
    main->addWidget(lblPreview);
    main->addLayout(buttons);
    updatePreview();
}

void PlanDialog::updatePreview()
{
    lblPreview->setText(m_core.previewText(plan()));
}

// ---- Fill addresses ---------------------------------------------------------------------------------

fFillAddresses::fFillAddresses(AppContext &ctx, EditorSession &session, AddressPlanCore &core, QWidget *parent)
    : PlanDialog(ctx, session, core, parent)
{
    setObjectName(QStringLiteral("fFillAddresses"));
    setWindowTitle(titleOf(ctx.GetText(QStringLiteral("PL8"))));
    // What the selection starts with: its first row's signal and address.
    const QVector<int> rows = session.grid().selectedRows();
    const int selected = int(rows.size());
    const int first = rows.isEmpty() ? session.grid().current().row : rows.front();

    optSelection = new QRadioButton(ctx.GetText(QStringLiteral("PL20")) + QStringLiteral(" (%1)").arg(selected), this);
    optSelection->setObjectName(QStringLiteral("optSelection"));
    optCode = new QRadioButton(ctx.GetText(QStringLiteral("PL21")), this);
    optCode->setObjectName(QStringLiteral("optCode"));
    auto *group = new QButtonGroup(this);
    group->addButton(optSelection);
    group->addButton(optCode);
    cboCode = new QComboBox(this);
    cboCode->setObjectName(QStringLiteral("cboCode"));
    const int currentCode = int(LeadingInteger(session.table().cell(first, kColCode)));
    for (const auto &[code, caption] : core.signalCodes()) {
        cboCode->addItem(caption, code);
        if (code == currentCode)
            cboCode->setCurrentIndex(cboCode->count() - 1);
    }
    txtFrom = deviceBox("txtFrom", 1);
    txtTo = deviceBox("txtTo", session.settingsPage().deviceCount());
    const QString address = TrimBlanks(session.table().cell(first, kColAddress));
    txtStart = new QLineEdit(address.isEmpty() ? QStringLiteral("1/0/1") : address, this);
    txtStart->setObjectName(QStringLiteral("txtStart"));
    chkUse = new QCheckBox(ctx.GetText(QStringLiteral("PL29")) + session.table().columnInfo(kColYesNo).value(QStringLiteral("K1"))
                               + ctx.GetText(QStringLiteral("PL30")),
                           this);
    chkUse->setObjectName(QStringLiteral("chkUse"));
    chkUse->setChecked(true);

    auto *devices = new QHBoxLayout;
    devices->addWidget(new QLabel(ctx.GetText(QStringLiteral("PL22")), this));
    devices->addWidget(txtFrom);
    devices->addWidget(new QLabel(ctx.GetText(QStringLiteral("PL23")), this));
    devices->addWidget(txtTo);
    devices->addStretch(1);
    auto *signal = new QVBoxLayout;
    signal->addWidget(cboCode);
    signal->addLayout(devices);
    m_form->addRow(optSelection);
    m_form->addRow(optCode, signal);
    m_form->addRow(ctx.GetText(QStringLiteral("PL24")), txtStart);
    auto enable = [this] {
        for (QWidget *w : {static_cast<QWidget *>(cboCode), static_cast<QWidget *>(txtFrom), static_cast<QWidget *>(txtTo)})
            w->setEnabled(optCode->isChecked());
        updatePreview();
    };
    (selected > 1 ? optSelection : optCode)->setChecked(true);
    enable();
    connect(optCode, &QRadioButton::toggled, this, enable);
    connect(cboCode, &QComboBox::currentIndexChanged, this, &PlanDialog::updatePreview);
    connect(txtStart, &QLineEdit::textChanged, this, &PlanDialog::updatePreview);
    connect(chkUse, &QCheckBox::toggled, this, &PlanDialog::updatePreview);
    finishLayout({optSelection, optCode, cboCode, txtFrom, txtTo, txtStart}, ctx.GetText(QStringLiteral("PL25")), chkUse);
    txtStart->setFocus();
    txtStart->selectAll();
}

FillRequest fFillAddresses::request() const
{
    FillRequest r;
    r.selection = optSelection->isChecked();
    r.code = cboCode->currentData().toInt();
    r.firstDevice = txtFrom->value();
    r.lastDevice = txtTo->value();
    r.start = txtStart->text();
    r.level = level();
    r.step = txtStep->value();
    r.setUse = chkUse->isChecked();
    return r;
}

// ---- Apply plan -------------------------------------------------------------------------------------

fApplyPlan::fApplyPlan(AppContext &ctx, EditorSession &session, AddressPlanCore &core, int source, QWidget *parent)
    : PlanDialog(ctx, session, core, parent)
{
    setObjectName(QStringLiteral("fApplyPlan"));
    const int count = session.settingsPage().deviceCount();
    txtSource = deviceBox("txtSource", source);
    txtFrom = deviceBox("txtFrom", std::min(source + 1, count));
    txtTo = deviceBox("txtTo", count);
    chkFurther = new QCheckBox(ctx.GetText(QStringLiteral("PL35")), this);
    chkFurther->setObjectName(QStringLiteral("chkFurther"));
    auto *devices = new QHBoxLayout;
    devices->addWidget(txtFrom);
    devices->addWidget(new QLabel(ctx.GetText(QStringLiteral("PL23")), this));
    devices->addWidget(txtTo);
    devices->addStretch(1);
    m_form->addRow(ctx.GetText(QStringLiteral("PL33")), txtSource);
    m_form->addRow(ctx.GetText(QStringLiteral("PL34")), devices);
    auto title = [this] { setWindowTitle(m_core.applyPlanCaption(txtSource->value(), false)); };
    title();
    connect(txtSource, &QSpinBox::valueChanged, this, title);
    connect(chkFurther, &QCheckBox::toggled, this, &PlanDialog::updatePreview);
    finishLayout({txtSource, txtFrom, txtTo}, ctx.GetText(QStringLiteral("PL36")), chkFurther);
    txtFrom->setFocus();
    txtFrom->selectAll();
}

ApplyPlanRequest fApplyPlan::request() const
{
    ApplyPlanRequest r;
    r.source = txtSource->value();
    r.firstDevice = txtFrom->value();
    r.lastDevice = txtTo->value();
    r.level = level();
    r.step = txtStep->value();
    r.shiftFurther = chkFurther->isChecked();
    return r;
}

} // namespace tarveon
