#pragma once
#include "tools/TelegramStatsModel.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QTableView;

namespace tarveon {

class AppContext;

// The statistics of the session's traffic: per group address seen its name, count, last value and
// last time, brought up to date every second while the window is open.
class fEstadisticasEIB : public QDialog {
    Q_OBJECT
public:
    fEstadisticasEIB(AppContext &ctx, const TelegramLog &log, QWidget *parent = nullptr);

    void refresh();

    QTableView *grid;
    QLabel *lblKept;

private:
    const TelegramLog &m_log;
    TelegramStatsModel m_model;
    QTimer m_timer;
    AppContext &m_ctx;
};

} // namespace tarveon
