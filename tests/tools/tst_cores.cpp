// The logic behind the tools' windows, without windows; long tables are in tests/data/tools.
#include "ToolsTest.h"
#include "tools/MonitorCore.h"
#include "tools/MsgBoxCore.h"
#include "tools/ProjectListCore.h"
#include "tools/SignalViewerCore.h"

using namespace tarveon;
using namespace tarveon::test;
using namespace Qt::StringLiterals;

namespace {

// A monitor of one kind, loaded, for the open project "Alpha"; the clock stands still until moved.
struct Monitor {
    explicit Monitor(const QString &kind, qint16 linkState = 0)
    {
        ctx().clock = [this] { return now; };
        link.setState(LinkState(linkState));
        ctx().ProjectDir = t.dir.filePath(u"ProjectsZDM/Alpha"_s);
        ctx().ProjectProtocol = u"ZTR001-PACKAGED"_s;
        QDir().mkpath(ctx().ProjectDir);
        const MonitorKind k = kind == "eib" ? MonitorKind::Eib : kind == "ext" ? MonitorKind::External : MonitorKind::Gateway;
        core = std::make_unique<MonitorCore>(ctx(), k, &link);
        core->load();
    }
    AppContext &ctx() { return *t.ctx; }
    QByteArray log(const QString &name) const { return t.dir.readFile(u"ProjectsZDM/Alpha/"_s + name); }
    QStringList lines() const { return core->lines().texts(); }

    TestContext t;
    ScriptedLink link;
    QDateTime now{QDate(2024, 3, 5), QTime(14, 7, 9)};
    std::unique_ptr<MonitorCore> core;
};

// The signal viewer over n signals of the link-side table on groups 1/0/1, 1/0/2, ..., on line.
struct Viewer {
    explicit Viewer(int n)
    {
        link.setState(LinkState::OnLine);
        addSignals(link.tables(), n);
    }
    AppContext &ctx() { return *t.ctx; }
    LinkSignal &entry(int i) { return link.tables().signals_[i]; }
    TestContext t;
    ScriptedLink link;
    SignalViewerCore core{*t.ctx, &link};
};

QStringList fileNames(const QString &dir) { return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase); }
QStringList split(const QString &list) { return list.split(QLatin1Char('|'), Qt::SkipEmptyParts); }

} // namespace

class TestCores : public QObject {
    Q_OBJECT
private slots:
    void shownText_data() { table(u"shown-text.tsv"_s); }
    void shownText()
    {
        QFETCH(QStringList, row); // monitor, report on, line, mark, lines listed, line, shows
        Monitor m(row[0]);
        QSignalSpy showing(m.core.get(), &MonitorCore::showRequested);
        m.core->chkBus_Click(row[1] == "1");
        m.core->VerTramas(row[2], row[3]);
        QCOMPARE(m.core->lines().count(), row[4].toInt());
        QCOMPARE(m.lines().value(0), row[5]);
        QCOMPARE(showing.count(), row[6].toInt());
    }

    void listBound_data()
    {
        rows({{"500", "500", ""}, {"501", "501", ""}, {"1200", "1200", ""}, {"501, filtered afterwards", "501", "frame"}});
    }
    void listBound()
    {
        QFETCH(QStringList, row); // lines fed, filter set afterwards
        const int fed = row[0].toInt();
        Monitor m(u"eib"_s);
        for (int n = 1; n <= fed; ++n)
            m.core->VerTramas(u"EIB:frame %1"_s.arg(n));
        m.core->setFilter(row[1]);
        QCOMPARE(m.core->lines().count(), qMin(fed, 500));
        QCOMPARE(m.lines().first(), u"frame %1"_s.arg(qMax(1, fed - 499)));
        QCOMPARE(m.lines().last(), u"frame %1"_s.arg(fed));
    }

