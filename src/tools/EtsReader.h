#pragma once
#include "model/DatapointTypes.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tarveon {

// One group address of an ETS export.
struct EtsAddress {
    qint16 address = 0;
    QString name;
    QString description;
    Dpt dpt;
};

// An ETS group-address export as read: what it was and its addresses in file order (range rows
// and rows without a usable address are left out, as ETS itself skips them).
struct EtsFile {
    enum class Format { Unknown, Csv31, Csv11, Xml };
    Format format = Format::Unknown;
    QChar separator;          // CSV only
    bool windows1252 = false; // CSV only: not UTF-8
    bool byteOrderMark = false;
    QVector<EtsAddress> addresses;
};

// Reads any of ETS's group-address exports: XML, or CSV "3/1" or "1/1" with or without header;
// separator (';', ',' or tab), quoting, byte-order mark and encoding (UTF-8, else Windows-1252)
// are found from the bytes.
EtsFile ReadEtsFile(const QByteArray &bytes);

// The CSV helpers of the reader, for other comma-separated files a spreadsheet writes: the text
// (a UTF-8 byte-order mark dropped; UTF-8, else Windows-1252), the separator that stands most
// often outside quotes on the first line (';', ',' or tab), and the rows of fields (a quoted field
// may hold the separator, line ends and doubled quotes; empty lines are no rows).
QString DecodeCsvText(const QByteArray &bytes, bool *windows1252 = nullptr);
QChar FindCsvSeparator(const QString &text);
QVector<QStringList> SplitCsv(const QString &text, QChar separator);

} // namespace tarveon
