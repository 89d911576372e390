#pragma once
#include "app/Fault.h"

#include <QHash>
#include <QString>
#include <optional>

namespace tarveon {

class AppContext;
struct LinkTables;

// Fills `tables` (LinkSignals, LinkSignalIndex) from the open project's stored signal table:
// one entry per row in use of an active device, indexed by "GP:" & padded group. The caller
// empties the tables first; this only appends. Returns the signal table file's read fault for the
// caller to show (the tables then stay as they were).
std::optional<Fault> LoadLinkSignals(AppContext &ctx, LinkTables &tables);

// True when key is in the keyed list (a missing key is an expected answer, never an error).
bool CollectionHasKey(const QHash<QString, int> &collection, const QString &key);

} // namespace tarveon