    void logFile_data()
    {
        const QString sign = QString::fromUtf8("Señal 5 °C");
        rows({{"eib", "eib", "EIB>1.1.3 0/0/001 W 80", "", "EIB:" + sign, "", "BUS_EIB.log", "log-eib.txt"},
              {"ext", "ext", "EXT<01 03 00 10", "", "EXT:" + sign, "", "ZTR001-PACKAGED.log", "log-ext.txt"},
              {"gateway", "gateway", "Version 2.10", ">", sign, "<", "ZDM.log", "log-gateway.txt"}});
    }
    void logFile()
    {
        QFETCH(QStringList, row); // monitor, line, mark, line a second later, mark, log file, expectation
        Monitor m(row[0]);
        m.t.dir.writeFile(u"ProjectsZDM/Alpha/"_s + row[5], "2024/03/05 14:00:00 earlier line\r\n");
        QVERIFY(m.core->startLog());
        m.core->VerTramas(row[1], row[2]);
        m.now = m.now.addSecs(1);
        m.core->VerTramas(row[3], row[4]);
        m.core->stopLog();
        QVERIFY(!m.core->logging());
        QCOMPARE(m.log(row[5]), expected(row[6]));
        QCOMPARE(m.core->lines().count(), 4); // the markers are listed too
        QVERIFY(m.t.prompter.records.isEmpty());
    }

    void logRefused_data()
    {
        rows({{"gateway, no project", "gateway", "", "0"}, {"eib, no project", "eib", "", "1"},
              {"gateway, directory gone", "gateway", "/gone", "0"}, {"ext, directory gone", "ext", "/gone", "1"}});
    }
    void logRefused()
    {
        QFETCH(QStringList, row); // monitor, project directory (none: no project open), chkLog stays
        Monitor m(row[0]);
        m.ctx().ProjectProtocol = row[1].isEmpty() ? QString() : m.ctx().ProjectProtocol;
        m.ctx().ProjectDir += row[1];
        QCOMPARE(m.core->startLog(), row[2] == "1");
        m.core->VerTramas(u"EIB:line"_s, kMarkReceived);
        m.core->stopLog();
        QCOMPARE(m.core->lines().count(), 1); // no markers
        QCOMPARE(fileNames(m.t.dir.filePath(u"ProjectsZDM/Alpha"_s)), QStringList());
        QVERIFY(m.t.prompter.records.isEmpty());
    }

    void projectChangesUnderTheLog()
    {
        Monitor m(u"eib"_s);
        QSignalSpy abandoned(m.core.get(), &MonitorCore::logAbandoned);
        QVERIFY(m.core->startLog());
        const QByteArray before = m.log(u"BUS_EIB.log"_s);
        m.ctx().ProjectDir = m.t.dir.filePath(u"ProjectsZDM/Beta"_s);
        m.core->VerTramas(u"EIB:after the change"_s);
        m.core->stopLog();
        QCOMPARE(m.log(u"BUS_EIB.log"_s), before);
        QCOMPARE(abandoned.count(), 1);
    }

    void reportSwitches_data()
    {
        rows({{"eib on line", "eib", "2", "BUSINTALL|BUSINTOFF|BUSINTALL|BUSINTOFF", "11000"},
              {"ext on line", "ext", "2", "BUSEXTALL|BUSEXTOFF|BUSEXTALL|BUSEXTOFF", "00110"},
              {"eib waiting", "eib", "1", "", "11000"}, {"gateway on line", "gateway", "2", "", "00001"}});
    }
    void reportSwitches()
    {
        QFETCH(QStringList, row); // monitor, link state, sent, flags while loaded
        Monitor m(row[0], qint16(row[1].toInt()));
        AppContext &c = m.ctx();
        const auto flags = [&] {
            return QString::number(m.link.busReportOn(u"INT"_s)) + QString::number(m.link.busMonitorOpen(u"INT"_s))
                 + QString::number(m.link.busReportOn(u"EXT"_s)) + QString::number(m.link.busMonitorOpen(u"EXT"_s))
                 + QString::number(c.GatewayMonitorShow);
        };
        QCOMPARE(flags(), row[3]);
        m.core->chkBus_Click(false);
        m.core->chkBus_Click(true);
        m.core->unload();
        QCOMPARE(flags(), u"00000"_s);
        QCOMPARE(m.link.sent, split(row[2]));
    }

