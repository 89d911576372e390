#include "tools/EtsReader.h"

#include "app/Text.h"
#include "model/GroupAddress.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <QXmlStreamReader>

namespace tarveon {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// "1/3/1", "1/515" or "2563"; range rows ("1/-/-") and names are not addresses.
qint16 addressOf(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\d+(/\\d+){0,2}$"));
    const QString t = text.trimmed();
    if (!form.match(t).hasMatch())
        return 0;
    return qMax<qint16>(0, GroupTextToNumber(t));
}

} // namespace

QChar FindCsvSeparator(const QString &text)
{
    const QChar candidates[] = {u';', u',', u'\t'};
    int counts[3] = {0, 0, 0};
    bool inQuotes = false;
    for (const QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (!inQuotes && (c == u'\n' || c == u'\r'))
            break;
        for (int i = 0; i < 3; ++i)
            counts[i] += !inQuotes && c == candidates[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        best = counts[i] > counts[best] ? i : best;
    return candidates[best];
}

QVector<QStringList> SplitCsv(const QString &text, QChar separator)
{
    QVector<QStringList> rows;
    QStringList fields;
    QString field;
    bool inQuotes = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            inQuotes = true;
            any = true;
        } else if (c == separator) {
            fields << field;
            field.clear();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (any || !field.isEmpty())
                rows << (fields << field);
            fields.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty())
        rows << (fields << field);
    return rows;
}

QString DecodeCsvText(const QByteArray &bytes, bool *windows1252)
{
    const bool bom = bytes.startsWith(kUtf8Bom);
    const QByteArrayView body = QByteArrayView(bytes).sliced(bom ? kUtf8Bom.size() : 0);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    const bool cp1252 = !bom && utf8.hasError();
    if (cp1252)
        text = fromCp1252(body);
    if (windows1252)
        *windows1252 = cp1252;
    return text;
}

namespace {

EtsFile readXml(const QByteArray &bytes)
{
    EtsFile file;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("GroupAddress"))
            continue;
        const QXmlStreamAttributes at = xml.attributes();
        const qint16 address = addressOf(at.value(QLatin1String("Address")).toString());
        if (address > 0) {
            file.addresses.append({address, at.value(QLatin1String("Name")).toString(),
                                   at.value(QLatin1String("Description")).toString(),
                                   ParseDpt(at.value(QLatin1String("DPTs")))});
        }
    }
    file.format = xml.hasError() && file.addresses.isEmpty() ? EtsFile::Format::Unknown : EtsFile::Format::Xml;
    return file;
}

struct CsvColumns {
    int name = -1, address = -1, description = -1, dpt = -1;
};

} // namespace

EtsFile ReadEtsFile(const QByteArray &bytes)
{
    const bool bom = bytes.startsWith(kUtf8Bom);
    const QByteArray body = bom ? bytes.mid(kUtf8Bom.size()) : bytes;
    if (body.trimmed().startsWith('<')) {
        EtsFile file = readXml(bytes);
        file.byteOrderMark = bom;
        return file;
    }

    EtsFile file;
    file.byteOrderMark = bom;
    const QString text = DecodeCsvText(bytes, &file.windows1252);
    file.separator = FindCsvSeparator(text);
    QVector<QStringList> rows = SplitCsv(text, file.separator);
    if (rows.isEmpty())
        return file;

    // With a header the columns are found by name; without, by where the address stands.
    CsvColumns col;
    const QStringList &first = rows.front();
    const int addressColumn = int(first.indexOf(QRegularExpression(QStringLiteral("^\\s*Address\\s*$"),
                                                                   QRegularExpression::CaseInsensitiveOption)));
    const bool threeOne = addressColumn >= 0 ? first.contains(QStringLiteral("Sub"), Qt::CaseInsensitive)
                                             : first.size() > 3 && first[3].contains(u'/');
    if (threeOne)
        col = {2, 3, 6, 7};
    else
        col = {0, 1, 4, 5};
    if (addressColumn >= 0) {
        auto find = [&](const char *name) { return int(first.indexOf(QLatin1String(name))); };
        col = {threeOne ? find("Sub") : find("Group name"), addressColumn, find("Description"), find("DatapointType")};
        rows.removeFirst();
    }
    file.format = threeOne ? EtsFile::Format::Csv31 : EtsFile::Format::Csv11;
    for (const QStringList &row : std::as_const(rows)) {
        const qint16 address = addressOf(row.value(col.address));
        if (address > 0)
            file.addresses.append({address, row.value(col.name), row.value(col.description), ParseDpt(row.value(col.dpt))});
    }
    if (file.addresses.isEmpty())
        file.format = EtsFile::Format::Unknown;
    return file;
}

} // namespace tarveon
