// Every file the tool saves, saved where the save must fail: the message of that file's save, and
// the previous good file still whole, with no temporary file left beside it.
// Faults that hold as root: a directory path whose parent is a regular file, a directory standing
// where the file should be, a directory the process may not write into (as user "nobody" when run
// as root), and a file size limit (RLIMIT_FSIZE) that makes the write fail part way.
#include "FaultSupport.h"
#include "TestSupport.h"
#include "../model/GatewayTestTables.h"
#include "model/ProjectSettings.h"
#include "model/Generate.h"
#include "model/SignalTableFile.h"
#include "tools/ProjectListCore.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;
using Record = RecordingPrompter::Record;

namespace {

enum class Saver { AppSettings, ProjectSettings, Description, SignalTable };
enum class Fault { ParentIsFile, DirectoryInPlace, ReadOnlyDirectory, SizeLimit };

// A file several kilobytes long, so that the size limit falls inside the new file.
QByteArray padding(const char *prefix)
{
    QByteArray out;
    for (int i = 0; i < 80; ++i)
        out += prefix + QByteArray::number(i) + "=" + QByteArray(40, 'x') + "\r\n";
    return out;
}

SignalTable bigTable()
{
    SignalTable t;
    for (int r = 0; r < 300; ++r) {
        SignalRow row;
        row[0] = QString::number(r);
        row[1] = QStringLiteral("1");
        row[2] = QStringLiteral("%1 - Signal").arg(r);
        row[3] = QStringLiteral("Controller: On/Off. (R)");
        row[4] = QStringLiteral("01 - Switching (1 bit)");
        row[11] = QStringLiteral("No");
        t.rows << row;
    }
    return t;
}

struct Setup {
    QString dir;      // where the file lives
    QString fileName; // its name
    QString shown;    // the name or path the message names
};

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
private slots:
    void saveFails_data()
    {
        QTest::addColumn<Saver>("saver");
        QTest::addColumn<Fault>("fault");
        const QList<QPair<Saver, const char *>> savers = {{Saver::AppSettings, "settings file"},
                                                         {Saver::ProjectSettings, "project settings"},
                                                         {Saver::Description, "project description"},
                                                         {Saver::SignalTable, "signal table"}};
        const QList<QPair<Fault, const char *>> faults = {{Fault::ParentIsFile, "parent is a file"},
                                                         {Fault::DirectoryInPlace, "directory in place"},
                                                         {Fault::ReadOnlyDirectory, "read-only directory"},
                                                         {Fault::SizeLimit, "size limit mid-way"}};
        for (const auto &s : savers)
            for (const auto &f : faults)
                QTest::newRow(QByteArray(s.second) + ": " + f.second) << s.first << f.first;
    }

