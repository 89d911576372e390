#pragma once
#include "app/Prompter.h"

#include <QStringList>
#include <functional>

namespace tarveon {

// A prompter that never shows anything: it records every text and answers from a script
// (or with the default button). A test double: tests, benchmarks and fuzz targets use it.
class RecordingPrompter : public Prompter {
public:
    struct Record {
        enum Kind { MsgBox, InputBox, PlatformBox } kind;
        QString title;
        QString text;
        int icon = 0;       // msgBox: int(MsgIcon); platformBox: int(BoxKind)
        int buttons = 0;    // msgBox: int(MsgButtons); platformBox: int(BoxButtons)
        QStringList buttonTexts;
    };

    int msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton,
               MsgButtons buttons, const QString &button1, const QString &button2, const QString &button3) override;
    QString inputBox(const QString &title, const QString &prompt, const QString &defaultText) override;
    BoxAnswer platformBox(BoxKind kind, const QString &title, const QString &text, BoxButtons buttons,
                          BoxAnswer defaultAnswer) override;

    // Scripted answers, taken in order; when none is left the default button / empty text / default
    // answer is given.
    QList<int> msgBoxAnswers;
    QStringList inputAnswers;
    QList<BoxAnswer> boxAnswers;

    QList<Record> records;
    // Called for every message shown (the command line prints it).
    std::function<void(const Record &)> onRecord;

    QStringList texts() const;
    void clear() { records.clear(); }
};

} // namespace tarveon
