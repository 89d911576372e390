// The real QSerialPort code against tarveon-sim (and against the test itself as the gateway)
// over pseudo-terminals.
#include "LinkTestSupport.h"
#include "PtySupport.h"
#include "link/QtSerialPortImpl.h"
#include "link/SerialLink.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using namespace tarveon;
using test::waitFor;

namespace {

struct Fixture {
    Fixture()
    {
        test::ensureTexts(tc, test::linkTextKeys());
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-PACKAGED";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Office");
        QDir().mkpath(ctx.ProjectDir);
        QObject::connect(&link, &SerialLink::gatewayLine,
                         [this](const QString &l, const QString &m) { monitor << m + l; });
        QObject::connect(&link, &SerialLink::uploadFinished, [this](UploadOutcome o) { outcomes << o; });
    }
    QString T(const char *key) { return ctx.GetText(QString::fromLatin1(key)); }
    bool open(const QString &device)
    {
        link.configurePort(PortChoice{1, device, "57600,n,8,1"});
        link.chkOnline_Click(true);
        return ctx.LinkState == 1;
    }
    // Opens the device and waits for the gateway's identification.
    bool goOnLine(const QString &device)
    {
        if (!open(device))
            return false;
        link.Timer1_Timer();
        return waitFor([&] { return ctx.LinkState == 2; });
    }
    void upload(const QByteArray &file)
    {
        tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.zdm", file);
        tc.prompter.msgBoxAnswers = {1};
        link.cmdSendFileTarveon_Click();
    }
    bool waitForOutcome(int timeoutMs = 5000)
    {
        return waitFor([&] { return !outcomes.isEmpty(); }, timeoutMs);
    }

    test::TestContext tc;
    AppContext &ctx = *tc.ctx;
    SerialLink link{ctx, new QtSerialPortImpl};
    QStringList monitor;
    QList<UploadOutcome> outcomes;
};

} // namespace

class TestLinkPty : public QObject {
    Q_OBJECT
private slots:
    void identificationMatching()
    {
        test::SimProcess sim;
        QVERIFY(sim.start());
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        QCOMPARE(f.ctx.GatewayProtocol, QString("ZTR001"));
        QCOMPARE(f.link.view().fileEntries, QStringList{"ZTR001-PACKAGED.ZDM"});
        QVERIFY(f.monitor.contains("<ONCHANGES"));
        // The console reaches the gateway and its answer comes back.
        f.link.cmdEnviar_Click("  DEBUG=2 ");
        QVERIFY(waitFor([&] { return f.monitor.contains(">Debug level 2"); }));
        QVERIFY(f.tc.prompter.records.isEmpty());
        f.link.chkOnline_Click(false);
        QVERIFY(!f.link.port()->isOpen());
        // The port can be opened again at once.
        QVERIFY(f.goOnLine(sim.devicePath()));
    }

