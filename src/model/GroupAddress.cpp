#include "model/GroupAddress.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tarveon {

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

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

// Parts of a structured address never need more than this; keeps the arithmetic in range.
constexpr qint64 kPartLimit = qint64(1) << 40;

qint64 clampPart(qint64 v)
{
    return qBound(-kPartLimit, v, kPartLimit);
}

} // namespace

double LeadingNumber(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skip = [&] {
        while (i < n && isSkipped(text[i]))
            ++i;
    };
    skip();
    if (i >= n)
        return 0.0;

    if (text[i] == u'&') {
        ++i;
        skip();
        if (i >= n)
            return 0.0;
        int base = 0;
        if (text[i] == u'H' || text[i] == u'h')
            base = 16;
        else if (text[i] == u'O' || text[i] == u'o')
            base = 8;
        else
            return 0.0;
        ++i;
        double value = 0.0;
        for (; i < n; ++i) {
            if (isSkipped(text[i]))
                continue;
            const int d = digitValue(text[i], base);
            if (d < 0)
                break;
            value = value * base + d;
        }
        return value;
    }

    // Decimal: gather sign, digits and one point (blanks dropped) and convert once, so that the
    // result is the correctly rounded double of the written number.
    std::string buf;
    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
    }
    bool point = false;
    bool digits = false;
    bool nonZeroIntegerPart = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isSkipped(c))
            continue;
        if (c >= u'0' && c <= u'9') {
            // Leading zeros of the integer part carry nothing; dropping them keeps the buffer short.
            if (!point && !nonZeroIntegerPart && c == u'0') {
                digits = true;
                continue;
            }
            if (!point)
                nonZeroIntegerPart = true;
            buf.push_back(char(c.unicode()));
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
            buf.push_back('.');
        } else {
            break;
        }
    }
    if (!digits || buf.empty() || buf == ".")
        return 0.0;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    Q_UNUSED(ptr);
    if (ec == std::errc::result_out_of_range)
        value = nonZeroIntegerPart ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
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

QString TrimBlanks(QStringView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b).toString();
}

qint16 GroupTextToNumber(QStringView text)
{
    const QString t = TrimBlanks(text);
    qint64 value = 0;
    const qsizetype slash = t.indexOf(u'/');
    if (slash > 0) {
        const qint64 main = clampPart(LeadingInteger(QStringView(t).left(slash)));
        const QStringView rest = QStringView(t).mid(slash + 1);
        const qsizetype slash2 = rest.indexOf(u'/');
        if (slash2 > 0) {
            const qint64 middle = clampPart(LeadingInteger(rest.left(slash2)));
            const qint64 sub = clampPart(LeadingInteger(rest.mid(slash2 + 1)));
            value = main * 2048 + middle * 256 + sub;
        } else {
            value = main * 2048 + clampPart(LeadingInteger(rest));
        }
    } else {
        value = LeadingInteger(t);
    }
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return -1;
    return qint16(value);
}

qint16 TakeFirstGroup(QString &list)
{
    QString t = TrimBlanks(list);
    if (!t.endsWith(u','))
        t.append(u',');
    const qsizetype comma = t.indexOf(u',');
    if (comma < 0)
        return -1;
    const qint16 value = GroupTextToNumber(QStringView(t).left(comma));
    QStringView rest = QStringView(t).mid(comma + 1);
    while (!rest.isEmpty() && rest.front() == u' ')
        rest = rest.mid(1);
    list = rest.toString();
    return value;
}

QString GroupNumberToText(qint16 value)
{
    const int v = value;
    return QStringLiteral("%1/%2/%3").arg(v / 2048).arg((v / 256) % 8).arg(v % 256);
}

QString GroupNumberToPaddedText(qint16 value)
{
    const int v = value;
    return QStringLiteral("%1/%2/%3")
        .arg(v / 2048, 2, 10, QChar(u'0'))
        .arg((v / 256) % 8, 1, 10, QChar(u'0'))
        .arg(v % 256, 3, 10, QChar(u'0'));
}

qint32 PhysicalTextToNumber(QStringView text)
{
    const QString t = TrimBlanks(text);
    qint64 value = 0;
    const qsizetype dot = t.indexOf(u'.');
    if (dot > 0) {
        const qint64 area = clampPart(LeadingInteger(QStringView(t).left(dot)));
        const QStringView rest = QStringView(t).mid(dot + 1);
        const qsizetype dot2 = rest.indexOf(u'.');
        if (dot2 > 0) {
            const qint64 line = clampPart(LeadingInteger(rest.left(dot2)));
            const qint64 device = clampPart(LeadingInteger(rest.mid(dot2 + 1)));
            value = area * 4096 + line * 256 + device;
        } else {
            value = area * 4096;
        }
    } else {
        value = LeadingInteger(t);
    }
    return qint32(qBound(qint64(std::numeric_limits<qint32>::min()), value,
                         qint64(std::numeric_limits<qint32>::max())));
}

QString PhysicalNumberToText(quint16 value)
{
    return QStringLiteral("%1.%2.%3").arg(value / 4096).arg((value / 256) % 16).arg(value % 256);
}

namespace {

struct EisType {
    const char *caption;
    int bits;
};

constexpr std::array<EisType, 16> kEisTypes{{
    {"", 0},
    {"01 - Switching (1 bit)", 1},
    {"02 - Dimming (4 bit)", 4},
    {"03 - Time (24 bit)", 24},
    {"04 - Date (24 bit )", 24},
    {"05 - Float (16 bit)", 16},
    {"06 - Scaling (8 bit)", 8},
    {"07 - Drive Control (1 bit)", 1},
    {"08 - Priority (2 bit)", 2},
    {"09 - Float IEEE (32 bit)", 32},
    {"10 - Counter (16 bit)", 16},
    {"11 - Counter (32 bit)", 32},
    {"12 - Access (32 bit)", 32},
    {"13 - ASCII char (8 bit)", 8},
    {"14 - Counter (8 bit)", 8},
    {"15 - String (14 bytes )", 112},
}};

} // namespace

QString EisCaption(int eis)
{
    if (eis < kEisMin || eis > kEisMax)
        return {};
    return QString::fromLatin1(kEisTypes[size_t(eis)].caption);
}

qint64 EisNumberOfCaption(QStringView caption)
{
    return LeadingInteger(caption);
}

int EisValueBits(int eis)
{
    if (eis < kEisMin || eis > kEisMax)
        return 0;
    return kEisTypes[size_t(eis)].bits;
}

bool EisSupportedForSignals(qint64 eis)
{
    switch (eis) {
    case 1: case 2: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 13: case 14:
        return true;
    default:
        return false;
    }
}

} // namespace tarveon
