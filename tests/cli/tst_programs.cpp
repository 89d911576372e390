// The three programs run as processes, as a user runs them: tarveon-cli from a private program
// directory (its language file and settings), against tarveon-sim on a pseudo-terminal.
#include "LinkTestSupport.h"
#include "PtySupport.h"
#include "app/Version.h"
#include "model/GatewayFile.h"

#include <QtTest>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tarveon;
using namespace tarveon::test;

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
    QString lastErr() const { return err.trimmed().section('\n', -1); }
};

// A stored signal table row: device, code, address, further addresses, R W T U, yes/no number.
QByteArray datRow(int n, int device, int code, const char *group, const char *listen, const char *flags, int yes,
                  const char *eis = "01")
{
    QByteArray line = QByteArray::number(n) + '\t' + QByteArray::number(device) + '\t' + QByteArray::number(code) +
                      " - x\tdesc\t" + eis + '\t' + group + '\t' + listen + '\t';
    for (const QByteArray &cell : QByteArray(flags).split(' '))
        line += (cell == "-" ? QByteArray() : cell) + '\t';
    return line + QByteArray::number(yes) + "\t\r\n";
}

QByteArray twoUnits(const char *phyAdd = "15.15.255", const char *secondUni = "2")
{
    return QByteArray("[ZTR001-PACKAGED]\r\nDevices=2\r\nD1-Active=1\r\nD1-Sys=0\r\nD1-Uni=1\r\n"
                      "D2-Active=1\r\nD2-Sys=0\r\nD2-Uni=") +
           secondUni + "\r\n[EIB]\r\nPhyAdd=" + phyAdd + "\r\n";
}

// Controller status, unit 1 on/off, unit 1 code 6 (read-only, with a W the flag rules drop),
// unit 2 on/off listening to unit 1's on/off.
QByteArray goodRows(const char *group = "1/0/4", const char *listen = "1/0/2")
{
    return datRow(1, 1, 100, "1/0/1", "", "R - T -", 1) + datRow(2, 1, 0, "1/0/2", "", "- W - -", 1) +
           datRow(3, 1, 6, "1/0/3", "", "R W T -", 1) + datRow(4, 2, 0, group, listen, "- W - -", 1);
}

// A local TCP port: free (port 0 asks for one), or accepting connections.
int localPort(int port = 0)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(port));
    socklen_t size = sizeof address;
    const auto *any = reinterpret_cast<sockaddr *>(&address);
    const bool ok = port == 0 ? ::bind(fd, any, size) == 0 && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0
                              : ::connect(fd, any, size) == 0;
    ::close(fd);
    return ok ? ntohs(address.sin_port) : -1;
}

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT

    // Texts as the programs read them: the shipped language file, English and Spanish.
    std::unique_ptr<TestContext> english, spanish;
    std::unique_ptr<TestContext> t; // the private program directory of one test
    QString project;

    QString T(const char *key, bool es = false) { return (es ? spanish : english)->ctx->GetText(key); }

    Run run(const QString &program, const QStringList &args, const QString &workDir = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(name); // no window system: the programs must not need one here
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workDir.isEmpty() ? t->dir.path() : workDir);
        p.start(program.contains('/') ? program : t->dir.filePath(program), args);
        if (!p.waitForFinished(20000))
            p.kill();
        p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    Run cli(const QStringList &args, const QString &workDir = {}) { return run("tarveon-cli", args, workDir); }

    void writeProject(const QByteArray &settings, const QByteArray &rows)
    {
        t->dir.writeFile("ProjectsZDM/Demo/Project.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\nDesc=Demo\r\n");
        t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.ini", settings);
        if (!rows.isEmpty())
            t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.dat",
                             "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                             "\tUnit\tCode\tDesc\tEIS\tGroup\tFurther\tR\tW\tT\tU\tUse\t\r\n" +
                                 rows);
    }

