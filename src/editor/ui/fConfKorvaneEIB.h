#pragma once
#include "editor/EditorSession.h"

#include <QDialog>
#include <QHash>
#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tarveon {

class AddressPlanCore;
class AppContext;
class EditorMenus;
class SignalGridPage;
class SignalGridView;

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
    AddressPlanCore &planCore() { return *m_planCore; }

    // --- Controls -------------------------------------------------------------------------------
    QTabWidget *TabStrip1;
    std::array<QWidget *, 2> frmTab{};
    QLabel *lblHelp;
    QPushButton *cmdAceptar;
    QPushButton *cmdCancelar;
    QPushButton *cmdTarveon;
    SignalGridPage *gridPage;
    SignalGridView *grid;

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
    EditorMenus *menus;

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
    void showOpenedState();
    void showDevice();
    // A field shows a text: never cut by the field's length limit.
    void showFieldText(QLineEdit *edit, const QString &text);
    bool mayClose();
    bool settingsFieldEvent(QLineEdit *edit, SettingsField f, QEvent *event);

    AppContext &m_ctx;
    EditorSession *m_session;
    std::unique_ptr<AddressPlanCore> m_planCore;
    SettingsPage &m_page;
    QHash<QLineEdit *, SettingsField> m_fields;
    QHash<QLineEdit *, int> m_maxLength; // the length a field takes when typed into
    bool m_closeConfirmed = false;
};

} // namespace tarveon
