#pragma once
#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QTextEdit;

namespace tarveon {

class AppContext;

// The message dialog: a message under a heading, one of three icons and one to three buttons
// whose captions the caller chooses. Prepare with Msgbox1, show with exec(), then read
// MsgBoxResult(): the button pressed (1 to 3), or 0 when the dialog was closed otherwise.
class fMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit fMsgBox(const AppContext &ctx, QWidget *parent = nullptr);

    // Texto: the message, lines broken by CR. Cabecera: the caption (empty: the application's
    // title). Icono: 2 exclamation, 3 alert, else the question mark. BotonDefecto: the button
    // Enter presses (1..Botones). Botones: how many buttons are shown (1..3). An empty button
    // text keeps the caption the dialog was built with.
    void Msgbox1(const QString &Texto, const QString &Cabecera, int Icono, int BotonDefecto, int Botones,
                 const QString &TextoBoton1 = {}, const QString &TextoBoton2 = {}, const QString &TextoBoton3 = {});

    int MsgBoxResult() const { return m_result; }
    // The message as prepared: LF removed, CR turned into CR LF.
    const QString &message() const { return m_message; }

    QTextEdit *lblMsg;
    std::array<QPushButton *, 3> cmd;
    QLabel *imgInterrogacion;
    QLabel *imgExclamacion;
    QLabel *imgAlerta;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void layoutFor(int botones, bool shortText);

    int m_result = 0;
    int m_cancelButton = 0;
    QString m_message;
};

} // namespace tarveon
