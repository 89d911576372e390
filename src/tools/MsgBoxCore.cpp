#include "tools/MsgBoxCore.h"

namespace tarveon {

QString replaceAll(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty())
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype hit = text.indexOf(search, from);
        if (hit < 0)
            break;
        out += QStringView(text).mid(from, hit - from);
        out += replacement;
        from = hit + search.size();
    }
    out += QStringView(text).mid(from);
    return out;
}

QString normaliseMessageLineEnds(const QString &text)
{
    return replaceAll(replaceAll(text, QStringLiteral("\n"), QString()), QStringLiteral("\r"),
                      QStringLiteral("\r\n"));
}

QList<int> msgBoxButtonLefts(int innerWidth, int buttonWidth, int count)
{
    if (count < 1 || count > 3)
        return {};
    const int rowWidth = count * buttonWidth + (count - 1) * kMsgBoxButtonGap;
    QList<int> lefts;
    int left = (innerWidth - rowWidth) / 2;
    for (int i = 0; i < count; ++i) {
        lefts << left;
        left += buttonWidth + kMsgBoxButtonGap;
    }
    return lefts;
}

int msgBoxCancelButton(int count)
{
    return count >= 1 && count <= 3 ? count : 0;
}

} // namespace tarveon