    void identificationMismatching()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--family", "ZTR777"}));
        Fixture f;
        QVERIFY(f.open(sim.devicePath()));
        f.link.Timer1_Timer();
        QVERIFY(waitFor([&] { return !f.tc.prompter.records.isEmpty(); }));
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.link.port()->isOpen());
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QCOMPARE(f.tc.prompter.records[0].text,
                 f.T("A26") + "ZTR777 " + f.T("X88") + "ZTR001-PACKAGED\r" + f.T("A27"));
    }

    void openFailureNamesThePort()
    {
        Fixture f;
        QVERIFY(!f.open("/dev/tarveon-no-such-port"));
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QVERIFY(f.tc.prompter.records[0].text.startsWith(f.T("X29") + "/dev/tarveon-no-such-port. "));
        QVERIFY(f.tc.prompter.records[0].text.size() > (f.T("X29") + "/dev/tarveon-no-such-port. ").size());
    }

    void uploadSucceeds_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("simOptions");
        QTest::newRow("128 bytes") << 128 << QStringList{};
        QTest::newRow("300 bytes") << 300 << QStringList{};
        QTest::newRow("largest file") << 48000 << QStringList{};
        QTest::newRow("duplicate acknowledgements") << 1000 << QStringList{"--duplicate-ack"};
        QTest::newRow("CR only") << 300 << QStringList{"--cr-only"};
    }
    void uploadSucceeds()
    {
        QFETCH(int, size);
        QFETCH(QStringList, simOptions);
        test::SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        const QByteArray file = test::gatewayFileImage("ZTR001", size);
        QCOMPARE(file.size(), size);
        f.upload(file);
        QCOMPARE(f.ctx.LinkState, qint16(3));
        QVERIFY(f.waitForOutcome(10000));
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome::Success});
        QCOMPARE(f.monitor.last(), ">" + f.T("X79"));
        QCOMPARE(int(f.monitor.filter(QRegularExpression("^>TX: ")).size()), (size + 127) / 128);
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QVERIFY(f.tc.prompter.records.size() == 1); // the question only
    }

    void uploadEnds_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty file") << 0 << QStringList{} << int(UploadOutcome::Cancelled) << "X80";
        QTest::newRow("bad checksum") << -300 << QStringList{} << int(UploadOutcome::Cancelled) << "X80";
        QTest::newRow("refused") << 300 << QStringList{"--refuse"} << int(UploadOutcome::Refused) << "X44";
        QTest::newRow("cancelled half-way") << 1000 << QStringList{"--cancel-after", "512"}
                                            << int(UploadOutcome::Cancelled) << "X80";
    }
    void uploadEnds()
    {
        QFETCH(int, size);
        QFETCH(QStringList, simOptions);
        QFETCH(int, outcome);
        QFETCH(QString, key);
        test::SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.upload(test::gatewayFileImage("ZTR001", qAbs(size), size >= 0));
        QVERIFY(f.waitForOutcome());
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome(outcome)});
        QCOMPARE(f.monitor.last(), ">" + f.ctx.GetText(key));
        QCOMPARE(f.ctx.LinkState, qint16(2));
        if (size == 0)
            QVERIFY(f.monitor.filter(QRegularExpression("^>TX: ")).isEmpty());
    }

    void uploadTimesOut_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QString>("waitForLine"); // the last thing the gateway says
        QTest::newRow("silent after a block") << QStringList{"--silent-after", "128"} << ">TX: 1 size 128";
        QTest::newRow("wrong count") << QStringList{"--wrong-ack"} << ">Bytes:129";
        QTest::newRow("silent at announcement") << QStringList{"--silent-after", "0"} << "<SEND~1000";
    }
    void uploadTimesOut()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QString, waitForLine);
        test::SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.upload(test::gatewayFileImage("ZTR001", 1000));
        QVERIFY(waitFor([&] { return f.monitor.contains(waitForLine); }));
        QTest::qWait(50);
        const qint16 state = f.ctx.LinkState;
        QVERIFY(state == 3 || state == 4);
        for (int i = 0; i < 5; ++i)
            f.link.Timer1_Timer();
        QVERIFY(f.outcomes.isEmpty());
        f.link.Timer1_Timer();
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome::TimedOut});
        QCOMPARE(f.monitor.last(), "<" + f.T("X80") + " Timeout");
        QCOMPARE(f.ctx.LinkState, qint16(2));
    }

    void hangUpMidUpload()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--hangup-after", "256"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        QSignalSpy lost(&f.link, &SerialLink::linkLost);
        f.upload(test::gatewayFileImage("ZTR001", 2000));
        QVERIFY(f.waitForOutcome());
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome::Aborted});
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.link.port()->isOpen());
        QVERIFY(!f.link.view().onlineChecked);
        QVERIFY(!f.link.view().progressVisible);
        // Errors keep coming from a vanished pty for a while: still one message.
        QTest::qWait(100);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(f.tc.prompter.records.size(), 2); // the question, then the loss
        QVERIFY(f.tc.prompter.records[1].text.startsWith(f.T("LNK1") + sim.devicePath() + ". "));
    }

    void groupReportUpdatesEverySignalOfTheGroup()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--set", "1/2/3=21.5", "--set", "2/0/7=3"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        LinkTables &t = f.ctx.linkTables;
        for (int i = 0; i < 4; ++i)
            t.signals_.append(LinkSignal{});
        t.index.insert("GP:01/2/003", 1);
        t.index.insert("GP:01/2/003-1", 3);
        t.index.insert("GP:01/2/003-2", 4);
        t.index.insert("GP:02/0/007", 2);
        f.link.TransmitTarveon("GP:01/2/003?");
        f.link.TransmitTarveon("GP:2/0/7?");
        QVERIFY(waitFor([&] { return t.signals_[2].value == 3.0f; }));
        QCOMPARE(t.signals_[1].value, 21.5f);
        QCOMPARE(t.signals_[3].value, 21.5f);
        QCOMPARE(t.signals_[4].value, 21.5f);
        // A write is reported back while change reports are on.
        f.link.TransmitTarveon("GP:01/2/003=19.25");
        QVERIFY(waitFor([&] { return t.signals_[4].value == 19.25f; }));
        QCOMPARE(t.signals_[1].value, 19.25f);
    }

    void linesSplitAcrossReads()
    {
        test::PtyPair pty;
        QVERIFY(pty.isValid());
        Fixture f;
        QVERIFY(f.open(pty.devicePath()));
        f.link.Timer1_Timer();
        QCOMPARE(pty.readUntil([](const QByteArray &b) { return b.endsWith('\r'); }), QByteArray("INFO?\r"));
        pty.write("Protocol:ZT");
        pty.readFor(40);
        QCOMPARE(f.ctx.LinkState, qint16(1));
        QCOMPARE(f.link.RxBuffer(), QByteArray("Protocol:ZT"));
        pty.write("R001.V9\r");
        QCOMPARE(pty.readUntil([](const QByteArray &b) { return b.endsWith('\r'); }), QByteArray("ONCHANGES\r"));
        QCOMPARE(f.ctx.LinkState, qint16(2));
        LinkTables &t = f.ctx.linkTables;
        t.signals_.append(LinkSignal{});
        t.index.insert("GP:01/2/003", 1);
        pty.write("\nGP:01/2/00");
        pty.readFor(40);
        QCOMPARE(t.signals_[1].value, 0.0f);
        pty.write("3=4.5\r\nFREE TEXT\r\n");
        QVERIFY(waitFor([&] { return f.monitor.contains(">FREE TEXT"); }));
        QCOMPARE(t.signals_[1].value, 4.5f);
        // CR LF gives no empty lines.
        QCOMPARE(f.monitor.filter(QRegularExpression("^>$")).size(), 0);
        QCOMPARE(f.monitor.mid(f.monitor.size() - 2), (QStringList{">GP:01/2/003=4.5", ">FREE TEXT"}));
    }

    void deviceGoneWhileWaitingForIdentification()
    {
        auto pty = std::make_unique<test::PtyPair>();
        Fixture f;
        QVERIFY(f.open(pty->devicePath()));
        const QString device = pty->devicePath();
        pty.reset();
        QVERIFY(waitFor([&] { return !f.tc.prompter.records.isEmpty(); }));
        QTest::qWait(50);
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QVERIFY(f.tc.prompter.records[0].text.startsWith(f.T("LNK1") + device + ". "));
        QCOMPARE(f.ctx.LinkState, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestLinkPty)
#include "tst_link_pty.moc"
