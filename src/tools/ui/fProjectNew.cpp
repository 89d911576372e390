#include "tools/ui/fProjectNew.h"

#include "app/AppContext.h"
#include "tools/ui/fProject.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarveon {

namespace {

// The project list the dialog works for: its parent's, else a list of its own for a new project
// from templates.
ProjectListCore &listFor(AppContext &ctx, QWidget *parent, std::unique_ptr<ProjectListCore> &own)
{
    for (QWidget *w = parent; w; w = w->parentWidget()) {
        if (auto *list = qobject_cast<fProject *>(w))
            return list->list();
    }
    own = std::make_unique<ProjectListCore>(ctx);
    own->mStatus = 1;
    return *own;
}

} // namespace

fProjectNew::fProjectNew(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_dialog(ctx, listFor(ctx, parent, m_ownList))
{
    setObjectName(QStringLiteral("fProjectNew"));
    setWindowTitle(ctx.GetText(QStringLiteral("X86")));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    const QString captions[3] = {ctx.GetText(QStringLiteral("X86")), ctx.GetText(QStringLiteral("X25")),
                                 QStringLiteral("Gateway")};
    for (int i = 0; i < 3; ++i) {
        lbl[size_t(i)] = new QLabel(captions[i], this);
        lbl[size_t(i)]->setObjectName(QStringLiteral("lbl_%1").arg(i));
    }
    txtNom = new QLineEdit(this);
    txtNom->setObjectName(QStringLiteral("txtNom"));
    txtDesc = new QLineEdit(this);
    txtDesc->setObjectName(QStringLiteral("txtDesc"));
    cboProt = new QComboBox(this);
    cboProt->setObjectName(QStringLiteral("cboProt"));
    cboProt->setEditable(false);
    lbl[0]->setBuddy(txtNom);
    lbl[1]->setBuddy(txtDesc);
    lbl[2]->setBuddy(cboProt);
    // Tab goes down the fields as they stand: name, gateway, description.
    setTabOrder(txtNom, cboProt);
    setTabOrder(cboProt, txtDesc);

    cmdAceptar = new QPushButton(ctx.GetText(QStringLiteral("X1")), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdCancelar = new QPushButton(ctx.GetText(QStringLiteral("X3")), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(lbl[0], 0, 0);
    grid->addWidget(txtNom, 0, 1);
    grid->addWidget(lbl[2], 1, 0);
    grid->addWidget(cboProt, 1, 1);
    grid->addWidget(lbl[1], 2, 0);
    grid->addWidget(txtDesc, 2, 1);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    resize(460, 170);

    connect(cmdAceptar, &QPushButton::clicked, this, &fProjectNew::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &fProjectNew::reject);

    const ProjectDialogCore::Fields fields = m_dialog.load();
    cboProt->addItems(fields.protocols);
    cboProt->setCurrentIndex(fields.protocolIndex);
    txtNom->setText(fields.name);
    txtDesc->setText(fields.description);
    cboProt->setEnabled(!fields.protocolFixed);
    txtNom->setFocus();
    txtNom->selectAll();
}

fProjectNew::~fProjectNew() = default;

void fProjectNew::cmdAceptar_Click()
{
    if (m_dialog.accept(txtNom->text(), txtDesc->text(), cboProt->currentText()))
        accept();
}

void fProjectNew::reject()
{
    // Cancel, Escape and the close box alike: nothing was made.
    m_dialog.cancel();
    QDialog::reject();
}

} // namespace tarveon
