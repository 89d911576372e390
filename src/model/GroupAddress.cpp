#include "model/GroupAddress.h"

#include <QtGlobal>

namespace tarveon {

namespace {

// Parts of a structured address never need more than this; keeps the arithmetic in range.
constexpr qint64 kPartLimit = qint64(1) << 40;

qint64 clampPart(qint64 v)
{
    return qBound(-kPartLimit, v, kPartLimit);
}

} // namespace

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
