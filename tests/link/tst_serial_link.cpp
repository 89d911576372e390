#include "LinkTestSupport.h"
#include "link/FakeSerialPort.h"
#include "link/SerialLink.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using namespace tarveon;

namespace {

// A link over the in-memory port with a project of protocol ZTR001-CHILLER open.
struct Fixture {
    Fixture()
    {
        test::ensureTexts(tc, test::linkTextKeys());
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        ctx.ProjectName = "Plant";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Plant");
        QDir().mkpath(ctx.ProjectDir);
        link.configurePort(PortChoice{3, QString(), "57600,n,8,1"});
        QObject::connect(&link, &SerialLink::gatewayLine, [this](const QString &l, const QString &m) {
            monitor << m + l;
        });
        QObject::connect(&link, &SerialLink::uploadFinished, [this](UploadOutcome o) { outcomes << o; });
    }
    QString T(const char *key) { return ctx.GetText(QString::fromLatin1(key)); }
    // Port open and gateway recognised; what was sent so far is forgotten.
    void goOnLine()
    {
        link.chkOnline_Click(true);
        port->receive("Protocol:ZTR001.V2.10\r\n");
        QCOMPARE(ctx.LinkState, qint16(2));
        port->written.clear();
        monitor.clear();
    }
    void writeProjectFile(const QByteArray &bytes, const QString &name = "ZTR001-CHILLER.zdm")
    {
        tc.dir.writeFile("ProjectsZDM/Plant/" + name, bytes);
    }
    // cmdSendFileTarveon with the question answered by the first button.
    void startUpload()
    {
        tc.prompter.msgBoxAnswers = {1};
        link.cmdSendFileTarveon_Click();
    }

