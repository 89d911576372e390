#pragma once
#include "app/Text.h"

#include <QString>
#include <QStringView>
#include <array>

namespace tarveon {

// ---- Group addresses --------------------------------------------------------------------------
//
// A group is a 16-bit value: main * 2048 + middle * 256 + sub (main 0..15, middle 0..7, sub 0..255),
// or main * 2048 + sub (two-level, sub 0..2047), or the plain number. 0 means "no group".

// Group text to value, without range check (that is the validation's job). The text is trimmed;
// a "/" counts only after the first character. Each part is its leading number taken as an
// integer (half to even), so " 1 / 2 / 3 " = 2563 and "/2/3" = 0.
// Result: the value when it fits qint16 (-32768..32767; negative parts give negative values);
// -1 when it does not (for example main 16) - never 0, so an unusable text is not taken for
// "no group", and callers that stop at negative values stop there.
qint16 GroupTextToNumber(QStringView text);

// Takes the first group off a ","-separated list. The list is trimmed and gets a trailing ","
// unless it has one; the result is GroupTextToNumber of the text before the first ",", and the
// list becomes the text after it with leading blanks removed. An empty (or all-blank) list gives 0
// and becomes empty: callers stop consuming when the list is empty.
// ("1/0/1, 1/0/2" -> 2049, list "1/0/2,"; again -> 2050, list "".)
qint16 TakeFirstGroup(QString &list);

// main/middle/sub without padding: 2563 -> "1/2/3", 0 -> "0/0/0". main = value / 2048,
// middle = (value / 256) % 8, sub = value % 256 (integer division, truncating towards zero).
QString GroupNumberToText(qint16 value);

// Padded form used in gateway commands and the link-side index: 2563 -> "01/2/003".
QString GroupNumberToPaddedText(qint16 value);

// The command prefix in front of the padded form ("GP:01/2/003").
inline const QString kGroupPrefix = QStringLiteral("GP:");

// ---- Physical addresses -----------------------------------------------------------------------

// area.line.device -> area * 4096 + line * 256 + device ("15.15.255" = 65535, "1.1" = 4096,
// "1.1.1" = 4353, "1234" = 1234). Trimmed; a "." counts only after the first character of the
// text (or of the rest after the first "."); with only one such "." the rest is ignored. Parts are
// leading numbers taken as integers. No range check; saturates at the qint32 limits.
qint32 PhysicalTextToNumber(QStringView text);

// area.line.device of a 16-bit physical address: 65535 -> "15.15.255".
QString PhysicalNumberToText(quint16 value);

// ---- EIS types ----------------------------------------------------------------------------------

constexpr int kEisMin = 1;
constexpr int kEisMax = 15;

// The fixed caption of EIS type n (1..15), e.g. "05 - Float (16 bit)"; empty for other numbers.
QString EisCaption(int eis);

// The EIS number of a caption: its leading number taken as an integer.
qint64 EisNumberOfCaption(QStringView caption);

// Size of the value of EIS type n in bits (1 for EIS 1, 24 for EIS 3, 112 for EIS 15); 0 for
// numbers outside 1..15.
int EisValueBits(int eis);

// True for the EIS types a signal may carry: 1, 2, 5, 6, 7, 8, 9, 10, 11, 13, 14
// (3, 4, 12 and 15 exist but are refused by the validation).
bool EisSupportedForSignals(qint64 eis);

} // namespace tarveon
