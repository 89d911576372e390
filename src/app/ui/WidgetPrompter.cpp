#include "app/ui/WidgetPrompter.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tarveon {

int WidgetPrompter::msgBox(const QString &texto, const QString &cabecera, int icono, int botonDefecto, int botones,
                           const QString &b1, const QString &b2, const QString &b3)
{
    // Stand-in until the message dialog window exists.
    QMessageBox box(m_parent);
    box.setWindowTitle(cabecera.isEmpty() ? kAppTitle : cabecera);
    box.setText(texto);
    box.setIcon(icono == 2 ? QMessageBox::Warning : icono == 3 ? QMessageBox::Critical : QMessageBox::Question);
    QList<QPushButton *> buttons;
    const QString captions[3] = {b1.isEmpty() ? QStringLiteral("OK") : b1, b2, b3};
    for (int i = 0; i < botones && i < 3; ++i)
        buttons << box.addButton(captions[i], QMessageBox::AcceptRole);
    if (botonDefecto >= 1 && botonDefecto <= buttons.size())
        box.setDefaultButton(buttons[botonDefecto - 1]);
    box.exec();
    const int idx = int(buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return idx < 0 ? 0 : idx + 1;
}

QString WidgetPrompter::inputBox(const QString &title, const QString &prompt, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
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
