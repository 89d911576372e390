#pragma once
#include <QList>
#include <QString>

namespace tarveon {

// Replaces every occurrence of search in text by replacement, scanning from the left;
// occurrences are never searched inside inserted replacements. An empty search text leaves
// text as it is.
QString replaceAll(const QString &text, const QString &search, const QString &replacement);

// The message dialog's line ends: every LF removed, then every CR turned into CR LF.
// A text broken by LF alone thus comes out as one line.
QString normaliseMessageLineEnds(const QString &text);

// Texts shorter than this are moved down and centred in the message dialog.
constexpr int kShortMessageLength = 55;

// Gap between the message dialog's buttons, in twips.
constexpr int kMsgBoxButtonGap = 250;

// Left edges (twips) of the message dialog's buttons, all of width buttonWidth, centred as a row
// in innerWidth with kMsgBoxButtonGap between them. Empty for a count other than 1 to 3.
QList<int> msgBoxButtonLefts(int innerWidth, int buttonWidth, int count);

// Which button Esc presses: the last one shown (1-based); 0 when no button is shown.
int msgBoxCancelButton(int count);

} // namespace tarveon
