// The serial line misbehaving: the port vanishing in every link state (with a line half received,
// with an upload half sent), a gateway that sends 100 MB without a CR, and binary junk and NUL
// bytes in every state. The link ends up off line or where it was, shows at most the one message
// of the fault, keeps nothing of the broken session, and writes no file anywhere.
#include "LinkTestSupport.h"
#include "link/FakeSerialPort.h"
#include "link/SerialLink.h"
#include "FaultSupport.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// A link over the in-memory port with the chiller project "Plant" open and its gateway file.
struct Link {
    Link()
    {
        ensureTexts(tc, linkTextKeys());
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        ctx.ProjectName = "Plant";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Plant");
        tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.zdm", gatewayFileImage("ZTR001", 1000));
        link.configurePort(PortChoice{3, QString(), "57600,n,8,1"});
        QObject::connect(&link, &SerialLink::gatewayLine, [this](const QString &l, const QString &) { ++lines; last = l.left(64); });
        QObject::connect(&link, &SerialLink::uploadFinished, [this](UploadOutcome o) { outcomes << o; });
    }

    // Brings the link into `state`: 1 waiting for identification, 2 on line, 3 upload announced,
    // 4 blocks being sent (the first block sent, its acknowledgement pending).
    void reach(int state)
    {
        link.chkOnline_Click(true);
        QCOMPARE(ctx.LinkState, qint16(1));
        if (state >= 2) {
            port->receive("Protocol:ZTR001.V2.10\r\n");
            QCOMPARE(ctx.LinkState, qint16(2));
        }
        if (state >= 3) {
            tc.prompter.msgBoxAnswers = {1};
            link.cmdSendFileTarveon_Click();
            QCOMPARE(ctx.LinkState, qint16(3));
        }
        if (state >= 4) {
            port->receive("START\r");
            QCOMPARE(ctx.LinkState, qint16(4));
        }
        tc.prompter.clear();
        port->written.clear();
        outcomes.clear();
    }

    TestContext tc;
    AppContext &ctx = *tc.ctx;
    FakeSerialPort *port = new FakeSerialPort;
    SerialLink link{ctx, port};
    int lines = 0;
    QString last;
    QList<UploadOutcome> outcomes;
};

void addStates()
{
    QTest::addColumn<int>("state");
    QTest::newRow("waiting for identification") << 1;
    QTest::newRow("on line") << 2;
    QTest::newRow("upload announced") << 3;
    QTest::newRow("upload in progress") << 4;
}

} // namespace

