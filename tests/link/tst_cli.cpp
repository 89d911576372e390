// tarveon-cli run as a process against tarveon-sim, from a private program directory.
#include "LinkTestSupport.h"
#include "PtySupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace tarveon;

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

struct Fixture {
    Fixture()
    {
        QFile::copy(QStringLiteral(TARVEON_BIN_DIR "/tarveon-cli"), tc.dir.filePath("tarveon-cli"));
        QFile::setPermissions(tc.dir.filePath("tarveon-cli"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString T(const char *key) { return tc.ctx->GetText(QString::fromLatin1(key)); }
    QString file(const QString &name, const QByteArray &bytes)
    {
        tc.dir.writeFile("files/" + name, bytes);
        return tc.dir.filePath("files/" + name);
    }
    Run run(const QStringList &args)
    {
        QProcess p;
        p.start(tc.dir.filePath("tarveon-cli"), args);
        Run r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    test::TestContext tc;
};

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void help()
    {
        Fixture f;
        const Run r = f.run({"--help"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains("info"));
        QVERIFY(r.out.contains("upload"));
        QVERIFY(r.out.contains("monitor"));
        QCOMPARE(f.run({}).code, 2);
        QCOMPARE(f.run({"frobnicate"}).code, 2);
    }

    void info()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--firmware", "V3.01"}));
        Fixture f;
        const Run r = f.run({"info", "--port", sim.devicePath()});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString("ZTR001"));
        QVERIFY(lines[1].startsWith("Protocol:ZTR001.V3.01"));
        QCOMPARE(r.err, QString());
    }

    void infoSilentGateway()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--silent"}));
        Fixture f;
        const Run r = f.run({"info", "--port", sim.devicePath(), "--wait", "3", "--tick-ms", "50"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err.trimmed(), f.T("LNK2") + sim.devicePath());
    }

    void upload_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastKey");
        QTest::newRow("success") << QStringList{} << test::gatewayFileImage("ZTR001", 3000) << 0 << "X79";
        QTest::newRow("refused") << QStringList{"--refuse"} << test::gatewayFileImage("ZTR001", 300) << 1 << "X44";
        QTest::newRow("cancelled") << QStringList{"--cancel-after", "256"} << test::gatewayFileImage("ZTR001", 900)
                                   << 1 << "X80";
        QTest::newRow("bad checksum") << QStringList{} << test::gatewayFileImage("ZTR001", 300, false) << 1 << "X80";
        QTest::newRow("time-out") << QStringList{"--silent-after", "128"} << test::gatewayFileImage("ZTR001", 900)
                                  << 1 << "X80";
        QTest::newRow("hang-up") << QStringList{"--hangup-after", "128"} << test::gatewayFileImage("ZTR001", 900)
                                 << 2 << "LNK6";
        QTest::newRow("other family") << QStringList{"--family", "ZTR002"} << test::gatewayFileImage("ZTR001", 300)
                                      << 1 << "A27";
        QTest::newRow("not a gateway file") << QStringList{} << QByteArray(300, 'x') << 2 << "LNK3";
    }
    void upload()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(QByteArray, file);
        QFETCH(int, code);
        QFETCH(QString, lastKey);
        test::SimProcess sim;
        QVERIFY(sim.start(simOptions));
        Fixture f;
        const QString path = f.file("ZTR001-PACKAGED.zdm", file);
        const Run r = f.run({"upload", "--port", sim.devicePath(), "--tick-ms", "20", path});
        QCOMPARE(r.code, code);
        const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
        QVERIFY(!lines.isEmpty());
        QVERIFY2(lines.last().contains(f.tc.ctx->GetText(lastKey).trimmed()), qPrintable(r.err));
        if (code == 0) {
            QVERIFY(lines.contains(f.T("X43")));
            QVERIFY(lines.contains("100% 24/24"));
        }
    }

    void uploadMissingFileAndPort()
    {
        Fixture f;
        const QString missing = f.tc.dir.filePath("files/none.zdm");
        Run r = f.run({"upload", "--port", "/dev/null-tarveon", missing});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err.trimmed(), f.T("X66") + " " + missing);
        const QString path = f.file("ZTR001-PACKAGED.zdm", test::gatewayFileImage("ZTR001", 300));
        r = f.run({"upload", "--port", "/dev/null-tarveon", path});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.startsWith(f.T("LNK5") + "/dev/null-tarveon. "));
    }

    void monitorShowsTraffic()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "50"}));
        Fixture f;
        const Run r = f.run({"monitor", "--port", sim.devicePath(), "--eib", "--seconds", "1"});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.contains("<INFO?"));
        QVERIFY(lines.contains("<ONCHANGES"));
        QVERIFY(lines.contains("<BUSINTALL"));
        QVERIFY(!lines.contains("<BUSEXTALL"));
        QVERIFY(!lines.filter(QRegularExpression("^EIB>")).isEmpty());
        QVERIFY(lines.filter(QRegularExpression("^EXT")).isEmpty());
        // Leaving switches the reports off again.
        QCOMPARE(lines.mid(lines.indexOf("<BUSINTOFF"), 4),
                 (QStringList{"<BUSINTOFF", "<BUSEXTOFF", "<OFCHANGES", "<DEBUG=0"}));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
