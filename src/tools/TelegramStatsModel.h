#pragma once
#include "tools/TelegramLog.h"

#include <QAbstractTableModel>

namespace tarveon {

class AppContext;

// The statistics of a telegram log as a table: per group address seen its address, name, count,
// last value and last time, ascending by address. refresh() takes a new snapshot.
class TelegramStatsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { AddressColumn, NameColumn, CountColumn, ValueColumn, TimeColumn, ColumnCount };

    TelegramStatsModel(const AppContext &ctx, const TelegramLog &log, QObject *parent = nullptr);

    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const AppContext &m_ctx;
    const TelegramLog &m_log;
    QVector<GroupStats> m_rows;
};

} // namespace tarveon
