#include "tools/AddressBook.h"

#include "app/AppContext.h"
#include "model/GroupAddress.h"
#include "tools/GroupAddressPlan.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace tarveon {

AddressBook::AddressBook(EtsFile file) : m_file(std::move(file))
{
    for (qsizetype i = 0; i < m_file.addresses.size(); ++i) {
        if (!m_index.contains(m_file.addresses[i].address))
            m_index.insert(m_file.addresses[i].address, i);
    }
}

bool AddressBook::importFile(const AppContext &ctx, const QString &etsPath, const QString &projectDir, QString *error)
{
    QFile in(etsPath);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = ctx.GetText(QStringLiteral("KNX35")) + etsPath;
        return false;
    }
    const QByteArray bytes = in.readAll();
    AddressBook book(ReadEtsFile(bytes));
    if (book.isEmpty()) {
        *error = ctx.GetText(QStringLiteral("KNX34")) + etsPath;
        return false;
    }
    const QString target = QDir(projectDir).filePath(fileName());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = ctx.GetText(QStringLiteral("KNX36")) + target;
        return false;
    }
    *this = std::move(book);
    return true;
}

bool AddressBook::load(const QString &projectDir)
{
    QFile in(QDir(projectDir).filePath(fileName()));
    if (!in.open(QIODevice::ReadOnly))
        return false;
    *this = AddressBook(ReadEtsFile(in.readAll()));
    return !isEmpty();
}

const EtsAddress *AddressBook::find(qint16 address) const
{
    const auto it = m_index.constFind(address);
    return it == m_index.constEnd() ? nullptr : &m_file.addresses[*it];
}

QVector<const EtsAddress *> AddressBook::matches(QStringView typed, int limit) const
{
    const QString t = typed.trimmed().toString();
    QVector<const EtsAddress *> found;
    for (auto it = m_index.cbegin(); it != m_index.cend(); ++it) {
        const EtsAddress &e = m_file.addresses[*it];
        if (GroupNumberToText(e.address).startsWith(t) || e.name.contains(t, Qt::CaseInsensitive))
            found << &e;
    }
    std::sort(found.begin(), found.end(), [](const EtsAddress *a, const EtsAddress *b) { return a->address < b->address; });
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

QString AddressBook::completionText(const EtsAddress &entry)
{
    QString text = GroupNumberToText(entry.address) + QLatin1Char(' ') + entry.name;
    if (entry.dpt.isValid())
        text += QStringLiteral(" \u00B7 ") + entry.dpt.number();
    return text;
}

QVector<TypeMismatch> AddressBook::rowsWithOtherType(const GroupAddressPlan &plan) const
{
    QVector<TypeMismatch> out;
    for (const PlanAddress &a : plan.addresses) {
        const EtsAddress *e = find(a.address);
        if (!e || !e->dpt.isValid())
            continue;
        for (const PlanUse &use : a.uses) {
            if (use.dpt.main != e->dpt.main)
                out.append({use.row, a.address, use.name, use.dpt, e->dpt});
        }
    }
    std::sort(out.begin(), out.end(), [](const TypeMismatch &x, const TypeMismatch &y) { return x.row < y.row; });
    return out;
}

QVector<const PlanAddress *> AddressBook::missingAddresses(const GroupAddressPlan &plan) const
{
    QVector<const PlanAddress *> out;
    for (const PlanAddress &a : plan.addresses) {
        if (!find(a.address))
            out << &a;
    }
    return out;
}

QStringList CheckAgainstEts(const AppContext &ctx, const GroupAddressPlan &plan, const AddressBook &book)
{
    QVector<QPair<qint16, QString>> lines;
    auto head = [](qint16 address, const QString &name) { return GroupNumberToText(address) + QLatin1Char(' ') + name; };
    for (const PlanAddress *a : book.missingAddresses(plan))
        lines.append({a->address, head(a->address, a->name) + ctx.GetText(QStringLiteral("KNX30"))});
    for (const TypeMismatch &m : book.rowsWithOtherType(plan))
        lines.append({m.address, TypeMismatchLine(ctx, m)});
    std::stable_sort(lines.begin(), lines.end(), [](const auto &x, const auto &y) { return x.first < y.first; });
    QStringList out;
    for (const auto &line : lines)
        out << line.second;
    return out;
}

QString TypeMismatchLine(const AppContext &ctx, const TypeMismatch &m)
{
    return GroupNumberToText(m.address) + QLatin1Char(' ') + m.name + ctx.GetText(QStringLiteral("KNX31"))
           + m.project.number() + ctx.GetText(QStringLiteral("KNX32")) + m.ets.number()
           + ctx.GetText(QStringLiteral("KNX33"));
}

} // namespace tarveon