    void filterPauseClearAndCopy()
    {
        Monitor m(u"gateway"_s);
        m.core->startLog();
        m.core->VerTramas(u"GP:01/2/003=1"_s, kMarkReceived);
        m.core->VerTramas(u"HELP"_s, kMarkSent);
        m.core->setFilter(u"gp:01"_s);
        m.core->setPaused(true);
        m.core->VerTramas(u"GP:01/2/003=2"_s, kMarkReceived);
        QCOMPARE(m.lines(), QStringList{">GP:01/2/003=1"});
        m.core->setPaused(false);
        QCOMPARE(m.core->allText(), u">GP:01/2/003=1\r\n>GP:01/2/003=2\r\n"_s);
        m.core->setFilter(QString());
        QCOMPARE(m.core->lines().count(), 4);
        m.core->clear();
        m.core->setFilter(u"GP"_s); // cleared lines do not come back
        QCOMPARE(m.core->lines().count(), 0);
        QCOMPARE(m.log(u"ZDM.log"_s).count("\r\n"), 4); // the file kept every line
    }

    void valueText_data() { table(u"value-text.tsv"_s); }
    void valueText()
    {
        QFETCH(QStringList, row); // value, shown, sent
        QCOMPARE(singleToText(row[0].toFloat()), row[1]);
        QCOMPARE(formatHashDot00(row[0].toFloat()), row[2]);
    }

    void writeValue_data()
    {
        rows({{"comma", "2", "12,5", "12.5", "GP:01/0/002=12.50"}, {"second comma kept", "2", "1,5,7", "1.5", "GP:01/0/002=1.50"},
              {"not a number", "2", "abc", "0", "GP:01/0/002=.00"}, {"cancelled", "2", "", "4", ""},
              {"header row", "0", "5", "4", ""}});
    }
    void writeValue()
    {
        QFETCH(QStringList, row); // grid row, answer, value stored, sent
        Viewer v(3);
        v.core.Datos_Carga();
        v.entry(2).value = 4.0f;
        v.t.prompter.inputAnswers << row[1];
        v.core.writeValue(row[0].toInt());
        QCOMPARE(v.entry(2).value, row[2].toFloat());
        QCOMPARE(v.link.sent, split(row[3]));
        const QString prompt = u"Grupo EIB:1/0/2               EIS:1 - On/Off"_s;
        QCOMPARE(v.t.prompter.texts(), row[0] == "0" ? QStringList() : QStringList{prompt});
    }

    void polling_data()
    {
        rows({{"whole cycle", "", "5"}, {"link off line", "0", "1"}, {"link waiting", "1", "1"}, {"table shrank", "shrank", "2"},
              {"stop button", "stop", "1"}});
    }
    void polling()
    {
        QFETCH(QStringList, row); // what happens after the first request, requests sent
        Viewer v(5);
        v.entry(2).inUse = 0; // not shown, still polled
        v.core.Datos_Carga();
        v.core.cmdRefrescar_Click();
        QCOMPARE(v.core.refreshCaption(), u"Stop"_s);
        v.core.Timer2_Timer();
        if (row[0] == "stop")
            v.core.cmdRefrescar_Click();
        else if (row[0] == "shrank")
            v.core.Timer2_Timer(); // the second request, then the table is reloaded shorter
        if (row[0] == "shrank")
            v.link.tables().signals_.resize(2);
        else if (!row[0].isEmpty())
            v.link.setState(LinkState(row[0].toInt()));
        for (int i = 0; i < 6; ++i)
            v.core.Timer2_Timer();
        QVERIFY(!v.core.polling());
        QCOMPARE(v.core.pollIndex(), 1);
        QCOMPARE(v.core.refreshCaption(), v.ctx().GetText(u"X17"_s));
        QStringList requests;
        for (int i = 1; i <= row[1].toInt(); ++i)
            requests << u"GP:01/0/%1?"_s.arg(i, 3, 10, QLatin1Char('0'));
        v.link.setState(LinkState::OnLine);
        QCOMPARE(v.link.sent, requests);
    }

