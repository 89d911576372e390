#include "model/Validation.h"

#include "app/AppContext.h"
#include "model/GroupAddress.h"

#include <QSet>
#include <cmath>

namespace tarveon {

namespace {

// The integer of a part that must be numeric; false when it is not.
bool numericPart(QStringView text, qint64 &out)
{
    if (!IsNumericText(text))
        return false;
    out = LeadingInteger(text);
    return true;
}

// The items of a further-address list, each trimmed, as the list check and the update check take
// them: a "," is appended unless the list ends with one, blanks after each "," are dropped.
QStringList listItems(const QString &list)
{
    QString rest = TrimBlanks(list);
    if (!rest.endsWith(u','))
        rest.append(u',');
    QStringList items;
    QStringView view(rest);
    while (!view.isEmpty()) {
        const qsizetype comma = view.indexOf(u',');
        items.append(TrimBlanks(view.left(comma)));
        view = view.mid(comma + 1);
        while (!view.isEmpty() && view.front() == u' ')
            view = view.mid(1);
    }
    return items;
}

// A fault of a key whose text is the whole message.
ValidationFault keyed(const AppContext &ctx, const QString &key, const QString &cause = {})
{
    ValidationFault fault;
    fault.key = key;
    fault.message = ctx.GetText(key);
    fault.cause = cause;
    return fault;
}

bool report(ValidationFault *out, ValidationFault fault)
{
    if (out)
        *out = std::move(fault);
    return true;
}

} // namespace

QStringList ValidationFault::messages() const
{
    QStringList texts;
    if (!cause.isEmpty())
        texts << cause;
    if (!message.isEmpty())
        texts << message;
    return texts;
}

QString GroupAddressFault(const QString &text, qint16 &value)
{
    QString t = TrimBlanks(text);
    const bool wasEmpty = t.isEmpty();
    if (wasEmpty)
        t = QStringLiteral("0000");

    qint64 number = 0;
    const qsizetype slash = t.indexOf(u'/');
    if (slash > 0) {
        qint64 main = 0;
        if (!numericPart(QStringView(t).left(slash), main))
            return QStringLiteral("EIB20");
        if (main < 0 || main > 15)
            return QStringLiteral("EIB21");
        const QStringView rest = QStringView(t).mid(slash + 1);
        const qsizetype slash2 = rest.indexOf(u'/');
        if (slash2 > 0) {
            qint64 middle = 0;
            qint64 sub = 0;
            if (!numericPart(rest.left(slash2), middle))
                return QStringLiteral("EIB22");
            if (middle < 0 || middle > 7)
                return QStringLiteral("EIB23");
            if (!numericPart(rest.mid(slash2 + 1), sub))
                return QStringLiteral("EIB24");
            if (sub < 0 || sub > 255)
                return QStringLiteral("EIB25");
            number = main * 2048 + middle * 256 + sub;
        } else {
            qint64 sub = 0;
            if (!numericPart(rest, sub))
                return QStringLiteral("EIB26");
            if (sub < 0 || sub > 2047)
                return QStringLiteral("EIB27");
            number = main * 2048 + sub;
        }
    } else {
        if (!numericPart(t, number))
            return QStringLiteral("EIB28");
    }
    if (number > 32767 || number < 0)
        return QStringLiteral("EIB29");
    if (number == 0 && !wasEmpty)
        return QStringLiteral("EIB30");
    value = qint16(number);
    return {};
}

bool GroupAddressInvalid(const AppContext &ctx, const QString &text, qint16 &value, ValidationFault *fault)
{
    const QString key = GroupAddressFault(text, value);
    return !key.isEmpty() && report(fault, keyed(ctx, key));
}

bool ListenListInvalid(const AppContext &ctx, const QString &list, qint16 ownGroup, ValidationFault *fault)
{
    QSet<qint16> seen;
    for (const QString &item : listItems(list)) {
        qint16 value = 0;
        const QString addressKey = GroupAddressFault(item, value);
        if (!addressKey.isEmpty())
            return report(fault, keyed(ctx, QStringLiteral("EIB16"), ctx.GetText(addressKey)));
        if (seen.contains(value))
            return report(fault, keyed(ctx, QStringLiteral("EIB17")));
        if (value == 0)
            return report(fault, keyed(ctx, QStringLiteral("EIB18")));
        seen.insert(value);
    }
    return seen.contains(ownGroup) && report(fault, keyed(ctx, QStringLiteral("EIB19")));
}

bool ValidateSignalTable(const AppContext &ctx, const SignalTable &grid, const SignalColumns &columns, bool &faultFlag,
                         int rowToLeaveOut, ValidationFault *fault)
{
    if (faultFlag)
        return false;

    QSet<qint16> groups;       // own groups of the rows examined so far
    QSet<qint16> updateGroups; // groups answering for "U" / "U2" so far
    ValidationFault found;

    for (int r = 1; r < grid.rowCount(); ++r) {
        if (r == rowToLeaveOut)
            continue;
        const SignalRow &row = grid.rows[r];
        if (!(LeadingNumber(row[columns.yesNo]) > 0))
            continue;

        const QString address = TrimBlanks(row[columns.address]);
        const QString further = TrimBlanks(row[columns.further]);
        const bool read = !TrimBlanks(row[columns.r]).isEmpty();
        const bool write = !TrimBlanks(row[columns.w]).isEmpty();
        const bool transmit = !TrimBlanks(row[columns.t]).isEmpty();
        const QString u = TrimBlanks(row[columns.u]);
        const bool updateOwn = u == QStringLiteral("U");
        const bool updateFirst = u == QStringLiteral("U2");

        auto stop = [&](int column, ValidationFault f) {
            found = std::move(f);
            found.row = r;
            found.column = column;
            found.rowHidden = row.hidden;
        };

        if (address.isEmpty() && (read || transmit || updateOwn)) {
            stop(columns.address, keyed(ctx, QStringLiteral("EIB1")));
            break;
        }
        if (!read && !write && !transmit && u.isEmpty()) {
            stop(columns.address, keyed(ctx, QStringLiteral("EIB2")));
            break;
        }
        if (!write && !u.isEmpty()) {
            stop(columns.address, keyed(ctx, QStringLiteral("EIB3")));
            break;
        }
        qint16 value = 0;
        ValidationFault addressFault;
        if (GroupAddressInvalid(ctx, address, value, &addressFault)) {
            stop(columns.address, addressFault);
            break;
        }
        if (value != 0 && groups.contains(value)) {
            ValidationFault twice;
            twice.key = QStringLiteral("X38");
            twice.message = ctx.GetText(twice.key) + QStringLiteral("EIB: ") + address + ctx.GetText(QStringLiteral("X73"));
            stop(columns.address, twice);
            break;
        }
        if (!further.isEmpty()) {
            ValidationFault listFault;
            if (ListenListInvalid(ctx, further, value, &listFault)) {
                stop(columns.further, listFault);
                break;
            }
            if (!write) {
                stop(columns.further, keyed(ctx, QStringLiteral("EIB4")));
                break;
            }
            // The generator links further addresses to the row's own group: without one the
            // commands would never reach the gateway.
            if (value == 0) {
                stop(columns.address, keyed(ctx, QStringLiteral("ED1")));
                break;
            }
        } else {
            if (value == 0) {
                stop(columns.further, keyed(ctx, QStringLiteral("EIB5")));
                break;
            }
            if (updateFirst) {
                stop(columns.further, keyed(ctx, QStringLiteral("EIB6")));
                break;
            }
        }
        if (updateOwn || updateFirst) {
            QString list = further;
            const qint16 updateGroup = updateOwn ? value : TakeFirstGroup(list);
            if (updateGroups.contains(updateGroup)) {
                stop(updateOwn ? columns.address : columns.further, keyed(ctx, QStringLiteral("EIB7")));
                break;
            }
            updateGroups.insert(updateGroup);
        }
        const double eis = LeadingNumber(row[columns.eis]);
        if (eis != std::floor(eis) || !EisSupportedForSignals(RoundToInteger(eis))) {
            ValidationFault badEis = keyed(ctx, QStringLiteral("EIB8"));
            badEis.message = QStringLiteral("EIS: ") + QString::number(eis, 'g', 15) + badEis.message;
            stop(columns.eis, badEis);
            break;
        }
        if (value != 0)
            groups.insert(value);
    }

    if (found.row < 0)
        return true;
    faultFlag = true;
    if (fault)
        *fault = std::move(found);
    return false;
}

} // namespace tarveon
