#pragma once
#include "tools/MonitorCore.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace tarveon {

class AppContext;
class LinkCommands;
class fEstadisticasEIB;

// The design the three monitor windows share: the line list lstTramas, the check boxes chkBus,
// chkLog and chkUltimo, the button cmdClear, and a filter field and pause above the list. The
// window shows core().lines() and forwards its controls to core(); the kinds differ in caption,
// line handling (MonitorCore) and in what a double click on an entry and the close box do.
class MonitorWindow : public QWidget {
    Q_OBJECT
public:
    // Loads the window: check boxes set, no log file, the bus monitors' traffic report on.
    MonitorWindow(AppContext &ctx, MonitorKind kind, LinkCommands *link, QWidget *parent = nullptr);
    ~MonitorWindow() override;

    MonitorCore &core() { return m_core; }
    // The session's telegram log for the core (EIB and gateway monitors); returns the window.
    MonitorWindow *withTelegrams(TelegramLog *log)
    {
        m_core.setTelegrams(log);
        return this;
    }
    MonitorKind kind() const { return m_core.kind(); }

    // Closes the window (its document-area frame too) as the program does: the gateway monitor,
    // which refuses its own close box, accepts this.
    void closeByProgram();
    // Upload start: switches chkBus off when it is on (the window then stops its report);
    // returns whether it was on.
    bool switchBusOff();
    // The project is about to change: "Log to File" unticked, the log file closed with its marker.
    void stopLogging();

    // Double click on the free area: the whole list to the clipboard.
    void copyAll();
    // Double click on an entry (external and gateway monitors): that entry to the clipboard.
    void copyEntry(const QModelIndex &index);

    QTreeView *lstTramas;
    QCheckBox *chkBus;
    QCheckBox *chkLog;
    QCheckBox *chkUltimo;
    QPushButton *cmdClear;
    QLineEdit *txtFiltro;
    QCheckBox *chkPausa;
    // EIB monitor only (null in the others): the session's telegrams as CSV, and its statistics.
    QPushButton *cmdExportar = nullptr;
    QPushButton *cmdEstadisticas = nullptr;

    // Asks where the CSV goes (a save dialog); empty when cancelled.
    std::function<QString(const QString &suggested)> askCsvPath;
    // cmdExportar: the kept telegrams into the chosen file; a message when it cannot be written.
    void exportCsv();
    // cmdEstadisticas: opens (or brings forward) the statistics window.
    fEstadisticasEIB *showStatistics();

    // The size a new monitor window opens with.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int controlsWidth(int columns) const;
    void arrangeControls();
    void chkLog_Click(bool checked);
    void followLine();
    void drawBurst();
    void makeVisible();
    void fitTextWidth();

    AppContext &m_ctx;
    MonitorCore m_core;
    QGridLayout *m_controls;
    int m_controlColumns = 0;
    bool m_programClose = false;
    QTimer m_repaintTimer;
    bool m_followPending = false;
    QPointer<fEstadisticasEIB> m_statistics;
};

} // namespace tarveon
