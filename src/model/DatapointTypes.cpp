#include "model/DatapointTypes.h"

#include "app/AppContext.h"

#include <QRegularExpression>
#include <cmath>

namespace tarveon {

namespace {

// The largest and smallest DPT 9 values in hundredths: 2047 * 2^15 and -2048 * 2^15.
constexpr double kFloat16MaxHundredths = 2047.0 * 32768.0;
constexpr double kFloat16MinHundredths = -2048.0 * 32768.0;

const QString kDegreesCelsius = QStringLiteral("\u00B0C");

} // namespace

QString Dpt::etsText() const
{
    if (!isValid())
        return {};
    if (sub < 0)
        return QStringLiteral("DPT-%1").arg(main);
    return QStringLiteral("DPST-%1-%2").arg(main).arg(sub);
}

QString Dpt::number() const
{
    if (!isValid())
        return {};
    if (sub < 0)
        return QString::number(main);
    return QStringLiteral("%1.%2").arg(main).arg(sub, 3, 10, QLatin1Char('0'));
}

Dpt DptOfEis(int eis, SignalMeaning meaning)
{
    switch (eis) {
    case 1:
        if (meaning == SignalMeaning::Status)
            return {1, 5};
        if (meaning == SignalMeaning::Step)
            return {1, 7};
        return {1, 1};
    case 2: return {3, 7};
    case 3: return {10, 1};
    case 4: return {11, 1};
    case 5: return {9, 1};
    case 6: return {5, 1};
    case 7: return {1, 8};
    case 8: return {2, 1};
    case 9: return {14, -1};
    case 10: return {7, 1};
    case 11: return {12, 1};
    case 12: return {15, 0};
    case 13: return {4, 1};
    case 14: return {5, 10};
    case 15: return {16, 0};
    default: return {};
    }
}

Dpt ParseDpt(QStringView text)
{
    static const QRegularExpression ets(QStringLiteral("^DPS?T-(\\d+)(?:-(\\d+))?"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plain(QStringLiteral("^(?:DPT\\s*)?(\\d+)(?:\\.(\\d+))?"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString t = text.trimmed().toString();
    QRegularExpressionMatch m = ets.match(t);
    if (!m.hasMatch())
        m = plain.match(t);
    if (!m.hasMatch())
        return {};
    Dpt dpt{m.captured(1).toInt(), m.captured(2).isEmpty() ? -1 : m.captured(2).toInt()};
    return dpt.main > 0 ? dpt : Dpt{};
}

QString DptDescription(const AppContext &ctx, Dpt dpt)
{
    if (!dpt.isValid())
        return {};
    QString name;
    if (dpt == Dpt{1, 1})
        name = ctx.GetText(QStringLiteral("KNX3"));
    else if (dpt == Dpt{1, 5})
        name = ctx.GetText(QStringLiteral("KNX4"));
    else if (dpt == Dpt{1, 7})
        name = ctx.GetText(QStringLiteral("KNX5"));
    else if (dpt == Dpt{9, 1})
        name = ctx.GetText(QStringLiteral("KNX6"));
    else if (dpt == Dpt{5, 1})
        name = ctx.GetText(QStringLiteral("KNX7"));
    else if (dpt == Dpt{5, 10})
        name = ctx.GetText(QStringLiteral("KNX8"));
    const QString head = QStringLiteral("DPT ") + dpt.number();
    return name.isEmpty() ? head : head + QLatin1Char(' ') + name;
}

std::optional<QByteArray> EncodeFloat16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double hundredths = std::round(value * 100.0);
    if (hundredths > kFloat16MaxHundredths || hundredths < kFloat16MinHundredths)
        return std::nullopt;
    for (int exponent = 0; exponent < 16; ++exponent) {
        const double mantissa = std::round(hundredths / double(1 << exponent));
        if (mantissa < -2048.0 || mantissa > 2047.0)
            continue;
        const quint16 twelveBits = quint16(qint32(mantissa) & 0x0FFF);
        const quint16 word = quint16(((twelveBits & 0x0800) << 4) | (exponent << 11) | (twelveBits & 0x07FF));
        const char bytes[2] = {char(word >> 8), char(word & 0xFF)};
        return QByteArray(bytes, 2);
    }
    return std::nullopt;
}

std::optional<double> DecodeFloat16(QByteArrayView bytes)
{
    if (bytes.size() != 2)
        return std::nullopt;
    const quint16 word = quint16((quint8(bytes[0]) << 8) | quint8(bytes[1]));
    const int exponent = (word >> 11) & 0x0F;
    int mantissa = word & 0x07FF;
    if (word & 0x8000)
        mantissa -= 2048;
    return 0.01 * mantissa * double(1 << exponent);
}

std::optional<QByteArray> EncodeValue(Dpt dpt, double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    switch (dpt.main) {
    case 1:
        if (value != 0.0 && value != 1.0)
            return std::nullopt;
        return QByteArray(1, char(value != 0.0 ? 1 : 0));
    case 5: {
        const double raw = dpt.sub == 1 ? value * 255.0 / 100.0 : value;
        if (dpt.sub == 1 && (value < 0.0 || value > 100.0))
            return std::nullopt;
        const double byte = std::round(raw);
        if (byte < 0.0 || byte > 255.0)
            return std::nullopt;
        return QByteArray(1, char(quint8(byte)));
    }
    case 9:
        return EncodeFloat16(value);
    default:
        return std::nullopt;
    }
}

std::optional<double> DecodeValue(Dpt dpt, QByteArrayView bytes)
{
    switch (dpt.main) {
    case 1:
        if (bytes.size() != 1)
            return std::nullopt;
        return double(quint8(bytes[0]) & 1);
    case 5:
        if (bytes.size() != 1)
            return std::nullopt;
        return dpt.sub == 1 ? quint8(bytes[0]) * 100.0 / 255.0 : double(quint8(bytes[0]));
    case 9:
        return DecodeFloat16(bytes);
    default:
        return std::nullopt;
    }
}

RangeText ParseRangeText(QStringView text)
{
    static const QRegularExpression limits(QStringLiteral("^(-?\\d+)\\s*\\.\\.\\s*(-?\\d+)\\s*(.*)$"));
    static const QRegularExpression meaning(QStringLiteral("^(\\d+)\\s*-\\s*(.+)$"));
    RangeText range;
    for (const QStringView piece : text.split(u',')) {
        const QString p = piece.trimmed().toString();
        if (const QRegularExpressionMatch m = limits.match(p); m.hasMatch()) {
            range.min = m.captured(1).toDouble();
            range.max = m.captured(2).toDouble();
            range.unit = m.captured(3).trimmed();
        } else if (const QRegularExpressionMatch m = meaning.match(p); m.hasMatch()) {
            range.meanings.insert(m.captured(1).toInt(), m.captured(2).trimmed());
        }
    }
    return range;
}

QString ValueText(const AppContext &ctx, Dpt dpt, double value, const RangeText &range, const QString &signalName)
{
    const int whole = int(std::lround(value));
    switch (dpt.main) {
    case 1: {
        if (const auto it = range.meanings.constFind(whole); it != range.meanings.constEnd())
            return *it;
        const bool on = whole != 0;
        if (dpt.sub == 5)
            return ctx.GetText(on ? QStringLiteral("KNX13") : QStringLiteral("KNX12"));
        if (dpt.sub == 7)
            return ctx.GetText(on ? QStringLiteral("KNX15") : QStringLiteral("KNX14"));
        return ctx.GetText(on ? QStringLiteral("KNX11") : QStringLiteral("KNX10"));
    }
    case 5:
        if (dpt.sub == 1)
            return QString::number(whole) + QStringLiteral(" %");
        if (const auto it = range.meanings.constFind(whole); it != range.meanings.constEnd())
            return signalName + QLatin1Char(' ') + QString::number(whole) + QLatin1Char(' ') + *it;
        return QString::number(whole);
    case 9:
        return QString::number(value, 'f', 2) + (dpt.sub == 1 ? QLatin1Char(' ') + kDegreesCelsius : QString());
    default:
        return QString::number(value);
    }
}

} // namespace tarveon
