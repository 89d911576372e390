#pragma once
#include "app/Prompter.h"

class QWidget;

namespace tarveon {

class AppContext;

// The program's prompter: the message and input dialogs, and the platform's message box.
// Needs the context (setContext) before the first message: the dialogs take their captions from it.
class WidgetPrompter : public Prompter {
public:
    explicit WidgetPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void setContext(AppContext *ctx) { m_ctx = ctx; }

    int msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton, MsgButtons buttons,
               const QString &textoBoton1 = {}, const QString &textoBoton2 = {},
               const QString &textoBoton3 = {}) override;
    QString inputBox(const QString &title, const QString &prompt, const QString &defaultText) override;
    BoxAnswer platformBox(BoxKind kind, const QString &title, const QString &text, BoxButtons buttons,
                          BoxAnswer defaultAnswer) override;

private:
    QWidget *m_parent;
    AppContext *m_ctx = nullptr;
};

} // namespace tarveon
