// Fuzzed signal table rows through the validation. The bytes are rows (LF) of cells (TAB) for
// columns 4 to 11: EIS caption, group address, further addresses, the flags R, W, T, U and the
// yes/no value. A table the validation accepts obeys every rule it checks; one it refuses names a
// used row and one of the checked columns, after at most two messages.
#include "FuzzSupport.h"
#include "model/GroupAddress.h"
#include "model/Validation.h"

#include <QSet>
#include <cmath>

namespace {

using namespace tarveon;
using fuzz::require;

// Checks again, independently of the validation's own loop, what an accepted table must satisfy.
void requireValid(const SignalTable &table)
{
    QSet<qint16> own;
    QSet<qint16> update;
    for (int r = 1; r < table.rowCount(); ++r) {
        const SignalRow &row = table.rows[r];
        if (!(LeadingNumber(row[11]) > 0))
            continue;
        qint16 value = -1;
        require(GroupAddressFault(row[5], value).isEmpty());
        require(value >= 0);
        require(value == 0 || !own.contains(value));
        own.insert(value);
        const QString further = TrimBlanks(row[6]);
        require(value != 0 || !further.isEmpty());
        const QString w = TrimBlanks(row[8]);
        const QString u = TrimBlanks(row[10]);
        require(further.isEmpty() || !w.isEmpty());
        require(u.isEmpty() || !w.isEmpty());
        QSet<qint16> listed;
        QString list = further;
        qint16 first = 0;
        while (!list.isEmpty()) {
            const qint16 g = TakeFirstGroup(list);
            require(g > 0 && g != value && !listed.contains(g));
            if (listed.isEmpty())
                first = g;
            listed.insert(g);
        }
        if (u == QStringLiteral("U") || u == QStringLiteral("U2")) {
            const qint16 g = u == QStringLiteral("U") ? value : first;
            require(!update.contains(g));
            update.insert(g);
        }
        const double eis = LeadingNumber(row[4]);
        require(eis == std::floor(eis) && EisSupportedForSignals(RoundToInteger(eis)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AppContext &ctx = fuzz::context();
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    SignalTable table;
    table.rows.resize(1);
    const auto lines = QStringView(text).split(u'\n');
    for (qsizetype l = 0; l < lines.size() && l < 64; ++l) {
        SignalRow row;
        row[0] = QString::number(l + 1);
        row[1] = QStringLiteral("1");
        row[2] = QString::number(l) + QStringLiteral(" - Signal");
        const auto cells = lines[l].split(u'\t');
        for (qsizetype c = 0; c < cells.size() && c < 8; ++c)
            row[int(4 + c)] = cells[c].toString();
        row.hidden = (l % 3) == 2;
        table.rows.append(row);
    }

    bool fault = false;
    ValidationFault where;
    const bool valid = ValidateSignalTable(ctx, table, SignalColumns{}, fault, -1, &where);
    const QStringList shown = where.messages();
    if (valid) {
        require(!fault && where.key.isEmpty());
        requireValid(table);
    } else {
        require(fault && where.row >= 1 && where.row < table.rowCount());
        require(where.column >= 4 && where.column <= 11);
        require(where.rowHidden == table.rows[where.row].hidden);
        require(LeadingNumber(table.rows[where.row][11]) > 0);
        require(!shown.isEmpty() && shown.size() <= 2);
        for (const QString &message : shown)
            require(!message.startsWith(QStringLiteral("No text found")));
        // The raised flag stops the next call before any check.
        ValidationFault none;
        require(!ValidateSignalTable(ctx, table, SignalColumns{}, fault, -1, &none));
        require(none.key.isEmpty());
        // Leaving the faulty row out, the rows before it still pass: a fault comes later if at all.
        bool again = false;
        ValidationFault next;
        if (!ValidateSignalTable(ctx, table, SignalColumns{}, again, where.row, &next))
            require(next.row > where.row);
    }
    return 0;
}
