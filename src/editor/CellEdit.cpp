#include "editor/CellEdit.h"

#include "app/Text.h"

namespace tarveon {

std::optional<QString> ColumnValueOf(const ColumnInfo &info, int column, const QString &text)
{
    const QString trimmed = TrimBlanks(text);
    if (column == kColAddress || column == kColFurtherAddresses)
        return trimmed;
    if (column >= kColR && column <= kColU) {
        if (trimmed.isEmpty())
            return QString();
        const QString upper = trimmed.toUpper();
        for (const ColumnValue &v : info.Values) {
            if (!v.text.isEmpty() && v.text == upper)
                return v.text;
        }
        return std::nullopt;
    }
    if (column == kColYesNo) {
        // "Yes" has no number and would read 0: only a text that starts with its number counts.
        if (trimmed.isEmpty() || !trimmed.front().isDigit())
            return std::nullopt;
        const double number = LeadingNumber(trimmed);
        if (number != 0.0 && number != 1.0)
            return std::nullopt;
        return info.value(number == 0.0 ? QStringLiteral("K0") : QStringLiteral("K1"));
    }
    return std::nullopt;
}

QVector<QStringList> TabSeparatedLines(const QString &text)
{
    QStringView body(text);
    if (body.endsWith(u'\n'))
        body.chop(1);
    if (body.endsWith(u'\r'))
        body.chop(1);
    QVector<QStringList> lines;
    for (QStringView line : body.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line.toString().split(u'\t'));
    }
    return lines;
}

} // namespace tarveon
