#include "tools/DialogLogic.h"

namespace tarveon {

QString ReplaceAll(const QString &text, const QString &search, const QString &replacement)
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

QString NormaliseMessageLineEnds(const QString &text)
{
    return ReplaceAll(ReplaceAll(text, QStringLiteral("\n"), QString()), QStringLiteral("\r"),
                      QStringLiteral("\r\n"));
}

QList<int> MsgBoxButtonLefts(int innerWidth, int buttonWidth, int count)
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

int MsgBoxCancelButton(int count)
{
    return count >= 1 && count <= 3 ? count : 0;
}

} // namespace tarveon
