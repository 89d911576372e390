// The monitors and the signal viewer on line with tarveon-sim over a pseudo-terminal: reports
// switched through the link, the lines shown, polling and writing as the gateway answers them.
#include "LinkTestSupport.h"
#include "PtySupport.h"
#include "ToolsTest.h"
#include "app/ui/MDITarveon.h"
#include "link/SerialLink.h"
#include "tools/ui/MonitorWindow.h"
#include "tools/ui/fVerDatosZDM.h"

#include <QCheckBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

using namespace tarveon;
using namespace tarveon::test;
using namespace Qt::StringLiterals;

namespace {

struct OnLine {
    explicit OnLine(const QStringList &simOptions)
    {
        AppContext &c = *tc.ctx;
        c.ProjectName = u"Office"_s;
        c.ProjectProtocol = u"ZTR001-PACKAGED"_s;
        c.ProtocolFamily = u"ZTR001"_s;
        c.ProjectDir = tc.dir.filePath(u"ProjectsZDM/Office"_s);
        tc.dir.writeFile(u"ProjectsZDM/Office/ZTR001-PACKAGED.ini"_s, "[ZTR001-PACKAGED]\r\nDevices=1\r\nD1-Active=1\r\n");
        tc.dir.writeFile(u"ProjectsZDM/Office/ZTR001-PACKAGED.dat"_s, expected(u"online-signals.dat"_s));
        window.showProjectList = [] {};
        window.show();
        if (!sim.start(simOptions))
            return;
        link.configurePort(PortChoice{1, sim.devicePath(), u"57600,n,8,1"_s});
        link.chkOnline_Click(true);
        link.Timer1_Timer();
        onLine = waitFor([&] { return link.state() == LinkState::OnLine; });
    }
    ~OnLine() { link.chkOnline_Click(false); }
    MonitorWindow *monitor(QWidget *form) { return qobject_cast<MonitorWindow *>(form); }
    QStringList gatewayLines() { return monitor(window.gatewayMonitor(false))->core().lines().texts(); }
    bool sent(const QString &command) { return gatewayLines().contains(u"<"_s + command); }
    fVerDatosZDM *viewer()
    {
        window.mnuVDatos_Click();
        return qobject_cast<fVerDatosZDM *>(window.signalViewer(false));
    }

    SimProcess sim;
    TestContext tc;
    MDITarveon window{*tc.ctx}; // with its serial link over a real port
    SerialLink &link = window.link();
    bool onLine = false;
};

} // namespace

class TestOnlineTools : public QObject {
    Q_OBJECT
private slots:
    void busMonitors()
    {
        OnLine o({"--traffic-ms", "20"});
        QVERIFY(o.onLine);
        o.window.ShowMonitor(47);
        o.window.ShowMonitor(100);
        MonitorWindow *eib = o.monitor(o.window.eibMonitor(false));
        MonitorWindow *ext = o.monitor(o.window.extMonitor(false));
        QVERIFY(o.sent(u"BUSINTALL"_s) && o.sent(u"BUSEXTALL"_s));
        click(eib->chkLog);
        QVERIFY(waitFor([&] { return eib->core().lines().count() >= 6 && ext->core().lines().count() >= 3; }));
        // Frames without their "EIB>" or "EXT<"; the EIB list starts with the start marker.
        const QRegularExpression eibFrame(u"^1\\.1\\.1[0-4] \\d\\d/\\d/\\d\\d\\d Write -?\\d+\\.\\d\\d$"_s);
        const QRegularExpression extFrame(u"^TRBAS 192\\.168\\.0\\.2:502 read sys [12] unit \\d reg 100 -> \\d$"_s);
        const QStringList eibLines = eib->core().lines().texts();
        QCOMPARE(eibLines.first(), kLogStartMarker.mid(4));
        for (qsizetype i = 1; i < eibLines.size(); ++i)
            QVERIFY2(eibFrame.match(eibLines[i]).hasMatch(), qPrintable(eibLines[i]));
        for (const QString &line : ext->core().lines().texts())
            QVERIFY2(extFrame.match(line).hasMatch(), qPrintable(line));
        QVERIFY(o.gatewayLines().filter(QRegularExpression(u"EIB>|EXT<"_s)).isEmpty());

        // Show bus off: the report goes off.
        click(ext->chkBus);
        QVERIFY(o.sent(u"BUSEXTOFF"_s));
        // Closed: the EIB report goes off, its log ends with the stop marker.
        o.window.subWindowOf(eib)->close();
        QVERIFY(o.sent(u"BUSINTOFF"_s));
        QVERIFY(!o.link.busReportOn(u"INT"_s) && !o.link.busMonitorOpen(u"INT"_s));
        QVERIFY(o.tc.dir.readFile(u"ProjectsZDM/Office/BUS_EIB.log"_s)
                    .endsWith(" ***************** STOP REGISTER *********************\r\n"));
    }

