#include "tools/ui/fEstadisticasEIB.h"

#include "app/AppContext.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tarveon {

fEstadisticasEIB::fEstadisticasEIB(AppContext &ctx, const TelegramLog &log, QWidget *parent)
    : QDialog(parent), m_log(log), m_model(ctx, log), m_ctx(ctx)
{
    setObjectName(QStringLiteral("fEstadisticasEIB"));
    setWindowTitle(ctx.GetText(QStringLiteral("TLG5")));
    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setModel(&m_model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setVisible(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    lblKept = new QLabel(this);
    lblKept->setObjectName(QStringLiteral("lblKept"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(ctx.GetText(QStringLiteral("X15")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addWidget(lblKept);
    layout->addWidget(buttons);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &fEstadisticasEIB::refresh);
    m_timer.start();
    refresh();
    resize(720, 420);
}

void fEstadisticasEIB::refresh()
{
    m_model.refresh();
    grid->resizeColumnsToContents();
    lblKept->setText(m_ctx.GetText(QStringLiteral("TLG16")) + QString::number(m_log.size()));
}

} // namespace tarveon