    void gridBuild()
    {
        Viewer v(4);
        v.entry(2).inUse = 0;
        v.entry(3).fields[3] = u"broken\tdescription"_s;
        v.core.Datos_Carga();
        const SignalTableModel &g = v.core.grid();
        QCOMPARE(g.gridRowCount(), 4);
        QCOMPARE((QList<int>{g.rowData(1), g.rowData(2), g.rowData(3)}), (QList<int>{1, 3, 4}));
        QCOMPARE((QStringList{g.cell(3, 0), g.cell(3, 3)}), (QStringList{"3", "Description 4"}));
        QVERIFY(!g.cell(2, 3).contains(QLatin1Char('\t')));
        QCOMPARE(v.t.prompter.texts(), QStringList{v.ctx().GetText(u"X13"_s)});
        // Rebuilt over an empty table: the header and one empty row; nothing to poll.
        v.link.tables().clear();
        v.core.Datos_Carga();
        QCOMPARE((QList<int>{g.gridRowCount(), g.rowData(1)}), (QList<int>{2, 0}));
        v.core.cmdRefrescar_Click();
        QVERIFY(!v.core.polling());
    }

    void refreshAndCopy()
    {
        Viewer v(2);
        v.entry(1).value = 21.5f;
        v.entry(2).value = 12345678.0f;
        v.core.Datos_Carga();
        v.core.visibleRows = [] { return std::pair<int, int>(1, 1); };
        v.core.Timer1_Timer();
        QCOMPARE(v.core.grid().cell(1, 11), u"21.5"_s);
        QCOMPARE(v.core.grid().cell(2, 11), QString()); // not in view
        QCOMPARE(v.core.copyText().toUtf8(), expected(u"viewer-copy.txt"_s));
    }

    void projectName_data() { table(u"project-names.tsv"_s); }
    void projectName()
    {
        QFETCH(QStringList, row); // mode, typed, directory made, message key, what follows the text
        Projects p({{"Hotel", "ZTR001-PACKAGED", "d"}, {"Other", "ZTR001-CHILLER", "o"}});
        ProjectListCore list(p.ctx());
        QVERIFY(list.fill());
        if (row[0] == "1")
            QVERIFY(list.beginNew(nullptr));
        else
            list.beginEdit(list.entries()[0]);
        ProjectDialogCore dialog(p.ctx(), list);
        dialog.load();
        const auto before = snapshot(p.project(QString()));
        QCOMPARE(dialog.accept(row[1], u"d2"_s, u"ZTR001-PACKAGED"_s), row[3].isEmpty());
        QCOMPARE(p.texts(), row[3].isEmpty() ? QStringList() : QStringList{p.ctx().GetText(row[3]) + row[4]});
        if (!row[3].isEmpty()) {
            QCOMPARE(snapshot(p.project(QString())), before);
            return;
        }
        QCOMPARE(list.selection(), (ProjectEntry{row[2], u"ZTR001-PACKAGED"_s, u"d2"_s}));
        QCOMPARE(p.read("ProjectsZDM/" + row[2] + "/Project.ini"), "[Project]\r\nDesc=d2\r\nProt=ZTR001-PACKAGED\r\n");
        QCOMPARE(QFileInfo::exists(p.project(u"Hotel"_s)), row[0] == "1" || row[2] == "Hotel");
    }

