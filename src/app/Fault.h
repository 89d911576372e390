#pragma once
#include <QList>
#include <QString>

namespace tarveon {

// How a fault is shown: a notice of the message dialog (exclamation icon, one button "X1"), or
// the platform's message box with the given icon.
enum class FaultKind { Notice, Information, Exclamation, Critical };

// A message a routine returns instead of showing it: the key of its main text (empty for the
// literal notices), the complete text as the user sees it, and how it is shown. The windows show
// it through AppContext::show, the command line prints it.
struct Fault {
    QString key;
    QString text;
    FaultKind kind = FaultKind::Notice;

    bool operator==(const Fault &) const = default;
};

using Faults = QList<Fault>;

} // namespace tarveon
