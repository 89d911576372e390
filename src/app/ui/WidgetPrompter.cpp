#include "app/ui/WidgetPrompter.h"

#include "tools/ui/fInputBox.h"
#include "tools/ui/fMsgBox.h"

#include <QMessageBox>

namespace tarveon {

int WidgetPrompter::msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton,
                           MsgButtons buttons, const QString &b1, const QString &b2, const QString &b3)
{
    Q_ASSERT(m_ctx);
    fMsgBox box(*m_ctx, m_parent);
    box.Msgbox1(text, heading, int(icon), int(defaultButton), int(buttons), b1, b2, b3);
    box.exec();
    return box.MsgBoxResult();
}

QString WidgetPrompter::inputBox(const QString &title, const QString &prompt, const QString &defaultText)
{
    Q_ASSERT(m_ctx);
    return ShowInputBox(*m_ctx, m_parent, title, prompt, defaultText);
}

BoxAnswer WidgetPrompter::platformBox(BoxKind kind, const QString &title, const QString &text, BoxButtons buttons,
                                      BoxAnswer defaultAnswer)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case BoxKind::Information: icon = QMessageBox::Information; break;
    case BoxKind::Exclamation: icon = QMessageBox::Warning; break;
    case BoxKind::Critical: icon = QMessageBox::Critical; break;
    case BoxKind::Question: icon = QMessageBox::Question; break;
    }
    QMessageBox::StandardButtons std = QMessageBox::Ok;
    switch (buttons) {
    case BoxButtons::Ok: std = QMessageBox::Ok; break;
    case BoxButtons::OkCancel: std = QMessageBox::Ok | QMessageBox::Cancel; break;
    case BoxButtons::YesNo: std = QMessageBox::Yes | QMessageBox::No; break;
    case BoxButtons::YesNoCancel: std = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    auto toStd = [](BoxAnswer a) {
        switch (a) {
        case BoxAnswer::Ok: return QMessageBox::Ok;
        case BoxAnswer::Cancel: return QMessageBox::Cancel;
        case BoxAnswer::Yes: return QMessageBox::Yes;
        case BoxAnswer::No: return QMessageBox::No;
        default: return QMessageBox::NoButton;
        }
    };
    QMessageBox box(icon, title, text, std, m_parent);
    box.setDefaultButton(toStd(defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Ok: return BoxAnswer::Ok;
    case QMessageBox::Cancel: return BoxAnswer::Cancel;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    default: return BoxAnswer::Closed;
    }
}

} // namespace tarveon
