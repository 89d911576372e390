#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarveon {

// Text helpers shared by every part of the tool: the files it reads and writes are
// Windows-1252, texts are trimmed of blanks only, and numbers are read from the start of a text.

// Windows-1252 to and from text. Plain ASCII takes a fast path (log lines, gateway lines).
QString fromCp1252(QByteArrayView bytes);
QByteArray toCp1252(const QString &text);

// The number at the start of a text, the way settings, signal table cells and fields are read
// everywhere in the tool:
//  - blanks, tabs and line feeds are skipped wherever they stand ("1 2" reads 12);
//  - "&H" / "&O" (either case) start a hexadecimal / octal number ("&H1F" = 31, "&O17" = 15);
//    the value is the plain unsigned number of the digits ("&HFFFF" = 65535);
//  - otherwise an optional sign, then decimal digits with at most one ".", up to the first other
//    character ("12ab" = 12, "1.2.3" = 1.2, ".5" = 0.5, "-3x" = -3); there is no exponent part
//    ("1E3" = 1);
//  - a text without a number gives 0.
// Returned as a double; a number beyond the double range gives +-infinity.
double LeadingNumber(QStringView text);

// The same rule over the bytes of a gateway value report ("GP:01/2/003=21.5"), with an exponent
// part: after the decimal number an "E" or "D", an optional sign and up to six digits
// ("1.5E3" = 1500, "25D-1" = 2.5); without digits after it the letter ends the number. Linear, and
// no allocation for numbers of up to 64 characters: the receive path reads every report with it.
double LeadingValue(QByteArrayView bytes);

// A number taken as an integer: rounded to the nearest integer, halves to the even neighbour
// (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -1.5 -> -2). Saturates at the qint64 limits (infinities too).
qint64 RoundToInteger(double value);

// RoundToInteger(LeadingNumber(text)): the integer at the start of a text.
qint64 LeadingInteger(QStringView text);

// True when the whole text reads as a number, blanks and tabs around it allowed: an optional sign
// and decimal digits with at most one "." (at least one digit), or "&H" with hexadecimal digits,
// or "&O" with octal digits. Its value is then LeadingNumber(text).
bool IsNumericText(QStringView text);

// Removes leading and trailing blanks (spaces only; tabs and line ends are kept).
QString TrimBlanks(QStringView text);
// The same without a copy.
QStringView BlankTrimmed(QStringView text);

} // namespace tarveon
