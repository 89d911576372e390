#pragma once
#include "editor/EditorSession.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <array>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTabWidget;

namespace tarveon {

class AppContext;
class SignalGridView;
class VisibleRowsModel;

// The configuration editor of the open project: the settings page of the gateway and its
// devices on the first tab, the signal grid on the second. Opened modally from the main
// window; everything it decides is in its EditorSession.
class fConfKorvaneEIB : public QDialog {
    Q_OBJECT
public:
    // Opens the project: settings, table, stored table (the busy pointer meanwhile).
    explicit fConfKorvaneEIB(AppContext &ctx, QWidget *parent = nullptr);
    ~fConfKorvaneEIB() override;

    EditorSession &session() { return *m_session; }
    VisibleRowsModel &visibleRows() { return *m_visible; }

    // The model index of the view for a table cell (invalid when its row is hidden).
    QModelIndex viewIndex(int row, int column) const;
    // Makes a table cell current (a one-cell selection) and brings it into view.
    void goToCell(const GridCell &cell);
    // The edit box is visible: its text goes into the current cell, and it is hidden.
    void CommitEdit();

    // --- Controls -------------------------------------------------------------------------------
    QTabWidget *TabStrip1;
    std::array<QWidget *, 2> frmTab{};
    QLabel *lblHelp;
    QPushButton *cmdAceptar;
    QPushButton *cmdCancelar;
    QPushButton *cmdTarveon;
    SignalGridView *grid;
    QLineEdit *txtEdit;

    QMenu *popmnuCod;
    QMenu *mnuCodShowBits; // the show-bits entry (item 0 of the code legend)
    QAction *mnuCodSeparator;
    std::array<QAction *, 2> mnuMostrar{};
    QMenu *popmnuEIS;
    QMenu *popmnuRWTU;
    std::array<QAction *, 3> mnuRWTU{};
    QMenu *popmnuSiNo;
    std::array<QAction *, 2> mnuSiNo{};

    QLineEdit *txtIp;
    QLineEdit *txtNetMask;
    QLineEdit *txtGateway;
    QLineEdit *txtIPKorvane;
    QLineEdit *txtPortKorvane;
    QLineEdit *txtTimeoutPoll;
    QLineEdit *txtPhyAdd;
    QCheckBox *chkUpdateOnResetoErrEIB;
    QLineEdit *txtDelayUpdateBus;
    QLabel *lblMaquinaList; // "Units" / "Chillers"
    QListWidget *lstMaquina;
    std::array<QLineEdit *, 3> txtMaquina{};
    std::array<QLabel *, 3> lblMaquina{};
    QPushButton *cmdElementos;

    // The field of the settings page behind a line edit.
    QLineEdit *field(SettingsField f) const;

public slots:
    void cmdAceptar_Click();
    void cmdCancelar_Click();
    void cmdTarveon_Click();
    void cmdElementos_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildSettingsPage(QWidget *page);
    void buildGridPage(QWidget *page);
    void buildMenus();
    void showOpenedState();
    void showDevice();
    int columnWidth(int column) const;
    bool mayClose();

    // Grid events.
    bool gridKeyPress(QKeyEvent *event);
    void startEdit(QChar key);
    void hideEditBox();
    bool editBoxKeyPress(QKeyEvent *event);
    void onCurrentChanged(const QModelIndex &current);
    void syncSelection();
    void syncCurrentFromView();
    void onGridDoubleClicked(const QModelIndex &index);
    void onRightPressed(const QModelIndex &index, const QPoint &globalPos);
    void sortBy(int column);
    void copySelection();
    void keepCurrentInView();

    // Settings page events.
    bool settingsFieldEvent(QLineEdit *edit, SettingsField f, QEvent *event);

    AppContext &m_ctx;
    EditorSession *m_session;
    VisibleRowsModel *m_visible;
    QHash<QLineEdit *, SettingsField> m_fields;
    bool m_syncing = false;       // the program moves the view's current cell itself
    bool m_closeConfirmed = false;
    bool m_switchingTab = false;  // the pages are changing
};

} // namespace tarveon
