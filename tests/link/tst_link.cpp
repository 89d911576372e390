// The serial link without a device: line framing, the numbers in the gateway's lines, line
// settings, whole sessions replayed from tests/data/link/*.link, the upload against a scripted
// link, the link-side tables, and a serial line that misbehaves.
#include "FakeSerialPort.h"
#include "LinkTestSupport.h"
#include "app/Text.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"
#include "model/ModKorvaneEIB.h"

#include <QDir>
#include <QRandomGenerator>
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
    LinkRun()
    {
        test::ensureTexts(tc, test::linkTextKeys());
        ctx.InitProtocols();
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
        return text.replace("\\r", "\r").replace("\\n", "\n");
    }
    QString viewField(const QString &key) const
    {
        const LinkView v = link.view();
        const QMap<QString, QString> fields{
            {"checked", QString::number(v.onlineChecked)}, {"caption", v.onlineCaption},
            {"project", QString::number(v.projectMenuEnabled)}, {"console", QString::number(v.consoleEnabled)},
            {"send", QString::number(v.sendFileEnabled)}, {"menu", QString::number(v.viewMenuEnabled)},
            {"file", v.fileEntries.value(v.fileIndex)}, {"progress", QString::number(v.upload.visible)},
            {"max", QString::number(v.upload.maximum)}, {"value", QString::number(v.upload.value)},
            {"blink", QString::number(v.upload.blink)}};
        return fields.value(key, "no such field");
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
        if (cmd == "online") {
            link.chkOnline_Click(true);
            port->failOpen = false;
        } else if (cmd == "offline") {
            link.chkOnline_Click(false);
        } else if (cmd == "tick") {
            for (int i = 0; i < (arg.isEmpty() ? 1 : arg.toInt()); ++i)
                link.Timer1_Timer();
        } else if (cmd == "gw" || cmd == "raw") {
            port->receive(toCp1252(want) + (cmd == "gw" ? "\r\n" : ""));
        } else if (cmd == "type") {
            link.cmdEnviar_Click(want);
        } else if (cmd == "upload") {
            tc.prompter.msgBoxAnswers = {1};
            link.cmdSendFileTarveon_Click();
        } else if (cmd == "file") {
            file = fileBytes(arg.toInt());
            tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.zdm", file);
        } else if (cmd == "monitor") {
            link.busMonitorOpened(arg);
        } else if (cmd == "showbus") {
            link.showBus(arg.section(' ', 0, 0), arg.endsWith('1'));
        } else if (cmd == "unplug") {
            port->unplug(5);
        } else if (cmd == "port") {
            link.configurePort(arg.startsWith('/') ? PortChoice{1, arg, kSettings} : PortChoice{arg.toInt(), {}, kSettings});
        } else if (cmd == "failopen") {
            port->failOpen = true;
            port->openError = arg;
        } else if (cmd == ">") {
            const QByteArray got = out.mid(sent, want.size() + 1);
            sent += got.size();
            return check(got == toCp1252(want) + '\r', got);
        } else if (cmd == "bytes") {
            const int from = arg.section(' ', 0, 0).toInt(), n = arg.section(' ', 1).toInt();
            const QByteArray got = out.mid(sent, n);
            sent += got.size();
            return check(got == file.mid(from - 1, n), QString::number(got.size()) + " bytes " + got.left(8));
        } else if (cmd == ">none") {
            return check(sent == out.size(), out.mid(sent));
        } else if (cmd == "state") {
            return check(int(link.state()) == arg.toInt(), QString::number(int(link.state())));
        } else if (cmd == "mon") {
            while (mon < monitor.size() && monitor[mon] != want)
                ++mon;
            return check(mon++ < monitor.size(), monitor.join(" | "));
        } else if (cmd == "eib" || cmd == "ext") {
            const QString got = next(bus, buses);
            return check(got == cmd + ' ' + want, got);
        } else if (cmd == "nobus") {
            return check(buses == bus.size(), bus.value(buses));
        } else if (cmd == "msg" || cmd == "nomsg") {
            QStringList texts = tc.prompter.texts();
            const QString got = next(texts, msgs);
            return cmd == "msg" ? check(got == want, got) : check(got == "<none>", got);
        } else if (cmd == "outcome") {
            const QString got = next(outcomes, outs);
            return check(got == arg, got);
        } else if (cmd == "value") {
            const float got = link.signalTables().signals_.value(arg.section(' ', 0, 0).toInt()).value;
            return check(got == arg.section(' ', 1).toFloat(), QString::number(got));
        } else if (cmd == "view") {
            for (const QString &pair : arg.split(' ')) {
                const QString found = viewField(pair.section('=', 0, 0));
                if (found != pair.section('=', 1).replace('_', ' '))
                    return pair + " " + found;
            }
        } else {
            return "unknown line";
        }
        return {};
    }
    // Brings the link into `state` (1 to 4, an upload of 1000 bytes for 3 and 4), forgetting what
    // was sent and shown on the way.
    void reach(int state)
    {
        const QString steps[] = {"file 1000", "online", "gw Protocol:ZTR001.V2", "upload", "gw START"};
        for (int i = 0; i <= state; ++i)
            step(steps[i]);
        QCOMPARE(int(link.state()), state);
        port->written.clear();
        tc.prompter.clear();
        outcomes.clear();
        sent = msgs = outs = 0;
    }

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
    void framer_data()
    {
        QTest::addColumn<int>("chunk"); // largest piece the input arrives in; 0: all at once
        QTest::newRow("at once") << 0;
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("up to 7") << 7;
        QTest::newRow("up to 64") << 64;
    }
    void framer()
    {
        QFETCH(int, chunk);
        // CR ends a line, an LF after it is dropped, so CR LF CR LF is one empty line.
        const QByteArray once = "Protocol:ZTR001.V2\r\nGP:01/2/003=21.5\r\nEIB>x\r\n\r\nfree text\r\rlast\r";
        const QList<QByteArray> lines{"Protocol:ZTR001.V2", "GP:01/2/003=21.5", "EIB>x", "", "free text", "", "last"};
        QByteArray stream;
        QList<QByteArray> expected, out;
        for (int i = 0; i < 50; ++i)
            stream += once, expected += lines;
        stream += "GP:01/2/00";
        LineFramer framer;
        QRandomGenerator rng{quint32(chunk)};
        for (qsizetype pos = 0, n = 0; pos < stream.size(); pos += n) {
            n = chunk == 0 ? stream.size() : 1 + int(rng.bounded(chunk));
            framer.feed(QByteArrayView(stream).sliced(pos, qMin(n, stream.size() - pos)),
                        [&](QByteArrayView line) { out << line.toByteArray(); });
        }
        QCOMPARE(out, expected);
        QCOMPARE(framer.pending(), QByteArray("GP:01/2/00"));
    }

    void leadingValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        const QList<std::pair<const char *, double>> rows{{"21.50", 21.5}, {"-3.25", -3.25}, {"12.5 C", 12.5},
                                                          {"  7", 7}, {"1.5E2", 150}, {"3,75", 3}, {".5", 0.5},
                                                          {"", 0}, {"abc", 0}, {"2e", 2}};
        for (const auto &[text, value] : rows)
            QTest::newRow(text) << QByteArray(text) << value;
    }
    void leadingValue()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(tarveon::leadingValue(text), value);
    }

    void lineSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read"); // as read back; empty: refused
        const QStringList rows{"57600,n,8,1=57600,n,8,1", "9600,E,7,2=9600,e,7,2", "1,n,5,1.5=1,n,5,1.5",
                               "0,n,8,1=", "57600,x,8,1=", "57600,n,4,1=", "57600,n,9,1=", "57600,n,8,3=",
                               "57600,n,8=", "fast,n,8,1="};
        for (const QString &row : rows)
            QTest::newRow(qPrintable(row.section('=', 0, 0))) << row.section('=', 0, 0) << row.section('=', 1);
    }
    void lineSettings()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        LineSettings s;
        QCOMPARE(LineSettings::parse(text, &s), !read.isEmpty());
        QCOMPARE(read.isEmpty() ? QString() : s.toString(), read);
    }

    void transcript_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : QDir(kData).entryList({"*.link"}))
            QTest::newRow(qPrintable(name)) << name;
    }
    void transcript()
    {
        QFETCH(QString, name);
        LinkRun run;
        const QStringList lines = dataLines(name);
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].isEmpty() || lines[i].startsWith('#'))
                continue;
            const QString wrong = run.step(lines[i]);
            QVERIFY2(wrong.isEmpty(), qPrintable(QString("%1:%2: %3 -- %4").arg(name).arg(i + 1).arg(lines[i], wrong)));
        }
    }

    void uploadBlocks_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("blocks");
        QTest::addColumn<double>("maximum"); // size / 128 + 1
        QTest::newRow("empty") << 0 << "" << 1.0;
        QTest::newRow("one byte") << 1 << "1" << 1.0078125;
        QTest::newRow("127") << 127 << "127" << 1.9921875;
        QTest::newRow("128") << 128 << "128" << 2.0;
        QTest::newRow("129") << 129 << "128 1" << 2.0078125;
        QTest::newRow("300") << 300 << "128 128 44" << 3.34375;
    }
    void uploadBlocks()
    {
        QFETCH(int, size);
        QFETCH(QString, blocks);
        QFETCH(double, maximum);
        test::TestContext tc;
        ScriptedChannel channel;
        Upload upload(*tc.ctx, channel);
        tc.dir.writeFile("P/ZTR001-PACKAGED.zdm", fileBytes(size));
        QVERIFY(upload.SendFile(tc.dir.filePath("P"), "ztr001-packaged.ZDM"));
        QCOMPARE(channel.log, (QStringList{"state 3", "SEND~" + QString::number(size)}));
        upload.handleLine("START");
        QCOMPARE(upload.progress().maximum, maximum);
        // Each block after the count of the bytes received so far; nothing after the last.
        QStringList sent{"state 4"};
        int received = 0;
        for (const QString &block : blocks.split(' ', Qt::SkipEmptyParts)) {
            sent << block;
            QCOMPARE(channel.log.mid(2), sent);
            received += block.toInt();
            upload.handleLine("Bytes:" + QByteArray::number(received));
        }
        upload.handleLine("SUCCES");
        QCOMPARE(channel.log.mid(2), sent << "state 2");
        QVERIFY(!upload.active() && !upload.progress().visible);
    }

    void uploadEnds_data()
    {
        QTest::addColumn<QStringList>("answers"); // gateway lines and timer ticks, after the announcement
        QTest::addColumn<QString>("log");         // what the upload asked of the link after SEND~1000
        QTest::addColumn<QString>("outcome");
        QTest::newRow("refused") << QStringList{"CANCEL"} << "state 2" << "Refused";
        QTest::newRow("cancelled") << QStringList{"START", "Bytes:128", "xCANCELx"} << "state 4,128,128,state 2"
                                   << "Cancelled";
        QTest::newRow("five silent ticks") << QStringList(5, "tick") << "" << "";
        QTest::newRow("six silent ticks") << QStringList(6, "tick") << "state 2" << "TimedOut";
        QTest::newRow("wrong count, then silence") << QStringList{"START", "Bytes:127", "tick", "tick", "tick", "tick",
                                                                  "tick", "tick"}
                                                   << "state 4,128,state 2" << "TimedOut";
        QTest::newRow("progress starts the count again")
            << QStringList{"START", "tick", "tick", "tick", "tick", "tick", "Bytes:128", "tick", "tick", "tick", "tick",
                           "tick"}
            << "state 4,128,128" << "";
        QTest::newRow("count repeated") << QStringList{"START", "Bytes:128", "Bytes:128", "Bytes:0"} << "state 4,128,128" << "";
    }
    void uploadEnds()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, log);
        QFETCH(QString, outcome);
        test::TestContext tc;
        ScriptedChannel channel;
        Upload upload(*tc.ctx, channel);
        QStringList outcomes;
        connect(&upload, &Upload::finished, this, [&](UploadOutcome o) { outcomes << kOutcomes[int(o)]; });
        tc.dir.writeFile("P/ZTR001-PACKAGED.ZDM", fileBytes(1000));
        QVERIFY(upload.SendFile(tc.dir.filePath("P"), "ZTR001-PACKAGED.ZDM"));
        for (const QString &answer : answers)
            answer == "tick" ? upload.tick() : upload.handleLine(answer.toLatin1());
        QCOMPARE(channel.log.mid(2).join(','), log);
        QCOMPARE(outcomes.join(','), outcome);
        QCOMPARE(upload.active(), outcome.isEmpty());
    }

    // The file named in cboFichero must be a plain file of the project directory.
    void uploadRefusesOtherFiles_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("missing") << "ZTR001-CHILLER.ZDM";
        QTest::newRow("outside the project") << "ZTR001-/../../Outside/secret.ZDM";
        QTest::newRow("no name") << "";
    }
    void uploadRefusesOtherFiles()
    {
        QFETCH(QString, entry);
        test::TestContext tc;
        ScriptedChannel channel;
        Upload upload(*tc.ctx, channel);
        tc.dir.writeFile("Plant/ZTR001-/keep", "x");
        tc.dir.writeFile("Outside/secret.ZDM", "SECRET");
        const QString dir = tc.dir.filePath("Plant");
        QVERIFY(!upload.SendFile(dir, entry));
        QVERIFY(channel.log.isEmpty());
        QCOMPARE(tc.prompter.records.size(), 1);
        QVERIFY(tc.prompter.records[0].text.startsWith(tc.ctx->GetText("X66") + "\r" + dir));
    }

    void loader_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("table");
        QTest::addColumn<QString>("index"); // expected, or "count 0"
        QTest::addColumn<QString>("message");
        QTest::newRow("plant") << "plant.ini" << true << dataLines("plant-index.txt").filter(QRegularExpression("^\\w")).join(',') << "";
        QTest::newRow("no active device") << "" << false << "count 0" << "";
        QTest::newRow("no table file") << "plant.ini" << false << "count 0" << "X67";
    }
    void loader()
    {
        QFETCH(QString, ini);
        QFETCH(bool, table);
        QFETCH(QString, index);
        QFETCH(QString, message);
        LinkRun run;
        QDir(run.ctx.ProjectDir).removeRecursively();
        run.tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.ini", ini.isEmpty() ? "[ZTR001-CHILLER]\r\nDevices=3\r\n" : crlf(ini));
        if (table)
            run.tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.dat", crlf("plant.dat"));
        LinkTables t;
        LoadLinkSignals(run.ctx, t);
        QStringList found{"count " + QString::number(t.count())};
        for (auto it = t.index.cbegin(); it != t.index.cend(); ++it)
            found << it.key() + ' ' + QString::number(it.value());
        QCOMPARE(found.mid(1).size(), index.count(',')); // no key more than expected
        for (const QString &entry : index.split(','))
            QVERIFY2(found.contains(entry), qPrintable(entry + " in " + found.join(',')));
        QCOMPARE(run.tc.prompter.records.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY(run.tc.prompter.records[0].text.startsWith(run.ctx.GetText(message)));
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
        QCOMPARE(run.port->openCount, 1);
        // The line that came during the drain is lost with the port; the one before it is not.
        QCOMPARE(run.monitor.filter(">").mid(1), (QStringList{">Protocol:ZTR009.V1", ">next line"}));
        QVERIFY(run.link.RxBuffer().isEmpty());
        run.reach(2);
        run.port->stallOutput = true;
        run.link.setDrainLimitMs(50);
        QElapsedTimer clock;
        clock.start();
        run.link.chkOnline_Click(false);
        QVERIFY(!run.port->isOpen() && clock.elapsed() < 2000);
    }

    // The port vanishes in every state with half a line received: off line, one message, nothing
    // kept of the broken session, no file touched, and the next session starts clean.
    void portVanishes_data()
    {
        QTest::addColumn<int>("state");
        for (int state = 1; state <= 4; ++state)
            QTest::addRow("state %d", state) << state;
    }
    void portVanishes()
    {
        QFETCH(int, state);
        LinkRun run;
        run.reach(state);
        run.port->receive("Bytes:12");
        const auto before = test::snapshot(run.tc.dir.path());
        run.port->unplug(5);
        QCOMPARE(run.link.state(), LinkState::OffLine);
        QCOMPARE(run.tc.prompter.texts(), QStringList{run.ctx.GetText("LNK6") + "COM3 (/dev/ttyS2)."});
        QVERIFY(run.link.RxBuffer().isEmpty() && run.link.upload().pendingBytes() == 0);
        QCOMPARE(run.outcomes, state >= 3 ? QStringList{"Aborted"} : QStringList{});
        QCOMPARE(test::snapshot(run.tc.dir.path()), before);
        run.port->written.clear();
        QVERIFY(run.step("tick 8").isEmpty() && run.port->written.isEmpty());
        run.reach(2);
        QVERIFY(run.tc.prompter.records.isEmpty());
    }

    // Binary junk with NULs, lines that look like the gateway's own, names of paths and commands,
    // and 4 MB without a CR, in every state: the link stays in a state of its own, sends no block
    // without its acknowledgement, writes no file, and goes off line cleanly.
    void junk_data() { portVanishes_data(); }
    void junk()
    {
        QFETCH(int, state);
        LinkRun run;
        run.reach(state);
        const auto before = test::snapshot(run.tc.dir.path());
        const QByteArray marker = run.tc.dir.filePath("ran").toLatin1();
        QByteArray input = test::junk(quint32(state), 64 * 1024);
        input.insert(1000, QByteArray("\rGP:01/2/003=\0" "5\r\rProtocol:ZTR\0" "001.\r\rBytes:\0" "128\r", 44));
        input += "\r../../x\r$(touch " + marker + ")\rGP:../../../x=1\rEXT;touch " + marker + "\rProtocol:|touch " + marker + ".\r";
        input += QByteArray(4 * 1000 * 1000, 'x');
        for (qsizetype pos = 0; pos < input.size() && run.port->isOpen(); pos += 4093)
            run.port->receive(input.mid(pos, 4093));
        if (run.link.state() == LinkState::Uploading)
            QCOMPARE(run.port->written.size(), 0);
        QVERIFY(!QFileInfo::exists(marker));
        QCOMPARE(test::snapshot(run.tc.dir.path()), before);
        run.link.chkOnline_Click(false);
        QVERIFY(run.link.state() == LinkState::OffLine && !run.port->isOpen() && run.link.RxBuffer().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