    void saveFails()
    {
        QFETCH(Saver, saver);
        QFETCH(Fault, fault);
        TestContext t;
        AppContext &ctx = *t.ctx;
        const QString root = t.dir.path();

        // Where each file lives; for ParentIsFile that directory sits below a regular file.
        const QString base = fault == Fault::ParentIsFile ? root + "/afile" : root;
        if (fault == Fault::ParentIsFile)
            QVERIFY(writeAll(base, "a plain file"));
        Setup s;
        QStringList traversed{root};
        switch (saver) {
        case Saver::AppSettings:
            ctx.programDir = fault == Fault::ParentIsFile ? base + "/program" : root + "/program";
            s = {ctx.programDir, "tarveon-config.ini", "tarveon-config.ini"};
            break;
        case Saver::ProjectSettings:
            ctx.ProjectDir = base + "/ProjectsZDM/Hotel";
            s = {ctx.ProjectDir, "ZTR001-PACKAGED.ini", "ZTR001-PACKAGED.ini"};
            traversed << base + "/ProjectsZDM";
            break;
        case Saver::Description:
            ctx.PathProjects = base + "/ProjectsZDM";
            s = {ctx.PathProjects + "/Hotel", "Project.ini", "Project.ini"};
            traversed << ctx.PathProjects;
            break;
        case Saver::SignalTable:
            ctx.ProjectDir = base + "/ProjectsZDM/Hotel";
            s = {ctx.ProjectDir, "ZTR001-PACKAGED.dat", QDir::toNativeSeparators(ctx.ProjectDir + "/ZTR001-PACKAGED.dat")};
            traversed << base + "/ProjectsZDM";
            break;
        }
        const QString file = s.dir + "/" + s.fileName;

        // The previous good file (none can exist below a plain file).
        QByteArray good;
        if (fault != Fault::ParentIsFile) {
            if (saver == Saver::SignalTable)
                good = "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n" + padding("row");
            else if (saver == Saver::Description)
                good = "[Project]\r\nDesc=old\r\nProt=ZTR001-PACKAGED\r\n" + padding("Note");
            else if (saver == Saver::ProjectSettings)
                good = "[ZTR001-PACKAGED]\r\nIP=10.0.0.9\r\nDevices=2\r\n" + padding("Note");
            else
                good = "[X103]\r\nLanguage=1\r\nCom=3\r\n" + padding("Note");
            if (fault == Fault::DirectoryInPlace) {
                QVERIFY(writeAll(file + "/inside.txt", good));
            } else {
                QVERIFY(writeAll(file, good));
            }
        }
        const QStringList entriesBefore = entriesOf(s.dir);
        const QByteArray plainFileBefore = readAll(base);
        t.prompter.clear();

        // The save.
        bool saved = true;
        {
            std::unique_ptr<FileSizeLimit> limit;
            std::unique_ptr<ReadOnlyDirectory> readOnly;
            if (fault == Fault::SizeLimit) {
                limit = std::make_unique<FileSizeLimit>(good.size() / 2);
                QVERIFY(limit->active());
            } else if (fault == Fault::ReadOnlyDirectory) {
                readOnly = std::make_unique<ReadOnlyDirectory>(s.dir, traversed);
                if (!readOnly->active())
                    QSKIP("the directory cannot be made read-only for this process");
            }
            switch (saver) {
            case Saver::AppSettings:
                ctx.ini.WriteAppSetting("X103", "LastProject", "Hotel Sol with a name long enough " + QString(good.size(), 'n'));
                saved = false; // the write reports only through its message
                break;
            case Saver::ProjectSettings: {
                ProjectSettings settings;
                settings.devices.resize(160);
                for (int n = 0; n < 160; ++n)
                    settings.devices[n] = ProjectSettings::defaultDevice(70, n + 1);
                // The editor shows the fault in the platform's message box.
                const QString fault = settings.save(ctx, 70);
                saved = fault.isEmpty();
                if (!saved)
                    ctx.prompter->platformBox(BoxKind::Information, kAppTitle, fault);
                break;
            }
            case Saver::Description: {
                ProjectListCore list(ctx);
                list.beginEdit({"Hotel", "ZTR001-PACKAGED", "old"});
                ProjectDialogCore dialog(ctx, list);
                dialog.load();
                saved = dialog.accept("Hotel", "new " + QString(good.size(), 'd'), "ZTR001-PACKAGED");
                QVERIFY(saved); // the dialog closes; the failed write is only reported
                saved = false;
                break;
            }
            case Saver::SignalTable:
                saved = WriteSignalTable(ctx, 70, "1.0", bigTable());
                break;
            }
        }
        QVERIFY(!saved);

        // One message, the one of that file's save.
        QCOMPARE(t.prompter.records.size(), 1);
        const Record &shown = t.prompter.records.first();
        QCOMPARE(shown.title, kAppTitle);
        if (saver == Saver::SignalTable) {
            const QString key = fault == Fault::SizeLimit ? "X40" : "X68";
            const QString start = ctx.GetText(key) + "\r" + s.shown + "\rError: \r";
            QCOMPARE(shown.kind, Record::MsgBox);
            QVERIFY2(shown.text.startsWith(start) && shown.text.size() > start.size(), qPrintable(shown.text));
        } else {
            QCOMPARE(shown.kind, Record::PlatformBox);
            QCOMPARE(shown.text, ctx.GetText("X31") + s.shown);
        }

        // Nothing lost, nothing left over.
        QCOMPARE(entriesOf(s.dir), entriesBefore);
        if (fault == Fault::ParentIsFile)
            QCOMPARE(readAll(base), plainFileBefore);
        else if (fault == Fault::DirectoryInPlace)
            QCOMPARE(readAll(file + "/inside.txt"), good);
        else
            QCOMPARE(readAll(file), good);
    }

