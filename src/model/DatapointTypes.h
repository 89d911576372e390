#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>
#include <QStringView>
#include <optional>

namespace tarveon {

class AppContext;

// A KNX datapoint type: main number and subtype (-1 when only the main type is known).
struct Dpt {
    int main = 0;
    int sub = -1;

    bool isValid() const { return main > 0; }
    bool operator==(const Dpt &) const = default;

    // As ETS writes it: "DPST-9-1", or "DPT-9" without a subtype; empty when not valid.
    QString etsText() const;
    // As people write it: "9.001", or "9" without a subtype; empty when not valid.
    QString number() const;
};

// What a signal means beyond its EIS type: the status signals (100, 101) are alarms, the
// "1+/0-" signals are steps.
enum class SignalMeaning { Plain, Status, Step };

// The one table from EIS type to datapoint type: EIS 1 switch (status: alarm, step: step), EIS 5
// temperature, EIS 6 percentage, EIS 14 unsigned counter, and the types installers pair with the
// other EIS numbers. An invalid Dpt for numbers outside 1..15.
Dpt DptOfEis(int eis, SignalMeaning meaning);

// Reads a datapoint type as ETS and other tools write it: "DPST-9-1", "DPT-9", "9.001", "DPT 9.001",
// "9"; of a list ("DPST-1-1, DPST-1-2" or blank-separated) the first. Invalid when unreadable.
Dpt ParseDpt(QStringView text);

// The text of the help line and tool tips: "DPT 9.001 temperature (°C)"; "DPT 3.007" for types
// without a name of their own.
QString DptDescription(const AppContext &ctx, Dpt dpt);

// ---- Value codecs --------------------------------------------------------------------------------
// The bytes are the value as it travels in a group telegram after the APCI (knxtool shows them):
// DPT 1 one byte 0/1, DPT 5 one byte, DPT 9 two bytes, high byte first.

// DPT 9 (2-byte float): value = 0.01 * M * 2^E, M an 11-bit mantissa with its sign in the top bit
// (together 12-bit two's complement, -2048..2047), E 4 bits. The value is rounded to 0.01 first
// and must lie within -671088.64..670760.96; the mantissa is rounded to the nearest (halves away
// from zero) at the smallest exponent that holds it. 23.0 -> 0C 7E.
std::optional<QByteArray> EncodeFloat16(double value);
std::optional<double> DecodeFloat16(QByteArrayView bytes);

// Any of the types the signals use: DPT 1 (0 or 1), DPT 5.001 (0..100 %, scaled to 0..255),
// DPT 5 otherwise (0..255), DPT 9. Nothing for a value outside the type's range, wrong sizes or
// other types.
std::optional<QByteArray> EncodeValue(Dpt dpt, double value);
std::optional<double> DecodeValue(Dpt dpt, QByteArrayView bytes);

// What a signal's range text says about its values: "0-Auto, 1-Cool" (meanings), "17..30 ºC"
// (limits and unit), "0..7, 8-Auto" (both).
struct RangeText {
    QMap<int, QString> meanings;
    std::optional<double> min;
    std::optional<double> max;
    QString unit;
};
RangeText ParseRangeText(QStringView text);

// The value as a person reads it: "23.40 °C" (DPT 9.001), "45 %" (DPT 5.001), the range's meaning
// of a 1-bit value ("On") or the datapoint type's own ("Off", "Alarm", "Increase"), and for a
// counter with meanings the signal's name, the number and its meaning ("Mode 1 Cool").
QString ValueText(const AppContext &ctx, Dpt dpt, double value, const RangeText &range, const QString &signalName);

} // namespace tarveon
