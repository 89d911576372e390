#include "tools/ui/frmAbout.h"

#include "app/AppContext.h"
#include "app/ui/AppIcon.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarveon {

frmAbout::frmAbout(AppContext &ctx, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);
    if (windowIcon().isNull())
        setWindowIcon(appIcon());

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(windowIcon().pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    setWindowTitle(ctx.GetText(QStringLiteral("X11")) + kAppTitle);

    lblTitle = new QLabel(kAppTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(ctx.GetText(QStringLiteral("X82")) + QLatin1Char(' ') + programVersion(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    // Description, two line breaks, company, one line break, comments.
    lblDescription = new QLabel(programFileDescription() + QStringLiteral("\n\n") + programCompany() +
                                    QLatin1Char('\n') + programComments(),
                                this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    lblDisclaimer = new QLabel(ctx.GetText(QStringLiteral("X26")), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    QFont small = lblDisclaimer->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    lblDisclaimer->setFont(small);

    cmdOK = new QPushButton(ctx.GetText(QStringLiteral("X1")), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addWidget(cmdOK, 0, Qt::AlignBottom);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(line);
    outer->addLayout(bottom);
    setFixedWidth(440);
}

} // namespace tarveon
