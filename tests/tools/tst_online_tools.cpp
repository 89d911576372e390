// The monitors and the signal viewer in the main window, on line with tarveon-sim over a
// pseudo-terminal: traffic reports switched through the link, the lines the windows show, the
// viewer's polling and writing as the gateway sees and answers them.
#include "LinkTestSupport.h"
#include "PtySupport.h"

#include "app/ui/MDITarveon.h"
#include "link/SerialLink.h"
#include "tools/ui/fTestEIB.h"
#include "tools/ui/fTestExterno.h"
#include "tools/ui/fTestTarveonZDM.h"
#include "tools/ui/fVerDatosZDM.h"

#include <QCheckBox>
#include <QDir>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QtTest>

using namespace tarveon;
using test::waitFor;

namespace {

QByteArray row(const QList<QByteArray> &cells)
{
    QByteArray out;
    for (const QByteArray &c : cells)
        out += c + '\t';
    return out + "\r\n";
}

// Three signals of unit 1 in use on 1/2/3, 1/2/4 and 1/2/5; one more not in use.
QByteArray tableFile(int rows = 3)
{
    QByteArray f = "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n";
    f += row({"N", "Device", "Signal", "Description", "EIS", "Group", "Listen", "R", "W", "T", "U", "Yes/No"});
    const QList<QList<QByteArray>> all = {
        {"1", "1", "101 - Status", "Unit status", "01 - Switch", "1/2/3", "", "R", "", "T", "", "1"},
        {"2", "1", "102 - Mode", "Mode not used", "01 - Switch", "1/2/9", "", "R", "", "T", "", "0"},
        {"3", "1", "103 - Set point", "Set point", "05 - Float", "1/2/4", "", "R", "W", "T", "", "1"},
        {"4", "1", "104 - Room", "Room temperature", "05 - Float", "1/2/5", "", "R", "", "T", "", "1"},
    };
    for (int i = 0; i < rows + 1 && i < all.size(); ++i)
        f += row(all[i]);
    return f;
}

struct Fixture {
    Fixture()
    {
        ctx.InitProtocols();
        ctx.ProjectName = "Office";
        ctx.ProjectProtocol = "ZTR001-PACKAGED";
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Office");
        QDir().mkpath(ctx.ProjectDir);
        tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.ini", "[ZTR001-PACKAGED]\r\nDevices=1\r\nD1-Active=1\r\n");
        tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.dat", tableFile());
        window.showProjectList = [] {};
        window.show();
    }
    bool goOnLine(const QString &device)
    {
        link.configurePort(PortChoice{1, device, "57600,n,8,1"});
        link.chkOnline_Click(true);
        if (link.state() != LinkState::Identifying)
            return false;
        link.Timer1_Timer();
        return waitFor([&] { return link.state() == LinkState::OnLine; });
    }
    MonitorWindow *gateway() { return qobject_cast<MonitorWindow *>(window.gatewayMonitor(false)); }
    QStringList gatewayLines() { return gateway() ? gateway()->core().lines().lines() : QStringList(); }
    bool sent(const QString &command) { return gatewayLines().contains(QStringLiteral("<") + command); }
    static void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2)); }

    test::TestContext tc;
    AppContext &ctx = *tc.ctx;
    MDITarveon window{ctx}; // with its serial link over a real port
    SerialLink &link = window.link();
};

const QRegularExpression kEibFrame(QStringLiteral("^1\\.1\\.1[0-4] \\d\\d/\\d/\\d\\d\\d Write -?\\d+\\.\\d\\d$"));
const QRegularExpression kExtFrame(QStringLiteral("^TRBAS 192\\.168\\.0\\.2:502 read sys [12] unit \\d reg 100 -> \\d$"));

} // namespace

