#include "LinkTestSupport.h"
#include "app/IniFile.h"
#include "link/FakeSerialPort.h"
#include "link/PortNames.h"
#include "link/SerialLink.h"
#include "link/ui/fConfPort.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tarveon;

class TestPortDialog : public QObject {
    Q_OBJECT
private:
    static IniFile settingsFile(test::TestContext &tc) { return IniFile(tc.ctx->ini.appFilePath()); }

private slots:
    void numberedPortsNameDevices_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::newRow("first") << 1 << "/dev/ttyS0";
        QTest::newRow("fourth") << 4 << "/dev/ttyS3";
        QTest::newRow("last") << 16 << "/dev/ttyS15";
    }
    void numberedPortsNameDevices()
    {
        QFETCH(int, number);
        QFETCH(QString, device);
        QCOMPARE(deviceForPortNumber(number), device);
        PortChoice c;
        c.number = number;
        QCOMPARE(c.deviceName(), device);
    }

    void resolveFromSettingsAndArguments_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("opens");
        QTest::newRow("no settings file") << QByteArray() << QStringList{} << 1 << "" << "57600,n,8,1" << "/dev/ttyS0";
        QTest::newRow("stored number") << QByteArray("[X103]\r\nCom=3\r\nSettings=9600,e,7,2\r\n") << QStringList{}
                                       << 3 << "" << "9600,e,7,2" << "/dev/ttyS2";
        QTest::newRow("stored device") << QByteArray("[X103]\r\nCom=3\r\nDevice=/dev/ttyUSB0\r\n") << QStringList{}
                                       << 3 << "/dev/ttyUSB0" << "57600,n,8,1" << "/dev/ttyUSB0";
        QTest::newRow("argument wins") << QByteArray("[X103]\r\nDevice=/dev/ttyUSB0\r\n")
                                       << QStringList{"prog", "--port", "/dev/pts/7"} << 1 << "/dev/pts/7"
                                       << "57600,n,8,1" << "/dev/pts/7";
        QTest::newRow("argument with equals") << QByteArray() << QStringList{"prog", "--port=/dev/pts/9"} << 1
                                              << "/dev/pts/9" << "57600,n,8,1" << "/dev/pts/9";
        QTest::newRow("dangling option ignored") << QByteArray() << QStringList{"prog", "--port"} << 1 << ""
                                                 << "57600,n,8,1" << "/dev/ttyS0";
    }
    void resolveFromSettingsAndArguments()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, args);
        QFETCH(int, number);
        QFETCH(QString, device);
        QFETCH(QString, settings);
        QFETCH(QString, opens);
        test::TestContext tc;
        if (!ini.isEmpty())
            tc.dir.writeFile("tarveon-config.ini", ini);
        const PortChoice c = resolvePortChoice(args, *tc.ctx);
        QCOMPARE(c.number, number);
        QCOMPARE(c.device, device);
        QCOMPARE(c.settings, settings);
        QCOMPARE(c.deviceName(), opens);
    }

    void dialogShowsCurrentChoice()
    {
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        SerialLink link(*tc.ctx, new FakeSerialPort);
        link.configurePort(PortChoice{4, QString(), "9600,e,7,2"});
        fConfPort dlg(*tc.ctx, link);
        QCOMPARE(dlg.cboCom->count(), 16);
        QCOMPARE(dlg.cboCom->itemText(0), QString("COM 1"));
        QCOMPARE(dlg.cboCom->itemText(15), QString("COM 16"));
        QCOMPARE(dlg.cboCom->currentIndex(), 3);
        QStringList bauds;
        for (int i = 0; i < dlg.cboBaud->count(); ++i)
            bauds << dlg.cboBaud->itemText(i);
        QCOMPARE(bauds, (QStringList{"1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "56000",
                                     "57600", "115200"}));
        QCOMPARE(dlg.cboBaud->currentText(), QString("9600"));
        QCOMPARE(dlg.windowTitle(), tc.ctx->GetText("A22"));
        QCOMPARE(dlg.frmCom->title(), tc.ctx->GetText("X72"));
        QCOMPARE(dlg.cmdAceptar->text(), tc.ctx->GetText("X5"));
        QCOMPARE(dlg.cmdSalir->text(), tc.ctx->GetText("X3"));
        QVERIFY(dlg.cmdAceptar->isEnabled());
        QVERIFY(tc.prompter.records.isEmpty());
    }

    void acceptStoresWithN81()
    {
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        tc.dir.writeFile("tarveon-config.ini", "[X103]\r\nCom=2\r\nSettings=9600,e,7,2\r\n");
        SerialLink link(*tc.ctx, new FakeSerialPort);
        link.configurePort(resolvePortChoice({}, *tc.ctx));
        fConfPort dlg(*tc.ctx, link);
        dlg.show();
        dlg.cboCom->setCurrentIndex(15);
        QTest::mouseClick(dlg.cmdAceptar, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(link.portChoice().number, 16);
        QCOMPARE(link.portChoice().settings, QString("9600,n,8,1"));
        const IniFile ini = settingsFile(tc);
        QCOMPARE(ini.read("X103", "Com", ""), QString("16"));
        QCOMPARE(ini.read("X103", "Settings", ""), QString("9600,n,8,1"));
        QCOMPARE(ini.read("X103", "Device", "missing"), QString(""));
    }

    void typedBaudAndDevice()
    {
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        SerialLink link(*tc.ctx, new FakeSerialPort);
        fConfPort dlg(*tc.ctx, link);
        dlg.show();
        dlg.cboBaud->lineEdit()->selectAll();
        QTest::keyClicks(dlg.cboBaud->lineEdit(), "250000");
        QTest::keyClicks(dlg.txtDevice, " /dev/ttyUSB1 ");
        QTest::mouseClick(dlg.cmdAceptar, Qt::LeftButton);
        QCOMPARE(link.portChoice().settings, QString("250000,n,8,1"));
        QCOMPARE(link.portChoice().device, QString("/dev/ttyUSB1"));
        QCOMPARE(settingsFile(tc).read("X103", "Device", ""), QString("/dev/ttyUSB1"));
        // The next start finds it.
        QCOMPARE(resolvePortChoice({}, *tc.ctx).deviceName(), QString("/dev/ttyUSB1"));
    }

    void onlyLeaveWhileOnLine_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("waiting for the gateway") << 1;
        QTest::newRow("on line") << 2;
    }
    void onlyLeaveWhileOnLine()
    {
        QFETCH(int, state);
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        SerialLink link(*tc.ctx, new FakeSerialPort);
        link.configurePort(PortChoice{5, QString(), "57600,n,8,1"});
        tc.ctx->LinkState = qint16(state);
        fConfPort dlg(*tc.ctx, link);
        dlg.show();
        QCOMPARE(dlg.cboCom->currentIndex(), 4);
        QVERIFY(!dlg.cmdAceptar->isEnabled());
        QTest::mouseClick(dlg.cmdAceptar, Qt::LeftButton);
        QVERIFY(dlg.isVisible());
        QTest::mouseClick(dlg.cmdSalir, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(link.portChoice().number, 5);
        QVERIFY(!QFile::exists(tc.ctx->ini.appFilePath()));
    }

    void cancelChangesNothing()
    {
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        SerialLink link(*tc.ctx, new FakeSerialPort);
        fConfPort dlg(*tc.ctx, link);
        dlg.show();
        dlg.cboCom->setCurrentIndex(7);
        QTest::mouseClick(dlg.cmdSalir, Qt::LeftButton);
        QCOMPARE(link.portChoice().number, 1);
        QVERIFY(!QFile::exists(tc.ctx->ini.appFilePath()));
    }
};

QTEST_MAIN(TestPortDialog)
#include "tst_port_dialog.moc"
