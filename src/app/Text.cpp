#include "app/Text.h"

#include <QStringDecoder>
#include <QVarLengthArray>
#include <QStringEncoder>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tarveon {

namespace {


int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QString fromCp1252(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder("windows-1252");
    if (decoder.isValid())
        return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray toCp1252(const QString &text)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1();
    QStringEncoder encoder("windows-1252");
    if (encoder.isValid())
        return encoder.encode(text);
    return text.toLatin1();
}

namespace {

char16_t unitOf(QChar c)
{
    return c.unicode();
}

char16_t unitOf(char c)
{
    return char16_t(uchar(c));
}

// The one reading of a number at the start of a text, over text or bytes. With `exponent` a
// decimal number may go on with "E" or "D", an optional sign and digits (at most six are read), as
// the gateway writes its values; without, the letter ends the number. The digits are gathered on
// the stack and converted once, so the result is the correctly rounded double of what was written
// and a short number costs no allocation.
template <typename View>
double scanLeadingNumber(View text, bool exponent)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto at = [&](qsizetype k) { return unitOf(text[k]); };
    auto skipped = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; };
    auto skip = [&] {
        while (i < n && skipped(at(i)))
            ++i;
    };
    skip();
    if (i >= n)
        return 0.0;

    if (at(i) == u'&') {
        ++i;
        skip();
        if (i >= n)
            return 0.0;
        int base = 0;
        if (at(i) == u'H' || at(i) == u'h')
            base = 16;
        else if (at(i) == u'O' || at(i) == u'o')
            base = 8;
        else
            return 0.0;
        ++i;
        double value = 0.0;
        for (; i < n; ++i) {
            if (skipped(at(i)))
                continue;
            const int d = digitValue(QChar(at(i)), base);
            if (d < 0)
                break;
            value = value * base + d;
        }
        return value;
    }

    QVarLengthArray<char, 64> buf;
    bool negative = false;
    if (at(i) == u'+' || at(i) == u'-') {
        negative = at(i) == u'-';
        ++i;
    }
    bool point = false;
    bool digits = false;
    bool nonZeroIntegerPart = false;
    for (; i < n; ++i) {
        const char16_t c = at(i);
        if (skipped(c))
            continue;
        if (c >= u'0' && c <= u'9') {
            // Leading zeros of the integer part carry nothing; dropping them keeps the buffer short.
            if (!point && !nonZeroIntegerPart && c == u'0') {
                digits = true;
                continue;
            }
            if (!point)
                nonZeroIntegerPart = true;
            buf.append(char(c));
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
            buf.append('.');
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    bool negativeExponent = false;
    if (exponent && i < n && (at(i) == u'E' || at(i) == u'e' || at(i) == u'D' || at(i) == u'd')) {
        qsizetype j = i + 1;
        QVarLengthArray<char, 8> exp{'e'};
        if (j < n && (at(j) == u'+' || at(j) == u'-')) {
            negativeExponent = at(j) == u'-';
            exp.append(char(at(j++)));
        }
        const qsizetype first = j;
        while (j < n && at(j) >= u'0' && at(j) <= u'9' && j - first < 6)
            exp.append(char(at(j++)));
        if (j > first && !buf.isEmpty() && !(buf.size() == 1 && buf[0] == '.'))
            buf.append(exp.constData(), exp.size());
    }
    if (buf.isEmpty() || (buf.size() == 1 && buf[0] == '.'))
        return 0.0;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(buf.constData(), buf.constData() + buf.size(), value,
                                           exponent ? std::chars_format::general : std::chars_format::fixed);
    Q_UNUSED(ptr);
    if (ec == std::errc::result_out_of_range)
        value = nonZeroIntegerPart && !negativeExponent ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

} // namespace

double LeadingNumber(QStringView text)
{
    return scanLeadingNumber(text, false);
}

double LeadingValue(QByteArrayView bytes)
{
    return scanLeadingNumber(bytes, true);
}

qint64 RoundToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 as a double; anything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit)
        return std::numeric_limits<qint64>::max();
    if (value <= -kLimit)
        return std::numeric_limits<qint64>::min();
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5)
        result = lower + 1.0;
    else if (fraction == 0.5)
        result = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    if (result >= kLimit)
        return std::numeric_limits<qint64>::max();
    return qint64(result);
}

qint64 LeadingInteger(QStringView text)
{
    return RoundToInteger(LeadingNumber(text));
}

bool IsNumericText(QStringView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && (text[b] == u' ' || text[b] == u'\t'))
        ++b;
    while (e > b && (text[e - 1] == u' ' || text[e - 1] == u'\t'))
        --e;
    if (b >= e)
        return false;
    const QStringView t = text.mid(b, e - b);

    if (t[0] == u'&') {
        if (t.size() < 3)
            return false;
        int base = 0;
        if (t[1] == u'H' || t[1] == u'h')
            base = 16;
        else if (t[1] == u'O' || t[1] == u'o')
            base = 8;
        else
            return false;
        for (qsizetype i = 2; i < t.size(); ++i) {
            if (digitValue(t[i], base) < 0)
                return false;
        }
        return true;
    }

    qsizetype i = 0;
    if (t[0] == u'+' || t[0] == u'-')
        ++i;
    bool point = false;
    bool digits = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

QStringView BlankTrimmed(QStringView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

QString TrimBlanks(QStringView text)
{
    return BlankTrimmed(text).toString();
}

} // namespace tarveon
