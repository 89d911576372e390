// tarveon-cli export and check-ets on the hand-made project of tests/data/knx (see its README).
#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

using namespace tarveon;

namespace {

const QString kData = QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/knx/");

QByteArray dataFile(const QString &name)
{
    QFile f(kData + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

} // namespace

class TestCliKnx : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestContext> t;
    QString cli;
    QString project;

    // Placeholders: P the project, F a file in the program directory.
    Run run(QStringList args)
    {
        args.replaceInStrings(QRegularExpression("^P$"), project);
        args.replaceInStrings(QRegularExpression("^F$"), t->dir.filePath("out.txt"));
        QProcess p;
        p.start(cli, args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    // The command line from a program directory of its own, beside its language file.
    void init()
    {
        t = std::make_unique<test::TestContext>(false);
        cli = t->dir.filePath("tarveon-cli");
        QVERIFY(QFile::copy(QStringLiteral(TARVEON_BIN_DIR "/tarveon-cli"), cli));
        project = t->dir.filePath("ProjectsZDM/Knx");
        for (const QString &name : QDir(kData + "Project").entryList(QDir::Files))
            t->dir.writeFile("ProjectsZDM/Knx/" + name, dataFile("Project/" + name));
    }

    void exports_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ETS 3/1 on standard output") << QStringList{"export", "P"} << "ets-3-1.csv";
        QTest::newRow("ETS 1/1, tab, Windows-1252, -o")
            << QStringList{"export", "--format", "ets-csv-1-1", "--separator", "tab", "--encoding", "windows-1252", "-o",
                           "F", "P"}
            << "ets-1-1-tab-1252.csv";
        QTest::newRow("ETS XML") << QStringList{"export", "--format=ets-xml", "P"} << "ets.xml";
        QTest::newRow("Home Assistant") << QStringList{"export", "--format", "ha-yaml", "P"} << "ha.yaml";
    }
    void exports()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const Run r = run(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());
        const QByteArray written = args.contains("F") ? t->dir.readFile("out.txt") : r.out;
        // Past its comment and first key the YAML's layout is yaml-cpp's (tools/tst_knxexport compares the tree).
        const QByteArray want = dataFile(expected);
        if (expected.endsWith(".yaml"))
            QVERIFY(written.startsWith(want.left(want.indexOf("  climate:"))));
        else
            QCOMPARE(written, want);
    }

    // Each export reads back with no finding; another plan gives one line per finding.
    void checkEts_data()
    {
        QTest::addColumn<QByteArray>("ets");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("3/1") << dataFile("ets-3-1.csv") << 0 << QByteArray();
        QTest::newRow("1/1") << dataFile("ets-1-1-tab-1252.csv") << 0 << QByteArray();
        QTest::newRow("XML") << dataFile("ets.xml") << 0 << QByteArray();
        QTest::newRow("findings") << QByteArray("\"Setpoint\";\"1/3/1\";\"\";\"\";\"\";\"DPST-1-1\";\"Auto\"\r\n") << 1
                                  << dataFile("check-ets-findings.txt");
    }
    void checkEts()
    {
        QFETCH(QByteArray, ets);
        t->dir.writeFile("out.txt", ets);
        const Run r = run({"check-ets", "P", "F"});
        QTEST(r.exitCode, "exitCode");
        QTEST(r.out, "out");
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown format") << QStringList{"export", "--format", "ets-json", "P"} << QByteArray() << 2
                                        << "unknown format ets-json";
        QTest::newRow("unknown separator") << QStringList{"export", "--separator", "|", "P"} << QByteArray() << 2
                                           << "unknown separator |";
        QTest::newRow("no project") << QStringList{"export"} << QByteArray() << 2 << "tarveon-cli export: missing operand";
        QTest::newRow("no ETS file named") << QStringList{"check-ets", "P"} << QByteArray() << 2 << "tarveon-cli check-ets: missing operand";
        QTest::newRow("ETS file missing") << QStringList{"check-ets", "P", "F"} << QByteArray() << 2
                                          << "Cannot read the file ";
        QTest::newRow("no address in it") << QStringList{"check-ets", "P", "F"} << QByteArray("\"Address\"\r\n") << 2
                                          << "No group addresses found in ";
        QTest::newRow("refused by the checks") << QStringList{"export", "P"} << QByteArray("D2-Uni=1") << 1 << "same Sytem-Unit: 0-1";
    }
    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        if (file.startsWith("D2-Uni")) // device 2 on device 1's address
            t->dir.writeFile("ProjectsZDM/Knx/ZTR001-PACKAGED.ini",
                             dataFile("Project/ZTR001-PACKAGED.ini").replace("D2-Uni=2", file));
        else if (!file.isEmpty())
            t->dir.writeFile("out.txt", file);
        const Run r = run(args);
        QTEST(r.exitCode, "exitCode");
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliKnx)
#include "tst_cli_knx.moc"
