#pragma once
#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarveon {

class AppContext;
class SerialLink;

// The serial port dialog: port number COM 1..16 and baud rate (parity, data and stop bits are
// always n,8,1), plus a device path that takes the number's place (USB adapters and
// pseudo-terminals, which no port list shows). Applies the choice to the link's port and stores
// it; only while the link is off line.
class fConfPort : public QDialog {
    Q_OBJECT
public:
    fConfPort(AppContext &ctx, SerialLink &link, QWidget *parent = nullptr);

    QGroupBox *frmCom;
    QComboBox *cboCom;
    QComboBox *cboBaud;
    QLabel *lblDevice;
    QLineEdit *txtDevice;
    QPushButton *cmdAceptar;
    QPushButton *cmdSalir;

    // The settings string being edited.
    QString Settings;

private:
    void cmdAceptar_Click();

    AppContext &m_ctx;
    SerialLink &m_link;
};

} // namespace tarveon
