// Every user file the tool saves, saved where the save must fail: the writer's message, the
// previous file whole and no temporary file left beside it. The disk that fills is a save device
// that fails after N bytes (AppContext::saveDevice); the other faults are real paths.
#include "TestSupport.h"
#include "../model/GatewayTestTables.h"
#include "model/Generate.h"
#include "model/SignalTableFile.h"

#include <QtTest>
#include <sys/stat.h>

using namespace tarveon;
using namespace tarveon::test;

namespace {

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

class TestSaveFaults : public QObject {
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
            makeSettings(160, {}).save(ctx(), 70);
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
    void init() { ctx().ProjectProtocol = "ZTR001-PACKAGED"; }

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

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
