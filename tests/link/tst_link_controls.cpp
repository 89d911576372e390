#include "LinkTestSupport.h"
#include "link/FakeSerialPort.h"
#include "link/SerialLink.h"
#include "link/ui/LinkControls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

using namespace tarveon;

class TestLinkControls : public QObject {
    Q_OBJECT
private slots:
    void windowDrivesTheLink()
    {
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        AppContext &ctx = *tc.ctx;
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Plant");
        QDir().mkpath(ctx.ProjectDir);
        tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.zdm", QByteArray(300, 'z'));
        auto *port = new FakeSerialPort;
        SerialLink link(ctx, port);

        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        LinkControls c;
        c.chkOnline = new QCheckBox(&window);
        c.Timer1 = new QTimer(&window);
        c.cboCmd = new QComboBox(&window);
        c.cmdEnviar = new QPushButton("Send", &window);
        c.cboFichero = new QComboBox(&window);
        c.cmdSendFileTarveon = new QPushButton("Upload", &window);
        c.ProgressBar1 = new QProgressBar(&window);
        c.shpTransfer1 = new QWidget(&window);
        c.shpTransfer2 = new QWidget(&window);
        QAction mnuVer("View"), mnuAProject("Projects");
        c.mnuVer = &mnuVer;
        c.mnuAProject = &mnuAProject;
        for (QWidget *w : {static_cast<QWidget *>(c.chkOnline), static_cast<QWidget *>(c.cboCmd),
                           static_cast<QWidget *>(c.cmdEnviar), static_cast<QWidget *>(c.cboFichero),
                           static_cast<QWidget *>(c.cmdSendFileTarveon), static_cast<QWidget *>(c.ProgressBar1),
                           c.shpTransfer1, c.shpTransfer2})
            layout->addWidget(w);
        LinkControlsBinder binder(link, c);
        window.show();

        QCOMPARE(c.cboCmd->count(), SerialLink::ConsoleCommands().size());
        QCOMPARE(c.chkOnline->text(), QString("Off Line"));
        QVERIFY(!c.cmdEnviar->isEnabled() && !c.cmdSendFileTarveon->isEnabled() && !mnuVer.isEnabled());
        QVERIFY(mnuAProject.isEnabled());
        QVERIFY(!c.ProgressBar1->isVisible() && !c.shpTransfer1->isVisible());

        QTest::mouseClick(c.chkOnline, Qt::LeftButton);
        QCOMPARE(ctx.LinkState, qint16(1));
        QCOMPARE(c.chkOnline->text(), QString("On Line"));
        QVERIFY(c.chkOnline->isChecked());
        QVERIFY(c.chkOnline->styleSheet().contains("rgb(0, 255, 0)"));
        QVERIFY(!mnuAProject.isEnabled());
        QCOMPARE(c.Timer1->interval(), 1000);
        c.Timer1->setSingleShot(true);
        c.Timer1->start(0);
        QTRY_COMPARE(port->written, QByteArray("INFO?\r"));
        // Enter in the console does nothing before the gateway is recognised.
        c.cboCmd->setEditText("HELP");
        QTest::keyClick(c.cboCmd->lineEdit(), Qt::Key_Return);
        QCOMPARE(port->written, QByteArray("INFO?\r"));

        port->receive("Protocol:ZTR001.V2\r\n");
        QVERIFY(c.cmdEnviar->isEnabled() && c.cmdSendFileTarveon->isEnabled() && mnuVer.isEnabled());
        QCOMPARE(c.cboFichero->currentText(), QString("ZTR001-CHILLER.ZDM"));
        port->written.clear();
        c.cboCmd->setEditText("  HELP ");
        QTest::keyClick(c.cboCmd->lineEdit(), Qt::Key_Return);
        QCOMPARE(port->written, QByteArray("HELP\r"));
        QTest::mouseClick(c.cmdEnviar, Qt::LeftButton);
        QCOMPARE(port->written, QByteArray("HELP\rHELP\r"));

        port->written.clear();
        tc.prompter.msgBoxAnswers = {1};
        QTest::mouseClick(c.cmdSendFileTarveon, Qt::LeftButton);
        QCOMPARE(port->writtenLines(), (QStringList{"BUSINTOFF", "BUSEXTOFF", "SEND~300"}));
        port->receive("START\r\n");
        QVERIFY(c.ProgressBar1->isVisible() && c.shpTransfer1->isVisible() && c.shpTransfer2->isVisible());
        QCOMPARE(c.ProgressBar1->maximum(), 3343); // 300 / 128 + 1 = 3.34375
        QCOMPARE(c.ProgressBar1->value(), 1000);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        port->receive("Bytes:128\r\n");
        QCOMPARE(c.ProgressBar1->value(), 2000);
        QVERIFY(!c.shpTransfer2->isVisible());
        port->receive("Bytes:256\r\nSUCCES\r\n");
        QVERIFY(!c.ProgressBar1->isVisible() && !c.shpTransfer1->isVisible() && !c.shpTransfer2->isVisible());
        QVERIFY(!QApplication::overrideCursor());

        QTest::mouseClick(c.chkOnline, Qt::LeftButton);
        QCOMPARE(ctx.LinkState, qint16(0));
        QCOMPARE(c.chkOnline->text(), QString("Off Line"));
        QVERIFY(!c.chkOnline->isChecked());
        QVERIFY(c.chkOnline->styleSheet().isEmpty());
        QVERIFY(!c.cmdEnviar->isEnabled() && !c.cmdSendFileTarveon->isEnabled() && !mnuVer.isEnabled());
        QCOMPARE(c.cboFichero->count(), 0);
        QVERIFY(mnuAProject.isEnabled());
    }

    void failedOpenUnchecksTheSwitch()
    {
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        auto *port = new FakeSerialPort;
        port->failOpen = true;
        SerialLink link(*tc.ctx, port);
        LinkControls c;
        QCheckBox chk;
        c.chkOnline = &chk;
        LinkControlsBinder binder(link, c);
        chk.show();
        QTest::mouseClick(&chk, Qt::LeftButton);
        QVERIFY(!chk.isChecked());
        QCOMPARE(chk.text(), QString("Off Line"));
        QCOMPARE(tc.prompter.records.size(), 1);
        QCOMPARE(port->openCount, 0);
    }
};

QTEST_MAIN(TestLinkControls)
#include "tst_link_controls.moc"
