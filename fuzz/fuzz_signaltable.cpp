// Feeds arbitrary bytes to the signal table reader as the project's ".dat" file, then lays the rows
// on a small built table and validates the result.
#include "app/AppContext.h"
#include "app/RecordingPrompter.h"
#include "model/GroupAddress.h"
#include "model/SignalTableFile.h"
#include "model/Validation.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace tarveon;
    static QTemporaryDir dir;
    static RecordingPrompter prompter;
    static AppContext &ctx = *[] {
        auto *c = new AppContext(dir.path(), QStringLiteral("fuzz"), &prompter);
        c->InitProtocols();
        c->language.setTexts({{"X1", "OK"}, {"X9", "0"}, {"X10", "1"}});
        c->ProjectDir = dir.path();
        return c;
    }();
    {
        QFile f(dir.filePath(QStringLiteral("ZTR001-PACKAGED.dat")));
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    SignalTable table;
    table.rows.resize(4);
    for (int r = 1; r < 4; ++r) {
        table.rows[r][4] = QStringLiteral("01 - Switching (1 bit)");
        table.rowKeys.insert(QStringLiteral("1-%1").arg(r), r);
    }
    prompter.clear();
    StoredSignalTable stored;
    if (ReadSignalTable(ctx, 70, QStringLiteral("1.0"), stored)) {
        ApplyStoredRows(ctx, stored, table);
        bool fault = false;
        ValidationFault where;
        (void)ValidateSignalTable(ctx, table, SignalColumns{}, fault, -1, &where);
        for (int r = 1; r <= stored.rowCount() && r < 50; ++r) {
            QString list = stored.field(r, 6);
            while (!list.isEmpty())
                (void)TakeFirstGroup(list);
        }
    }
    return 0;
}
