#include "ProjectsFixture.h"
#include "tools/Projects.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;
using Record = RecordingPrompter::Record;

namespace {

QByteArray descriptionBytes(const QByteArray &desc, const QByteArray &prot)
{
    return "[Project]\r\nDesc=" + desc + "\r\nProt=" + prot + "\r\n";
}

QStringList names(const QVector<ProjectEntry> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out << e.name;
    return out;
}

} // namespace

class TestProjects : public QObject {
    Q_OBJECT
private slots:
    void protocolFamily_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("family");
        QTest::newRow("chiller") << "ZTR001-CHILLER" << "ZTR001";
        QTest::newRow("packaged") << "ZTR001-PACKAGED" << "ZTR001";
        QTest::newRow("no dash") << "ZDM" << "ZDM";
        QTest::newRow("two dashes") << "A-B-C" << "A";
        QTest::newRow("leading dash") << "-X" << "";
        QTest::newRow("empty") << "" << "";
    }
    void protocolFamily()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, family);
        QCOMPARE(ProtocolFamilyOf(protocol), family);
    }

    void projectNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Hotel Sur" << true;
        QTest::newRow("accents") << QString::fromUtf8("Edificio Ñandú") << true;
        QTest::newRow("dash and digits") << "ZTR-2024_1" << true;
        QTest::newRow("leading blank") << " Hotel" << true;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("inner point") << "Hotel.v2" << false;
        QTest::newRow("trailing point") << "Hotel." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("absolute") << "/tmp/evil" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("drive path") << "C:\\evil" << false;
        QTest::newRow("up and out") << "../evil" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks") << "   " << false;
        QTest::newRow("tab") << "\t" << false;
        QTest::newRow("line break inside") << "a\nb" << false;
    }
    void projectNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(IsValidProjectName(name), valid);
    }

    // --- filling the list ----------------------------------------------------------------------

    void fillMakesTheProjectsDirectory()
    {
        ProjectsFixture f;
        f.ctx().ProjectDir = QStringLiteral("/somewhere/before");
        QVERIFY(!QFileInfo::exists(f.projects()));
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QVERIFY(QFileInfo(f.projects()).isDir());
        QVERIFY(list.entries().isEmpty());
        QCOMPARE(list.preselected(), -1);
        QCOMPARE(f.ctx().IniFileName, QStringLiteral("Project"));
        QVERIFY(boxes(f.prompter()).isEmpty());
        list.Closing();
        QCOMPARE(f.ctx().ProjectDir, QStringLiteral("/somewhere/before"));
    }

    void fillMakesNestedProjectsDirectory()
    {
        ProjectsFixture f;
        f.ctx().PathProjects = f.t.dir.filePath(QStringLiteral("a/b/Projects"));
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QVERIFY(QFileInfo(f.ctx().PathProjects).isDir());
    }

    void fillFailsWhenProjectsDirectoryCannotBeMade_data()
    {
        QTest::addColumn<QString>("relative"); // below the program directory; "" = empty setting
        QTest::newRow("under a file") << "afile/Projects";
        QTest::newRow("is a file") << "afile";
        QTest::newRow("empty path") << "";
    }
    void fillFailsWhenProjectsDirectoryCannotBeMade()
    {
        QFETCH(QString, relative);
        ProjectsFixture f;
        f.write(QStringLiteral("afile"), "x");
        f.ctx().PathProjects = relative.isEmpty() ? QString() : f.t.dir.filePath(relative);
        const auto before = snapshot(f.t.dir.path());
        ProjectList list(f.ctx());
        QVERIFY(!list.Fill());
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X94") + "\n" + f.ctx().PathProjects);
        QCOMPARE(shown[0].icon, int(BoxKind::Critical));
        QCOMPARE(shown[0].title, kAppTitle);
        QCOMPARE(snapshot(f.t.dir.path()), before);
    }

    void fillFailsOnUnreadableProjectsDirectory()
    {
        if (runningAsRoot())
            QSKIP("permission bits do not stop the superuser");
        ProjectsFixture f;
        f.addProject("A", "ZTR001-PACKAGED", "a");
        QFile::setPermissions(f.projects(), QFileDevice::WriteOwner);
        ProjectList list(f.ctx());
        const bool ok = list.Fill();
        QFile::setPermissions(f.projects(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!ok);
        QCOMPARE(boxes(f.prompter()).value(0).text, f.ctx().GetText("X94") + "\n" + f.projects());
    }

    void fillListsProjectsOnly()
    {
        ProjectsFixture f;
        f.addProject("Beta", "ZTR001-CHILLER", "second");
        f.addProject("alpha", "ZTR001-PACKAGED", "");
        f.addProject("Gamma", "OTHER-PROTO", "kept as it is");
        f.write("ProjectsZDM/NoIni/ZTR001-PACKAGED.ini", "[ZTR001-PACKAGED]\r\n");
        f.write("ProjectsZDM/EmptyProt/Project.ini", "[Project]\r\nProt=\r\nDesc=x\r\n");
        f.write("ProjectsZDM/BlankProt/Project.ini", "[Project]\r\nProt=   \r\n");
        f.write("ProjectsZDM/OtherSection/Project.ini", "[Projekt]\r\nProt=ZTR001-PACKAGED\r\n");
        f.write("ProjectsZDM/Junk/Project.ini", QByteArray("\x00\xff\xfe\x01garbage\r\n=\r\n[[[\r\n", 20));
        f.write("ProjectsZDM/UpperCase/PROJECT.INI", "[PROJECT]\r\nPROT=ZTR001-CHILLER\r\nDESC=from Windows\r\n");
        f.write("ProjectsZDM/plainfile.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        const auto before = snapshot(f.projects());

        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QCOMPARE(names(list.entries()), (QStringList{"alpha", "Beta", "Gamma", "UpperCase"}));
        QCOMPARE(list.entries()[1], (ProjectEntry{"Beta", "ZTR001-CHILLER", "second"}));
        QCOMPARE(list.entries()[2].protocol, QStringLiteral("OTHER-PROTO"));
        QCOMPARE(list.entries()[3], (ProjectEntry{"UpperCase", "ZTR001-CHILLER", "from Windows"}));
        QVERIFY(boxes(f.prompter()).isEmpty());
        QCOMPARE(snapshot(f.projects()), before); // listing writes nothing
    }

    void fillPreselects_data()
    {
        QTest::addColumn<QString>("projectName");
        QTest::addColumn<int>("selected");
        QTest::newRow("last project") << "Beta" << 1;
        QTest::newRow("first when none") << "" << 0;
        QTest::newRow("first when unknown") << "Deleted" << 0;
        QTest::newRow("exact case only") << "beta" << 0;
        QTest::newRow("not a project") << "NoIni" << 0;
    }
    void fillPreselects()
    {
        QFETCH(QString, projectName);
        QFETCH(int, selected);
        ProjectsFixture f;
        f.addProject("Alpha", "ZTR001-PACKAGED", "");
        f.addProject("Beta", "ZTR001-CHILLER", "");
        f.addProject("Gamma", "ZTR001-CHILLER", "");
        f.write("ProjectsZDM/NoIni/x.txt", "x");
        f.ctx().ProjectName = projectName;
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QCOMPARE(list.preselected(), selected);
    }

    // --- open and close ---------------------------------------------------------------------------

    void openWithoutSelection()
    {
        ProjectsFixture f;
        f.ctx().ProjectDir = "/before";
        f.ctx().ProjectName = "Old";
        f.ctx().ProjectProtocol = "ZTR001-PACKAGED";
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QVERIFY(!list.Open(nullptr));
        QCOMPARE(list.mStatus, qint16(2));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X93"));
        QCOMPARE(shown[0].icon, int(BoxKind::Exclamation));
        list.Closing();
        QCOMPARE(f.ctx().ProjectDir, QStringLiteral("/before"));
        QCOMPARE(f.ctx().ProjectName, QStringLiteral("Old"));
        QCOMPARE(f.ctx().ProjectProtocol, QStringLiteral("ZTR001-PACKAGED"));
    }

    void openSetsTheCurrentProject()
    {
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-CHILLER", "Roof chillers");
        f.ctx().ProjectDir = "/before";
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QVERIFY(list.Open(&list.entries()[0]));
        QCOMPARE(f.ctx().ProjectName, QStringLiteral("Hotel"));
        QCOMPARE(f.ctx().ProjectProtocol, QStringLiteral("ZTR001-CHILLER"));
        QCOMPARE(f.ctx().ProjectDescription, QStringLiteral("Roof chillers"));
        QCOMPARE(f.ctx().ProtocolFamily, QStringLiteral("ZTR001"));
        list.Closing();
        QCOMPARE(f.ctx().ProjectDir, f.project("Hotel"));
        QCOMPARE(f.ctx().IniFileName, QStringLiteral("Project"));
        QVERIFY(boxes(f.prompter()).isEmpty());
    }

    void openProjectByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        QTest::newRow("project") << "Hotel" << true;
        QTest::newRow("not a project") << "NoIni" << false;
        QTest::newRow("missing") << "Nope" << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("out") << "../ProjectsZDM/Hotel" << false;
        QTest::newRow("empty") << "" << false;
    }
    void openProjectByName()
    {
        QFETCH(QString, name);
        QFETCH(bool, opens);
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d");
        f.write("ProjectsZDM/NoIni/x", "x");
        f.write("Project.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\n"); // a trap one level up
        f.ctx().ProjectDir = "/before";
        QCOMPARE(OpenProject(f.ctx(), name), opens);
        QCOMPARE(f.ctx().ProjectDir, opens ? f.project("Hotel") : QStringLiteral("/before"));
        QCOMPARE(f.ctx().ProjectProtocol, opens ? QStringLiteral("ZTR001-PACKAGED") : QString());
    }

    // --- new project ------------------------------------------------------------------------------

    void newFromTemplates_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("indoor units") << "ZTR001-PACKAGED"
                                      << QStringList{"Project.ini", "ZTR001-PACKAGED.DAT", "ZTR001-PACKAGED.ini"};
        QTest::newRow("chillers") << "ZTR001-CHILLER"
                                  << QStringList{"Project.ini", "ZTR001-CHILLER.dat", "ZTR001-CHILLER.ini"};
    }
    void newFromTemplates()
    {
        QFETCH(QString, protocol);
        QFETCH(QStringList, files);
        ProjectsFixture f;
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QVERIFY(list.BeginNew(nullptr));
        QCOMPARE(list.mStatus, qint16(1));
        QVERIFY(boxes(f.prompter()).isEmpty()); // nothing selected: no question

        ProjectDialog dlg(f.ctx(), list);
        const auto fields = dlg.Load();
        QCOMPARE(fields.protocols, (QStringList{"ZTR001-PACKAGED", "ZTR001-CHILLER"}));
        QCOMPARE(fields.protocolIndex, 0);
        QVERIFY(fields.name.isEmpty());
        QVERIFY(!fields.protocolFixed);
        QVERIFY(!dlg.copying());

        QVERIFY(dlg.Accept("Hotel Sur", QString::fromUtf8("Planta 1ª"), protocol));
        QCOMPARE(list.mStatus, qint16(1));
        QCOMPARE(list.selection(), (ProjectEntry{"Hotel Sur", protocol, QString::fromUtf8("Planta 1ª")}));
        QCOMPARE(QDir(f.project("Hotel Sur")).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase), files);
        QCOMPARE(f.read("ProjectsZDM/Hotel Sur/Project.ini"),
                 descriptionBytes("Planta 1\xaa", protocol.toLatin1()));
        QCOMPARE(f.read("ProjectsZDM/Hotel Sur/" + files[2]), f.read("MyTemplates/" + files[2]));
        QCOMPARE(f.ctx().ProjectDir, f.project("Hotel Sur"));
        QVERIFY(boxes(f.prompter()).isEmpty());
        list.Closing();
        QCOMPARE(f.ctx().ProjectDir, QString());
    }

    void newCopiesReadOnlyTemplatesWritable()
    {
        ProjectsFixture f;
        const QString tpl = f.ctx().PathTemplates + "/ZTR001-PACKAGED.ini";
        QFile::setPermissions(tpl, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        list.mStatus = 1;
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(dlg.Accept("P", "", "ZTR001-PACKAGED"));
        QVERIFY(QFile::permissions(f.project("P") + "/ZTR001-PACKAGED.ini") & QFileDevice::WriteOwner);
    }

    void newWithoutTemplatesOfItsProtocol()
    {
        ProjectsFixture f;
        QFile::remove(f.ctx().PathTemplates + "/ZTR001-CHILLER.ini");
        QFile::remove(f.ctx().PathTemplates + "/ZTR001-CHILLER.dat");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        list.BeginNew(nullptr);
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(dlg.Accept("Empty", "", "ZTR001-CHILLER"));
        QCOMPARE(QDir(f.project("Empty")).entryList(QDir::Files), QStringList{"Project.ini"});
        QVERIFY(boxes(f.prompter()).isEmpty());
    }

    void newWithMissingTemplatesDirectory()
    {
        ProjectsFixture f;
        f.ctx().PathTemplates = f.t.dir.filePath("NoTemplates");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        list.BeginNew(nullptr);
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(dlg.Accept("Bare", "d", "ZTR001-PACKAGED"));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, f.ctx().GetText("X99") + "\n" + f.ctx().PathTemplates);
        QCOMPARE(shown[0].icon, int(BoxKind::Critical));
        QCOMPARE(shown[1].text, f.ctx().GetText("X97"));
        QCOMPARE(shown[1].icon, int(BoxKind::Exclamation));
        // The project is made all the same.
        QCOMPARE(f.read("ProjectsZDM/Bare/Project.ini"), descriptionBytes("d", "ZTR001-PACKAGED"));
        QCOMPARE(QDir(f.project("Bare")).entryList(QDir::Files), QStringList{"Project.ini"});
    }

    void newRejectsBadNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        for (int mode : {1, 2}) {
            const QByteArray m = mode == 1 ? "new: " : "edit: ";
            QTest::newRow(m + "dot") << "." << mode;
            QTest::newRow(m + "dot dot") << ".." << mode;
            QTest::newRow(m + "up and out") << "../Outside" << mode;
            QTest::newRow(m + "absolute") << "/tmp/tarveon-evil" << mode;
            QTest::newRow(m + "slash") << "a/b" << mode;
            QTest::newRow(m + "backslash") << "a\\b" << mode;
            QTest::newRow(m + "point") << "Hotel.v2" << mode;
            QTest::newRow(m + "blanks") << "    " << mode;
            QTest::newRow(m + "empty") << "" << mode;
        }
    }
    void newRejectsBadNames()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d", {"ZTR001-PACKAGED.ini"});
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        if (mode == 1)
            list.BeginNew(nullptr);
        else
            list.BeginEdit(list.entries()[0]);
        f.ctx().ProjectDir = "/before";
        const auto before = snapshot(f.t.dir.path());
        const bool tmpEvilBefore = QFileInfo::exists("/tmp/tarveon-evil");

        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(!dlg.Accept(name, "new text", "ZTR001-PACKAGED"));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X98"));
        QCOMPARE(shown[0].icon, int(BoxKind::Exclamation));
        QCOMPARE(list.mStatus, qint16(mode));
        QCOMPARE(list.mSelNom, mode == 1 ? QString() : QStringLiteral("Hotel"));
        QCOMPARE(f.ctx().ProjectDir, QStringLiteral("/before"));
        QCOMPARE(snapshot(f.t.dir.path()), before);
        QCOMPARE(QFileInfo::exists("/tmp/tarveon-evil"), tmpEvilBefore);
    }

    void newOnExistingName()
    {
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d", {"ZTR001-PACKAGED.ini"});
        f.write("ProjectsZDM/NotAProject/x.txt", "x");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        const auto before = snapshot(f.t.dir.path());
        for (const QString name : {"Hotel", "NotAProject"}) {
            f.prompter().clear();
            list.BeginNew(nullptr);
            ProjectDialog dlg(f.ctx(), list);
            dlg.Load();
            QVERIFY(!dlg.Accept(name, "other", "ZTR001-CHILLER"));
            const auto shown = boxes(f.prompter());
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown[0].text, f.ctx().GetText("X95"));
            QCOMPARE(shown[0].icon, int(BoxKind::Critical));
            QCOMPARE(list.mStatus, qint16(1));
        }
        QCOMPARE(snapshot(f.t.dir.path()), before);
    }

    void newInReadOnlyProjectsDirectory()
    {
        ProjectsFixture f;
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QFile::setPermissions(f.projects(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile probe(f.projects() + "/probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(f.projects(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("permission bits do not stop the superuser");
        }
        list.BeginNew(nullptr);
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        const bool ok = dlg.Accept("Hotel", "", "ZTR001-PACKAGED");
        QFile::setPermissions(f.projects(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!ok);
        QCOMPARE(boxes(f.prompter()).value(0).text, f.ctx().GetText("X95"));
    }

    void newAsCopy()
    {
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-CHILLER", "Roof", {"ZTR001-CHILLER.ini", "ZTR001-CHILLER.dat", "EIB.log"});
        f.write("ProjectsZDM/Hotel/Backup/old.ini", "old");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        f.prompter().boxAnswers = {BoxAnswer::Yes};
        QVERIFY(list.BeginNew(&list.entries()[0]));
        const auto asked = boxes(f.prompter());
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, f.ctx().GetText("X92") + "\nHotel - ZTR001-CHILLER");
        QCOMPARE(asked[0].icon, int(BoxKind::Question));
        QCOMPARE(asked[0].buttons, int(BoxButtons::YesNoCancel));
        QCOMPARE(list.mSelNom, QStringLiteral("Hotel"));

        ProjectDialog dlg(f.ctx(), list);
        const auto fields = dlg.Load();
        QCOMPARE(fields.name, QStringLiteral("Hotel"));
        QCOMPARE(fields.description, QStringLiteral("Roof"));
        QCOMPARE(fields.protocols.value(fields.protocolIndex), QStringLiteral("ZTR001-CHILLER"));
        QVERIFY(fields.protocolFixed);
        QVERIFY(dlg.copying());

        // Unchanged name: the directory exists.
        f.prompter().clear();
        const auto before = snapshot(f.t.dir.path());
        QVERIFY(!dlg.Accept("Hotel", "Roof", "ZTR001-CHILLER"));
        QCOMPARE(boxes(f.prompter()).value(0).text, f.ctx().GetText("X95"));
        QCOMPARE(snapshot(f.t.dir.path()), before);

        f.prompter().clear();
        QVERIFY(dlg.Accept("Hotel 2", "Roof, copy", "ZTR001-CHILLER"));
        QVERIFY(boxes(f.prompter()).isEmpty());
        QCOMPARE(QDir(f.project("Hotel 2")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{"EIB.log", "Project.ini", "ZTR001-CHILLER.dat", "ZTR001-CHILLER.ini"}));
        QCOMPARE(f.read("ProjectsZDM/Hotel 2/ZTR001-CHILLER.dat"), QByteArray("ZTR001-CHILLER.dat"));
        QCOMPARE(f.read("ProjectsZDM/Hotel 2/Project.ini"), descriptionBytes("Roof, copy", "ZTR001-CHILLER"));
        QCOMPARE(f.read("ProjectsZDM/Hotel/Project.ini"), descriptionBytes("Roof", "ZTR001-CHILLER"));
    }

    void newAsCopyOfVanishedProject()
    {
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-CHILLER", "Roof");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        f.prompter().boxAnswers = {BoxAnswer::Yes};
        list.BeginNew(&list.entries()[0]);
        QDir(f.project("Hotel")).removeRecursively();
        f.prompter().clear();
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(dlg.Accept("Copy", "Roof", "ZTR001-CHILLER"));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, f.ctx().GetText("X99") + "\n" + f.project("Hotel"));
        QCOMPARE(shown[1].text, f.ctx().GetText("X96"));
        QCOMPARE(shown[1].icon, int(BoxKind::Exclamation));
        QCOMPARE(f.read("ProjectsZDM/Copy/Project.ini"), descriptionBytes("Roof", "ZTR001-CHILLER"));
    }

    void newQuestionAnswers_data()
    {
        QTest::addColumn<BoxAnswer>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("selNom");
        QTest::newRow("yes: copy") << BoxAnswer::Yes << true << "Hotel";
        QTest::newRow("no: templates") << BoxAnswer::No << true << "";
        QTest::newRow("cancel") << BoxAnswer::Cancel << false << "Hotel";
        QTest::newRow("closed") << BoxAnswer::Closed << false << "Hotel";
    }
    void newQuestionAnswers()
    {
        QFETCH(BoxAnswer, answer);
        QFETCH(bool, goesOn);
        QFETCH(QString, selNom);
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-CHILLER", "Roof");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        f.prompter().boxAnswers = {answer};
        QCOMPARE(list.BeginNew(&list.entries()[0]), goesOn);
        QCOMPARE(list.mSelNom, selNom);
        if (answer == BoxAnswer::No) {
            ProjectDialog dlg(f.ctx(), list);
            const auto fields = dlg.Load();
            QVERIFY(fields.name.isEmpty());
            QVERIFY(!fields.protocolFixed);
            QVERIFY(!dlg.copying());
        }
    }

    void cancelLeavesNothing()
    {
        ProjectsFixture f;
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        const auto before = snapshot(f.t.dir.path());
        list.BeginNew(nullptr);
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        dlg.Cancel();
        QCOMPARE(list.mStatus, qint16(0));
        QCOMPARE(snapshot(f.t.dir.path()), before);
    }

    // --- edit -------------------------------------------------------------------------------------

    void editUnchangedNameRewritesDescription()
    {
        ProjectsFixture f;
        f.write("ProjectsZDM/Hotel/Project.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\nDesc=old\r\nOwner=me\r\n");
        f.write("ProjectsZDM/Hotel/ZTR001-PACKAGED.ini", "keep");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        list.BeginEdit(list.entries()[0]);
        QCOMPARE(list.mStatus, qint16(2));
        ProjectDialog dlg(f.ctx(), list);
        const auto fields = dlg.Load();
        QVERIFY(fields.protocolFixed);
        QVERIFY(!dlg.copying());
        QVERIFY(dlg.Accept("Hotel", "new", "ZTR001-PACKAGED"));
        QCOMPARE(list.mStatus, qint16(2));
        QCOMPARE(f.read("ProjectsZDM/Hotel/Project.ini"),
                 QByteArray("[Project]\r\nProt=ZTR001-PACKAGED\r\nDesc=new\r\nOwner=me\r\n"));
        QCOMPARE(f.read("ProjectsZDM/Hotel/ZTR001-PACKAGED.ini"), QByteArray("keep"));
        QVERIFY(boxes(f.prompter()).isEmpty());
    }

    void editRenames()
    {
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d", {"ZTR001-PACKAGED.ini"});
        f.ctx().ProjectName = "Hotel"; // the open project: its state stays
        f.ctx().ProjectDir = f.project("Hotel");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        list.BeginEdit(list.entries()[0]);
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(dlg.Accept("Hotel Norte", "d2", "ZTR001-PACKAGED"));
        QVERIFY(!QFileInfo::exists(f.project("Hotel")));
        QCOMPARE(f.read("ProjectsZDM/Hotel Norte/ZTR001-PACKAGED.ini"), QByteArray("ZTR001-PACKAGED.ini"));
        QCOMPARE(f.read("ProjectsZDM/Hotel Norte/Project.ini"), descriptionBytes("d2", "ZTR001-PACKAGED"));
        QCOMPARE(list.selection(), (ProjectEntry{"Hotel Norte", "ZTR001-PACKAGED", "d2"}));
        list.Closing();
        QCOMPARE(f.ctx().ProjectName, QStringLiteral("Hotel"));
        QCOMPARE(f.ctx().ProjectDir, f.project("Hotel"));
    }

    void editRenameFails_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("onto another project") << "project";
        QTest::newRow("onto an empty directory") << "empty";
        QTest::newRow("onto a file") << "file";
        QTest::newRow("source vanished") << "vanished";
    }
    void editRenameFails()
    {
        QFETCH(QString, situation);
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d", {"a.dat"});
        if (situation == "project")
            f.addProject("Other", "ZTR001-CHILLER", "o", {"b.dat"});
        else if (situation == "empty")
            QDir().mkpath(f.project("Other"));
        else if (situation == "file")
            f.write("ProjectsZDM/Other", "file");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        list.BeginEdit(list.entries()[0]);
        if (situation == "vanished")
            QDir(f.project("Hotel")).removeRecursively();
        const auto before = snapshot(f.t.dir.path());
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(!dlg.Accept("Other", "x", "ZTR001-PACKAGED"));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X98"));
        QCOMPARE(shown[0].icon, int(BoxKind::Critical));
        QCOMPARE(snapshot(f.t.dir.path()), before);
        QCOMPARE(list.mSelNom, QStringLiteral("Hotel"));
    }

    void editKeepsAForeignProtocol()
    {
        ProjectsFixture f;
        f.write("ProjectsZDM/Odd/Project.ini", "[Project]\r\nProt=\xe9junk\xff\r\nDesc=d\r\n");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QCOMPARE(list.entries().size(), 1);
        list.BeginEdit(list.entries()[0]);
        ProjectDialog dlg(f.ctx(), list);
        const auto fields = dlg.Load();
        QCOMPARE(fields.protocols.value(fields.protocolIndex), list.entries()[0].protocol);
        QVERIFY(dlg.Accept("Odd", "d", fields.protocols.value(fields.protocolIndex)));
        QCOMPARE(f.read("ProjectsZDM/Odd/Project.ini"), QByteArray("[Project]\r\nProt=\xe9junk\xff\r\nDesc=d\r\n"));
    }

    void descriptionWriteFails()
    {
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d");
        // A directory where the description file should be: it can be neither read nor replaced.
        QFile::remove(f.project("Hotel") + "/Project.ini");
        QDir().mkpath(f.project("Hotel") + "/Project.ini");
        ProjectList list(f.ctx());
        list.BeginEdit({"Hotel", "ZTR001-PACKAGED", "d"});
        ProjectDialog dlg(f.ctx(), list);
        dlg.Load();
        QVERIFY(dlg.Accept("Hotel", "new", "ZTR001-PACKAGED"));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, f.ctx().GetText("X31") + "Project.ini");
    }

    // --- delete -----------------------------------------------------------------------------------

    void deleteProject_data()
    {
        QTest::addColumn<BoxAnswer>("answer");
        QTest::addColumn<bool>("withSubdirectory");
        QTest::addColumn<bool>("removed");
        QTest::newRow("yes") << BoxAnswer::Yes << false << true;
        QTest::newRow("no") << BoxAnswer::No << false << false;
        QTest::newRow("closed") << BoxAnswer::Closed << false << false;
        QTest::newRow("yes, with subdirectory") << BoxAnswer::Yes << true << true;
    }
    void deleteProject()
    {
        QFETCH(BoxAnswer, answer);
        QFETCH(bool, withSubdirectory);
        QFETCH(bool, removed);
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d", {"ZTR001-PACKAGED.ini", "EIB.log", ".hidden"});
        f.addProject("Other", "ZTR001-PACKAGED", "o", {"keep.dat"});
        if (withSubdirectory)
            f.write("ProjectsZDM/Hotel/Backup/old.dat", "old");
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        const auto before = snapshot(f.t.dir.path());
        f.prompter().boxAnswers = {answer};
        QCOMPARE(list.Delete(list.entries()[0]), removed);

        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.value(0).text, f.ctx().GetText("X89") + "Hotel ?");
        QCOMPARE(shown.value(0).icon, int(BoxKind::Question));
        QCOMPARE(shown.value(0).buttons, int(BoxButtons::YesNo));
        if (!removed) {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(snapshot(f.t.dir.path()), before);
            return;
        }
        if (withSubdirectory) {
            QCOMPARE(shown.size(), 2);
            QCOMPARE(shown[1].text, f.ctx().GetText("X91"));
            QCOMPARE(shown[1].icon, int(BoxKind::Critical));
            QCOMPARE(QDir(f.project("Hotel")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{"Backup"});
            QCOMPARE(f.read("ProjectsZDM/Hotel/Backup/old.dat"), QByteArray("old"));
        } else {
            QCOMPARE(shown.size(), 1);
            QVERIFY(!QFileInfo::exists(f.project("Hotel")));
        }
        QCOMPARE(f.read("ProjectsZDM/Other/keep.dat"), QByteArray("keep.dat"));
    }

    void deleteLinkedProjectKeepsTarget()
    {
        ProjectsFixture f;
        f.write("Elsewhere/Project.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        f.write("Elsewhere/precious.dat", "precious");
        QDir().mkpath(f.projects());
        QVERIFY(QFile::link(f.t.dir.filePath("Elsewhere"), f.project("Linked")));
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        QCOMPARE(names(list.entries()), QStringList{"Linked"});
        f.prompter().boxAnswers = {BoxAnswer::Yes};
        QVERIFY(list.Delete(list.entries()[0]));
        QVERIFY(!QFileInfo(f.project("Linked")).isSymLink());
        QCOMPARE(f.read("Elsewhere/precious.dat"), QByteArray("precious"));
    }

    void deleteFilesFails()
    {
        if (runningAsRoot())
            QSKIP("permission bits do not stop the superuser");
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d");
        QFile::setPermissions(f.project("Hotel"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        ProjectList list(f.ctx());
        QVERIFY(list.Fill());
        f.prompter().boxAnswers = {BoxAnswer::Yes};
        QVERIFY(list.Delete(list.entries()[0]));
        QFile::setPermissions(f.project("Hotel"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[1].text, f.ctx().GetText("X90"));
        QCOMPARE(shown[2].text, f.ctx().GetText("X91"));
    }

    void deleteRefusesNamesOutside_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("dot dot") << "..";
        QTest::newRow("dot") << ".";
        QTest::newRow("path") << "../ProjectsZDM";
        QTest::newRow("empty") << "";
    }
    void deleteRefusesNamesOutside()
    {
        QFETCH(QString, name);
        ProjectsFixture f;
        f.addProject("Hotel", "ZTR001-PACKAGED", "d");
        const auto before = snapshot(f.t.dir.path());
        ProjectList list(f.ctx());
        f.prompter().boxAnswers = {BoxAnswer::Yes};
        QVERIFY(!list.Delete({name, "ZTR001-PACKAGED", ""}));
        QCOMPARE(snapshot(f.t.dir.path()), before);
    }

    // --- copy routine -----------------------------------------------------------------------------

    void copyFilesPatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("copied");
        QTest::newRow("all") << "" << QStringList{"A.ini", "a.DAT", "b.txt"};
        QTest::newRow("any case") << "a.*" << QStringList{"A.ini", "a.DAT"};
        QTest::newRow("none") << "zzz.*" << QStringList{};
    }
    void copyFilesPatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, copied);
        ProjectsFixture f;
        f.write("src/A.ini", "1");
        f.write("src/a.DAT", "2");
        f.write("src/b.txt", "3");
        f.write("src/sub/c.txt", "4");
        QDir().mkpath(f.t.dir.filePath("dst"));
        ProjectList list(f.ctx());
        ProjectDialog dlg(f.ctx(), list);
        QVERIFY(dlg.CopyFiles(f.t.dir.filePath("src"), f.t.dir.filePath("dst"), pattern));
        QCOMPARE(QDir(f.t.dir.filePath("dst")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), copied);
        QVERIFY(boxes(f.prompter()).isEmpty());
    }

    void copyFilesReportsEachFailedFile()
    {
        ProjectsFixture f;
        f.write("src/a.ini", "1");
        f.write("src/b.ini", "2");
        f.write("afile", "x");
        const QString target = f.t.dir.filePath("afile/dst"); // cannot hold files
        ProjectList list(f.ctx());
        ProjectDialog dlg(f.ctx(), list);
        QVERIFY(dlg.CopyFiles(f.t.dir.filePath("src"), target, QString()));
        const auto shown = boxes(f.prompter());
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, f.ctx().GetText("X100") + "\n" + target + "/a.ini");
        QCOMPARE(shown[0].icon, int(BoxKind::Exclamation));
        QCOMPARE(shown[1].text, f.ctx().GetText("X100") + "\n" + target + "/b.ini");
    }

    void copyFilesMissingSource()
    {
        ProjectsFixture f;
        ProjectList list(f.ctx());
        ProjectDialog dlg(f.ctx(), list);
        const QString source = f.t.dir.filePath("nothing");
        QVERIFY(!dlg.CopyFiles(source, f.t.dir.path(), QString()));
        QCOMPARE(boxes(f.prompter()).value(0).text, f.ctx().GetText("X99") + "\n" + source);
        QCOMPARE(boxes(f.prompter()).value(0).icon, int(BoxKind::Critical));
    }
};

QTEST_GUILESS_MAIN(TestProjects)
#include "tst_projects.moc"