class TestLinkFaults : public QObject {
    Q_OBJECT
private slots:
    void portVanishes_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("midLine");
        for (int state = 1; state <= 4; ++state) {
            const QByteArray name = QByteArray("state ") + QByteArray::number(state);
            QTest::newRow(name + ", between lines") << state << false;
            QTest::newRow(name + ", mid-line") << state << true;
        }
    }
    void portVanishes()
    {
        QFETCH(int, state);
        QFETCH(bool, midLine);
        Link f;
        f.reach(state);
        if (midLine) {
            f.port->receive(state == 4 ? "Bytes:12" : "Protocol:ZT");
            QVERIFY(!f.link.RxBuffer().isEmpty());
        }
        const auto before = snapshot(f.tc.dir.path());
        QSignalSpy lost(&f.link, &SerialLink::linkLost);
        f.port->unplug(5);

        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.port->isOpen());
        QCOMPARE(lost.size(), 1);
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QVERIFY(f.tc.prompter.records[0].text.startsWith(f.ctx.GetText("LNK1")));
        QVERIFY(f.link.RxBuffer().isEmpty()); // nothing of the broken session is kept
        QCOMPARE(f.link.TxDataSize(), 0);
        const LinkView &v = f.link.view();
        QVERIFY(!v.onlineChecked && !v.sendFileEnabled && !v.consoleEnabled && !v.progressVisible && !v.busy);
        QVERIFY(v.projectMenuEnabled);
        QCOMPARE(f.outcomes, state >= 3 ? QList<UploadOutcome>{UploadOutcome::Aborted} : QList<UploadOutcome>{});
        QCOMPARE(snapshot(f.tc.dir.path()), before);

        // Timer ticks after the loss send nothing and report nothing.
        for (int i = 0; i < 8; ++i)
            f.link.Timer1_Timer();
        QVERIFY(f.port->written.isEmpty());
        QCOMPARE(f.outcomes.size(), state >= 3 ? 1 : 0);

        // The next session starts clean: the half line of the old one does not spoil its first line.
        f.tc.prompter.clear();
        f.link.chkOnline_Click(true);
        QCOMPARE(f.ctx.LinkState, qint16(1));
        f.port->receive("Protocol:ZTR001.V2.10\r");
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QVERIFY(f.tc.prompter.records.isEmpty());
    }

    // A gateway that sends 100 MB without a CR (on line; 10 MB in the other states): the partial
    // line grows by appending (linear), the link keeps working, and the CR that finally comes ends
    // that one line.
    void hundredMegabytesWithoutCR_data() { addStates(); }
    void hundredMegabytesWithoutCR()
    {
        QFETCH(int, state);
        Link f;
        f.reach(state);
        const qsizetype total = (state == 2 ? 100 : 10) * 1000 * 1000;
        const QByteArray chunk(64 * 1024, 'x');
        qsizetype sent = 0;
        while (sent < total) {
            const qsizetype n = qMin<qsizetype>(chunk.size(), total - sent);
            f.port->receive(n == chunk.size() ? chunk : chunk.left(n));
            sent += n;
        }
        QCOMPARE(f.link.RxBuffer().size(), total);
        QCOMPARE(f.ctx.LinkState, qint16(state));
        const int linesBefore = f.lines;
        f.port->receive("\rProtocol:ZTR001.V2.10\r");
        QVERIFY(f.link.RxBuffer().isEmpty());
        // The long line and the answer; on or before line the answer identifies and "ONCHANGES" follows.
        QCOMPARE(f.lines, linesBefore + 2 + (state <= 2 ? 1 : 0));
        QVERIFY(f.tc.prompter.records.isEmpty());
        QCOMPARE(f.ctx.LinkState, qint16(state == 1 ? 2 : state));
    }

    // Binary junk, NUL bytes and CRs among them, in every state: no crash, a state of the link's
    // own, no group value changed by a line that is not a value report, and no file written. An
    // upload goes on only on a correct acknowledgement, which junk does not give.
    void binaryJunk_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<quint32>("seed");
        for (int state = 1; state <= 4; ++state)
            for (quint32 seed : {1u, 2u, 3u})
                QTest::newRow(qPrintable(QStringLiteral("state %1, junk %2").arg(state).arg(seed))) << state << seed;
    }
    void binaryJunk()
    {
        QFETCH(int, state);
        QFETCH(quint32, seed);
        Link f;
        f.reach(state);
        const auto before = snapshot(f.tc.dir.path());
        QByteArray input = junk(seed, 256 * 1024);
        // Lines that look like the gateway's own, with NULs inside, among the junk.
        input.insert(1000, QByteArray("\rGP:01/2/003=\0""5\r", 17));
        input.insert(5000, QByteArray("\rProtocol:ZTR\0""001.\r", 18));
        input.insert(9000, QByteArray("\rBytes:\0""128\r", 12));
        const qsizetype blocksBefore = f.port->written.size();
        for (qsizetype pos = 0; pos < input.size() && f.port->isOpen(); pos += 977)
            f.port->receive(input.mid(pos, 977));
        QVERIFY(f.ctx.LinkState >= 0 && f.ctx.LinkState <= 4);
        if (f.ctx.LinkState == 4)
            QCOMPARE(f.port->written.size(), blocksBefore); // no block without its acknowledgement
        QCOMPARE(snapshot(f.tc.dir.path()), before);
        // Whatever state the junk left, switching off brings the link down cleanly.
        f.link.chkOnline_Click(false);
        QCOMPARE(f.ctx.LinkState, qint16(0));
        QVERIFY(!f.port->isOpen());
        QVERIFY(f.link.RxBuffer().isEmpty());
    }

    // Lines that name paths or commands change no file and run nothing: the gateway's words are
    // only shown.
    void hostileLinesWriteNothing_data() { addStates(); }
    void hostileLinesWriteNothing()
    {
        QFETCH(int, state);
        Link f;
        f.reach(state);
        const QString marker = f.tc.dir.filePath("ran");
        const auto before = snapshot(f.tc.dir.path());
        const QByteArray hostile = "../../../../tmp/x\r$(touch " + marker.toLatin1() + ")\r`touch " + marker.toLatin1() +
                                   "`\rGP:../../../x=1\rEIB ../../x\rEXT;touch " + marker.toLatin1() +
                                   "\rSEND~1\rSTART\rProtocol:ZTR001/../../x.\rProtocol:|touch " + marker.toLatin1() + ".\r";
        f.port->receive(hostile);
        QVERIFY(!QFileInfo::exists(marker));
        QCOMPARE(snapshot(f.tc.dir.path()), before);
    }

    // The upload's file entry comes from the project's protocol (its description file): a protocol
    // text holding a path never sends a file from outside the project directory.
    void uploadNeverLeavesTheProjectDirectory()
    {
        Link f;
        f.ctx.ProjectProtocol = "ZTR001-/../../Outside/secret";
        f.tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-/keep", "x"); // so that the path resolves
        f.tc.dir.writeFile("ProjectsZDM/Outside/secret.ZDM", "SECRET");
        f.link.chkOnline_Click(true);
        f.port->receive("Protocol:ZTR001.V2.10\r");
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QCOMPARE(f.link.fileEntry(), QStringLiteral("ZTR001-/../../Outside/secret.ZDM"));
        f.port->written.clear();
        f.tc.prompter.clear();
        f.tc.prompter.msgBoxAnswers = {1};
        f.link.cmdSendFileTarveon_Click();
        QCOMPARE(f.ctx.LinkState, qint16(2));
        QVERIFY(!f.port->written.contains("SEND~"));
        QVERIFY(!f.port->written.contains("SECRET"));
        QVERIFY(f.tc.prompter.records.last().text.startsWith(f.ctx.GetText("X66") + "\r"));
    }
};

QTEST_MAIN(TestLinkFaults)
#include "tst_linkfaults.moc"
