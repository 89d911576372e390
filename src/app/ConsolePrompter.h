#pragma once
#include "app/Prompter.h"

#include <QStringList>
#include <utility>

namespace tarveon {

// The prompter of the programs without windows (tarveon-cli, tarveon-config --paths): every
// message is printed on stderr as one line (its line breaks become blanks) and nothing is ever
// asked: a message gives its default button, an input box no text (as after Cancel).
class ConsolePrompter : public Prompter {
public:
    int msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton,
               MsgButtons buttons, const QString &button1, const QString &button2, const QString &button3) override;
    QString inputBox(const QString &title, const QString &prompt, const QString &defaultText) override;
    BoxAnswer platformBox(BoxKind kind, const QString &title, const QString &text, BoxButtons buttons,
                          BoxAnswer defaultAnswer) override;

    // While held, messages are kept (one line each) instead of printed, for the caller to print
    // them with more words or not at all.
    void hold(bool on) { m_holding = on; }
    QStringList takeHeld() { return std::exchange(m_held, {}); }

    // Prints one message as one line on stderr.
    static void print(const QString &text);
    static QString oneLine(QString text);

private:
    void show(const QString &text);
    bool m_holding = false;
    QStringList m_held;
};

} // namespace tarveon