    void forgedNames_data()
    {
        rows({{"..", ".."}, {".", "."}, {"up and over", "../Outside"}, {"absolute", "/tmp/tarveon-escape"},
              {"empty", ""}, {"backslashes", "..\\Outside"}, {"NUL inside", u"Hotel"_s + QChar(0) + u"/../../x"_s}});
    }
    void forgedNames()
    {
        QFETCH(QStringList, row); // a name forged into the list or given to open a project by
        Projects p({{"Hotel", "ZTR001-PACKAGED", "d"}});
        p.write(u"Project.ini"_s, "[Project]\r\nProt=ZTR001-PACKAGED\r\n"); // traps one level up
        p.write(u"Outside/Project.ini"_s, "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        const auto before = snapshot(p.t.dir.path());
        p.ctx().ProjectDir = u"/before"_s;
        QVERIFY(!openProject(p.ctx(), row[0]));
        ProjectListCore list(p.ctx());
        const ProjectEntry forged{row[0], u"ZTR001-PACKAGED"_s, QString()};
        p.t.prompter.boxAnswers = {BoxAnswer::Yes};
        QVERIFY(!list.open(&forged));
        QVERIFY(!list.deleteProject(forged));
        QCOMPARE(p.ctx().ProjectDir, u"/before"_s);
        QCOMPARE(snapshot(p.t.dir.path()), before);
        QVERIFY(!QFileInfo::exists(u"/tmp/tarveon-escape"_s));
    }

    void fillList_data()
    {
        rows({{"last project", "Beta", "1"}, {"none", "", "0"}, {"unknown", "Gone", "0"}, {"exact case only", "beta", "0"}});
    }
    void fillList()
    {
        QFETCH(QStringList, row); // last project, entry selected first
        Projects p({{"alpha", "ZTR001-PACKAGED", ""}, {"Beta", "ZTR001-CHILLER", "b"}, {"Gamma", "OTHER", "kept"},
                    {"EmptyProt", "", "x"}});
        p.write(u"ProjectsZDM/NoIni/x.txt"_s, "x");
        p.write(u"ProjectsZDM/Upper/PROJECT.INI"_s, "[PROJECT]\r\nPROT=ZTR001-CHILLER\r\nDESC=Windows\r\n");
        p.write(u"ProjectsZDM/plain.ini"_s, "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        p.ctx().ProjectName = row[0];
        ProjectListCore list(p.ctx());
        QVERIFY(list.fill());
        QCOMPARE(list.entries().size(), 4);
        QCOMPARE(list.entries()[1], (ProjectEntry{"Beta", "ZTR001-CHILLER", "b"}));
        QCOMPARE(list.entries()[3], (ProjectEntry{"Upper", "ZTR001-CHILLER", "Windows"}));
        QCOMPARE(list.preselected(), row[1].toInt());
        QCOMPARE(p.ctx().IniFileName, u"Project"_s);
    }

    void projectsDirectory_data()
    {
        rows({{"made when missing", "a/b/Projects", "1"}, {"under a file", "afile/Projects", "0"}, {"no setting", "", "0"}});
    }
    void projectsDirectory()
    {
        QFETCH(QStringList, row); // the setting, below the program directory; whether it is made
        const bool made = row[1] == "1";
        Projects p;
        p.write(u"afile"_s, "x");
        p.ctx().PathProjects = row[0].isEmpty() ? QString() : p.t.dir.filePath(row[0]);
        ProjectListCore list(p.ctx());
        QCOMPARE(list.fill(), made);
        QCOMPARE(QFileInfo(p.ctx().PathProjects).isDir(), made);
        QCOMPARE(p.texts(), made ? QStringList() : QStringList{p.text("X94") + "\n" + p.ctx().PathProjects});
    }

    void openAndClose()
    {
        Projects p({{"Hotel", "ZTR001-CHILLER", "Roof"}});
        AppContext &c = p.ctx();
        c.ProjectDir = u"/before"_s;
        c.ProjectName = u"Old"_s;
        ProjectListCore list(c);
        QVERIFY(list.fill());
        QVERIFY(!list.open(nullptr));
        QCOMPARE(p.texts(), QStringList{p.text("X93")});
        list.closing();
        QCOMPARE((QStringList{c.ProjectName, c.ProjectDir}), (QStringList{"Old", "/before"}));
        QVERIFY(list.open(&list.entries()[0]));
        list.closing();
        QCOMPARE((QStringList{c.ProjectName, c.ProjectProtocol, c.ProjectDescription, c.ProtocolFamily, c.ProjectDir}),
                 (QStringList{"Hotel", "ZTR001-CHILLER", "Roof", "ZTR001", p.project("Hotel")}));
        QCOMPARE((QStringList{protocolFamilyOf(u"A-B-C"_s), protocolFamilyOf(u"ZDM"_s)}), (QStringList{"A", "ZDM"}));
    }

    void newProject_data() { table(u"new-project.tsv"_s); }
    void newProject()
    {
        QFETCH(QStringList, row); // how, protocol, files, messages
        const QString how = row[0];
        Projects p({{"Hotel", "ZTR001-CHILLER", "Roof"}});
        p.write(u"ProjectsZDM/Hotel/ZTR001-CHILLER.dat"_s, "copied");
        const QString gone = how == "vanished" ? p.project(u"Hotel"_s) : p.ctx().PathTemplates;
        ProjectListCore list(p.ctx());
        QVERIFY(list.fill());
        p.t.prompter.boxAnswers = {how == "cancel" ? BoxAnswer::Cancel : how == "no" ? BoxAnswer::No : BoxAnswer::Yes};
        const bool ask = !how.isEmpty() && how != "gone";
        QCOMPARE(list.beginNew(ask ? &list.entries()[0] : nullptr), how != "cancel");
        ProjectDialogCore dialog(p.ctx(), list);
        dialog.load();
        if (how == "gone" || how == "vanished")
            QDir(gone).removeRecursively();
        if (how != "cancel") {
            QCOMPARE(dialog.copying(), how == "yes" || how == "vanished");
            QVERIFY(dialog.accept(u"New"_s, u"d"_s, row[1]));
        }
        QCOMPARE(fileNames(p.project(u"New"_s)), split(row[2]));
        QStringList shown;
        for (const QString &key : split(row[3]))
            shown << (key == "Q"     ? p.text("X92") + "\nHotel - ZTR001-CHILLER"
                      : key == "X99" ? p.text("X99") + "\n" + gone
                                     : p.ctx().GetText(key));
        QCOMPARE(p.texts(), shown);
    }

    void deleteProject_data()
    {
        rows({{"yes", "6", "", ""}, {"no", "7", "", "EIB.log|Project.ini"},
              {"yes, subdirectory stays", "6", "subdirectory", "Backup"}, {"yes, linked: only the link goes", "6", "link", ""}});
    }
    void deleteProject()
    {
        QFETCH(QStringList, row); // answer, situation, what stays of the project directory
        Projects p;
        const QString dir = row[1] == "link" ? u"Elsewhere"_s : u"ProjectsZDM/Hotel"_s;
        p.write(dir + u"/Project.ini"_s, "[Project]\r\nProt=ZTR001-PACKAGED\r\n");
        p.write(dir + u"/EIB.log"_s, "log");
        if (row[1] == "subdirectory")
            p.write(u"ProjectsZDM/Hotel/Backup/old.dat"_s, "old");
        QDir().mkpath(p.ctx().PathProjects);
        if (row[1] == "link")
            QVERIFY(QFile::link(p.t.dir.filePath(dir), p.project(u"Hotel"_s)));
        ProjectListCore list(p.ctx());
        QVERIFY(list.fill());
        p.t.prompter.boxAnswers = {BoxAnswer(row[0].toInt())};
        QCOMPARE(list.deleteProject(list.entries()[0]), row[0] == "6");
        QCOMPARE(fileNames(p.project(u"Hotel"_s)), split(row[2]));
        const bool subdirectory = row[1] == "subdirectory", link = row[1] == "link";
        QCOMPARE(p.texts(), QStringList{p.text("X89") + "Hotel ?"} + (subdirectory ? QStringList{p.text("X91")} : QStringList()));
        QCOMPARE(fileNames(p.t.dir.filePath(u"Elsewhere"_s)), link ? split(u"EIB.log|Project.ini"_s) : QStringList());
    }

    void copyFileFails()
    {
        Projects p;
        p.write(u"afile"_s, "x");
        ProjectListCore list(p.ctx());
        const QString target = p.t.dir.filePath(u"afile/dst"_s); // cannot hold files
        QVERIFY(ProjectDialogCore(p.ctx(), list).copyFiles(p.ctx().PathTemplates, target, u"ZTR001-C*"_s));
        QCOMPARE(p.texts(), QStringList{p.text("X100") + "\n" + target + "/ZTR001-CHILLER.dat"});
    }

    void replaceAll_data() { table(u"replace-all.tsv"_s); }
    void replaceAll()
    {
        QFETCH(QStringList, row); // text, search ("lines": the message dialog's line ends), replacement, result
        const bool lineEnds = row[1] == "lines";
        QCOMPARE(lineEnds ? normaliseMessageLineEnds(row[0]) : tarveon::replaceAll(row[0], row[1], row[2]), row[3]);
    }
};

QTEST_GUILESS_MAIN(TestCores)
#include "tst_cores.moc"