    void viewerPollsAndWrites()
    {
        OnLine o({"--set", "1/2/3=21.5", "--set", "1/2/4=0.5", "--set", "1/2/5=-3.25"});
        QVERIFY(o.onLine);
        fVerDatosZDM *v = o.viewer();
        QCOMPARE(v->core().grid().gridRowCount(), 4);
        click(v->cmdRefrescar);
        QCOMPARE(v->cmdRefrescar->text(), u"Stop"_s);
        QTRY_VERIFY(!v->core().polling());
        QCOMPARE(o.gatewayLines().filter(QRegularExpression(u"^<GP:"_s)),
                 (QStringList{"<GP:01/2/003?", "<GP:01/2/004?", "<GP:01/2/005?"}));
        QVERIFY(waitFor([&] { return o.link.signalTables().signals_[3].value == -3.25f; }));
        v->core().Timer1_Timer();
        QCOMPARE((QStringList{v->core().grid().cell(1, 11), v->core().grid().cell(2, 11), v->core().grid().cell(3, 11)}),
                 (QStringList{"21.5", "0.5", "-3.25"}));

        // A value written by a double click; the gateway takes it and reports the change.
        o.tc.prompter.inputAnswers << u"22,5"_s;
        const QPoint row = v->grid->visualRect(v->grid->model()->index(1, 3)).center();
        click(v->grid->viewport(), row);
        QTest::mouseDClick(v->grid->viewport(), Qt::LeftButton, {}, row);
        QVERIFY(o.sent(u"GP:01/2/004=22.50"_s));
        QVERIFY(waitFor([&] { return o.gatewayLines().contains(u">GP:01/2/004=22.50"_s); }));

    }

    void uploadSwitchesTheBusOffAndRebuildsTheViewer()
    {
        OnLine o({"--traffic-ms", "20"});
        QVERIFY(o.onLine);
        o.window.ShowMonitor(47);
        MonitorWindow *eib = o.monitor(o.window.eibMonitor(false));
        fVerDatosZDM *v = o.viewer();
        // The rebuild shows the table as it stands (the link owns its tables: marked from outside here).
        const_cast<LinkSignal &>(o.link.signalTables().signals_[2]).inUse = 0;
        o.tc.dir.writeFile(u"ProjectsZDM/Office/ZTR001-PACKAGED.zdm"_s, gatewayFileImage(u"ZTR001"_s, 300));
        QSignalSpy finished(&o.link, &SerialLink::uploadFinished);
        o.tc.prompter.msgBoxAnswers = {1};
        o.link.cmdSendFileTarveon_Click();
        QVERIFY(!eib->chkBus->isChecked() && !o.link.busReportOn(u"INT"_s));
        QCOMPARE(o.gatewayLines().filter(u"<BUSINTOFF"_s).size(), 1);
        QVERIFY(finished.wait(10000));
        QCOMPARE(v->core().grid().gridRowCount(), 3);
        QCOMPARE(v->core().grid().rowData(2), 3);
    }
};

QTEST_MAIN(TestOnlineTools)
#include "tst_online_tools.moc"
