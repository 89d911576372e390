#include "RecordingPrompter.h"

namespace tarveon {

int RecordingPrompter::msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton,
                              MsgButtons buttons, const QString &b1, const QString &b2, const QString &b3)
{
    Record r{Record::MsgBox, heading.isEmpty() ? kAppTitle : heading, text, int(icon), int(buttons), {b1, b2, b3}};
    records.append(r);
    if (onRecord)
        onRecord(r);
    if (!msgBoxAnswers.isEmpty())
        return msgBoxAnswers.takeFirst();
    return int(defaultButton);
}

QString RecordingPrompter::inputBox(const QString &title, const QString &prompt, const QString &defaultText)
{
    Record r{Record::InputBox, title, prompt, 0, 0, {defaultText}};
    records.append(r);
    if (onRecord)
        onRecord(r);
    if (!inputAnswers.isEmpty())
        return inputAnswers.takeFirst();
    return {};
}

BoxAnswer RecordingPrompter::platformBox(BoxKind kind, const QString &title, const QString &text, BoxButtons buttons,
                                         BoxAnswer defaultAnswer)
{
    Record r{Record::PlatformBox, title, text, int(kind), int(buttons), {}};
    records.append(r);
    if (onRecord)
        onRecord(r);
    if (!boxAnswers.isEmpty())
        return boxAnswers.takeFirst();
    return defaultAnswer;
}

QStringList RecordingPrompter::texts() const
{
    QStringList out;
    for (const Record &r : records)
        out << r.text;
    return out;
}

} // namespace tarveon
