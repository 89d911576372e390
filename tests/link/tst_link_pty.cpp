// The real QSerialPort code over pseudo-terminals, against tarveon-sim (and against the test itself
// playing the gateway where bytes must arrive split).
#include "LinkTestSupport.h"
#include "PtySupport.h"
#include "link/QtSerialPortImpl.h"
#include "link/SerialLink.h"

#include <QDir>
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
        QObject::connect(&link, &SerialLink::gatewayLine, [this](const QString &l, const QString &m) { monitor << m + l; });
        QObject::connect(&link, &SerialLink::eibLine, [this](const QString &l) { eib << l; });
        QObject::connect(&link, &SerialLink::uploadFinished, [this](UploadOutcome o) { outcomes << o; });
    }
    QString T(const char *key) const { return ctx.GetText(QString::fromLatin1(key)); }
    bool open(const QString &device)
    {
        link.configurePort(PortChoice{1, device, "57600,n,8,1"});
        link.chkOnline_Click(true);
        return link.state() == LinkState::Identifying;
    }
    bool goOnLine(const QString &device)
    {
        if (!open(device))
            return false;
        link.Timer1_Timer();
        return waitFor([&] { return link.state() == LinkState::OnLine; });
    }
    void upload(const QByteArray &file)
    {
        tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.zdm", file);
        tc.prompter.msgBoxAnswers = {1};
        link.cmdSendFileTarveon_Click();
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
    // again without anyone touching it.
    void session()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "20"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        QCOMPARE(f.link.GatewayProtocol(), QString("ZTR001"));
        f.link.cmdEnviar_Click("  DEBUG=2 ");
        QVERIFY(waitFor([&] { return f.monitor.contains(">Debug level 2"); }));
        f.link.busMonitorOpened("INT");
        QVERIFY(waitFor([&] { return !f.eib.isEmpty(); }));
        f.link.chkOnline_Click(false);
        QVERIFY(!f.link.port()->isOpen());
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.eib.clear();
        QVERIFY(waitFor([&] { return f.eib.size() >= 3; }));
        QVERIFY(f.tc.prompter.records.isEmpty());
    }

    void otherFamily()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--family", "ZTR777"}));
        Fixture f;
        QVERIFY(f.open(sim.devicePath()));
        f.link.Timer1_Timer();
        QVERIFY(waitFor([&] { return !f.tc.prompter.records.isEmpty(); }));
        QVERIFY(!f.link.port()->isOpen());
        QCOMPARE(f.tc.prompter.texts(), QStringList{f.T("A26") + "ZTR777 " + f.T("X88") + "ZTR001-PACKAGED\r" + f.T("A27")});
    }

    void uploads_data()
    {
        QTest::addColumn<int>("size");            // negative: with a wrong checksum
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("lastLine");    // the gateway monitor's last line
        QTest::addColumn<int>("blocks");
        const int ok = int(UploadOutcome::Success), cancelled = int(UploadOutcome::Cancelled);
        QTest::newRow("128 bytes") << 128 << QStringList{} << ok << ">{X79}" << 1;
        QTest::newRow("300 bytes") << 300 << QStringList{} << ok << ">{X79}" << 3;
        QTest::newRow("largest file") << 48000 << QStringList{} << ok << ">{X79}" << 375;
        QTest::newRow("counts repeated") << 1000 << QStringList{"--duplicate-ack"} << ok << ">{X79}" << 8;
        QTest::newRow("CR only") << 300 << QStringList{"--cr-only"} << ok << ">{X79}" << 3;
        QTest::newRow("empty file") << 0 << QStringList{} << cancelled << ">{X80}" << 0;
        QTest::newRow("bad checksum") << -300 << QStringList{} << cancelled << ">{X80}" << 3;
        QTest::newRow("refused") << 300 << QStringList{"--refuse"} << int(UploadOutcome::Refused) << ">{X44}" << 0;
        QTest::newRow("cancelled half-way") << 1000 << QStringList{"--cancel-after", "512"} << cancelled << ">{X80}" << 4;
        const int late = int(UploadOutcome::TimedOut);
        QTest::newRow("silent after a block") << 1000 << QStringList{"--silent-after", "128"} << late << "<{X80} Timeout" << 1;
        QTest::newRow("wrong count") << 1000 << QStringList{"--wrong-ack"} << late << "<{X80} Timeout" << 1;
        QTest::newRow("silent at announcement") << 1000 << QStringList{"--silent-after", "0"} << late << "<{X80} Timeout" << 0;
        QTest::newRow("hang-up") << 2000 << QStringList{"--hangup-after", "256"} << int(UploadOutcome::Aborted)
                                 << ">TX: 129 size 128" << 2;
    }
    void uploads()
    {
        QFETCH(int, size);
        QFETCH(QStringList, simOptions);
        QFETCH(int, outcome);
        QFETCH(QString, lastLine);
        QFETCH(int, blocks);
        test::SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.upload(test::gatewayFileImage("ZTR001", qAbs(size), size >= 0));
        QCOMPARE(f.link.state(), LinkState::UploadAnnounced);
        if (outcome == int(UploadOutcome::TimedOut)) {
            // Five silent ticks are waited out, the sixth ends the upload.
            QVERIFY(waitFor([&] { return f.blocks() == blocks; }));
            QTest::qWait(100); // whatever the gateway still says
            QCOMPARE(f.link.state(), blocks ? LinkState::Uploading : LinkState::UploadAnnounced);
            for (int i = 0; i < 5; ++i)
                f.link.Timer1_Timer();
            QVERIFY(f.outcomes.isEmpty());
            f.link.Timer1_Timer();
        }
        QVERIFY(waitFor([&] { return !f.outcomes.isEmpty(); }, 10000));
        QTest::qWait(outcome == int(UploadOutcome::Aborted) ? 100 : 0); // a vanished pty keeps failing a while
        QCOMPARE(f.outcomes, QList<UploadOutcome>{UploadOutcome(outcome)});
        QCOMPARE(f.monitor.last(), lastLine.replace("{X79}", f.T("X79")).replace("{X80}", f.T("X80")).replace("{X44}", f.T("X44")));
        QCOMPARE(f.blocks(), blocks);
        const bool lost = outcome == int(UploadOutcome::Aborted);
        QCOMPARE(f.link.state(), lost ? LinkState::OffLine : LinkState::OnLine);
        QCOMPARE(f.tc.prompter.texts().mid(1), lost ? QStringList{f.T("LNK6") + sim.devicePath() + "."} : QStringList{});
    }

    // The gateway's bytes arriving split inside a line and with CR LF.
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
        QCOMPARE(f.link.RxBuffer(), QByteArray("Protocol:ZT"));
        pty.write("R001.V9\r");
        QCOMPARE(pty.readUntil([](const QByteArray &b) { return b.endsWith('\r'); }), QByteArray("ONCHANGES\r"));
        pty.write("\nGP:01/2/00");
        pty.readFor(40);
        pty.write("3=4.5\r\nFREE TEXT\r\n");
        QVERIFY(waitFor([&] { return f.monitor.contains(">FREE TEXT"); }));
        QCOMPARE(f.monitor.mid(f.monitor.size() - 2), (QStringList{">GP:01/2/003=4.5", ">FREE TEXT"}));
    }

    void deviceGoneWhileWaiting()
    {
        auto pty = std::make_unique<test::PtyPair>();
        Fixture f;
        QVERIFY(f.open(pty->devicePath()));
        const QString device = pty->devicePath();
        pty.reset();
        QVERIFY(waitFor([&] { return !f.tc.prompter.records.isEmpty(); }));
        QTest::qWait(50);
        QCOMPARE(f.tc.prompter.texts(), QStringList{f.T("LNK6") + device + "."});
        QCOMPARE(f.link.state(), LinkState::OffLine);
    }

    void openFailureNamesTheDevice()
    {
        Fixture f;
        QVERIFY(!f.open("/dev/tarveon-no-such-port"));
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QVERIFY(f.tc.prompter.records[0].text.startsWith(f.T("LNK5") + "/dev/tarveon-no-such-port. "));
    }
};

QTEST_GUILESS_MAIN(TestLinkPty)
#include "tst_link_pty.moc"
