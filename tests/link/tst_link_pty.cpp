// The real QSerialPort code over pseudo-terminals, against tarveon-sim (and against the test itself
// playing the gateway where bytes must arrive split).
#include "LinkTestSupport.h"
#include "PtySupport.h"
#include "link/QtSerialPortImpl.h"
#include "link/SerialLink.h"

#include <QtTest>

using namespace tarveon;
using test::waitFor;

namespace {

struct Fixture {
    Fixture()
    {
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-PACKAGED";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Office");
        QObject::connect(&link, &SerialLink::gatewayLine, [this](const QString &l, const QString &m) { monitor << m + l; });
        QObject::connect(&link, &SerialLink::eibLine, [this](const QString &l) { eib << l; });
        QObject::connect(&link, &SerialLink::uploadFinished, [this](UploadOutcome o) { outcomes << o; });
    }
    QString T(const QString &key) const { return ctx.GetText(key); }
    bool open(const QString &device)
    {
        link.configurePort(PortChoice{1, device, "57600,n,8,1"});
        link.chkOnline_Click(true);
        link.Timer1_Timer();
        return link.state() == LinkState::Identifying;
    }
    bool goOnLine(const QString &device)
    {
        return open(device) && waitFor([&] { return link.state() == LinkState::OnLine; });
    }
    qsizetype blocks() const { return monitor.filter(QRegularExpression("^>TX: ")).size(); }

    test::TestContext tc;
    AppContext &ctx = *tc.ctx;
    SerialLink link{ctx, new QtSerialPortImpl};
    QStringList monitor, eib;
    QList<UploadOutcome> outcomes;
};

} // namespace

class TestLinkPty : public QObject {
    Q_OBJECT
private slots:
    // On line, the console answered, an open EIB monitor fed; off and on again, the monitor is fed
    // again without anyone touching it. A gateway of another family takes the link off line.
    void session()
    {
        test::SimProcess sim, other;
        QVERIFY(sim.start({"--traffic-ms", "20"}) && other.start({"--family", "ZTR777"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        QCOMPARE(f.link.GatewayProtocol(), QString("ZTR001"));
        f.link.cmdEnviar_Click("  DEBUG=2 ");
        QVERIFY(waitFor([&] { return f.monitor.contains(">Debug level 2"); }));
        f.link.busMonitorOpened("INT");
        QVERIFY(waitFor([&] { return !f.eib.isEmpty(); }));
        f.link.chkOnline_Click(false);
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.eib.clear();
        QVERIFY(waitFor([&] { return f.eib.size() >= 3; }));
        f.link.chkOnline_Click(false);
        QVERIFY(f.tc.prompter.records.isEmpty());
        QVERIFY(f.open(other.devicePath()) && waitFor([&] { return !f.tc.prompter.records.isEmpty(); }));
        QVERIFY(!f.link.port()->isOpen());
        QCOMPARE(f.tc.prompter.texts(), QStringList{f.T("A26") + "ZTR777 " + f.T("X88") + "ZTR001-PACKAGED\r" + f.T("A27")});
    }

    void uploads_data()
    {
        QTest::addColumn<int>("size"); // negative: with a wrong checksum
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("blocks");
        const int ok = int(UploadOutcome::Success), cancelled = int(UploadOutcome::Cancelled), late = int(UploadOutcome::TimedOut);
        QTest::newRow("128 bytes") << 128 << QStringList{} << ok << 1;
        QTest::newRow("300 bytes") << 300 << QStringList{} << ok << 3;
        QTest::newRow("largest file") << 48000 << QStringList{} << ok << 375;
        QTest::newRow("counts repeated") << 1000 << QStringList{"--duplicate-ack"} << ok << 8;
        QTest::newRow("CR only") << 300 << QStringList{"--cr-only"} << ok << 3;
        QTest::newRow("empty file") << 0 << QStringList{} << cancelled << 0;
        QTest::newRow("bad checksum") << -300 << QStringList{} << cancelled << 3;
        QTest::newRow("refused") << 300 << QStringList{"--refuse"} << int(UploadOutcome::Refused) << 0;
        QTest::newRow("cancelled half-way") << 1000 << QStringList{"--cancel-after", "512"} << cancelled << 4;
        QTest::newRow("silent after a block") << 1000 << QStringList{"--silent-after", "128"} << late << 1;
        QTest::newRow("wrong count") << 1000 << QStringList{"--wrong-ack"} << late << 1;
        QTest::newRow("silent at announcement") << 1000 << QStringList{"--silent-after", "0"} << late << 0;
        QTest::newRow("hang-up") << 2000 << QStringList{"--hangup-after", "256"} << int(UploadOutcome::Aborted) << 2;
    }
    void uploads()
    {
        QFETCH(int, size);
        QFETCH(QStringList, simOptions);
        QFETCH(int, outcome);
        QFETCH(int, blocks);
        test::SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.zdm", test::gatewayFileImage("ZTR001", qAbs(size), size >= 0));
        f.tc.prompter.msgBoxAnswers = {1};
        f.link.cmdSendFileTarveon_Click();
        QCOMPARE(f.link.state(), LinkState::UploadAnnounced);
        if (outcome == int(UploadOutcome::TimedOut)) {
            // Five silent ticks are waited out, the sixth ends the upload.
            QVERIFY(waitFor([&] { return f.blocks() == blocks; }));
            QTest::qWait(100); // whatever the gateway still says
            for (int i = 0; i < 5; ++i)
                f.link.Timer1_Timer();
            QVERIFY(f.outcomes.isEmpty());
            f.link.Timer1_Timer();
        }
        QVERIFY(waitFor([&] { return !f.outcomes.isEmpty(); }, 10000));
        QTest::qWait(outcome == int(UploadOutcome::Aborted) ? 100 : 0); // a vanished pty keeps failing a while
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome(outcome)});
        QCOMPARE(f.blocks(), blocks);
        const bool lost = outcome == int(UploadOutcome::Aborted);
        QCOMPARE(f.link.state(), lost ? LinkState::OffLine : LinkState::OnLine);
        QCOMPARE(f.tc.prompter.texts().mid(1), lost ? QStringList{f.T("LNK6") + sim.devicePath() + "."} : QStringList{});
        // Success, Refused, Cancelled, TimedOut: the gateway monitor's last line.
        const QStringList last{">" + f.T("X79"), ">" + f.T("X44"), ">" + f.T("X80"), "<" + f.T("X80") + " Timeout"};
        QCOMPARE(lost ? QString() : f.monitor.last(), last.value(outcome));
    }

    // A device that cannot be opened, and one that goes away while the gateway is awaited: each
    // message names the device.
    void deviceMissingOrGone()
    {
        Fixture f;
        QVERIFY(!f.open("/dev/tarveon-no-such-port"));
        QVERIFY(f.tc.prompter.texts().value(0).startsWith(f.T("LNK5") + "/dev/tarveon-no-such-port. "));
        auto pty = std::make_unique<test::PtyPair>();
        const QString device = pty->devicePath();
        QVERIFY(f.open(device));
        pty.reset();
        QVERIFY(waitFor([&] { return f.tc.prompter.records.size() > 1; }));
        QTest::qWait(50);
        QCOMPARE(f.tc.prompter.texts().mid(1), QStringList{f.T("LNK6") + device + "."});
        QCOMPARE(f.link.state(), LinkState::OffLine);
    }
};

QTEST_GUILESS_MAIN(TestLinkPty)
#include "tst_link_pty.moc"
