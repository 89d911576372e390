#include "model/ModKorvaneEIB.h"

#include "app/AppContext.h"

namespace tarveon {

void LoadLinkSignals(AppContext &ctx)
{
    Q_UNUSED(ctx);
}

bool CollectionHasKey(const QHash<QString, int> &collection, const QString &key)
{
    return collection.contains(key);
}

} // namespace tarveon
