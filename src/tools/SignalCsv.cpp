#include "tools/SignalCsv.h"

#include "app/Text.h"
#include "editor/SignalCatalogue.h"
#include "tools/EtsReader.h"

namespace tarveon {

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QByteArray SignalTableCsv(const SignalTable &table)
{
    QString text;
    for (const SignalRow &row : table.rows) {
        for (int c = 0; c < kSignalColumns; ++c) {
            if (c > 0)
                text += QLatin1Char(';');
            text += csvField(row[c]);
        }
        text += QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

SignalCsvImport ReadSignalTableCsv(const QByteArray &bytes, const SignalTable &table, const ColumnInfos &columns)
{
    SignalCsvImport out;
    const QString text = DecodeCsvText(bytes);
    const QVector<QStringList> lines = SplitCsv(text, FindCsvSeparator(text));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList &fields = lines[i];
        if (i == 0 && !IsNumericText(fields.value(kColDevice)))
            continue;
        const int device = int(LeadingInteger(fields.value(kColDevice)));
        const int code = int(LeadingInteger(fields.value(kColCode)));
        const int row = FindRow(table, device, code);
        QVector<CellWrite> writes;
        bool fits = row > 0 && fields.size() >= kSignalColumns;
        for (int c = kColAddress; fits && c <= kColYesNo; ++c) {
            const std::optional<QString> value = ColumnValueOf(columns[size_t(c)], c, fields[c]);
            fits = value.has_value();
            if (fits)
                writes.append({row, c, *value});
        }
        if (!fits) {
            out.unplaced << QStringLiteral("%1: %2").arg(i + 1).arg(RowKey(device, code));
            continue;
        }
        out.writes += writes;
        ++out.placed;
    }
    return out;
}

} // namespace tarveon
