// No file the tool writes gets more permissions than the user's default (read and write as the
// umask allows, never execute): new files, files replaced by a save, and the copies a new project
// takes from templates or from another project, whatever permissions those sources carry.
#include "FaultSupport.h"
#include "TestSupport.h"
#include "model/ProjectSettings.h"
#include "model/SignalTableFile.h"
#include "tools/ProjectListCore.h"

#include <QtTest>
#include <sys/stat.h>

using namespace tarveon;
using namespace tarveon::test;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 07777;
    return st.st_mode & 07777;
}

void setMode(const QString &path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

// The process's umask for the life of the object.
class Umask {
public:
    explicit Umask(mode_t mask) : m_saved(::umask(mask)) {}
    ~Umask() { ::umask(m_saved); }

private:
    mode_t m_saved;
};

SignalTable oneRowTable()
{
    SignalTable t;
    t.rows.resize(2);
    t.rows[1][0] = QStringLiteral("1");
    return t;
}

} // namespace

class TestFileModes : public QObject {
    Q_OBJECT
private slots:
    void newFiles_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("umask 022") << 022;
        QTest::newRow("umask 077") << 077;
        QTest::newRow("umask 002") << 002;
    }
    void newFiles()
    {
        QFETCH(int, mask);
        const mode_t file = 0666 & ~mode_t(mask);
        const mode_t dir = 0777 & ~mode_t(mask);
        TestContext t;
        AppContext &ctx = *t.ctx;
        // Templates with every bit set: the copies take none of the extra ones.
        for (const char *name : {"ZTR001-PACKAGED.ini", "ZTR001-PACKAGED.dat"}) {
            QVERIFY(writeAll(ctx.PathTemplates + "/" + QLatin1String(name), "[ZTR001-PACKAGED]\r\nDevices=1\r\n"));
            setMode(ctx.PathTemplates + "/" + QLatin1String(name), 0777);
        }
        const Umask narrowed{mode_t(mask)};

        ctx.ini.WriteAppSetting("X103", "LastProject", "Hotel");
        QCOMPARE(modeOf(t.dir.filePath("tarveon-config.ini")), file);

        ProjectListCore list(ctx);
        QVERIFY(list.fill());
        QVERIFY(list.beginNew(nullptr));
        ProjectDialogCore dialog(ctx, list);
        dialog.load();
        QVERIFY(dialog.accept("Hotel", "d", "ZTR001-PACKAGED"));
        QVERIFY(t.prompter.records.isEmpty());
        const QString project = ctx.PathProjects + "/Hotel";
        QCOMPARE(modeOf(project), dir);
        QCOMPARE(modeOf(project + "/Project.ini"), file);
        QCOMPARE(modeOf(project + "/ZTR001-PACKAGED.ini"), file);
        QCOMPARE(modeOf(project + "/ZTR001-PACKAGED.dat"), file);

        // A copy of a project whose files carry execute and write bits for everyone.
        setMode(project + "/ZTR001-PACKAGED.dat", 0777);
        QVERIFY(list.fill());
        const ProjectEntry hotel = list.entries().value(0);
        QCOMPARE(hotel.name, QStringLiteral("Hotel"));
        t.prompter.boxAnswers = {BoxAnswer::Yes};
        QVERIFY(list.beginNew(&hotel));
        ProjectDialogCore copyDialog(ctx, list);
        copyDialog.load();
        QVERIFY(copyDialog.accept("Copy", "d", "ZTR001-PACKAGED"));
        QCOMPARE(modeOf(ctx.PathProjects + "/Copy"), dir);
        QCOMPARE(modeOf(ctx.PathProjects + "/Copy/ZTR001-PACKAGED.dat"), file);
        QCOMPARE(modeOf(ctx.PathProjects + "/Copy/Project.ini"), file);

        // New files of a save.
        ctx.ProjectDir = ctx.PathProjects + "/Copy";
        QFile::remove(ctx.ProjectDir + "/ZTR001-PACKAGED.dat");
        QFile::remove(ctx.ProjectDir + "/ZTR001-PACKAGED.ini");
        QVERIFY(WriteSignalTable(ctx, 70, "1.0", oneRowTable()));
        QCOMPARE(modeOf(ctx.ProjectDir + "/ZTR001-PACKAGED.dat"), file);
        QVERIFY(ProjectSettings().save(ctx, 70).isEmpty());
        QCOMPARE(modeOf(ctx.ProjectDir + "/ZTR001-PACKAGED.ini"), file);
    }

    // A file the user has narrowed keeps its permissions through a save (it is not widened to the
    // default), and a file with wider ones is not made wider still.
    void savesKeepTheFilesPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("owner only") << 0600;
        QTest::newRow("read-only for the group") << 0640;
        QTest::newRow("the default") << 0644;
    }
    void savesKeepTheFilesPermissions()
    {
        QFETCH(int, mode);
        TestContext t;
        AppContext &ctx = *t.ctx;
        const Umask narrowed(022);
        ctx.ProjectDir = ctx.PathProjects + "/Hotel";
        const QStringList files = {t.dir.filePath("tarveon-config.ini"), ctx.ProjectDir + "/ZTR001-PACKAGED.ini",
                                   ctx.ProjectDir + "/ZTR001-PACKAGED.dat"};
        for (const QString &f : files) {
            QVERIFY(writeAll(f, "old"));
            setMode(f, mode_t(mode));
        }
        ctx.ini.WriteAppSetting("X103", "LastProject", "Hotel");
        QVERIFY(ProjectSettings().save(ctx, 70).isEmpty());
        QVERIFY(WriteSignalTable(ctx, 70, "1.0", oneRowTable()));
        QVERIFY(t.prompter.records.isEmpty());
        for (const QString &f : files) {
            QVERIFY2(readAll(f) != "old", qPrintable(f));
            QCOMPARE(modeOf(f), mode_t(mode));
        }
    }

    // A copy never writes through a link that stands where a copied file goes.
    void copyDoesNotFollowALinkAtTheTarget()
    {
        TestContext t;
        AppContext &ctx = *t.ctx;
        QVERIFY(writeAll(ctx.PathTemplates + "/ZTR001-PACKAGED.ini", "template"));
        const QString outside = t.dir.filePath("outside.txt");
        QVERIFY(writeAll(outside, "outside"));
        const QString target = t.dir.filePath("target");
        QVERIFY(QDir().mkpath(target));
        QVERIFY(QFile::link(outside, target + "/ZTR001-PACKAGED.ini"));
        QVERIFY(QFile::link(t.dir.filePath("nowhere"), target + "/ZTR001-PACKAGED.dat"));
        QVERIFY(writeAll(ctx.PathTemplates + "/ZTR001-PACKAGED.dat", "dat"));
        ProjectListCore list(ctx);
        ProjectDialogCore dialog(ctx, list);
        QVERIFY(dialog.copyFiles(ctx.PathTemplates, target, "ZTR001-PACKAGED.*"));
        QCOMPARE(t.prompter.records.size(), 2); // "X100" for each file that could not be copied
        QCOMPARE(readAll(outside), QByteArray("outside"));
        QVERIFY(!QFileInfo::exists(t.dir.filePath("nowhere")));
    }
};

QTEST_GUILESS_MAIN(TestFileModes)
#include "tst_filemodes.moc"
