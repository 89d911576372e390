// The serial link without a device: whole sessions replayed from tests/data/link/*.link (input
// whole and byte by byte), the upload against a scripted link, the link-side tables, the drain
// when going off line, and a serial line that sends junk.
#include "FakeSerialPort.h"
#include "TestSupport.h"
#include "app/Text.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "model/ModKorvaneEIB.h"

#include <QDir>
#include <QtTest>

using namespace tarveon;

namespace {

const QString kData = QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/link/");
const QString kSettings = QStringLiteral("57600,n,8,1");
const QStringList kOutcomes = {"Success", "Refused", "Cancelled", "TimedOut", "Aborted"};

QStringList dataLines(const QString &name)
{
    QFile f(kData + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n') : QStringList{"missing " + name};
}

QByteArray crlf(const QString &name)
{
    return dataLines(name).join("\r\n").toLatin1();
}

// A gateway file of n bytes: 'a' to 'z' over and over.
QByteArray fileBytes(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += char('a' + i % 26);
    return b;
}

// The chiller project "Plant" (plant.ini, plant.dat) open, its link over an in-memory port on COM3.
struct LinkRun {
    explicit LinkRun(bool byteByByte = false) : bytewise(byteByByte)
    {
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Plant");
        tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.ini", crlf("plant.ini"));
        tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.dat", crlf("plant.dat"));
        link.configurePort(PortChoice{3, {}, kSettings});
        QObject::connect(&link, &SerialLink::gatewayLine, [this](const QString &l, const QString &m) { monitor << m + l; });
        QObject::connect(&link, &SerialLink::eibLine, [this](const QString &l) { bus << "eib " + l; });
        QObject::connect(&link, &SerialLink::extLine, [this](const QString &l) { bus << "ext " + l; });
        QObject::connect(&link, &SerialLink::uploadFinished, [this](UploadOutcome o) { outcomes << kOutcomes[int(o)]; });
    }
    QString expand(QString text) const
    {
        static const QRegularExpression key(QStringLiteral("\\{(\\w+)\\}"));
        for (auto m = key.match(text); m.hasMatch(); m = key.match(text))
            text.replace(m.captured(0), ctx.GetText(m.captured(1)));
        return text.replace("\\r", "\r");
    }
    // What the window shows, as "key=value" words (a blank in a value is "_").
    QStringList viewFields() const
    {
        const LinkView v = link.view();
        const UploadProgress &u = v.upload;
        return QString("checked=%1 caption=%2 project=%3 console=%4 send=%5 menu=%6 file=%7 progress=%8 max=%9 value=%10 blink=%11")
            .arg(v.onlineChecked).arg(QString(v.onlineCaption).replace(' ', '_')).arg(v.projectMenuEnabled)
            .arg(v.consoleEnabled).arg(v.sendFileEnabled).arg(v.viewMenuEnabled).arg(v.fileEntries.value(v.fileIndex))
            .arg(u.visible).arg(u.maximum).arg(u.value).arg(u.blink).split(' ');
    }
    // One line of a transcript: does it, or checks it. Returns what was found instead, if wrong.
    QString step(const QString &line)
    {
        const QString cmd = line.section(' ', 0, 0);
        QString arg = line.section(' ', 1);
        if (arg.size() >= 2 && arg.startsWith('"') && arg.endsWith('"'))
            arg = arg.mid(1, arg.size() - 2);
        const QString want = expand(arg);
        const QByteArray &out = port->written;
        const auto next = [](const QStringList &list, int &at) { return at < list.size() ? list[at++] : "<none>"; };
        const auto check = [](bool ok, const QString &found) { return ok ? QString() : "found: " + found; };
        if (cmd == "online" || cmd == "offline")
            link.chkOnline_Click(cmd == "online"), port->failOpen = false;
        else if (cmd == "tick")
            for (int i = 0; i < qMax(1, arg.toInt()); ++i)
                link.Timer1_Timer();
        else if (cmd == "gw" || cmd == "raw")
            receive(toCp1252(want) + (cmd == "gw" ? "\r\n" : ""));
        else if (cmd == "type")
            link.cmdEnviar_Click(want);
        else if (cmd == "upload")
            tc.prompter.msgBoxAnswers = {1}, link.cmdSendFileTarveon_Click();
        else if (cmd == "file")
            tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.zdm", file = fileBytes(arg.toInt()));
        else if (cmd == "monitor")
            link.busMonitorOpened(arg);
        else if (cmd == "showbus")
            link.showBus(arg.left(3), arg.endsWith('1'));
        else if (cmd == "unplug")
            port->unplug(5);
        else if (cmd == "port" || cmd == "settings")
            link.configurePort(cmd == "settings"    ? PortChoice{3, {}, arg}
                               : arg.startsWith('/') ? PortChoice{1, arg, kSettings}
                                                     : PortChoice{arg.toInt(), {}, kSettings});
        else if (cmd == "failopen")
            port->failOpen = true, port->openError = arg;
        else if (cmd == ">" || cmd == "bytes") {
            const QByteArray expected = cmd == ">" ? toCp1252(want) + '\r' : file.mid(arg.section(' ', 0, 0).toInt() - 1, arg.section(' ', 1).toInt());
            const QByteArray got = out.mid(sent, expected.size());
            sent += got.size();
            return check(got == expected, QString::number(got.size()) + " bytes " + got.left(20));
        } else if (cmd == ">none")
            return check(sent == out.size(), out.mid(sent));
        else if (cmd == "lines")
            return check(port->lineSettings().toString() == arg, port->lineSettings().toString());
        else if (cmd == "state")
            return check(int(link.state()) == arg.toInt(), QString::number(int(link.state())));
        else if (cmd == "mon") {
            while (mon < monitor.size() && monitor[mon] != want)
                ++mon;
            return check(mon++ < monitor.size(), monitor.join(" | "));
        } else if (cmd == "eib" || cmd == "ext" || cmd == "nobus") {
            const QString got = next(bus, buses);
            return check(got == (cmd == "nobus" ? "<none>" : cmd + ' ' + want), got);
        } else if (cmd == "msg" || cmd == "nomsg") {
            const QString got = next(tc.prompter.texts(), msgs);
            return check(got == (cmd == "msg" ? want : "<none>"), got);
        } else if (cmd == "outcome") {
            const QString got = next(outcomes, outs);
            return check(got == arg, got);
        } else if (cmd == "value") {
            const float got = link.signalTables().signals_.value(arg.section(' ', 0, 0).toInt()).value;
            return check(got == arg.section(' ', 1).toFloat(), QString::number(got));
        } else if (cmd == "view") {
            for (const QString &pair : arg.split(' '))
                if (!viewFields().contains(pair))
                    return pair + ", found " + viewFields().join(' ');
        } else
            return "unknown line";
        return {};
    }
    // The gateway's bytes, at once or one by one.
    void receive(const QByteArray &bytes)
    {
        for (qsizetype i = 0; i < bytes.size(); i += bytewise ? 1 : bytes.size())
            port->receive(bytes.mid(i, bytewise ? 1 : -1));
    }
    // Brings the link into `state`: 1 waiting, 2 on line (and an upload of 1000 bytes announced in 3).
    void reach(int state)
    {
        for (const QString &s : QStringList{"file 1000", "online", "gw Protocol:ZTR001.V2", "upload"}.mid(0, state + 1))
            QVERIFY(step(s).isEmpty());
        QCOMPARE(int(link.state()), state);
    }

    bool bytewise;
    test::TestContext tc;
    AppContext &ctx = *tc.ctx;
    FakeSerialPort *port = new FakeSerialPort;
    SerialLink link{ctx, port};
    QStringList monitor, bus, outcomes;
    QByteArray file;
    qsizetype sent = 0;
    int mon = 0, buses = 0, msgs = 0, outs = 0;
};

// What the upload asks of the link, written down.
struct ScriptedChannel : UploadChannel {
    void sendText(const QString &text) override { log << text; }
    void sendBytes(const QByteArray &bytes) override { log << QString::number(bytes.size()); }
    void enterState(LinkState state) override { log << "state " + QString::number(int(state)); }
    void showLine(const QString &, bool) override {}
    QStringList log;
};

} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void transcript_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byteByByte");
        for (const QString &name : QDir(kData).entryList({"*.link"})) {
            QTest::newRow(qPrintable(name)) << name << false;
            QTest::newRow(qPrintable(name + ", byte by byte")) << name << true;
        }
    }
    void transcript()
    {
        QFETCH(QString, name);
        QFETCH(bool, byteByByte);
        LinkRun run(byteByByte);
        const QStringList lines = dataLines(name);
        for (int i = 0; i < lines.size(); ++i) {
            const QString wrong = lines[i].isEmpty() || lines[i].startsWith('#') ? QString() : run.step(lines[i]);
            QVERIFY2(wrong.isEmpty(), qPrintable(QString("%1:%2: %3 -- %4").arg(name).arg(i + 1).arg(lines[i], wrong)));
        }
    }

    // Blocks of 128 bytes, each after the count of the bytes received so far, the progress maximum
    // size / 128 + 1, and the ends: refusal, cancellation, more than five silent ticks.
    // tests/data/link/upload.txt: blocks, acknowledgements, progress maximum and the ends.
    void upload_data()
    {
        QTest::addColumn<QStringList>("row"); // size | answers | log | maximum | outcome
        for (const QString &line : dataLines("upload.txt").filter(QRegularExpression("^\\d")))
            QTest::newRow(qPrintable(line.section(" | ", 0, 1))) << line.split('|');
    }
    void upload()
    {
        QFETCH(QStringList, row);
        for (QString &cell : row)
            cell = cell.trimmed();
        const int size = row[0].toInt();
        const QString outcome = row[4];
        test::TestContext tc;
        ScriptedChannel channel;
        Upload upload(*tc.ctx, channel);
        QStringList outcomes;
        double shownMaximum = 0;
        connect(&upload, &Upload::finished, this, [&](UploadOutcome o) { outcomes << kOutcomes[int(o)]; });
        connect(&upload, &Upload::progressChanged, this, [&] { shownMaximum = qMax(shownMaximum, upload.progress().maximum); });
        tc.dir.writeFile("P/ZTR001-PACKAGED.zdm", fileBytes(size));
        QVERIFY(upload.SendFile(tc.dir.filePath("P"), "ztr001-packaged.ZDM")); // the name without regard to case
        QCOMPARE(channel.log, (QStringList{"state 3", "SEND~" + QString::number(size)}));
        for (const QString &answer : row[1].split(','))
            answer == "tick" ? upload.tick() : upload.handleLine(answer.toLatin1());
        QCOMPARE(channel.log.mid(2).join(','), row[2]);
        QCOMPARE(shownMaximum, row[3].toDouble());
        QCOMPARE(outcomes.join(','), outcome);
        QCOMPARE(upload.active(), outcome.isEmpty());
    }

    // The file named in cboFichero must be a plain file of the project directory.
    void uploadRefusesOtherFiles()
    {
        test::TestContext tc;
        ScriptedChannel channel;
        Upload upload(*tc.ctx, channel);
        tc.dir.writeFile("Plant/ZTR001-/keep", "x");
        tc.dir.writeFile("Outside/secret.ZDM", "SECRET");
        for (const char *entry : {"ZTR001-CHILLER.ZDM", "ZTR001-/../../Outside/secret.ZDM", ""}) {
            QVERIFY2(!upload.SendFile(tc.dir.filePath("Plant"), entry), entry);
            QVERIFY(tc.prompter.texts().last().startsWith(tc.ctx->GetText("X66") + '\r' + tc.dir.filePath("Plant")));
        }
        QVERIFY(channel.log.isEmpty());
    }

    // The link-side tables of plant.dat, worked out by hand in plant-index.txt; empty after the
    // message of a missing table file, and without an active device.
    void loader()
    {
        LinkRun run;
        const auto load = [&] {
            LinkTables t;
            run.ctx.show(LoadLinkSignals(run.ctx, t));
            QStringList found{"count " + QString::number(t.count()), "messages " + QString::number(run.tc.prompter.records.size())};
            for (auto it = t.index.cbegin(); it != t.index.cend(); ++it)
                found << it.key() + ' ' + QString::number(it.value());
            return found.sort(), found;
        };
        QStringList plant = dataLines("plant-index.txt").filter(QRegularExpression("^\\w")) << "messages 0";
        plant.sort();
        QCOMPARE(load(), plant);
        QFile::remove(run.ctx.ProjectDir + "/ZTR001-CHILLER.dat");
        QCOMPARE(load(), (QStringList{"count 0", "messages 1"}));
        run.tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.ini", "[ZTR001-CHILLER]\r\nDevices=3\r\n");
        QCOMPARE(load(), (QStringList{"count 0", "messages 1"})); // the table is not even looked for
    }

    // Going off line waits for the output to drain, with events running: a second click and input
    // arriving meanwhile wait their turn; a device that never drains is given up on.
    void offLineDrains()
    {
        LinkRun run;
        run.reach(2);
        run.port->stallOutput = true;
        QTimer::singleShot(20, run.port, [&] {
            QVERIFY(run.port->isOpen() && run.link.OnlineBusy());
            QCOMPARE(run.link.state(), LinkState::OffLine);
            run.link.chkOnline_Click(true);
            run.port->receive("late line\r");
            run.port->drain();
            run.port->stallOutput = false;
        });
        run.port->receive("Protocol:ZTR009.V1\rnext line\r");
        QVERIFY(!run.port->isOpen());
        // The line that came during the drain is lost with the port; the one before it is not.
        QCOMPARE(run.monitor.filter(">").mid(1), (QStringList{">Protocol:ZTR009.V1", ">next line"}));
        run.reach(2);
        run.port->stallOutput = true;
        run.link.setDrainLimitMs(50);
        QElapsedTimer clock;
        clock.start();
        run.link.chkOnline_Click(false);
        QVERIFY(!run.port->isOpen() && clock.elapsed() < 2000);
    }

    // Binary junk with NULs, lines that look like the gateway's own, names of paths and commands,
    // and 4 MB without a CR, in every state: the link stays in a state of its own, sends no block
    // without its acknowledgement, writes no file, and goes off line cleanly.
    void junk()
    {
        for (int state = 1; state <= 4; ++state) {
            LinkRun run;
            run.reach(qMin(state, 3));
            QVERIFY(state < 4 || run.step("gw START").isEmpty());
            run.port->written.clear();
            const auto before = test::snapshot(run.tc.dir.path());
            const QByteArray ran = run.tc.dir.filePath("ran").toLatin1();
            QByteArray input = test::junk(quint32(state), 64 * 1024);
            input.insert(1000, QByteArray("\rGP:01/2/003=\0" "5\r\rProtocol:ZTR\0" "001.\r\rBytes:\0" "128\r", 44));
            input += "\r../../x\r$(touch " + ran + ")\rGP:../../../x=1\rEXT;touch " + ran + "\rProtocol:|touch " + ran + ".\r";
            for (qsizetype pos = 0; pos < input.size() + 4000000 && run.port->isOpen(); pos += 4093)
                run.port->receive(pos < input.size() ? input.mid(pos, 4093) : QByteArray(4093, 'x'));
            QVERIFY(run.link.state() != LinkState::Uploading || run.port->written.isEmpty());
            QCOMPARE(test::snapshot(run.tc.dir.path()), before);
            run.link.chkOnline_Click(false);
            QVERIFY(run.link.state() == LinkState::OffLine && !run.port->isOpen() && run.link.RxBuffer().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
