#include "model/Validation.h"

#include "app/AppContext.h"
#include "model/GroupAddress.h"

#include <QSet>
#include <cmath>

namespace tarveon {

namespace {

void showNotice(AppContext &ctx, const QString &text)
{
    ctx.notice(text);
}

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

// A flag cell counts as set when it holds anything but blanks.
bool isSet(const QString &trimmed)
{
    return !trimmed.isEmpty();
}

} // namespace

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

bool GroupAddressInvalid(AppContext &ctx, const QString &text, qint16 &value)
{
    const QString key = GroupAddressFault(text, value);
    if (key.isEmpty())
        return false;
    showNotice(ctx, ctx.GetText(key));
    return true;
}

namespace {

// ListenListInvalid, also telling which check failed.
QString listenListFault(AppContext &ctx, const QString &list, qint16 ownGroup)
{
    QSet<qint16> seen;
    const QStringList items = listItems(list);
    for (const QString &item : items) {
        qint16 value = 0;
        const QString addressKey = GroupAddressFault(item, value);
        QString key;
        if (!addressKey.isEmpty()) {
            showNotice(ctx, ctx.GetText(addressKey));
            key = QStringLiteral("EIB16");
        } else if (seen.contains(value)) {
            key = QStringLiteral("EIB17");
        } else if (value == 0) {
            key = QStringLiteral("EIB18");
        }
        if (!key.isEmpty()) {
            showNotice(ctx, ctx.GetText(key));
            return key;
        }
        seen.insert(value);
    }
    if (seen.contains(ownGroup)) {
        showNotice(ctx, ctx.GetText(QStringLiteral("EIB19")));
        return QStringLiteral("EIB19");
    }
    return {};
}

} // namespace

bool ListenListInvalid(AppContext &ctx, const QString &list, qint16 ownGroup)
{
    return !listenListFault(ctx, list, ownGroup).isEmpty();
}

bool ValidateSignalTable(AppContext &ctx, const SignalTable &grid, const SignalColumns &columns, bool &faultFlag,
                         int rowToLeaveOut, ValidationFault *fault)
{
    if (faultFlag)
        return false;

    QSet<qint16> groups;        // own groups of the rows examined so far
    QSet<qint16> updateGroups;  // groups answering for "U" / "U2" so far
    QString message;            // shown after the loop (the address and list checks show their own)
    ValidationFault found;

    for (int r = 1; r < grid.rowCount(); ++r) {
        if (r == rowToLeaveOut)
            continue;
        const SignalRow &row = grid.rows[r];
        if (!(LeadingNumber(row[columns.yesNo]) > 0))
            continue;

        const QString address = TrimBlanks(row[columns.address]);
        const QString further = TrimBlanks(row[columns.further]);
        const QString fr = TrimBlanks(row[columns.r]);
        const QString fw = TrimBlanks(row[columns.w]);
        const QString ft = TrimBlanks(row[columns.t]);
        const QString fu = TrimBlanks(row[columns.u]);
        const bool updateOwn = fu == QStringLiteral("U");
        const bool updateFirst = fu == QStringLiteral("U2");

        auto stop = [&](int column, const QString &key, const QString &text) {
            found.row = r;
            found.column = column;
            found.rowHidden = row.hidden;
            found.key = key;
            message = text;
        };

        if (address.isEmpty() && (isSet(fr) || isSet(ft) || updateOwn)) {
            stop(columns.address, QStringLiteral("EIB1"), ctx.GetText(QStringLiteral("EIB1")));
            break;
        }
        if (!isSet(fr) && !isSet(fw) && !isSet(ft) && !isSet(fu)) {
            stop(columns.address, QStringLiteral("EIB2"), ctx.GetText(QStringLiteral("EIB2")));
            break;
        }
        if (!isSet(fw) && isSet(fu)) {
            stop(columns.address, QStringLiteral("EIB3"), ctx.GetText(QStringLiteral("EIB3")));
            break;
        }
        qint16 value = 0;
        const QString addressKey = GroupAddressFault(address, value);
        if (!addressKey.isEmpty()) {
            showNotice(ctx, ctx.GetText(addressKey));
            stop(columns.address, addressKey, QString());
            break;
        }
        if (value != 0 && groups.contains(value)) {
            stop(columns.address, QStringLiteral("X38"),
                 ctx.GetText(QStringLiteral("X38")) + QStringLiteral("EIB: ") + address +
                     ctx.GetText(QStringLiteral("X73")));
            break;
        }
        if (!further.isEmpty()) {
            const QString listKey = listenListFault(ctx, further, value);
            if (!listKey.isEmpty()) {
                stop(columns.further, listKey, QString());
                break;
            }
            if (!isSet(fw)) {
                stop(columns.further, QStringLiteral("EIB4"), ctx.GetText(QStringLiteral("EIB4")));
                break;
            }
        } else {
            if (value == 0) {
                stop(columns.further, QStringLiteral("EIB5"), ctx.GetText(QStringLiteral("EIB5")));
                break;
            }
            if (updateFirst) {
                stop(columns.further, QStringLiteral("EIB6"), ctx.GetText(QStringLiteral("EIB6")));
                break;
            }
        }
        if (updateOwn || updateFirst) {
            QString list = further;
            const qint16 updateGroup = updateOwn ? value : TakeFirstGroup(list);
            if (updateGroups.contains(updateGroup)) {
                stop(updateOwn ? columns.address : columns.further, QStringLiteral("EIB7"),
                     ctx.GetText(QStringLiteral("EIB7")));
                break;
            }
            updateGroups.insert(updateGroup);
        }
        const double eis = LeadingNumber(row[columns.eis]);
        if (eis != std::floor(eis) || !EisSupportedForSignals(RoundToInteger(eis))) {
            stop(columns.eis, QStringLiteral("EIB8"),
                 QStringLiteral("EIS: ") + QString::number(eis, 'g', 15) + ctx.GetText(QStringLiteral("EIB8")));
            break;
        }
        if (value != 0)
            groups.insert(value);
    }

    if (found.row < 0)
        return true;
    if (!message.isEmpty())
        showNotice(ctx, message);
    faultFlag = true;
    if (fault)
        *fault = found;
    return false;
}

} // namespace tarveon