class TestOnlineTools : public QObject {
    Q_OBJECT
private slots:
    void eibMonitorFollowsTheBus()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "20", "--set", "1/2/3=21.5"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        // The identification exchange opened the gateway monitor.
        QVERIFY(f.gateway());
        QVERIFY(f.sent("INFO?"));
        QVERIFY(!f.link.busReportOn("INT"));
        f.window.ShowMonitor(47);
        auto *eib = qobject_cast<MonitorWindow *>(f.window.eibMonitor(false));
        QVERIFY(f.link.busReportOn("INT"));
        QVERIFY(f.sent("BUSINTALL"));
        Fixture::click(eib->chkLog);
        QVERIFY(waitFor([&] { return eib->core().lines().count() >= 6; }));
        // Every entry is a frame without its "EIB>" prefix; the first is the start marker.
        const QStringList lines = eib->core().lines().lines();
        QCOMPARE(lines.first(), kLogStartMarker.mid(4));
        for (qsizetype i = 1; i < lines.size(); ++i)
            QVERIFY2(kEibFrame.match(lines[i]).hasMatch(), qPrintable(lines[i]));
        // No EIB frame reaches the gateway monitor.
        QVERIFY(f.gatewayLines().filter(QStringLiteral("EIB>")).isEmpty());

        // Closed: the report goes off, the log ends with its marker.
        f.window.subWindowOf(eib)->close();
        QVERIFY(f.sent("BUSINTOFF"));
        QVERIFY(!f.link.busReportOn("INT"));
        QVERIFY(!f.link.busMonitorOpen("INT"));
        const QByteArray log = f.tc.dir.readFile("ProjectsZDM/Office/BUS_EIB.log");
        QVERIFY(log.endsWith(" ***************** STOP REGISTER *********************\r\n"));
        QVERIFY(log.count("\r\n") >= 7);
        f.link.chkOnline_Click(false);
    }

    void externalMonitorBusSwitch()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "20"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.window.ShowMonitor(100);
        auto *ext = qobject_cast<MonitorWindow *>(f.window.extMonitor(false));
        QVERIFY(f.sent("BUSEXTALL"));
        QVERIFY(waitFor([&] { return ext->core().lines().count() >= 3; }));
        for (const QString &line : ext->core().lines().lines())
            QVERIFY2(kExtFrame.match(line).hasMatch(), qPrintable(line));
        // Show bus off: the report is switched off and nothing more is listed.
        Fixture::click(ext->chkBus);
        QVERIFY(f.sent("BUSEXTOFF"));
        QVERIFY(!f.link.busReportOn("EXT"));
        QTest::qWait(100); // frames already on their way are dropped by the link
        const int count = ext->core().lines().count();
        QTest::qWait(200);
        QCOMPARE(ext->core().lines().count(), count);
        // On again.
        Fixture::click(ext->chkBus);
        QCOMPARE(f.gatewayLines().filter(QStringLiteral("<BUSEXTALL")).size(), 2);
        QVERIFY(waitFor([&] { return ext->core().lines().count() > count; }));
        f.link.chkOnline_Click(false);
    }

    void viewerPollsAndShowsTheValues()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--set", "1/2/3=21.5", "--set", "1/2/4=0.5", "--set", "1/2/5=-3.25"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        QCOMPARE(f.link.signalTables().count(), 3);
        f.window.mnuVDatos_Click();
        auto *viewer = qobject_cast<fVerDatosZDM *>(f.window.signalViewer(false));
        QVERIFY(viewer);
        QCOMPARE(viewer->core().grid().gridRowCount(), 4);
        QCOMPARE(viewer->core().grid().cell(2, 3), QString("Set point"));

        viewer->cmdRefrescar->click();
        QCOMPARE(viewer->cmdRefrescar->text(), QString("Stop"));
        for (int i = 0; i < 3; ++i)
            viewer->core().Timer2_Timer();
        QVERIFY(!viewer->core().polling());
        // Asked in table order, one request a tick.
        const QStringList asked = f.gatewayLines().filter(QRegularExpression("^<GP:"));
        QCOMPARE(asked, (QStringList{"<GP:01/2/003?", "<GP:01/2/004?", "<GP:01/2/005?"}));
        // The gateway's answers reach the table; the refresh shows them.
        QVERIFY(waitFor([&] { return f.link.signalTables().signals_[3].value == -3.25f; }));
        viewer->core().Timer1_Timer();
        QCOMPARE(viewer->core().grid().cell(1, 11), QString("21.5"));
        QCOMPARE(viewer->core().grid().cell(2, 11), QString("0.5"));
        QCOMPARE(viewer->core().grid().cell(3, 11), QString("-3.25"));
        f.link.chkOnline_Click(false);
    }

    void viewerWritesOneValue()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--set", "1/2/4=20"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.window.mnuVDatos_Click();
        auto *viewer = qobject_cast<fVerDatosZDM *>(f.window.signalViewer(false));
        f.tc.prompter.inputAnswers << "22,5";
        const QPoint at = viewer->grid->visualRect(viewer->grid->model()->index(1, 3)).center();
        QTest::mouseClick(viewer->grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewer->grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(f.tc.prompter.records.last().text, QString("Grupo EIB:1/2/4               EIS:05 - Float"));
        QVERIFY(f.sent("GP:01/2/004=22.50"));
        // The gateway takes it and reports the change (ONCHANGES is on).
        QVERIFY(waitFor([&] { return f.gatewayLines().contains(">GP:01/2/004=22.50"); }));
        QCOMPARE(f.link.signalTables().signals_[2].value, 22.5f);
        f.link.chkOnline_Click(false);
    }

    void viewerStopsWhenTheLinkGoesOffLine()
    {
        test::SimProcess sim;
        QVERIFY(sim.start());
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.window.mnuVDatos_Click();
        auto *viewer = qobject_cast<fVerDatosZDM *>(f.window.signalViewer(false));
        viewer->cmdRefrescar->click();
        viewer->core().Timer2_Timer();
        f.link.chkOnline_Click(false);
        QCOMPARE(f.link.state(), LinkState::OffLine);
        viewer->core().Timer2_Timer();
        QVERIFY(!viewer->core().polling());
        QCOMPARE(viewer->cmdRefrescar->text(), f.ctx.GetText("X17"));
        QCOMPARE(f.gatewayLines().filter(QRegularExpression("^<GP:")).size(), 1);
        // Off line a new cycle does not start.
        viewer->cmdRefrescar->click();
        QVERIFY(!viewer->core().polling());
    }

    void viewerRebuiltWhenTheGatewayIdentifiesAgain()
    {
        test::SimProcess sim;
        QVERIFY(sim.start());
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.window.mnuVDatos_Click();
        auto *viewer = qobject_cast<fVerDatosZDM *>(f.window.signalViewer(false));
        QCOMPARE(viewer->core().grid().gridRowCount(), 4);
        // A shorter table, then the gateway names itself again: the link reloads, the grid follows.
        f.tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.dat", tableFile(1));
        f.link.cmdEnviar_Click("INFO?");
        QVERIFY(waitFor([&] { return viewer->core().grid().gridRowCount() == 2; }));
        QCOMPARE(viewer->core().grid().cell(1, 3), QString("Unit status"));
        f.link.chkOnline_Click(false);
    }

    void uploadSwitchesTheBusOffAndRebuildsTheViewer()
    {
        test::SimProcess sim;
        QVERIFY(sim.start({"--traffic-ms", "20"}));
        Fixture f;
        QVERIFY(f.goOnLine(sim.devicePath()));
        f.window.ShowMonitor(47);
        auto *eib = qobject_cast<MonitorWindow *>(f.window.eibMonitor(false));
        f.window.mnuVDatos_Click();
        auto *viewer = qobject_cast<fVerDatosZDM *>(f.window.signalViewer(false));
        QCOMPARE(viewer->core().grid().gridRowCount(), 4);
        // The grid is rebuilt from the link-side table as it stands; mark it so the rebuild shows.
        const_cast<LinkTables &>(f.link.signalTables()).signals_[2].inUse = 0;
        f.tc.dir.writeFile("ProjectsZDM/Office/ZTR001-PACKAGED.zdm", test::gatewayFileImage("ZTR001", 300));
        bool finished = false;
        QObject::connect(&f.link, &SerialLink::uploadFinished, [&] { finished = true; });
        f.tc.prompter.msgBoxAnswers = {1};
        f.link.cmdSendFileTarveon_Click();
        // The EIB monitor switched its own report off.
        QVERIFY(!eib->chkBus->isChecked());
        QVERIFY(!f.link.busReportOn("INT"));
        QCOMPARE(f.gatewayLines().filter(QStringLiteral("<BUSINTOFF")).size(), 1);
        QVERIFY(waitFor([&] { return finished; }, 10000));
        // After "SUCCES" the open viewer rebuilds its grid.
        QCOMPARE(viewer->core().grid().gridRowCount(), 3);
        QCOMPARE(viewer->core().grid().rowData(2), 3);
        f.link.chkOnline_Click(false);
    }
};

QTEST_MAIN(TestOnlineTools)
#include "tst_online_tools.moc"
