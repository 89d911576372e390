#include "link/ui/fConfPort.h"

#include "app/AppContext.h"
#include "link/PortNames.h"
#include "link/SerialLink.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarveon {

fConfPort::fConfPort(AppContext &ctx, SerialLink &link, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_link(link)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setObjectName(QStringLiteral("fConfPort"));
    setModal(true);

    frmCom = new QGroupBox(this);
    frmCom->setObjectName(QStringLiteral("frmCom"));
    cboCom = new QComboBox(frmCom);
    cboCom->setObjectName(QStringLiteral("cboCom"));
    for (int n = 1; n <= 16; ++n)
        cboCom->addItem(QStringLiteral("COM %1").arg(n));
    cboBaud = new QComboBox(frmCom);
    cboBaud->setObjectName(QStringLiteral("cboBaud"));
    cboBaud->setEditable(true);
    cboBaud->addItems({QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                       QStringLiteral("14400"), QStringLiteral("19200"), QStringLiteral("28800"),
                       QStringLiteral("38400"), QStringLiteral("56000"), QStringLiteral("57600"),
                       QStringLiteral("115200")});
    lblDevice = new QLabel(frmCom);
    txtDevice = new QLineEdit(frmCom);
    txtDevice->setObjectName(QStringLiteral("txtDevice"));
    txtDevice->setPlaceholderText(deviceForPortNumber(1));
    lblDevice->setBuddy(txtDevice);
    auto *form = new QFormLayout(frmCom);
    form->addRow(cboCom, cboBaud);
    form->addRow(lblDevice);
    form->addRow(txtDevice);

    cmdAceptar = new QPushButton(this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdSalir = new QPushButton(this);
    cmdSalir->setObjectName(QStringLiteral("cmdSalir"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAceptar);
    buttons->addWidget(cmdSalir);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frmCom);
    layout->addLayout(buttons);

    const PortChoice &port = m_link.portChoice();
    Settings = port.settings;
    cboCom->setCurrentIndex(qBound(0, port.number - 1, 15));
    txtDevice->setText(port.device);

    setWindowTitle(m_ctx.GetText(QStringLiteral("A22")));
    frmCom->setTitle(m_ctx.GetText(QStringLiteral("X72")));
    cmdAceptar->setText(m_ctx.GetText(QStringLiteral("X5")));
    cmdSalir->setText(m_ctx.GetText(QStringLiteral("X3")));
    lblDevice->setText(m_ctx.GetText(QStringLiteral("LNK4")));

    cboBaud->setCurrentText(Settings.section(QLatin1Char(','), 0, 0));
    cmdAceptar->setEnabled(m_link.state() == LinkState::OffLine);

    // Choosing a number means that number: the device shown (and used) gives way to it.
    connect(cboCom, &QComboBox::activated, txtDevice, &QLineEdit::clear);
    connect(cmdAceptar, &QPushButton::clicked, this, &fConfPort::cmdAceptar_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
    setAttribute(Qt::WA_DeleteOnClose, false);
    QApplication::restoreOverrideCursor();
}

void fConfPort::cmdAceptar_Click()
{
    Settings = cboBaud->currentText() + QStringLiteral(",n,8,1");
    const PortChoice &before = m_link.portChoice();
    PortChoice choice;
    choice.settings = Settings;
    choice.number = cboCom->currentIndex() + 1;
    choice.device = txtDevice->text().trimmed();
    // A device given on the command line and left alone here stays out of the settings file.
    choice.deviceForThisRun = before.deviceForThisRun && !txtDevice->isModified() && choice.device == before.device;
    m_link.configurePort(choice);
    storePortChoice(choice, m_ctx);
    accept();
}

} // namespace tarveon