private slots:
    void initTestCase()
    {
        english = std::make_unique<TestContext>();
        spanish = std::make_unique<TestContext>();
        spanish->dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=1\r\n");
        QVERIFY(spanish->ctx->language.LoadLanguage());
    }

    void init()
    {
        t = std::make_unique<TestContext>();
        QVERIFY(QFile::copy(TARVEON_BIN_DIR "/tarveon-cli", t->dir.filePath("tarveon-cli")));
        QFile::setPermissions(t->dir.filePath("tarveon-cli"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        project = t->dir.filePath("ProjectsZDM/Demo");
    }

    void options_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("outHas");
        QTest::addColumn<QString>("errHas");
        const QString cli = "tarveon-cli", config = TARVEON_BIN_DIR "/tarveon-config", sim = TARVEON_BIN_DIR "/tarveon-sim";
        QTest::newRow("cli help") << cli << QStringList{"--help"} << 0
                                  << QStringList{"validate PROJECT_DIR", "generate", "info", "upload", "monitor"} << "";
        QTest::newRow("cli nothing") << cli << QStringList{} << 2 << QStringList{} << "usage: tarveon-cli";
        QTest::newRow("unknown command") << cli << QStringList{"make", "a"} << 2 << QStringList{} << "unknown command";
        QTest::newRow("no operand") << cli << QStringList{"validate"} << 2 << QStringList{} << "missing operand";
        QTest::newRow("two operands") << cli << QStringList{"generate", "a", "b"} << 2 << QStringList{} << "operand b";
        QTest::newRow("unknown option") << cli << QStringList{"generate", "--force", "a"} << 2 << QStringList{}
                                        << "'force'";
        QTest::newRow("negative value") << cli << QStringList{"info", "--wait", "-5"} << 2 << QStringList{}
                                        << "--wait takes a number above 0";
        QTest::newRow("command help") << cli << QStringList{"monitor", "--help"} << 0
                                      << QStringList{"tarveon-cli monitor [options]", "--raw", "--project"} << "";
        QTest::newRow("tool help") << config << QStringList{"--help"} << 0
                                   << QStringList{"--port <device>", "--paths", "--version", "--online"} << "";
        QTest::newRow("tool usage") << config << QStringList{"--onlin"} << 2 << QStringList{} << "'onlin'";
        QTest::newRow("simulator usage") << sim << QStringList{"--baud", "fast"} << 2 << QStringList{}
                                         << "a number is expected";
        for (const QString &program : {cli, config, sim})
            QTest::newRow(qPrintable(program.section('/', -1) + " version"))
                << program << QStringList{"--version"} << 0 << QStringList{VersionText(program.section('/', -1))} << "";
    }

    void options()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QStringList, outHas);
        QFETCH(QString, errHas);
        const Run r = run(program, args);
        QCOMPARE(r.code, code);
        for (const QString &s : outHas)
            QVERIFY2(r.out.contains(s), qPrintable(r.out));
        QVERIFY2(errHas.isEmpty() ? r.err.isEmpty() : r.err.contains(errHas), qPrintable(r.err));
    }

    // validate says where a fault is and refuses what generate refuses, with the same message.
    void checks_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("message");
        const QString unit2 = T("CLI1") + " 2, 00 - On/Off, "; // the catalogue's caption of code 0
        QTest::newRow("group used twice") << twoUnits() << goodRows("1/0/2")
                                          << unit2 + T("EIB42") + " \"1/0/2\": " + T("X38") + "EIB: 1/0/2" + T("X73");
        QTest::newRow("middle group") << twoUnits() << goodRows("1/9/3")
                                      << unit2 + T("EIB42") + " \"1/9/3\": " + T("EIB23");
        QTest::newRow("further address") << twoUnits() << goodRows("1/0/4", "1/0/2, 0/0/0")
                                         << unit2 + T("EIB41") + " \"1/0/2, 0/0/0\": " + T("EIB30") + " " + T("EIB16");
        QTest::newRow("physical address") << twoUnits("0.0.0") << goodRows() << T("EIB31");
        QTest::newRow("devices") << twoUnits("15.15.255", "1") << goodRows()
                                 << "Not allowed 2 devices with same Sytem-Unit: 0-1";
        QTest::newRow("no signal in use") << twoUnits() << datRow(1, 1, 0, "1/0/2", "", "- W - -", 0) << T("EIB36");
        QTest::newRow("no table file") << twoUnits() << QByteArray() << T("EIB36");
        QTest::newRow("in Spanish") << twoUnits("16.0.0") + "[X103]\r\nLanguage=1\r\n" << goodRows() << T("EIB31", true);
    }

    void checks()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, rows);
        QFETCH(QString, message);
        if (settings.contains("Language=1"))
            t->dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=1\r\n");
        writeProject(settings, rows);
        const Run validate = cli({"validate", project});
        QCOMPARE(validate.lastErr(), message);
        QCOMPARE(validate.code, 1);
        const Run generate = cli({"generate", project});
        QCOMPARE(generate.err, validate.err);
        QCOMPARE(generate.code, 1);
        QVERIFY(generate.out.isEmpty());
        QVERIFY(!QFileInfo::exists(project + "/ZTR001-PACKAGED.zdm"));
    }

    // A project path is a path, however written; validate writes nothing, generate the file.
    void generate()
    {
        writeProject(twoUnits(), goodRows());
        const QMap<QString, QByteArray> before = snapshot(t->dir.path());
        const QList<QPair<QString, QString>> ways{
            {project, "."}, {project + "/..", "Demo/"}, {project + "/../../TemplatesZDM", "../ProjectsZDM/Demo"}};
        for (const auto &[dir, path] : ways) {
            const Run r = cli({"validate", path}, dir);
            QCOMPARE(r.err + r.out, QString());
            QCOMPARE(r.code, 0);
        }
        QCOMPARE(snapshot(t->dir.path()), before);

        const Run r = cli({"generate", project});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.code, 0);
        const QByteArray file = t->dir.readFile("ProjectsZDM/Demo/ZTR001-PACKAGED.zdm");
        // 4 groups, 1 link, 2 units: 4 + 313 + 44 + 2 + 162 bytes.
        QCOMPARE(file.size(), 525);
        qint32 sum = 0;
        for (char c : file.mid(4))
            sum += quint8(c);
        QCOMPARE(r.out, T("X39") + " EIB:4 Add.Listen:1 Bytes:525. ChkSum:" + QString::number(sum, 16).toUpper() + " " +
                            T("A20") + "\n");
        // Group 1/0/3 (code 6, read-only): the stored W was dropped by the flag rules -> R T.
        QCOMPARE(file.mid(4 + 331, 11).toHex(' '), QByteArray("03 08 06 00 ff ff 00 0a 0e 03 08"));
        const QVector<GroupRecord> read = ReadGatewayFileGroups(file); // the simulator reads them back
        QCOMPARE(read.size(), 4);
        QCOMPARE((QList<int>{read[2].Grupo, read[2].IdxPuntos, read[2].IdxEnlaces, read[2].Flags, read[2].TipoEIS}),
                 (QList<int>{0x0803, 6, -1, 0x0a, 0x0e}));
        QVERIFY(ReadGatewayFileGroups(file.chopped(file.size() - 4 - 309 - 43)).isEmpty()); // ends inside a record
        // Group 1/0/2 carries the link from unit 2's group 1/0/4 (index 3).
        QCOMPARE(file.mid(4 + 320, 11).toHex(' '), QByteArray("02 08 00 00 00 00 01 04 01 02 08"));
        QCOMPARE(file.mid(4 + 353, 6).toHex(' '), QByteArray("01 00 03 00 02 00"));
        // The stored table is not rewritten.
        QCOMPARE(t->dir.readFile("ProjectsZDM/Demo/ZTR001-PACKAGED.dat"), before.value("ProjectsZDM/Demo/ZTR001-PACKAGED.dat"));

        QVERIFY(QFile::remove(project + "/ZTR001-PACKAGED.zdm"));
        QDir().mkpath(project + "/ZTR001-PACKAGED.zdm"); // a directory where the file should go
        const Run unwritable = cli({"generate", project});
        QCOMPARE(unwritable.code, 2);
        QVERIFY2(unwritable.err.startsWith(T("X32") + project + "/ZTR001-PACKAGED.zdm Error: "), qPrintable(unwritable.err));
        QCOMPARE(unwritable.err.count('\n'), 1);
    }

    // The commands that talk to the gateway end, whatever the gateway does.
    void link_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QStringList>("args"); // PORT, FILE and PROJECT stand for their paths
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastErr"); // what the last line on stderr holds
        QTest::addColumn<QString>("out");
        const QStringList info{"info", "--port", "PORT", "--wait", "2", "--tick-ms", "50"};
        const QStringList upload{"upload", "--port", "PORT", "--tick-ms", "20", "FILE"};
        const QByteArray image = gatewayFileImage("ZTR001", 900);
        QTest::newRow("info") << QStringList{"--firmware", "V3.01"} << info << QByteArray() << 0 << ""
                              << "ZTR001\nProtocol:ZTR001.V3.01 Tarveon gateway, debug 0\n";
        QTest::newRow("info of the project") << QStringList{} << info + QStringList{"--project", "PROJECT"} << image
                                             << 0 << "" << "ZTR001\nProtocol:ZTR001.V2.10 Tarveon gateway, debug 0\n";
        QTest::newRow("info, other family") << QStringList{"--family", "ZTR002"}
                                            << info + QStringList{"--project", "PROJECT"} << image << 1 << T("A27") << "";
        QTest::newRow("info, no family") << QStringList{"--identification", "Protocol:ZTR001 V2"} << info << image
                                         << 1 << T("CLI3") + "Protocol:ZTR001 V2" << "";
        QTest::newRow("info, no answer") << QStringList{"--silent"} << info << image << 1 << T("LNK2") << "";
        QTest::newRow("upload") << QStringList{} << upload << gatewayFileImage("ZTR001", 3000) << 0 << T("X79") << "";
        QTest::newRow("refused") << QStringList{"--refuse"} << upload << image << 1 << T("X44") << "";
        QTest::newRow("cancelled") << QStringList{"--cancel-after", "256"} << upload << image << 1 << T("X80") << "";
        QTest::newRow("bad checksum") << QStringList{} << upload << gatewayFileImage("ZTR001", 300, false) << 1
                                      << T("X80") << "";
        QTest::newRow("time-out") << QStringList{"--silent-after", "128"} << upload << image << 1 << T("X80") << "";
        QTest::newRow("hang-up") << QStringList{"--hangup-after", "128"} << upload << image << 2 << T("LNK6") << "";
        QTest::newRow("other family") << QStringList{"--family", "ZTR002"} << upload << image << 1 << T("A27") << "";
        QTest::newRow("not a gateway file") << QStringList{} << upload << QByteArray(300, 'x') << 2 << T("LNK3") << "";
        QTest::newRow("no such file") << QStringList{} << upload << QByteArray() << 2 << T("X66") + " /" << "";
        const QStringList read{"read", "--port", "PORT", "--tick-ms", "50"};
        QTest::newRow("read") << QStringList{"--set", "1/0/3=21.5"} << read + QStringList{"1/0/3"} << QByteArray() << 0
                              << "" << "GP:01/0/003=21.50\n";
        QTest::newRow("read, decoded") << QStringList{"--set", "01/0/002=1"} << read + QStringList{"--project", "PROJECT", "01/0/002"}
                                       << image << 0 << "" << "GP:01/0/002=1.00\nUnit 1 " + T("H32") + " = " + T("KNX11") + "\n";
        QTest::newRow("read, time-out") << QStringList{"--ignore-reads"} << read + QStringList{"--timeout", "1", "1/0/3"}
                                        << QByteArray() << 1 << T("GRW1") + "1/0/3 (1 s)" << "";
        QTest::newRow("no such port") << QStringList{} << QStringList{"upload", "--port", "/dev/null-tarveon", "FILE"}
                                      << image << 2 << T("LNK5") + "/dev/null-tarveon. " << "";
    }

    void link()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QStringList, args);
        QFETCH(QByteArray, file);
        QFETCH(int, code);
        QFETCH(QString, lastErr);
        QFETCH(QString, out);
        SimProcess sim;
        QVERIFY(sim.start(simOptions));
        writeProject(twoUnits(), goodRows());
        if (!file.isEmpty())
            t->dir.writeFile("files/ZTR001-PACKAGED.zdm", file);
        args.replaceInStrings(QRegularExpression("^PORT$"), sim.devicePath());
        args.replaceInStrings(QRegularExpression("^FILE$"), t->dir.filePath("files/ZTR001-PACKAGED.zdm"));
        args.replaceInStrings(QRegularExpression("^PROJECT$"), project);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.lastErr().contains(lastErr), qPrintable(r.err));
        if (!out.isEmpty() || code != 0)
            QCOMPARE(r.out, out);
        if (QTest::currentDataTag() == QLatin1String("upload")) {
            QVERIFY(r.err.split('\n').contains(T("X43")));
            QVERIFY(r.err.split('\n').contains("100% 24/24"));
        }
    }

    // Each line after its local time, to the millisecond; leaving switches the reports off.
    void monitor()
    {
        SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "50"}));
        const Run r = cli({"monitor", "--port", sim.devicePath(), "--eib", "--seconds", "1"});
        QCOMPARE(r.code, 0);
        QStringList lines;
        const QRegularExpression stamped("^(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}) (.*)$");
        for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = stamped.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            QVERIFY(qAbs(QDateTime::fromString(m.captured(1), Qt::ISODateWithMs).secsTo(QDateTime::currentDateTime())) < 60);
            lines << m.captured(2);
        }
        QCOMPARE(lines.mid(0, 1), QStringList{"<INFO?"});
        QVERIFY(lines.contains("<BUSINTALL") && !lines.contains("<BUSEXTALL"));
        QVERIFY(!lines.filter(QRegularExpression("^EIB>")).isEmpty());
        QCOMPARE(lines.mid(lines.indexOf("<BUSINTOFF"), 4), (QStringList{"<BUSINTOFF", "<BUSEXTOFF", "<OFCHANGES", "<DEBUG=0"}));
    }

    // write sends the value as the signal viewer does, then asks once; the group's first report
    // ends it, whatever else comes.
    void writeOverPty()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        QProcess p;
        p.start(t->dir.filePath("tarveon-cli"), {"write", "--port", pty.devicePath(), "1/0/3", "-0,25"});
        QCOMPARE(pty.readUntil([](const QByteArray &b) { return b.endsWith("INFO?\r"); }), QByteArray("INFO?\r"));
        pty.write("Protocol:ZTR001.V1\r\n");
        QCOMPARE(pty.readUntil([](const QByteArray &b) { return b.endsWith("?\r"); }),
                 QByteArray("ONCHANGES\rGP:01/0/003=-.25\rGP:01/0/003?\r"));
        pty.write("GP:01/0/004=-0.25\r\nGP:01/0/003=-0.25\r\nGP:01/0/003=-0.25\r\n");
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("GP:01/0/003=-0.25\n"));
        const QStringList noPort{"write", "--port", "/dev/null-tarveon"};
        QVERIFY(cli(noPort + QStringList{"1/8/3", "1"}).err.startsWith("tarveon-cli write: not a group address: 1/8/3\n"));
        QVERIFY(cli(noPort + QStringList{"1/0/3", "1.5x"}).err.startsWith("tarveon-cli write: not a number: 1.5x\n"));
    }

    // The simulator on knxd (the dummy bus echoes group telegrams between its clients): a KNX
    // client's write reaches the gateway as its EIB line and its report; a value written from the
    // command line goes out on the bus in the group's datapoint encoding.
    void knxdBridge()
    {
        const QString knxd = QStandardPaths::findExecutable("knxd"), knxtool = QStandardPaths::findExecutable("knxtool");
        if (knxd.isEmpty() || knxtool.isEmpty())
            QSKIP("knxd and knxtool are not installed (./test.sh and scripts/install-deps.sh install them)");
        const int port = localPort();
        QProcess daemon;
        daemon.start(knxd, {"-e", "0.0.1", "-E", "0.0.2:8", "-i", QString::number(port), "-b", "dummy:"});
        QVERIFY(waitFor([&] { return localPort(port) == port; }));
        const QString url = "ip:localhost:" + QString::number(port);
        // Unit 1's setpoint (EIS 5, DPT 9) on 1/0/5 and mode (EIS 14, DPT 5) on 1/0/6 besides its
        // on/off (DPT 1) on 1/0/2.
        writeProject(twoUnits(), goodRows() + datRow(5, 1, 3, "1/0/5", "", "R W T -", 1, "05") +
                                     datRow(6, 1, 1, "1/0/6", "", "R W T -", 1, "14"));
        QCOMPARE(cli({"generate", project}).code, 0);
        SimProcess sim;
        QVERIFY(sim.start({"--knxd", url}));
        QCOMPARE(cli({"upload", "--port", sim.devicePath(), project + "/ZTR001-PACKAGED.zdm"}).code, 0);

        QProcess listen;
        listen.start(knxtool, {"groupsocketlisten", url});
        QProcess monitor;
        monitor.start(t->dir.filePath("tarveon-cli"), {"monitor", "--raw", "--eib", "--port", sim.devicePath()});
        // On line with both reports on when the gateway has answered ONCHANGES and BUSINTALL.
        QVERIFY(waitFor([&] { return monitor.peek(1 << 16).contains("<BUSINTALL\n>OK\n>OK\n"); }));
        QCOMPARE(QProcess::execute(knxtool, {"groupwrite", url, "1/0/5", "0c", "1a"}), 0);
        QCOMPARE(QProcess::execute(knxtool, {"groupswrite", url, "1/0/2", "1"}), 0);
        QVERIFY2(waitFor([&] {
                     const QString out = QString::fromLatin1(monitor.peek(1 << 16));
                     return out.contains(QRegularExpression("\nEIB>0\\.0\\.\\d 01/0/005 Write 21\\.00\n")) &&
                            out.contains("\n>GP:01/0/005=21.00\n") && out.contains("\n>GP:01/0/002=1.00\n");
                 }),
                 monitor.peek(1 << 16).constData());
        monitor.terminate();
        QVERIFY(monitor.waitForFinished(5000));

        QCOMPARE(cli({"write", "--port", sim.devicePath(), "1/0/5", "23"}).out, "GP:01/0/005=23.00\n");
        QCOMPARE(cli({"write", "--port", sim.devicePath(), "1/0/2", "0"}).out, "GP:01/0/002=0.00\n");
        QCOMPARE(cli({"write", "--port", sim.devicePath(), "1/0/6", "3"}).out, "GP:01/0/006=3.00\n");
        QCOMPARE(QProcess::execute(knxtool, {"groupread", url, "1/0/5"}), 0);
        QVERIFY2(waitFor([&] {
                     const QString out = QString::fromLatin1(listen.peek(1 << 16));
                     // A 1-bit value travels inside the APCI byte, longer ones after it; a read is
                     // answered with the value.
                     return out.contains(" to 1/0/5: 0C 7E \n") && out.contains(" to 1/0/2: 00\n") &&
                            out.contains(" to 1/0/6: 03 \n") &&
                            out.contains(QRegularExpression("Response from [.0-9]+ to 1/0/5: 0C 7E \n"));
                 }),
                 listen.peek(1 << 16).constData());
        listen.kill();
        listen.waitForFinished();
        sim.stop();
        daemon.terminate();
        QVERIFY(daemon.waitForFinished(5000));
    }

    // With --project the EIB frames and reports are named and decoded; --csv keeps the frames.
    void monitorDecodes()
    {
        const QString knx = TARVEON_SOURCE_DIR "/tests/data/knx/Project/";
        QVERIFY(QDir().mkpath(t->dir.filePath("ProjectsZDM/Knx")));
        for (const QString &name : QDir(knx).entryList(QDir::Files))
            QVERIFY(QFile::copy(knx + name, t->dir.filePath("ProjectsZDM/Knx/" + name)));
        SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "50", "--drift", "1/3/1", "--set", "1/3/1=21.5"}));
        const Run r = cli({"monitor", "--port", sim.devicePath(), "--eib", "--seconds", "1", "--project",
                           t->dir.filePath("ProjectsZDM/Knx"), "--csv", t->dir.filePath("s.csv")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains(" 01/3/001 Write 21.50  [Room 101 Setpoint = 21.50 \u00B0C]\n"), qPrintable(r.out));
        QVERIFY(t->dir.readFile("s.csv").contains(";\"1/3/1\";\"Room 101 Setpoint\";\"Write\";\"9.001\";\"21.50 \u00B0C\";"));
    }

    // A port that goes away ends the monitor with 2; --raw prints the bare lines.
    void monitorPortGone()
    {
        auto sim = std::make_unique<SimProcess>();
        QVERIFY(sim->start());
        QProcess p;
        p.start(t->dir.filePath("tarveon-cli"), {"monitor", "--raw", "--port", sim->devicePath()});
        QVERIFY(waitFor([&] { return p.peek(4096).contains("<ONCHANGES\n"); }));
        sim.reset();
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardOutput().startsWith("<INFO?\n>Protocol:ZTR001.V2.10"));
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).startsWith(T("LNK6")));
    }

    // The simulator goes on when the shell that started it ends, unless tied to it; it says why
    // it stops.
    void simulatorLifetime_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("why");
        QTest::newRow("goes on") << "" << "tarveon-sim: stopped: SIGTERM\n";
        QTest::newRow("tied to its parent") << "--exit-with-parent"
                                            << "tarveon-sim: stopped: the process that started it ended (--exit-with-parent)\n";
    }

    void simulatorLifetime()
    {
        QFETCH(QString, option);
        QFETCH(QString, why);
        const QString err = t->dir.filePath("sim.err");
        // The shell ends 0.2 s after starting the simulator in the background.
        const Run shell = run("/bin/sh", {"-c", QString("'%1' %2 >/dev/null 2>'%3' & echo $!; sleep 0.2")
                                                    .arg(SimProcess::program(), option, err)});
        const pid_t pid = shell.out.trimmed().toInt();
        QVERIFY(pid > 0);
        // Never left behind, whatever fails below.
        const auto stop = qScopeGuard([pid] { ::kill(pid, SIGTERM); });
        if (option.isEmpty()) {
            QTest::qWait(400); // longer than a tied simulator takes to notice
            QVERIFY(::kill(pid, 0) == 0);
            ::kill(pid, SIGTERM);
        }
        QTRY_COMPARE(t->dir.readFile("sim.err"), why.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestPrograms)
#include "tst_programs.moc"
