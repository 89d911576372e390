#include "tools/TelegramStatsModel.h"

#include "app/AppContext.h"

#include <QDateTime>

namespace tarveon {

TelegramStatsModel::TelegramStatsModel(const AppContext &ctx, const TelegramLog &log, QObject *parent)
    : QAbstractTableModel(parent), m_ctx(ctx), m_log(log)
{
    refresh();
}

void TelegramStatsModel::refresh()
{
    beginResetModel();
    m_rows = m_log.statistics();
    endResetModel();
}

int TelegramStatsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TelegramStatsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TelegramStatsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const GroupStats &s = m_rows[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() == CountColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case AddressColumn: return s.address;
    case NameColumn: return s.name.isEmpty() ? QLatin1Char('(') + m_ctx.GetText(QStringLiteral("TLG1")) + QLatin1Char(')') : s.name;
    case CountColumn: return s.count;
    case ValueColumn: return s.lastValue;
    case TimeColumn: return QDateTime::fromMSecsSinceEpoch(s.lastMsecs).toString(QStringLiteral("HH:mm:ss.zzz"));
    default: return {};
    }
}

QVariant TelegramStatsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    static const char *const keys[ColumnCount] = {"TLG6", "TLG7", "TLG8", "TLG9", "TLG10"};
    return m_ctx.GetText(QLatin1String(keys[section]));
}

} // namespace tarveon
