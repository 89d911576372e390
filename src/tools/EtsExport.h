#pragma once
#include <QByteArray>
#include <QChar>
#include <QString>

namespace tarveon {

struct GroupAddressPlan;

// The group-address files ETS imports.
enum class EtsFormat {
    Csv31, // "3/1": Main, Middle, Sub (the name), Address, ...
    Csv11, // "1/1": Group name, Address, ...
    Xml,   // <GroupAddress-Export> with nested <GroupRange>s
};

// How a CSV file is written: the separator (';', ',' or '\t') and the encoding; UTF-8 with a
// byte-order mark for ETS 6, Windows-1252 for older ETS.
struct EtsCsvOptions {
    QChar separator = QLatin1Char(';');
    bool windows1252 = false;
};

// A CSV field as ETS quotes it: in double quotes, a '"' inside doubled.
QString CsvQuoted(const QString &field);

// A header line, then per main group a range row ("1/-/-"), per middle group a range row
// ("1/0/-") and its addresses; every field quoted, a '"' inside doubled; lines end in CR LF.
QByteArray EtsCsv(const GroupAddressPlan &plan, EtsFormat format, const EtsCsvOptions &options = {});

// <GroupAddress-Export xmlns="http://knx.org/xml/ga-export/01">: main and middle groups as
// <GroupRange Name RangeStart RangeEnd> (plain 16-bit numbers), their addresses as
// <GroupAddress Name Address [Description] [DPTs]/>; UTF-8 with a byte-order mark.
QByteArray EtsXml(const GroupAddressPlan &plan);

} // namespace tarveon
