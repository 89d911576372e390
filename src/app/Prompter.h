#pragma once
#include <QString>

namespace tarveon {

// The platform's standard message box: icon kind, buttons and the answer.
enum class BoxKind { Information, Exclamation, Critical, Question };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxAnswer { Closed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Every message and prompt of the program goes through this seam: the program shows real
// dialogs, tests record the texts and script the answers, the command line prints and never asks.
class Prompter {
public:
    virtual ~Prompter() = default;

    // Message dialog fMsgBox: Msgbox1(texto, cabecera, icono, botonDefecto, botones, texts),
    // shown modally. Returns MsgBoxResult: the button pressed (1..3), 0 when closed otherwise.
    // icono: 2 exclamation, 3 alert, anything else question mark. Empty cabecera = app title.
    virtual int msgBox(const QString &texto, const QString &cabecera, int icono, int botonDefecto,
                       int botones, const QString &textoBoton1 = {}, const QString &textoBoton2 = {},
                       const QString &textoBoton3 = {}) = 0;

    // Input dialog fInputBox (ShowInputBox): typed text after OK, empty after Cancel or close.
    virtual QString inputBox(const QString &title, const QString &prompt, const QString &defaultText) = 0;

    // The platform's message box.
    virtual BoxAnswer platformBox(BoxKind kind, const QString &title, const QString &text,
                                  BoxButtons buttons = BoxButtons::Ok,
                                  BoxAnswer defaultAnswer = BoxAnswer::Ok) = 0;
};

// The application title used in captions and message boxes.
inline const QString kAppTitle = QStringLiteral("Tarveon Config");

} // namespace tarveon
