// Project names that try to leave the projects directory, through every way a name comes in: the
// project dialog (new and rename), opening by name (command line, last project), the list's Open
// and Delete with a forged entry. Nothing outside the projects directory is created, changed or
// removed, and nothing inside changes either when the name is refused.
#include "FaultSupport.h"
#include "TestSupport.h"
#include "tools/Projects.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

struct Fixture {
    Fixture()
    {
        ctx().PathProjects = t.dir.filePath("Program/ProjectsZDM");
        ctx().PathTemplates = t.dir.filePath("TemplatesZDM");
        writeAll(ctx().PathProjects + "/Hotel/Project.ini", "[Project]\r\nDesc=d\r\nProt=ZTR001-PACKAGED\r\n");
        writeAll(ctx().PathProjects + "/Hotel/ZTR001-PACKAGED.ini", "[ZTR001-PACKAGED]\r\nDevices=1\r\n");
        // What a name that escapes would reach: a project-like directory beside and above.
        writeAll(t.dir.filePath("Program/Outside/Project.ini"), "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        writeAll(t.dir.filePath("Program/Project.ini"), "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        t.prompter.clear();
    }
    AppContext &ctx() { return *t.ctx; }
    TestContext t;
};

} // namespace

class TestProjectNames : public QObject {
    Q_OBJECT
private slots:
    void namesThatLeave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "..";
        QTest::newRow("current") << ".";
        QTest::newRow("up and over") << "../Outside";
        QTest::newRow("up twice") << "../../Program";
        QTest::newRow("absolute") << t_abs();
        QTest::newRow("backslashes") << "..\\Outside";
        QTest::newRow("NUL then parent") << QStringLiteral("..") + QChar(0) + QStringLiteral("x");
        QTest::newRow("name then NUL") << QStringLiteral("Hotel") + QChar(0) + QStringLiteral("/../../x");
        QTest::newRow("line break") << "Ho\ntel";
        QTest::newRow("only blanks") << "   ";
        QTest::newRow("empty") << "";
    }
    void namesThatLeave()
    {
        QFETCH(QString, name);
        Fixture f;
        const auto before = snapshot(f.t.dir.path());

        QVERIFY(!IsValidProjectName(name));

        // The dialog: a new project, and renaming "Hotel".
        for (const qint16 mode : {qint16(1), qint16(2)}) {
            ProjectList list(f.ctx());
            if (mode == 1)
                list.BeginNew(nullptr);
            else
                list.BeginEdit({"Hotel", "ZTR001-PACKAGED", "d"});
            ProjectDialog dialog(f.ctx(), list);
            dialog.Load();
            f.t.prompter.clear();
            QVERIFY(!dialog.Accept(name, "x", "ZTR001-PACKAGED"));
            QCOMPARE(f.t.prompter.texts(), QStringList{f.ctx().GetText("X98")});
        }

        // Opening by name, and the list's Open and Delete with a forged entry.
        f.ctx().ProjectDir = "/before";
        QVERIFY(!OpenProject(f.ctx(), name));
        QCOMPARE(f.ctx().ProjectDir, QStringLiteral("/before"));
        // A name that is a path (or could be taken for one) is refused outright; other bad names
        // only name a project that does not exist.
        const bool path = name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\\')
                       || name.contains(QChar(0));
        f.ctx().ProjectName = "Hotel";
        ProjectList list(f.ctx());
        const ProjectEntry forged{name, "ZTR001-PACKAGED", ""};
        f.t.prompter.boxAnswers = {BoxAnswer::Yes};
        if (path) {
            QVERIFY(!list.Open(&forged));
            QCOMPARE(f.ctx().ProjectName, QStringLiteral("Hotel"));
            QVERIFY(!list.Delete(forged));
        } else {
            list.Delete(forged);
        }

        QCOMPARE(snapshot(f.t.dir.path()), before);
        QVERIFY(!QFileInfo::exists(t_abs()));
    }

    // A name the system cannot hold (longer than a file name may be) is refused by the system:
    // "X95", nothing made.
    void overlongName()
    {
        Fixture f;
        const auto before = snapshot(f.t.dir.path());
        const QString name(300, QLatin1Char('n'));
        QVERIFY(IsValidProjectName(name));
        ProjectList list(f.ctx());
        list.BeginNew(nullptr);
        ProjectDialog dialog(f.ctx(), list);
        dialog.Load();
        QVERIFY(!dialog.Accept(name, "x", "ZTR001-PACKAGED"));
        QCOMPARE(f.t.prompter.texts(), QStringList{f.ctx().GetText("X95")});
        QCOMPARE(snapshot(f.t.dir.path()), before);
    }

    // Names that look like commands are plain names: the directory gets exactly that name, and
    // nothing runs.
    void commandLikeNamesAreJustNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("substitution") << "$(touch ran)";
        QTest::newRow("back quotes") << "`touch ran`";
        QTest::newRow("separator") << "x; touch ran";
        QTest::newRow("pipe") << "x | touch ran";
    }
    void commandLikeNamesAreJustNames()
    {
        QFETCH(QString, name);
        Fixture f;
        const QString cwdMarker = QDir::current().filePath("ran");
        const bool cwdMarkerBefore = QFileInfo::exists(cwdMarker);
        ProjectList list(f.ctx());
        list.BeginNew(nullptr);
        ProjectDialog dialog(f.ctx(), list);
        dialog.Load();
        QVERIFY(dialog.Accept(name, "x", "ZTR001-PACKAGED"));
        QVERIFY(QFileInfo(f.ctx().PathProjects + "/" + name).isDir());
        QVERIFY(OpenProject(f.ctx(), name));
        QCOMPARE(f.ctx().ProjectDir, f.ctx().PathProjects + "/" + name);
        QCOMPARE(QFileInfo::exists(cwdMarker), cwdMarkerBefore);
        QVERIFY(!QFileInfo::exists(f.t.dir.filePath("ran")));
        QVERIFY(!QFileInfo::exists(f.ctx().PathProjects + "/ran"));
    }

private:
    static QString t_abs() { return QStringLiteral("/tmp/tarveon-escape"); }
};

QTEST_GUILESS_MAIN(TestProjectNames)
#include "tst_projectnames.moc"