    // Generating the gateway file where it cannot be written: the "X32" message with the path and
    // the system's error, a result that says so, no crash, and no temporary file left behind.
    void gatewayFileFails_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("parent is a file") << Fault::ParentIsFile;
        QTest::newRow("directory in place") << Fault::DirectoryInPlace;
        QTest::newRow("read-only directory") << Fault::ReadOnlyDirectory;
        QTest::newRow("size limit mid-way") << Fault::SizeLimit;
    }
    void gatewayFileFails()
    {
        QFETCH(Fault, fault);
        TestContext t;
        AppContext &ctx = *t.ctx;
        const QString root = t.dir.path();
        ctx.ProjectProtocol = "ZTR001-PACKAGED";
        if (fault == Fault::ParentIsFile) {
            QVERIFY(writeAll(root + "/afile", "a plain file"));
            ctx.ProjectDir = root + "/afile/Hotel";
        } else {
            ctx.ProjectDir = root + "/ProjectsZDM/Hotel";
            QVERIFY(QDir().mkpath(ctx.ProjectDir));
        }
        const QString path = ctx.ProjectDir + "/ZTR001-PACKAGED.zdm";
        if (fault == Fault::DirectoryInPlace)
            QVERIFY(writeAll(path + "/inside.txt", "kept"));
        QList<Sig> rows;
        for (int code = 0; code < 30; ++code)
            rows << Sig{1, code, 1, QStringLiteral("1/0/%1").arg(code + 1), "", "RWT"};
        const QStringList entriesBefore = entriesOf(ctx.ProjectDir);
        t.prompter.clear();
        GenerateResult result;
        {
            std::unique_ptr<FileSizeLimit> limit;
            std::unique_ptr<ReadOnlyDirectory> readOnly;
            if (fault == Fault::SizeLimit)
                limit = std::make_unique<FileSizeLimit>(200);
            else if (fault == Fault::ReadOnlyDirectory)
                readOnly = std::make_unique<ReadOnlyDirectory>(ctx.ProjectDir, QStringList{root, root + "/ProjectsZDM"});
            if (readOnly && !readOnly->active())
                QSKIP("the directory cannot be made read-only for this process");
            result = GenerateFromProject(ctx, makeSettings(1, {1}), makeTable(rows));
        }
        QVERIFY(result.modelBuilt);
        QVERIFY(!result.ok);
        QVERIFY(result.bytes.size() > 200);
        QCOMPARE(t.prompter.records.size(), 1);
        QCOMPARE(t.prompter.records[0].text, ctx.GetText("X32") + path + "\rError: \r" + result.error);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(entriesOf(ctx.ProjectDir), entriesBefore);
        if (fault == Fault::DirectoryInPlace)
            QCOMPARE(readAll(path + "/inside.txt"), QByteArray("kept"));
    }

    // After the fault has gone, the same save succeeds: nothing was left that blocks it.
    void saveAfterSizeLimitSucceeds()
    {
        TestContext t;
        AppContext &ctx = *t.ctx;
        ctx.ProjectDir = t.dir.filePath("ProjectsZDM/Hotel");
        QVERIFY(writeAll(ctx.ProjectDir + "/ZTR001-PACKAGED.dat", "old"));
        {
            FileSizeLimit limit(1024);
            QVERIFY(!WriteSignalTable(ctx, 70, "1.0", bigTable()));
        }
        QCOMPARE(readAll(ctx.ProjectDir + "/ZTR001-PACKAGED.dat"), QByteArray("old"));
        t.prompter.clear();
        QVERIFY(WriteSignalTable(ctx, 70, "1.0", bigTable()));
        QVERIFY(t.prompter.records.isEmpty());
        QCOMPARE(entriesOf(ctx.ProjectDir), QStringList{"ZTR001-PACKAGED.dat"});
        QVERIFY(readAll(ctx.ProjectDir + "/ZTR001-PACKAGED.dat").startsWith("PROTOCOLO=70-ZTR001-PACKAGED\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
