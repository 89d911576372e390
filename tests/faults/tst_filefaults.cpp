// Every user file the core reads or saves, broken as files and disks break. A damaged file is read
// as far as it goes or refused with its message, and a later save keeps what it did not read. A
// save that must fail (disk full part way: a save device failing after N bytes; a directory in the
// file's place; a missing directory) gives the writer's message, the previous file whole.
#include "TestSupport.h"
#include "../model/GatewayTestTables.h"
#include "model/Generate.h"
#include "model/LinkSignals.h"
#include "model/ModKorvaneEIB.h"
#include "model/SignalTableFile.h"

#include <QtTest>
#include <sys/stat.h>

using namespace tarveon;
using namespace tarveon::test;

namespace {

enum Input { Language, Settings, Table };
enum Damage { Empty, Truncated, Junk, MegabyteLine, HugeCount };
const qsizetype kMegabyte = 1024 * 1024;

QByteArray damaged(int input, int damage)
{
    const QByteArray bytes = input == Language ? readAll(resourcesDir() + "/RESOURCES.LNG")
                             : input == Settings ? QByteArray("[X103]\r\nLanguage=1\r\nCom=3\r\nSettings=9600,n,8,1\r\nLastProject=Hotel\r\n")
                                                 : QByteArray("PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n\tUnit\tCode\r\n"
                                                   "1\t1\t100-Status\tOn/Off\t01 - Switching (1 bit)\t1/0/1\t\tR\t\tT\t\t1\t\r\n"
                                                   "2\t1\t101-Alarm\tAlarm\t01 - Switching (1 bit)\t1/0/2\t1/0/3\tR\tW\t\tU2\t1\t\r\n");
    const qsizetype second = bytes.indexOf('\n') + 1;
    if (damage == Truncated)
        return bytes.left(bytes.size() / 2 + 3);
    if (damage == Junk)
        return junk(quint32(input) + 7, 64 * 1024);
    if (damage == MegabyteLine) // as the second line, the big text its second field
        return bytes.left(second) + "BIG\t" + QByteArray(kMegabyte, 'x') + "\r\nBig=" + QByteArray(kMegabyte, 'y')
               + "\r\n" + bytes.mid(second);
    if (damage == HugeCount && input == Table)
        return QByteArray(bytes).replace("CAMPOS=12", "CAMPOS=2000000000");
    if (damage == HugeCount)
        return bytes.left(second) + "Devices=2000000000\r\nCom=2000000000\r\n" + bytes.mid(second);
    return {};
}


// The writers, by the file each saves.
const QStringList kFiles{"tarveon-config.ini", "Project.ini", "ZTR001-PACKAGED.ini", "ZTR001-PACKAGED.dat",
                         "ZTR001-PACKAGED.zdm"};
enum Writer { AppFile, DescriptionFile, ProjectFile, TableFile, GatewayFile };

QStringList entriesOf(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

mode_t modeOf(const QString &file)
{
    struct stat st {};
    ::stat(QFile::encodeName(file).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

class TestFileFaults : public QObject {
    Q_OBJECT
    TestContext t;
    AppContext &ctx() { return *t.ctx; }
    QString fileOf(int w) { return (w == AppFile ? ctx().programDir : ctx().ProjectDir) + "/" + kFiles[w]; }

    // Saves with the writer; the messages it returned or showed, as the user sees them.
    QStringList save(int w)
    {
        std::optional<Fault> fault;
        Faults faults;
        ctx().IniFileName.clear();
        if (w == AppFile)
            fault = ctx().ini.saveAppSetting("X103", "LastProject", QString(300, 'n'));
        else if (w == DescriptionFile)
            fault = ctx().ini.saveProjectSetting("Project", "Desc", QString(300, 'n'));
        else if (w == ProjectFile)
            fault = makeSettings(160, {}).save(ctx(), 70);
        else if (w == TableFile)
            fault = WriteSignalTable(ctx(), 70, "1.0", makeTable(QList<Sig>(50, Sig{1, 0, 1, "1/0/1"})));
        else
            faults = GenerateFromProject(ctx(), makeSettings(1, {1}), makeTable({{1, 0, 1, "1/0/1", "", "W"}})).faults;
        ctx().show(fault);
        ctx().show(faults);
        return t.prompter.texts();
    }

    // The one message of a failed save: "X31" and the file name, or the key, path and error.
    void checkMessage(int w, const QStringList &shown, const char *tableKey)
    {
        const QString path = QDir::toNativeSeparators(fileOf(w));
        const QString start = w == TableFile ? ctx().GetText(tableKey) + "\r" + path + "\rError: \r"
                              : w == GatewayFile ? ctx().GetText("X32") + path + "\rError: \r"
                                                 : ctx().GetText("X31") + kFiles[w];
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(start), qPrintable(shown[0]));
        QCOMPARE(shown[0] == start, w < TableFile); // the system's error follows the path
    }

    // A previous good file, a directory in the file's place, or no directory at all.
    QByteArray prepare(int w, const QString &place)
    {
        for (const char *d : {"program", "Hotel", "gone"})
            QDir(t.dir.filePath(d)).removeRecursively();
        t.prompter.clear();
        ctx().saveDevice = {};
        ctx().programDir = t.dir.filePath(place == "missing" ? "gone/program" : "program");
        ctx().ProjectDir = t.dir.filePath(place == "missing" ? "gone/Hotel" : "Hotel");
        const QByteArray good = "[X103]\r\nGood=" + QByteArray(100, 'g') + "\r\n";
        if (place != "missing")
            writeAll(fileOf(w) + (place == "directory" ? "/inside.txt" : ""), good);
        return good;
    }

private slots:
    void init()
    {
        QFile::remove(t.dir.filePath("tarveon-config.LNG"));
        QFile::remove(t.dir.filePath("tarveon-config.ini"));
        QDir(t.dir.filePath("Hotel")).removeRecursively();
        ctx().programDir = t.dir.path();
        ctx().ProjectDir = t.dir.filePath("Hotel");
        ctx().ProjectProtocol = "ZTR001-PACKAGED";
        ctx().language.LoadLanguage();
        t.prompter.clear();
    }

    void damagedInput_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("damage");
        for (const int input : {Language, Settings, Table}) {
            for (const int damage : {Empty, Truncated, Junk, MegabyteLine, HugeCount})
                QTest::addRow("%s, %s", QList<const char *>{"language", "settings", "table"}[input],
                              QList<const char *>{"empty", "truncated", "junk", "1 MB line", "count 2e9"}[damage])
                    << input << damage;
        }
    }
    void damagedInput()
    {
        QFETCH(int, input);
        QFETCH(int, damage);
        const QByteArray bytes = damaged(input, damage);
        const QString file = t.dir.filePath(QStringList{"tarveon-config.LNG", "tarveon-config.ini", "Hotel/ZTR001-PACKAGED.dat"}[input]);
        QVERIFY(writeAll(file, bytes));
        if (input == Language) {
            const bool loaded = ctx().language.LoadLanguage();
            QVERIFY(loaded || damage == Empty || damage == Junk);
            if (!loaded)
                QCOMPARE(t.prompter.texts(), QStringList{"Error or File not found. " + file});
            else if (damage != Junk)
                QVERIFY(ctx().language.Languages().size() == 2 && ctx().language.hasKey("X1") && t.prompter.records.isEmpty());
            QCOMPARE(ctx().language.textOrEmpty("BIG").size(), damage == MegabyteLine ? kMegabyte : 0);
        } else if (input == Settings) {
            const qint32 com = ctx().ini.ReadAppSettingInt("X103", "Com", 1);
            QCOMPARE(com, damage == HugeCount ? 2000000000 : damage == Empty || damage == Junk ? 1 : 3);
            QCOMPARE(ctx().ini.ReadAppSetting("X103", "Big", ""), damage == MegabyteLine ? QString(254, 'y') : QString());
            ctx().ini.WriteAppSetting("X103", "LastProject", "Hotel Sol"); // the rest stays
            QCOMPARE(ctx().ini.ReadAppSettingInt("X103", "Com", 1), com);
            QVERIFY(readAll(file).size() > bytes.size());
            QVERIFY(t.prompter.records.isEmpty());
        } else {
            StoredSignalTable stored;
            const std::optional<Fault> fault = ReadSignalTable(ctx(), 70, "1.0", stored);
            const QString key = damage == Empty || damage == Junk ? "X28" : damage == MegabyteLine ? "X45" : "";
            QCOMPARE(fault ? fault->key : QString(), key);
            QVERIFY(damage != MegabyteLine || fault->text.endsWith("\rBIG\t" + QString(kMegabyte, 'x')));
            QCOMPARE(stored.rowCount(), key.isEmpty() ? (damage == Truncated ? 1 : 2) : 0);
            QCOMPARE(stored.fieldCount, damage == HugeCount ? 2000000000 : key.isEmpty() ? 12 : 0);
            QVERIFY(damage != HugeCount || stored.heldFields(1) == 11); // what the line has, not the header's count
        }
    }

    // A device count of two thousand million in the settings the link reads on identification:
    // only the chillers a project can have are looked at.
    void hugeDeviceCountOnLine()
    {
        ctx().ProjectProtocol = "ZTR001-CHILLER";
        writeAll(ctx().ProjectDir + "/ZTR001-CHILLER.ini", "[ZTR001-CHILLER]\r\nDevices=2000000000\r\nD1-Active=1\r\nD9-Active=1\r\n");
        writeAll(ctx().ProjectDir + "/ZTR001-CHILLER.dat", "PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n\tH\r\n"
                                                         "1\t1\t100-Status\t\t\t1/0/1\t\tR\t\tT\t\t1\t\r\n"
                                                         "2\t9\t100-Status\t\t\t1/0/9\t\tR\t\tT\t\t1\t\r\n");
        LinkTables tables;
        tables.clear();
        QVERIFY(!LoadLinkSignals(ctx(), tables));
        QCOMPARE(tables.count(), 1);
        QCOMPARE(tables.signals_[1].fields[1], QStringLiteral("1"));
    }
    void diskFillsPartWay_data()
    {
        QTest::addColumn<int>("writer");
        for (int w = AppFile; w <= GatewayFile; ++w)
            QTest::newRow(qPrintable(kFiles[w])) << w;
    }
    void diskFillsPartWay()
    {
        QFETCH(int, writer);
        const QByteArray good = prepare(writer, "good");
        const QStringList before = entriesOf(QFileInfo(fileOf(writer)).path());
        ctx().saveDevice = failAfter(64);
        checkMessage(writer, save(writer), "X40");
        if (writer == GatewayFile) { // the old file went first: it is never uploaded as if new
            QVERIFY(entriesOf(ctx().ProjectDir).isEmpty());
            return;
        }
        QCOMPARE(readAll(fileOf(writer)), good);
        QCOMPARE(entriesOf(QFileInfo(fileOf(writer)).path()), before);
        ctx().saveDevice = {}; // the fault gone, the same save goes through
        t.prompter.clear();
        QCOMPARE(save(writer), QStringList());
    }

    void directoryInPlace_data() { diskFillsPartWay_data(); }
    void directoryInPlace()
    {
        QFETCH(int, writer);
        const QByteArray good = prepare(writer, "directory");
        const QStringList before = entriesOf(QFileInfo(fileOf(writer)).path());
        checkMessage(writer, save(writer), "X68");
        QCOMPARE(readAll(fileOf(writer) + "/inside.txt"), good);
        QCOMPARE(entriesOf(QFileInfo(fileOf(writer)).path()), before);
    }

    void missingParent_data() { diskFillsPartWay_data(); }
    void missingParent()
    {
        QFETCH(int, writer);
        prepare(writer, "missing");
        checkMessage(writer, save(writer), "X68");
        QVERIFY(!QFileInfo::exists(t.dir.filePath("gone")));
    }

    // New files get the user's default permissions, never more; a replaced file keeps its own.
    void permissions_data() { diskFillsPartWay_data(); }
    void permissions()
    {
        QFETCH(int, writer);
        prepare(writer, "good");
        const mode_t saved = ::umask(027);
        ::chmod(QFile::encodeName(fileOf(writer)).constData(), 0600);
        save(writer);
        const mode_t replaced = modeOf(fileOf(writer));
        QFile::remove(fileOf(writer));
        save(writer);
        ::umask(saved);
        QCOMPARE(replaced, mode_t(writer == GatewayFile ? 0640 : 0600));
        QCOMPARE(modeOf(fileOf(writer)), mode_t(0640));
    }

    // A copy into a project never writes through a link standing where the copy goes, and never
    // takes the source's permissions.
    void copyAsNew()
    {
        const QString outside = t.dir.filePath("outside.txt"), source = t.dir.filePath("source.dat");
        writeAll(outside, "outside");
        writeAll(source, "template");
        ::chmod(QFile::encodeName(source).constData(), 0777);
        QVERIFY(QFile::link(outside, t.dir.filePath("link.dat")));
        QVERIFY(!copyFileAsNew(source, t.dir.filePath("link.dat")).isEmpty());
        QCOMPARE(readAll(outside), QByteArray("outside"));
        QVERIFY(copyFileAsNew(source, t.dir.filePath("copy.dat")).isEmpty());
        QCOMPARE(readAll(t.dir.filePath("copy.dat")), QByteArray("template"));
        QCOMPARE(modeOf(t.dir.filePath("copy.dat")) & 0111, mode_t(0));
    }
};

QTEST_GUILESS_MAIN(TestFileFaults)
#include "tst_filefaults.moc"
