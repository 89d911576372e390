#pragma once
#include "tools/SignalViewerCore.h"

#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QTabBar;
class QTableView;

namespace tarveon {

class AppContext;
class LinkCommands;

// The signal viewer: every signal of the link-side table with its current value, a polling
// cycle that asks the gateway for all values, writing one value (double click on a row) and a
// copy of the grid. Loading builds the grid and starts the display refresh; closing clears
// ViewerOpen. The logic is in core(); the window shows it.
class fVerDatosZDM : public QWidget {
    Q_OBJECT
public:
    fVerDatosZDM(AppContext &ctx, LinkCommands *link, QWidget *parent = nullptr);
    ~fVerDatosZDM() override;

    SignalViewerCore &core() { return m_core; }

    // Rebuilds the grid from the link-side table (the link calls it after reloading the table).
    void Datos_Carga();
    // The table rows (1..) in view, for the display refresh.
    std::pair<int, int> visibleRows() const;

    // The size the window opens with.
    QSize sizeHint() const override;

    void cmdCopy_Click();
    void cmdRefrescar_Click();
    // "Write value…" of the grid's context menu: the signal's choices, then the same "GP:" write
    // as the double click.
    void writeValueDialog(int row);

    QTabBar *TabStrip1;
    QList<QFrame *> frmTab; // indexed by tab number; index 0 unused
    QTableView *grid;
    QLabel *lblHelp;
    QFrame *Frame1;
    QPushButton *cmdCopy;
    QPushButton *cmdRefrescar;
    QPushButton *cmdCerrar;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void TabStrip1_Click(int index);
    void applyColumnWidths();

    AppContext &m_ctx;
    SignalViewerCore m_core;
    int m_currentTab = 1;
};

} // namespace tarveon