    test::TestContext tc;
    AppContext &ctx = *tc.ctx;
    FakeSerialPort *port = new FakeSerialPort;
    SerialLink link{ctx, port};
    QStringList monitor;
    QList<UploadOutcome> outcomes;
};

QByteArray bytesOf(int n, char base = 'a')
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += char(base + i % 26);
    return b;
}

} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void consoleCommandListInOrder()
    {
        QCOMPARE(SerialLink::ConsoleCommands(),
                 (QStringList{"BUSINTALL", "BUSINTTX", "BUSINTRX", "BUSINTOFF", "BUSEXTALL", "BUSEXTTX", "BUSEXTRX",
                              "BUSEXTOFF", "RESET~", "HELP", "INFO?", "OFCHANGES", "ONCHANGES", "DEBUG=0", "DEBUG=1",
                              "DEBUG=2", "GP:00/0/000?", "GP:00/0/000=0.0"}));
    }

    void openFailureShowsX29AndStaysOffLine()
    {
        Fixture f;
        f.port->failOpen = true;
        f.port->openError = "Permission denied";
        f.link.chkOnline_Click(true);
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.link.view().onlineChecked);
        QCOMPARE(f.link.view().onlineCaption, QString("Off Line"));
        QVERIFY(f.link.view().projectMenuEnabled);
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QCOMPARE(f.tc.prompter.records[0].title, QString("Error"));
        QCOMPARE(f.tc.prompter.records[0].text, f.T("X29") + "3 (/dev/ttyS2). Permission denied");
    }

    void openPollsInfoEverySecond()
    {
        Fixture f;
        f.link.chkOnline_Click(true);
        QCOMPARE(f.ctx.LinkState, qint16(1));
        QCOMPARE(f.port->portName(), QString("/dev/ttyS2"));
        QVERIFY(f.link.view().onlineChecked);
        QCOMPARE(f.link.view().onlineCaption, QString("On Line"));
        QVERIFY(f.link.view().onlineGreen);
        QVERIFY(!f.link.view().projectMenuEnabled);
        QVERIFY(!f.link.view().consoleEnabled);
        f.link.Timer1_Timer();
        f.link.Timer1_Timer();
        QCOMPARE(f.port->written, QByteArray("INFO?\rINFO?\r"));
        QCOMPARE(f.monitor, (QStringList{"<INFO?", "<INFO?"}));
    }

    void identificationMatchingFamily()
    {
        Fixture f;
        QSignalSpy identified(&f.link, &SerialLink::identified);
        f.link.chkOnline_Click(true);
        f.port->receive("Protocol:ztr001.V2.10 Tarveon\r\n");
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QCOMPARE(f.ctx.GatewayProtocol, QString("ZTR001"));
        QCOMPARE(f.link.view().fileEntries, QStringList{"ZTR001-CHILLER.ZDM"});
        QCOMPARE(f.link.view().fileIndex, 0);
        QVERIFY(f.link.view().sendFileEnabled);
        QVERIFY(f.link.view().consoleEnabled);
        QVERIFY(f.link.view().viewMenuEnabled);
        QCOMPARE(f.port->written, QByteArray("ONCHANGES\r"));
        QCOMPARE(identified.size(), 1);
        // Timer ticks on line send nothing.
        f.link.Timer1_Timer();
        QCOMPARE(f.port->written, QByteArray("ONCHANGES\r"));
        QVERIFY(f.tc.prompter.records.isEmpty());
    }

    void identificationOtherFamilyClosesLink()
    {
        Fixture f;
        f.link.chkOnline_Click(true);
        f.port->receive("Protocol:ZTR009.V1\r");
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.port->isOpen());
        QVERIFY(!f.link.view().onlineChecked);
        QVERIFY(f.link.view().fileEntries.isEmpty());
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QCOMPARE(f.tc.prompter.records[0].text,
                 f.T("A26") + "ZTR009 " + f.T("X88") + "ZTR001-CHILLER\r" + f.T("A27"));
        // Going off line switched the reports off first.
        QCOMPARE(f.port->writtenLines(), (QStringList{"BUSINTOFF", "BUSEXTOFF", "OFCHANGES", "DEBUG=0"}));
    }

    // The mismatch takes the link off line while the output drains; input arriving during that
    // wait is displayed after the line being handled, never parsed inside it.
    void inputDuringTheDrainWaitsItsTurn()
    {
        Fixture f;
        f.link.chkOnline_Click(true);
        f.port->stallOutput = true;
        QTimer::singleShot(20, f.port, [&] {
            f.port->receive("late line\r");
            f.port->drain();
            f.port->stallOutput = false;
        });
        f.port->receive("Protocol:ZTR009.V1\rnext line\r");
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QCOMPARE(f.monitor.filter(">").mid(0, 2), (QStringList{">Protocol:ZTR009.V1", ">next line"}));
        QVERIFY(f.link.RxBuffer().isEmpty());
    }

    void identificationWithoutDotKeepsFamily()
    {
        Fixture f;
        f.ctx.GatewayProtocol = "ZTR001";
        f.link.chkOnline_Click(true);
        f.port->receive("Protocol:ZTR009\r");
        QCOMPARE(f.ctx.GatewayProtocol, QString("ZTR001"));
        QCOMPARE(f.ctx.LinkState, qint16(2));
    }

    void groupReports_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("onLine");
        QTest::addColumn<QList<float>>("values"); // entries 1..4 afterwards
        const QList<float> none{0, 0, 0, 0};
        QTest::newRow("group and its further entries") << QByteArray("GP:01/2/003=21.5\r") << true
                                                      << QList<float>{21.5f, 21.5f, 21.5f, 0};
        QTest::newRow("other group") << QByteArray("GP:01/0/001=7\r") << true << QList<float>{0, 0, 0, 7.0f};
        QTest::newRow("waiting for identification") << QByteArray("GP:01/2/003=21.5\r") << false << none;
        QTest::newRow("short address") << QByteArray("GP:1/2/3=5\r") << true << none;
        QTest::newRow("unknown group") << QByteArray("GP:09/1/001=5\r") << true << none;
        QTest::newRow("no equals") << QByteArray("GP:01/2/003?\r") << true << none;
        QTest::newRow("negative with CR LF") << QByteArray("GP:01/0/001=-2.25\r\n") << true
                                             << QList<float>{0, 0, 0, -2.25f};
    }
    void groupReports()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, onLine);
        QFETCH(QList<float>, values);
        Fixture f;
        if (onLine)
            f.goOnLine();
        else
            f.link.chkOnline_Click(true);
        // Entries 1..3 on group 01/2/003 (first, "-1", "-2"), entry 4 on 01/0/001.
        LinkTables &t = f.ctx.linkTables;
        t.clear();
        for (int i = 0; i < 4; ++i)
            t.signals_.append(LinkSignal{});
        t.index.insert("GP:01/2/003", 1);
        t.index.insert("GP:01/2/003-1", 2);
        t.index.insert("GP:01/2/003-2", 3);
        t.index.insert("GP:01/0/001", 4);
        t.index.insert("GP:01/0/001-2", 1); // not reached: "-1" is missing
        f.port->receive(line);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(t.signals_[i + 1].value, values[i]);
        QCOMPARE(f.monitor.last(), ">" + QString::fromLatin1(line).trimmed());
    }

    void busLinesOnlyWhileReportsOn()
    {
        Fixture f;
        f.goOnLine();
        QStringList eib, ext;
        connect(&f.link, &SerialLink::eibLine, this, [&](const QString &l) { eib << l; });
        connect(&f.link, &SerialLink::extLine, this, [&](const QString &l) { ext << l; });
        f.port->receive("EIB>frame 1\rEXT<frame 2\r");
        QVERIFY(eib.isEmpty());
        QVERIFY(ext.isEmpty());
        QVERIFY(f.monitor.isEmpty()); // dropped, not shown elsewhere
        f.link.ControlaBusTarveon("INT", true);
        f.link.ControlaBusTarveon("EXT", true);
        f.link.ControlaBusTarveon("EXT", true); // already on: nothing sent
        f.link.ControlaBusTarveon("XYZ", true);
        QCOMPARE(f.port->writtenLines(), (QStringList{"BUSINTALL", "BUSEXTALL"}));
        f.port->receive("EIB>frame 3\rEXT<frame 4\r");
        QCOMPARE(eib, QStringList{"EIB>frame 3"});
        QCOMPARE(ext, QStringList{"EXT<frame 4"});
        f.link.ControlaBusTarveon("INT", false);
        QCOMPARE(f.port->writtenLines().last(), QString("BUSINTOFF"));
        QVERIFY(!f.ctx.BusIntOn);
    }

    void busSwitchOnlyOnLine()
    {
        Fixture f;
        f.link.chkOnline_Click(true);
        f.link.ControlaBusTarveon("INT", true);
        QVERIFY(f.port->written.isEmpty());
        QVERIFY(!f.ctx.BusIntOn);
    }

    void console_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("plain") << "HELP" << QByteArray("HELP\r");
        QTest::newRow("blanks around") << "  HELP  " << QByteArray("HELP\r");
        QTest::newRow("blanks only") << "    " << QByteArray();
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("group write") << "GP:01/2/003=21.50" << QByteArray("GP:01/2/003=21.50\r");
    }
    void console()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, sent);
        Fixture f;
        f.goOnLine();
        f.link.cmdEnviar_Click(typed);
        QCOMPARE(f.port->written, sent);
        QCOMPARE(f.monitor.size(), sent.isEmpty() ? 0 : 1);
    }

    void nothingSentOffLine()
    {
        Fixture f;
        f.link.TransmitTarveon("HELP");
        f.link.TransmitRaw("raw");
        QVERIFY(f.port->written.isEmpty());
        QVERIFY(f.monitor.isEmpty());
    }

    void goingOffLineStopsReportsDrainsAndCloses()
    {
        Fixture f;
        f.goOnLine();
        f.port->stallOutput = true;
        QTimer::singleShot(50, f.port, [&] {
            QCOMPARE(f.ctx.LinkState, qint16(0)); // the link is already marked off line while draining
            QVERIFY(f.port->isOpen());
            QVERIFY(f.link.OnlineBusy());
            f.link.chkOnline_Click(true); // re-entry ignored
            f.port->drain();
            f.port->stallOutput = false;
        });
        f.link.chkOnline_Click(false);
        QVERIFY(!f.port->isOpen());
        QCOMPARE(f.port->openCount, 1);
        QCOMPARE(f.port->writtenLines(), (QStringList{"BUSINTOFF", "BUSEXTOFF", "OFCHANGES", "DEBUG=0"}));
        const LinkView &v = f.link.view();
        QVERIFY(!v.onlineChecked);
        QCOMPARE(v.onlineCaption, QString("Off Line"));
        QVERIFY(!v.onlineGreen && !v.sendFileEnabled && !v.consoleEnabled && !v.viewMenuEnabled);
        QVERIFY(v.fileEntries.isEmpty());
        QVERIFY(v.projectMenuEnabled);
    }

    void drainGivesUpOnDeadOutput()
    {
        Fixture f;
        f.goOnLine();
        f.port->stallOutput = true;
        f.link.setDrainLimitMs(100);
        QElapsedTimer clock;
        clock.start();
        f.link.chkOnline_Click(false);
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(!f.port->isOpen());
    }

    void portVanishingShowsOneMessage()
    {
        Fixture f;
        f.goOnLine();
        f.writeProjectFile(bytesOf(300));
        f.startUpload();
        f.port->receive("START\r");
        QCOMPARE(f.ctx.LinkState, qint16(4));
        f.tc.prompter.clear();
        QSignalSpy lost(&f.link, &SerialLink::linkLost);
        f.port->unplug(5);
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.port->isOpen());
        QCOMPARE(lost.size(), 1);
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QCOMPARE(f.tc.prompter.records[0].text, f.T("LNK1") + "3 (/dev/ttyS2). Input/output error");
        QVERIFY(!f.link.view().progressVisible && !f.link.view().transfer1Visible && !f.link.view().busy);
        QVERIFY(!f.link.view().onlineChecked);
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome::Aborted});
    }

    void deviceOverrideNamesThePort()
    {
        Fixture f;
        f.link.configurePort(PortChoice{1, "/dev/ttyUSB0", "57600,n,8,1"});
        f.port->failOpen = true;
        f.link.chkOnline_Click(true);
        QCOMPARE(f.port->portName(), QString("/dev/ttyUSB0"));
        QCOMPARE(f.tc.prompter.records[0].text, f.T("X29") + "/dev/ttyUSB0. No such file or directory");
    }

    void invalidSettingsFailToOpen()
    {
        Fixture f;
        f.link.configurePort(PortChoice{2, QString(), "fast,n,8,1"});
        f.link.chkOnline_Click(true);
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QCOMPARE(f.port->openCount, 0);
        QVERIFY(f.tc.prompter.records[0].text.startsWith(f.T("X29") + "2 (/dev/ttyS1). "));
    }

    // ------------------------------------------------------------ upload

    void uploadBlocks_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("blocks");
        QTest::addColumn<double>("maximum");
        QTest::newRow("300 bytes") << 300 << QList<int>{128, 128, 44} << 3.34375;
        QTest::newRow("128 bytes") << 128 << QList<int>{128} << 2.0;
        QTest::newRow("129 bytes") << 129 << QList<int>{128, 1} << 129 / 128.0 + 1;
        QTest::newRow("empty") << 0 << QList<int>{} << 1.0;
    }
    void uploadBlocks()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, blocks);
        QFETCH(double, maximum);
        Fixture f;
        f.goOnLine();
        const QByteArray data = bytesOf(size);
        f.writeProjectFile(data);
        f.startUpload();
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QCOMPARE(f.tc.prompter.records[0].text, f.T("A25"));
        QCOMPARE(f.tc.prompter.records[0].buttonTexts.mid(0, 2), (QStringList{f.T("X1"), f.T("X3")}));
        QCOMPARE(f.ctx.LinkState, qint16(3));
        QCOMPARE(f.port->written, "BUSINTOFF\rBUSEXTOFF\rSEND~" + QByteArray::number(size) + "\r");
        const QString path = QDir(f.ctx.ProjectDir).filePath("ZTR001-CHILLER.zdm");
        QCOMPARE(f.monitor, (QStringList{"<BUSINTOFF", "<BUSEXTOFF", ">" + f.T("X36") + path,
                                         ">" + f.T("X78") + QString::number(size) + " bytes", "<" + f.T("X70"),
                                         "<SEND~" + QString::number(size)}));
        f.port->written.clear();
        f.monitor.clear();

        f.port->receive("START\r\n");
        QCOMPARE(f.ctx.LinkState, qint16(4));
        QCOMPARE(f.monitor.mid(0, 2), (QStringList{">START", ">" + f.T("X43")}));
        QVERIFY(f.link.view().progressVisible);
        QVERIFY(f.link.view().transfer1Visible);
        QVERIFY(f.link.view().busy);
        QCOMPARE(f.link.view().progressMaximum, maximum);
        int sent = 0;
        for (int i = 0; i < blocks.size(); ++i) {
            QCOMPARE(f.port->written, data.mid(sent, blocks[i]));
            QCOMPARE(f.link.view().progressValue, i + 1);
            QCOMPARE(f.link.view().transfer2Visible, i % 2 == 0);
            QCOMPARE(f.monitor.last(), QString(">TX: %1 size %2").arg(sent + 1).arg(blocks[i]));
            f.port->written.clear();
            sent += blocks[i];
            f.port->receive("Bytes:" + QByteArray::number(sent) + "\r\n");
        }
        // Nothing more after the last acknowledgement.
        QVERIFY(f.port->written.isEmpty());
        f.port->receive("SUCCES\r\n");
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QCOMPARE(f.monitor.last(), ">" + f.T("X79"));
        QVERIFY(!f.link.view().progressVisible && !f.link.view().transfer1Visible && !f.link.view().busy);
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome::Success});
    }

    void uploadAnswers_data()
    {
        QTest::addColumn<QByteArray>("answers"); // after the announcement
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("blocksSent");
        QTest::addColumn<QString>("lastLine"); // monitor key, "<" mark for sent lines
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("state");
        QTest::newRow("refused") << QByteArray("CANCEL\r") << 0 << 0 << ">X44" << int(UploadOutcome::Refused) << 2;
        QTest::newRow("cancelled") << QByteArray("START\rBytes:128\rCANCEL\r") << 0 << 2 << ">X80"
                                   << int(UploadOutcome::Cancelled) << 2;
        QTest::newRow("silent gateway") << QByteArray() << 6 << 0 << "<X80 Timeout" << int(UploadOutcome::TimedOut)
                                        << 2;
        QTest::newRow("five ticks are not enough") << QByteArray() << 5 << 0 << "" << -1 << 3;
        QTest::newRow("wrong count then silence") << QByteArray("START\rBytes:127\r") << 6 << 1 << "<X80 Timeout"
                                                  << int(UploadOutcome::TimedOut) << 2;
        QTest::newRow("duplicate acknowledgement") << QByteArray("START\rBytes:128\rBytes:128\r") << 0 << 2 << ""
                                                   << -1 << 4;
        QTest::newRow("start while on line only shown") << QByteArray() << 0 << 0 << "" << -1 << 3;
    }
    void uploadAnswers()
    {
        QFETCH(QByteArray, answers);
        QFETCH(int, ticks);
        QFETCH(int, blocksSent);
        QFETCH(QString, lastLine);
        QFETCH(int, outcome);
        QFETCH(int, state);
        Fixture f;
        f.goOnLine();
        f.port->receive("START\r"); // on line: only displayed
        QCOMPARE(f.ctx.LinkState, qint16(2));
        f.writeProjectFile(bytesOf(1000));
        f.startUpload();
        f.port->written.clear();
        f.monitor.clear();
        f.port->receive(answers);
        for (int i = 0; i < ticks; ++i)
            f.link.Timer1_Timer();
        QCOMPARE(f.ctx.LinkState, qint16(state));
        QCOMPARE(int(f.port->written.size()), blocksSent * 128);
        if (!lastLine.isEmpty()) {
            const QString mark = lastLine.left(1);
            const QStringList parts = lastLine.mid(1).split(' ');
            QString expected = mark + f.T(parts[0].toLatin1().constData());
            if (parts.size() > 1)
                expected += " " + parts[1];
            QCOMPARE(f.monitor.last(), expected);
        }
        if (outcome < 0)
            QVERIFY(f.outcomes.isEmpty());
        else
            QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome(outcome)});
        if (state == 2)
            QVERIFY(!f.link.view().progressVisible && !f.link.view().busy);
    }

    void progressResetsTheTimeout()
    {
        Fixture f;
        f.goOnLine();
        f.writeProjectFile(bytesOf(1000));
        f.startUpload();
        f.port->receive("START\r");
        for (int i = 0; i < 5; ++i)
            f.link.Timer1_Timer();
        QCOMPARE(f.link.TimeoutTicks(), 5);
        f.port->receive("Bytes:128\r");
        QCOMPARE(f.link.TimeoutTicks(), 0);
        for (int i = 0; i < 5; ++i)
            f.link.Timer1_Timer();
        QCOMPARE(f.ctx.LinkState, qint16(4));
    }

    void uploadDeclined()
    {
        Fixture f;
        f.goOnLine();
        f.writeProjectFile(bytesOf(10));
        f.tc.prompter.msgBoxAnswers = {2};
        f.link.cmdSendFileTarveon_Click();
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QCOMPARE(f.port->writtenLines(), (QStringList{"BUSINTOFF", "BUSEXTOFF"}));
    }

    void uploadLetsOpenMonitorsSwitchTheirReportsOff()
    {
        Fixture f;
        f.goOnLine();
        f.ctx.EibMonitorOpen = true;
        f.ctx.ExtMonitorOpen = true;
        QStringList asked;
        f.link.monitorBusSwitchOff = [&](const QString &side) {
            asked << side;
            return side == "INT"; // the EIB monitor had its chkBus on, the external one not
        };
        f.tc.prompter.msgBoxAnswers = {2};
        f.link.cmdSendFileTarveon_Click();
        QCOMPARE(asked, (QStringList{"INT", "EXT"}));
        QCOMPARE(f.port->writtenLines(), QStringList{"BUSEXTOFF"});
    }

    void uploadFileMissing()
    {
        Fixture f;
        f.goOnLine();
        f.startUpload();
        QCOMPARE(f.ctx.LinkState, qint16(2));
        const QString path = QDir(f.ctx.ProjectDir).filePath("ZTR001-CHILLER.ZDM");
        QCOMPARE(f.tc.prompter.records.last().text, f.T("X66") + "\r" + path);
        QCOMPARE(f.tc.prompter.records.last().buttonTexts.first(), f.T("X1"));
        QCOMPARE(f.port->writtenLines(), (QStringList{"BUSINTOFF", "BUSEXTOFF"}));
    }

    void uploadFileUnreadable()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not stop root");
        Fixture f;
        f.goOnLine();
        f.writeProjectFile("12345678");
        const QString path = QDir(f.ctx.ProjectDir).filePath("ZTR001-CHILLER.zdm");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        f.startUpload();
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QVERIFY(f.tc.prompter.records.last().text.startsWith(f.T("X69") + "\r" + path + "\rError: \r"));
    }

    void uploadOnlyOnLine()
    {
        Fixture f;
        f.link.chkOnline_Click(true);
        f.writeProjectFile(bytesOf(10));
        f.link.SendFile();
        QCOMPARE(f.ctx.LinkState, qint16(1));
        QVERIFY(f.port->written.isEmpty());
    }

    void identificationIgnoredDuringUpload()
    {
        Fixture f;
        f.goOnLine();
        f.writeProjectFile(bytesOf(300));
        f.startUpload();
        f.port->receive("START\rProtocol:ZTR009.V1\r");
        QCOMPARE(f.ctx.LinkState, qint16(4));
        QVERIFY(f.port->isOpen());
    }

    void offLineDuringUploadEndsIt()
    {
        Fixture f;
        f.goOnLine();
        f.writeProjectFile(bytesOf(300));
        f.startUpload();
        f.port->receive("START\r");
        f.link.chkOnline_Click(false);
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.link.view().progressVisible && !f.link.view().busy);
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome::Aborted});
    }

    void viewerReloadedOnIdentificationAndSuccess()
    {
        Fixture f;
        f.ctx.ViewerOpen = true;
        QSignalSpy reload(&f.link, &SerialLink::viewerReload);
        f.goOnLine();
        QCOMPARE(reload.size(), 1);
        f.writeProjectFile(bytesOf(5));
        f.startUpload();
        f.port->receive("START\rBytes:5\rSUCCES\r");
        QCOMPARE(reload.size(), 2);
    }

    void shutdownSwitchesReportsOff()
    {
        Fixture f;
        f.goOnLine();
        f.link.Shutdown();
        QVERIFY(!f.port->isOpen());
        QCOMPARE(f.port->writtenLines(), (QStringList{"BUSINTOFF", "BUSEXTOFF", "OFCHANGES", "DEBUG=0"}));
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_serial_link.moc"
