#include "app/ConsolePrompter.h"

#include <QTextStream>

namespace tarveon {

QString ConsolePrompter::oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

void ConsolePrompter::print(const QString &text)
{
    QTextStream(stderr) << oneLine(text) << Qt::endl;
}

void ConsolePrompter::show(const QString &text)
{
    if (m_holding)
        m_held << oneLine(text);
    else
        print(text);
}

int ConsolePrompter::msgBox(const QString &text, const QString &, MsgIcon, MsgDefault defaultButton, MsgButtons,
                            const QString &, const QString &, const QString &)
{
    show(text);
    return int(defaultButton);
}

QString ConsolePrompter::inputBox(const QString &, const QString &prompt, const QString &)
{
    show(prompt);
    return {};
}

BoxAnswer ConsolePrompter::platformBox(BoxKind, const QString &, const QString &text, BoxButtons,
                                       BoxAnswer defaultAnswer)
{
    show(text);
    return defaultAnswer;
}

} // namespace tarveon
