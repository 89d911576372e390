#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// A stored signal table row: device, code, address, further addresses, R W T U, yes/no number.
QByteArray datRow(int n, int device, int code, const char *group, const char *listen, const char *flags, int yes)
{
    const QList<QByteArray> f = QByteArray(flags).split(' ');
    QByteArray line = QByteArray::number(n) + '\t' + QByteArray::number(device) + '\t' + QByteArray::number(code)
                      + " - x\tdesc\t01\t" + group + '\t' + listen + '\t';
    for (const QByteArray &cell : f)
        line += (cell == "-" ? QByteArray() : cell) + '\t';
    return line + QByteArray::number(yes) + "\t\r\n";
}

} // namespace

class TestCliGenerate : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> t;
    QString cli;
    QString project;

    Run run(const QStringList &args)
    {
        QProcess p;
        p.start(cli, args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    QString text(const char *key) { return t->ctx->GetText(QString::fromLatin1(key)); }

    void writeProject(const QByteArray &settings, const QByteArray &rows)
    {
        t->dir.writeFile("ProjectsZDM/Demo/Project.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\nDesc=Demo\r\n");
        t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.ini", settings);
        if (!rows.isEmpty())
            t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.dat",
                             "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                             "\tUnit\tCode\tDesc\tEIS\tGroup\tFurther\tR\tW\tT\tU\tUse\t\r\n"
                             + rows);
    }

    static QByteArray twoUnits(const char *phyAdd = "15.15.255", const char *secondUni = "2")
    {
        return QByteArray("[ZTR001-PACKAGED]\r\nDevices=2\r\nD1-Active=1\r\nD1-Sys=0\r\nD1-Uni=1\r\n"
                          "D2-Active=1\r\nD2-Sys=0\r\nD2-Uni=")
               + secondUni + "\r\n[EIB]\r\nPhyAdd=" + phyAdd + "\r\n";
    }

    // Controller status, unit 1 on/off, unit 1 code 6 (read-only, with a W the flag rules drop),
    // unit 2 on/off listening to unit 1's on/off.
    static QByteArray goodRows(const char *secondGroup = "1/0/4")
    {
        return datRow(1, 1, 100, "1/0/1", "", "R - T -", 1) + datRow(2, 1, 0, "1/0/2", "", "- W - -", 1)
               + datRow(3, 1, 6, "1/0/3", "", "R W T -", 1) + datRow(4, 2, 0, secondGroup, "1/0/2", "- W - -", 1);
    }

    QByteArray projectFile(const QString &name) { return t->dir.readFile("ProjectsZDM/Demo/" + name); }
    QStringList projectFiles() { return QDir(project).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

private slots:
    void init()
    {
        t = std::make_unique<TestContext>();
        // The command line runs from a program directory of its own, beside its language file.
        cli = t->dir.filePath("tarveon-cli");
        QVERIFY(QFile::copy(QStringLiteral(TARVEON_BIN_DIR "/tarveon-cli"), cli));
        QFile::setPermissions(cli, QFile::permissions(cli) | QFileDevice::ExeOwner);
        project = t->dir.filePath("ProjectsZDM/Demo");
    }

    void help()
    {
        Run r = run({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("validate PROJECT_DIR"));
        QVERIFY(r.out.contains("generate PROJECT_DIR"));
        r = run({"generate", "--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("generate PROJECT_DIR"));
        QVERIFY(r.err.isEmpty());
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("no directory") << QStringList{"validate"};
        QTest::newRow("two directories") << QStringList{"generate", "a", "b"};
        QTest::newRow("unknown option") << QStringList{"generate", "--force", "a"};
        QTest::newRow("unknown command") << QStringList{"make", "a"};
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        const Run r = run(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("usage: tarveon-cli"));
        QVERIFY(r.out.isEmpty());
    }

    void notAProject()
    {
        Run r = run({"validate", t->dir.filePath("missing")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("missing"));
        QDir().mkpath(project);
        r = run({"generate", project});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("Project.ini"));
        QVERIFY(projectFiles().isEmpty());
    }

    void validatePassesAndWritesNothing()
    {
        writeProject(twoUnits(), goodRows());
        const QByteArray settingsBefore = projectFile("ZTR001-PACKAGED.ini");
        const QByteArray tableBefore = projectFile("ZTR001-PACKAGED.dat");
        const Run r = run({"validate", project});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(projectFiles(), (QStringList{"Project.ini", "ZTR001-PACKAGED.dat", "ZTR001-PACKAGED.ini"}));
        QCOMPARE(projectFile("ZTR001-PACKAGED.ini"), settingsBefore);
        QCOMPARE(projectFile("ZTR001-PACKAGED.dat"), tableBefore);
    }

    void checksRefuse_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("group used twice") << twoUnits() << goodRows("1/0/2")
                                          << text("X38") + "EIB: 1/0/2" + text("X73");
        QTest::newRow("physical address") << twoUnits("0.0.0") << goodRows() << text("EIB31");
        QTest::newRow("devices") << twoUnits("15.15.255", "1") << goodRows()
                                 << "Not allowed 2 devices with same Sytem-Unit: 0-1";
        QTest::newRow("no signal in use") << twoUnits() << datRow(1, 1, 0, "1/0/2", "", "- W - -", 0)
                                          << text("EIB36");
    }

    void checksRefuse()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, rows);
        QFETCH(QString, message);
        writeProject(settings, rows);
        const bool generatorStop = message == text("EIB36");
        for (const QString &command : {QString("validate"), QString("generate")}) {
            const Run r = run({command, project});
            if (generatorStop && command == "validate") {
                QCOMPARE(r.exitCode, 0);
                continue;
            }
            QCOMPARE(r.err, message + "\n");
            QCOMPARE(r.out, QString());
            QCOMPARE(r.exitCode, 1);
            QVERIFY(!projectFiles().contains("ZTR001-PACKAGED.zdm"));
        }
    }

    void generateWritesTheFile()
    {
        writeProject(twoUnits(), goodRows());
        const QByteArray tableBefore = projectFile("ZTR001-PACKAGED.dat");
        const Run r = run({"generate", project});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.exitCode, 0);
        const QByteArray file = projectFile("ZTR001-PACKAGED.zdm");
        // 4 groups, 1 link, 2 units: 4 + 313 + 44 + 2 + 162 bytes.
        QCOMPARE(file.size(), 525);
        qint32 sum = 0;
        for (char c : file.mid(4))
            sum += quint8(c);
        QCOMPARE(r.out, text("X39") + " EIB:4 Add.Listen:1 Bytes:525. ChkSum:" + QString::number(sum, 16).toUpper()
                            + " " + text("A20") + "\n");
        // Group 1/0/3 (code 6, read-only): the stored W was dropped by the flag rules -> R T.
        QCOMPARE(file.mid(4 + 331, 11).toHex(' '), QByteArray("03 08 06 00 ff ff 00 0a 0e 03 08"));
        // Group 1/0/2 carries the link from unit 2's group 1/0/4 (index 3).
        QCOMPARE(file.mid(4 + 320, 11).toHex(' '), QByteArray("02 08 00 00 00 00 01 04 01 02 08"));
        QCOMPARE(file.mid(4 + 353, 6).toHex(' '), QByteArray("01 00 03 00 02 00"));
        // The stored table is not rewritten.
        QCOMPARE(projectFile("ZTR001-PACKAGED.dat"), tableBefore);
    }

    void unwritableTarget()
    {
        writeProject(twoUnits(), goodRows());
        QDir().mkpath(project + "/ZTR001-PACKAGED.zdm"); // a directory where the file should go
        const Run r = run({"generate", project});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith(text("X32") + project + "/ZTR001-PACKAGED.zdm Error:  "), qPrintable(r.err));
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(QFileInfo(project + "/ZTR001-PACKAGED.zdm").isDir());
    }

    void missingTableFileKeepsTheFreshTable()
    {
        writeProject(twoUnits(), QByteArray());
        const QString x67 = text("X67");
        Run r = run({"validate", project});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.startsWith(x67), qPrintable(r.err));
        r = run({"generate", project});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.endsWith(text("EIB36") + "\n"));
    }

    void languageFromTheSettingsFile()
    {
        t->dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=1\r\n");
        AppContext second(t->dir.path(), "tarveon-config", &t->prompter);
        QVERIFY(second.language.LoadLanguage());
        const QString spanish = second.GetText("EIB31");
        QVERIFY(spanish != text("EIB31"));
        writeProject(twoUnits("16.0.0"), goodRows());
        const Run r = run({"validate", project});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.err, spanish + "\n");
    }
};

QTEST_GUILESS_MAIN(TestCliGenerate)
#include "tst_cli_generate.moc"
