#include "tools/ui/fMsgBox.h"

#include "app/AppContext.h"
#include "app/WindowLayout.h"
#include "tools/MsgBoxCore.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtMath>

namespace tarveon {

namespace {

// Design measures, twips.
constexpr int kInnerWidth = 6300;
constexpr int kDesignHeight = 2100;
constexpr int kMargin = 240;
constexpr int kIconSize = 480;
constexpr int kMsgLeft = kMargin + kIconSize + kMargin;
constexpr int kMsgTop = kMargin;
constexpr int kShortMsgTop = 450;
constexpr int kMsgWidth = kInnerWidth - kMsgLeft - kMargin;
constexpr int kButtonWidth = 1275;
constexpr int kButtonHeight = 375;

QString captionOf(const AppContext &ctx, const char *key)
{
    // The message dialog cannot report a missing text through itself.
    const QString text = ctx.language.textOrEmpty(QLatin1String(key));
    return text.isEmpty() ? QStringLiteral("???") : text;
}

QLabel *iconLabel(QWidget *parent, const char *name, QStyle::StandardPixmap which)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    const int px = twipsToPixels(kIconSize);
    label->setPixmap(parent->style()->standardIcon(which, nullptr, parent).pixmap(px, px));
    label->setGeometry(twipsToPixels(kMargin), twipsToPixels(kMargin), px, px);
    return label;
}

} // namespace

fMsgBox::fMsgBox(const AppContext &ctx, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fMsgBox"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    imgInterrogacion = iconLabel(this, "imgInterrogacion", QStyle::SP_MessageBoxQuestion);
    imgExclamacion = iconLabel(this, "imgExclamacion", QStyle::SP_MessageBoxWarning);
    imgAlerta = iconLabel(this, "imgAlerta", QStyle::SP_MessageBoxCritical);
    imgExclamacion->hide();
    imgAlerta->hide();

    lblMsg = new QTextEdit(this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setReadOnly(true);
    lblMsg->setFrameShape(QFrame::NoFrame);
    lblMsg->setFocusPolicy(Qt::ClickFocus);
    lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblMsg->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    lblMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lblMsg->viewport()->setAutoFillBackground(false);
    lblMsg->setStyleSheet(QStringLiteral("QTextEdit { background: transparent; }"));
    lblMsg->document()->setDocumentMargin(0);

    const char *captionKeys[3] = {"X1", "X8", "X8"};
    for (int i = 0; i < 3; ++i) {
        cmd[i] = new QPushButton(captionOf(ctx, captionKeys[i]), this);
        cmd[i]->setObjectName(QStringLiteral("cmd"));
        cmd[i]->setProperty("index", i);
        cmd[i]->hide();
        connect(cmd[i], &QPushButton::clicked, this, [this, i] {
            m_result = i + 1;
            accept();
        });
    }
    layoutFor(0, false);
}

void fMsgBox::Msgbox1(const QString &Texto, const QString &Cabecera, int Icono, int BotonDefecto, int Botones,
                      const QString &TextoBoton1, const QString &TextoBoton2, const QString &TextoBoton3)
{
    const bool shortText = Texto.size() < kShortMessageLength;

    m_message = normaliseMessageLineEnds(Texto);
    // The document breaks paragraphs at LF: show each CR LF as one line break.
    lblMsg->setPlainText(replaceAll(m_message, QStringLiteral("\r\n"), QStringLiteral("\n")));
    QTextCursor all(lblMsg->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(shortText ? Qt::AlignHCenter : Qt::AlignLeft);
    all.mergeBlockFormat(format);

    setWindowTitle(Cabecera.isEmpty() ? kAppTitle : Cabecera);

    if (Icono == 2)
        imgInterrogacion->setPixmap(imgExclamacion->pixmap());
    else if (Icono == 3)
        imgInterrogacion->setPixmap(imgAlerta->pixmap());

    const QString texts[3] = {TextoBoton1, TextoBoton2, TextoBoton3};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i].isEmpty())
            cmd[i]->setText(texts[i]);
    }

    layoutFor(Botones, shortText);

    m_cancelButton = msgBoxCancelButton(Botones);
    for (int i = 0; i < 3; ++i) {
        cmd[i]->setDefault(i + 1 == BotonDefecto);
        cmd[i]->setAutoDefault(true);
    }
    if (BotonDefecto >= 1 && BotonDefecto <= 3 && cmd[BotonDefecto - 1]->isVisibleTo(this))
        cmd[BotonDefecto - 1]->setFocus(Qt::OtherFocusReason);
}

void fMsgBox::layoutFor(int botones, bool shortText)
{
    // The message keeps its design place unless short; a long one makes the dialog taller
    // (up to most of the screen) rather than being cut.
    const int msgTop = twipsToPixels(shortText ? kShortMsgTop : kMsgTop);
    const int msgWidth = twipsToPixels(kMsgWidth);
    lblMsg->document()->setTextWidth(msgWidth);
    int msgHeight = qCeil(lblMsg->document()->documentLayout()->documentSize().height()) + 2;
    const int buttonHeight = twipsToPixels(kButtonHeight);
    const int margin = twipsToPixels(kMargin);
    int height = qMax(twipsToPixels(kDesignHeight), msgTop + msgHeight + margin + buttonHeight + margin);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int maxHeight = screen ? screen->availableGeometry().height() * 3 / 4 : 800;
    if (height > maxHeight) {
        height = maxHeight;
        msgHeight = height - msgTop - margin - buttonHeight - margin;
        lblMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
        lblMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    lblMsg->setGeometry(twipsToPixels(kMsgLeft), msgTop, msgWidth, msgHeight);

    const int buttonTop = height - margin - buttonHeight;
    const QList<int> lefts = msgBoxButtonLefts(kInnerWidth, kButtonWidth, botones);
    for (int i = 0; i < 3; ++i) {
        if (i < lefts.size()) {
            cmd[i]->setGeometry(twipsToPixels(lefts[i]), buttonTop, twipsToPixels(kButtonWidth), buttonHeight);
            cmd[i]->show();
        } else {
            cmd[i]->hide();
        }
    }
    setFixedSize(twipsToPixels(kInnerWidth), height);
}

void fMsgBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Esc presses the cancel button; without one it does nothing.
        if (m_cancelButton > 0)
            cmd[m_cancelButton - 1]->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tarveon
