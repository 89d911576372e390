#pragma once
#include <QString>

namespace tarveon {

// The platform's standard message box: icon kind, buttons and the answer.
enum class BoxKind { Information, Exclamation, Critical, Question };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxAnswer { Closed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// The message dialog's icon, how many buttons it shows and which one Enter presses.
enum class MsgIcon { Question = 1, Exclamation = 2, Alert = 3 };
enum class MsgButtons { One = 1, Two = 2, Three = 3 };
enum class MsgDefault { First = 1, Second = 2, Third = 3 };

// Every message and prompt of the program goes through this seam: the program shows real
// dialogs, tests record the texts and script the answers, the command line prints and never asks.
class Prompter {
public:
    virtual ~Prompter() = default;

    // Message dialog fMsgBox, shown modally. Returns MsgBoxResult: the button pressed (1..3), 0 when
    // closed otherwise. An empty heading means the application title; an empty button text keeps
    // the dialog's own caption.
    virtual int msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton,
                       MsgButtons buttons, const QString &button1 = {}, const QString &button2 = {},
                       const QString &button3 = {}) = 0;

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
