#include "tools/ui/fInputBox.h"

#include "app/AppContext.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarveon {

fInputBox::fInputBox(AppContext &ctx, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fInputBox"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    lblDesc = new QLabel(this);
    lblDesc->setObjectName(QStringLiteral("lblDesc"));
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDesc->setMinimumWidth(340); // a group address and its EIS type on one line

    txtDato = new QLineEdit(this);
    txtDato->setObjectName(QStringLiteral("txtDato"));
    txtDato->installEventFilter(this);

    cmdAceptar = new QPushButton(ctx.GetText(QStringLiteral("X1")), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdCancelar = new QPushButton(ctx.GetText(QStringLiteral("X3")), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    // Enter belongs to the input line (see eventFilter); buttons only act when pressed.
    cmdAceptar->setAutoDefault(false);
    cmdCancelar->setAutoDefault(false);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdCancelar);
    buttons->addStretch();
    auto *grid = new QGridLayout(this);
    grid->addWidget(lblDesc, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(txtDato, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(txtDato, cmdAceptar);
    setTabOrder(cmdAceptar, cmdCancelar);

    connect(cmdAceptar, &QPushButton::clicked, this, [this] {
        m_result = txtDato->text();
        hide();
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        m_result.clear();
        hide();
    });
}

QString fInputBox::ShowInputBox(const QString &title, const QString &prompt, const QString &defaultText)
{
    setWindowTitle(title);
    lblDesc->setText(prompt);
    txtDato->setText(defaultText);
    m_result.clear();
    txtDato->setFocus(Qt::OtherFocusReason);
    exec();
    return m_result;
}

bool fInputBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtDato) {
        if (event->type() == QEvent::FocusIn) {
            // After the event: a mouse press would otherwise place the cursor over the selection.
            QTimer::singleShot(0, txtDato, [edit = txtDato] { edit->selectAll(); });
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                cmdAceptar->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void fInputBox::closeEvent(QCloseEvent *event)
{
    // The close box only hides the dialog; the result stays empty.
    m_result.clear();
    event->ignore();
    hide();
}

QString ShowInputBox(AppContext &ctx, QWidget *parent, const QString &title, const QString &prompt,
                     const QString &defaultText)
{
    // The dialog is discarded on return.
    fInputBox box(ctx, parent);
    return box.ShowInputBox(title, prompt, defaultText);
}

} // namespace tarveon
