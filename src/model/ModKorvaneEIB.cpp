#include "model/ModKorvaneEIB.h"

#include "app/AppContext.h"
#include "app/IniFile.h"
#include "model/GroupAddress.h"
#include "model/LinkSignals.h"
#include "model/ProjectSettings.h"
#include "model/SignalTableFile.h"

#include <QSet>

namespace tarveon {

std::optional<Fault> LoadLinkSignals(AppContext &ctx, LinkTables &t)
{
    const qint16 code = qint16(ctx.ProtocolCodes.value(ctx.ProjectProtocol, 0));
    ctx.IniFileName = ctx.ProtocolNames[size_t(code)];
    const QString section = ctx.ProjectProtocol;

    // The settings file is read once; a device count beyond the machine type's maximum (a damaged
    // or hand-edited file: "Devices=2000000000") names no further device, as the editor reads it.
    IniDocument settings;
    settings.load(ctx.ini.projectFilePath(section)); // unreadable reads as missing: no device
    QSet<QString> active;
    const qint32 devices =
        qMin(settings.readInt(section, QStringLiteral("Devices"), 1), qint32(ProjectSettings::maxDevices(code)));
    for (qint32 n = 1; n <= devices; ++n) {
        if (settings.readInt(section, QStringLiteral("D%1-Active").arg(n), 0) != 0)
            active.insert(QStringLiteral("K%1").arg(n));
    }
    if (active.isEmpty())
        return std::nullopt;

    StoredSignalTable table;
    if (auto fault = ReadSignalTable(ctx, code, QStringLiteral("1.0"), table))
        return fault;

    for (int r = 1; r <= table.rowCount(); ++r) {
        const qint64 inUse = LeadingInteger(table.fieldView(r, 11));
        if (inUse == 0 || !active.contains(QStringLiteral("K") + table.field(r, 1)))
            continue;
        LinkSignal s;
        s.protocolCode = code;
        for (int f = 1; f <= 10; ++f)
            s.fields[size_t(f)] = table.field(r, f);
        s.group = GroupTextToNumber(table.fieldView(r, 5));
        s.inUse = qint16(inUse);
        t.signals_.append(s);
        const int entry = t.count();
        if (s.group > 0) {
            t.signals_[entry].groupText = GroupNumberToPaddedText(s.group);
            // The first entry on a group owns its key; a second own address stays unindexed.
            const QString key = kGroupPrefix + t.signals_[entry].groupText;
            if (!t.index.contains(key))
                t.index.insert(key, entry);
        }
    }

    // Listen-only entries are reached through their first further address; when that group
    // already has an entry they hang under it as "-1", "-2", ...
    for (int i = 1; i <= t.count(); ++i) {
        LinkSignal &s = t.signals_[i];
        if (s.group != 0)
            continue;
        QString list = s.fields[6];
        s.group = TakeFirstGroup(list);
        if (s.group <= 0) {
            s.group = 0; // no usable further address: nothing to index
            continue;
        }
        s.groupText = GroupNumberToPaddedText(s.group);
        const QString key = kGroupPrefix + s.groupText;
        const auto owner = t.index.constFind(key);
        if (owner == t.index.constEnd()) {
            t.index.insert(key, i);
            continue;
        }
        LinkSignal &j = t.signals_[*owner];
        ++j.duplicateCounter;
        t.index.insert(key + QLatin1Char('-') + QString::number(j.duplicateCounter), i);
    }
    return std::nullopt;
}

bool CollectionHasKey(const QHash<QString, int> &collection, const QString &key)
{
    return collection.contains(key);
}

} // namespace tarveon
