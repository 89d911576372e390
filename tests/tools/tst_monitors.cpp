// Bus monitors and the gateway monitor: line handling, list bound, show-last, log files (bytes
// worked out by hand under a fixed clock), markers, report switches, clipboard, close rules.
#include "ScriptedLink.h"
#include "TestSupport.h"

#include "app/ui/MDITarveon.h"
#include "tools/ui/fTestEIB.h"
#include "tools/ui/fTestExterno.h"
#include "tools/ui/fTestTarveonZDM.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace tarveon;
using tarveon::test::ScriptedLink;
using tarveon::test::TestContext;

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

struct Fixture {
    Fixture()
    {
        ctx().clock = [] { return kNow; };
        projectDir = t.dir.filePath(QStringLiteral("ProjectsZDM/Alpha"));
        QDir().mkpath(projectDir);
        ctx().ProjectDir = projectDir;
        ctx().ProjectName = QStringLiteral("Alpha");
        ctx().ProjectProtocol = QStringLiteral("ZTR001-PACKAGED");
        ctx().ProtocolFamily = QStringLiteral("ZTR001");
    }
    AppContext &ctx() { return *t.ctx; }

    MonitorWindow *open(MonitorKind kind)
    {
        MonitorWindow *w = nullptr;
        switch (kind) {
        case MonitorKind::Eib: w = new fTestEIB(ctx(), &link); break;
        case MonitorKind::External: w = new fTestExterno(ctx(), &link); break;
        case MonitorKind::Gateway: w = new fTestTarveonZDM(ctx(), &link); break;
        }
        window.reset(w);
        w->show();
        return w;
    }
    // A received line as the link hands it to the window of its kind.
    void feed(const QString &trama, const QString &mark = QStringLiteral(">"))
    {
        if (auto *eib = qobject_cast<fTestEIB *>(window.get()))
            eib->VerTramas(trama);
        else if (auto *ext = qobject_cast<fTestExterno *>(window.get()))
            ext->VerTramas(trama);
        else if (auto *gw = qobject_cast<fTestTarveonZDM *>(window.get()))
            gw->VerTramas(trama, mark);
    }
    QStringList shown() const { return window->core().lines().lines(); }
    QByteArray logBytes(const QString &name) const
    {
        QFile f(projectDir + QLatin1Char('/') + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2)); }

    TestContext t;
    ScriptedLink link;
    QString projectDir;
    std::unique_ptr<MonitorWindow> window;
};

// A line of traffic whose shown text is "frame <n>".
QString eibLine(int n) { return QStringLiteral("EIB:frame %1").arg(n); }

} // namespace

Q_DECLARE_METATYPE(tarveon::MonitorKind)

class TestMonitors : public QObject {
    Q_OBJECT
private slots:
    void lineTransformation_data()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::addColumn<QString>("trama");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("shown");
        QTest::newRow("eib frame") << MonitorKind::Eib << "EIB>01.1.003 0/0/001 W 80" << "" << "01.1.003 0/0/001 W 80";
        QTest::newRow("eib short") << MonitorKind::Eib << "EIB" << "" << "";
        QTest::newRow("eib four") << MonitorKind::Eib << "EIB " << "" << "";
        QTest::newRow("ext frame") << MonitorKind::External << "EXT<01 03 00 10 00 02 C5 CE" << ""
                                   << "01 03 00 10 00 02 C5 CE";
        QTest::newRow("gateway received") << MonitorKind::Gateway << "GP:01/2/003=21.5" << ">" << ">GP:01/2/003=21.5";
        QTest::newRow("gateway sent") << MonitorKind::Gateway << "INFO?" << "<" << "<INFO?";
        QTest::newRow("gateway keeps blanks") << MonitorKind::Gateway << "  a b " << ">" << ">  a b ";
    }
    void lineTransformation()
    {
        QFETCH(MonitorKind, kind);
        QFETCH(QString, trama);
        QFETCH(QString, mark);
        QFETCH(QString, shown);
        Fixture f;
        f.open(kind);
        f.feed(trama, mark);
        QCOMPARE(f.shown(), QStringList{shown});
    }

    void listKeepsFiveHundredLines_data()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::newRow("eib") << MonitorKind::Eib;
        QTest::newRow("ext") << MonitorKind::External;
        QTest::newRow("gateway") << MonitorKind::Gateway;
    }
    void listKeepsFiveHundredLines()
    {
        QFETCH(MonitorKind, kind);
        Fixture f;
        MonitorWindow *w = f.open(kind);
        for (int n = 1; n <= 500; ++n)
            f.feed(eibLine(n));
        QCOMPARE(w->lstTramas->model()->rowCount(), 500);
        const QString first = f.shown().first();
        f.feed(eibLine(501));
        QCOMPARE(w->lstTramas->model()->rowCount(), 500);
        QVERIFY(f.shown().first() != first);
        QVERIFY(f.shown().first().endsWith(QStringLiteral("frame 2")));
        QVERIFY(f.shown().last().endsWith(QStringLiteral("frame 501")));
        for (int n = 502; n <= 1200; ++n)
            f.feed(eibLine(n));
        QCOMPARE(w->lstTramas->model()->rowCount(), 500);
        QVERIFY(f.shown().first().endsWith(QStringLiteral("frame 701")));
    }

    void showLastFollowsTheNewestLine()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        QVERIFY(w->chkUltimo->isChecked());
        for (int n = 1; n <= 20; ++n)
            f.feed(eibLine(n));
        // Selected and scrolled into view when the burst of lines is drawn.
        QTRY_COMPARE(w->lstTramas->currentIndex().row(), 19);
        QCOMPARE(w->lstTramas->selectionModel()->selectedIndexes().size(), 1);
        QVERIFY(w->lstTramas->viewport()->rect().contains(w->lstTramas->visualRect(w->lstTramas->currentIndex())));
    }

    void showLastOffKeepsTheSelection()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        for (int n = 1; n <= 500; ++n)
            f.feed(eibLine(n));
        Fixture::click(w->chkUltimo);
        QVERIFY(!w->core().showLast());
        // The user picks an entry; traffic goes on, also beyond the bound.
        const QModelIndex picked = w->lstTramas->model()->index(100, 0);
        w->lstTramas->scrollTo(picked);
        QTest::mouseClick(w->lstTramas->viewport(), Qt::LeftButton, {}, w->lstTramas->visualRect(picked).center());
        QCOMPARE(w->lstTramas->currentIndex().row(), 100);
        for (int n = 501; n <= 510; ++n)
            f.feed(eibLine(n));
        // Still the same entry, now ten rows higher as the oldest lines went.
        QCOMPARE(w->lstTramas->currentIndex().row(), 90);
        QCOMPARE(w->lstTramas->currentIndex().data().toString(), QStringLiteral("frame 101"));
        // On again: the next line is followed.
        QTest::qWait(100);
        QCOMPARE(w->lstTramas->currentIndex().row(), 90);
        Fixture::click(w->chkUltimo);
        f.feed(eibLine(511));
        QTRY_COMPARE(w->lstTramas->currentIndex().row(), 499);
    }

    void logFileBytes_data()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("trama");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray stamp = "2024/03/05 14:07:09 ";
        // The bus monitors drop the first four characters of the markers too.
        QTest::newRow("eib") << MonitorKind::Eib << "BUS_EIB.log" << "EIB>01.1.003 0/0/001 W 80"
                             << stamp + "***************** START REGISTER *********************\r\n" + stamp +
                                    "01.1.003 0/0/001 W 80\r\n" + stamp +
                                    "***************** STOP REGISTER *********************\r\n";
        QTest::newRow("ext") << MonitorKind::External << "ZTR001-PACKAGED.log" << "EXT<01 03 C5"
                             << stamp + "***************** START REGISTER *********************\r\n" + stamp +
                                    "01 03 C5\r\n" + stamp +
                                    "***************** STOP REGISTER *********************\r\n";
        QTest::newRow("gateway") << MonitorKind::Gateway << "ZDM.log" << "Version 2.10"
                                 << stamp + ">********************* START REGISTER *********************\r\n" +
                                        stamp + ">Version 2.10\r\n" + stamp +
                                        ">********************* STOP REGISTER *********************\r\n";
        // Windows-1252 in the file.
        QTest::newRow("code page") << MonitorKind::Gateway << "ZDM.log" << QString::fromUtf8("Señal 5 °C")
                                   << stamp + ">********************* START REGISTER *********************\r\n" +
                                          stamp + ">Se\xf1" "al 5 \xb0" "C\r\n" + stamp +
                                          ">********************* STOP REGISTER *********************\r\n";
    }
    void logFileBytes()
    {
        QFETCH(MonitorKind, kind);
        QFETCH(QString, fileName);
        QFETCH(QString, trama);
        QFETCH(QByteArray, bytes);
        Fixture f;
        MonitorWindow *w = f.open(kind);
        Fixture::click(w->chkLog);
        QVERIFY(w->chkLog->isChecked());
        QVERIFY(w->core().logging());
        f.feed(trama);
        Fixture::click(w->chkLog);
        QVERIFY(!w->core().logging());
        QCOMPARE(f.logBytes(fileName), bytes);
        // The markers stand in the list as in the file.
        const QStringList shown = f.shown();
        QCOMPARE(shown.size(), 3);
        QVERIFY(shown[0].endsWith(QStringLiteral("* START REGISTER *********************")));
        QCOMPARE(shown[0].count(QLatin1Char('*')), kind == MonitorKind::Gateway ? 42 : 38);
        QVERIFY(shown[2].contains(QStringLiteral(" STOP REGISTER ")));
        QCOMPARE(f.t.prompter.records.size(), 0);
    }

    void logAppendsAndStampsEachLine()
    {
        Fixture f;
        QDateTime now = kNow;
        f.ctx().clock = [&now] { return now; };
        const QByteArray before = "earlier line\r\n";
        f.t.dir.writeFile(QStringLiteral("ProjectsZDM/Alpha/BUS_EIB.log"), before);
        MonitorWindow *w = f.open(MonitorKind::Eib);
        w->chkLog->setChecked(true);
        now = now.addSecs(1);
        f.feed(QStringLiteral("EIB:a"));
        now = QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59));
        f.feed(QStringLiteral("EIB:b"));
        // Written as it comes, while the file is still open.
        QCOMPARE(f.logBytes(QStringLiteral("BUS_EIB.log")),
                 before + "2024/03/05 14:07:09 ***************** START REGISTER *********************\r\n"
                          "2024/03/05 14:07:10 a\r\n"
                          "2025/12/31 23:59:59 b\r\n");
    }

    void extMonitorWithBusOffShowsNothing()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::External);
        QVERIFY(f.link.busReportOn("EXT"));
        Fixture::click(w->chkBus);
        QVERIFY(!f.link.busReportOn("EXT"));
        f.feed(QStringLiteral("EXT:dropped"));
        Fixture::click(w->chkLog);
        QVERIFY(w->chkLog->isChecked()); // logging is on, but nothing passes
        f.feed(QStringLiteral("EXT:dropped too"));
        Fixture::click(w->chkLog);
        QVERIFY(f.shown().isEmpty());
        QCOMPARE(f.logBytes(QStringLiteral("ZTR001-PACKAGED.log")), QByteArray());
        QVERIFY(QFile::exists(f.projectDir + QStringLiteral("/ZTR001-PACKAGED.log")));
        // Bus on again: lines show.
        Fixture::click(w->chkBus);
        f.feed(QStringLiteral("EXT:shown"));
        QCOMPARE(f.shown(), QStringList{QStringLiteral("shown")});
    }

    void gatewayMonitorShowFlag()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Gateway);
        QVERIFY(f.ctx().GatewayMonitorShow);
        Fixture::click(w->chkBus);
        QVERIFY(!f.ctx().GatewayMonitorShow);
        w->hide();
        f.feed(QStringLiteral("hidden line"));
        QVERIFY(w->isVisible()); // made visible whatever the flag
        QVERIFY(f.shown().isEmpty());
        QVERIFY(f.link.sent.isEmpty());
    }

    void gatewayLogNeedsAProject()
    {
        Fixture f;
        f.ctx().ProjectDir.clear();
        MonitorWindow *w = f.open(MonitorKind::Gateway);
        Fixture::click(w->chkLog);
        QVERIFY(!w->chkLog->isChecked());
        QVERIFY(!w->core().logging());
        QVERIFY(f.shown().isEmpty());
        QCOMPARE(f.t.prompter.records.size(), 0);
    }

    void logFileThatCannotBeOpened_data()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::addColumn<bool>("staysChecked");
        QTest::newRow("eib") << MonitorKind::Eib << true;
        QTest::newRow("ext") << MonitorKind::External << true;
        QTest::newRow("gateway") << MonitorKind::Gateway << false;
    }
    void logFileThatCannotBeOpened()
    {
        QFETCH(MonitorKind, kind);
        QFETCH(bool, staysChecked);
        Fixture f;
        f.ctx().ProjectDir = f.projectDir + QStringLiteral("/missing/deeper");
        MonitorWindow *w = f.open(kind);
        Fixture::click(w->chkLog);
        QCOMPARE(w->chkLog->isChecked(), staysChecked);
        QVERIFY(!w->core().logging());
        QVERIFY(f.shown().isEmpty()); // no start marker
        QCOMPARE(f.t.prompter.records.size(), 0);
    }

    void reportSwitches_data()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::addColumn<int>("linkState");
        QTest::addColumn<QStringList>("sent");
        const QString i = QStringLiteral("INT"), e = QStringLiteral("EXT");
        QTest::newRow("eib on line") << MonitorKind::Eib << 2
                                     << QStringList{"BUSINTALL", "BUSINTOFF", "BUSINTALL", "BUSINTOFF"};
        QTest::newRow("ext on line") << MonitorKind::External << 2
                                     << QStringList{"BUSEXTALL", "BUSEXTOFF", "BUSEXTALL", "BUSEXTOFF"};
        QTest::newRow("eib waiting") << MonitorKind::Eib << 1 << QStringList{};
        QTest::newRow("ext off line") << MonitorKind::External << 0 << QStringList{};
        QTest::newRow("gateway on line") << MonitorKind::Gateway << 2 << QStringList{};
    }
    void reportSwitches()
    {
        QFETCH(MonitorKind, kind);
        QFETCH(int, linkState);
        QFETCH(QStringList, sent);
        Fixture f;
        f.link.setState(LinkState(linkState));
        MonitorWindow *w = f.open(kind);
        const QString side = kind == MonitorKind::Eib ? "INT" : "EXT";
        const auto flag = [&] { return kind == MonitorKind::Gateway ? f.ctx().GatewayMonitorShow : f.link.busReportOn(side); };
        const auto open = [&] { return kind == MonitorKind::Gateway ? f.ctx().GatewayMonitorShow : f.link.busMonitorOpen(side); };
        // Loaded: report on (set by the window even when nothing could be sent).
        QVERIFY(flag());
        QVERIFY(open());
        Fixture::click(w->chkBus);
        QVERIFY(!flag());
        Fixture::click(w->chkBus);
        QVERIFY(flag());
        if (kind != MonitorKind::Gateway) {
            w->close();
            QVERIFY(!flag());
            QVERIFY(!open());
        }
        QCOMPARE(f.link.sent, sent);
    }

    void busMonitorCloseStopsLog()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        w->chkLog->setChecked(true);
        QVERIFY(w->close());
        QVERIFY(!w->core().logging());
        QVERIFY(f.logBytes(QStringLiteral("BUS_EIB.log")).endsWith("***************** STOP REGISTER *********************\r\n"));
    }

    void gatewayMonitorRefusesItsCloseBox()
    {
        Fixture f;
        QMdiArea area;
        auto *monitor = new fTestTarveonZDM(f.ctx(), &f.link);
        QMdiSubWindow *frame = area.addSubWindow(monitor);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        frame->show();
        monitor->chkLog->setChecked(true);
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        QVERIFY(monitor->core().logging());
        QPointer<QMdiSubWindow> guard(frame);
        monitor->closeByProgram();
        QVERIFY(!f.ctx().GatewayMonitorShow);
        QTRY_VERIFY(!guard);
        QCOMPARE(f.logBytes(QStringLiteral("ZDM.log")),
                 QByteArray("2024/03/05 14:07:09 >********************* START REGISTER *********************\r\n"
                            "2024/03/05 14:07:09 >********************* STOP REGISTER *********************\r\n"));
    }

    void copyWholeList()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        // Free area: right of cmdClear, under the list.
        const QPoint freeArea(w->width() - 4, w->height() - 4);
        QCOMPARE(w->childAt(freeArea), nullptr);
        QTest::mouseDClick(w, Qt::LeftButton, {}, freeArea);
        QCOMPARE(clipboard->text(), QString()); // empty list: clipboard emptied
        f.feed(QStringLiteral("EIB:one"));
        f.feed(QStringLiteral("EIB:two"));
        QTest::mouseDClick(w, Qt::LeftButton, {}, freeArea);
        QCOMPARE(clipboard->text(), QStringLiteral("one\r\ntwo\r\n"));
    }

    void copyOneEntry_data()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("eib: nothing") << MonitorKind::Eib << "before";
        QTest::newRow("ext") << MonitorKind::External << "second";
        QTest::newRow("gateway") << MonitorKind::Gateway << ">EXT:second";
    }
    void copyOneEntry()
    {
        QFETCH(MonitorKind, kind);
        QFETCH(QString, expected);
        Fixture f;
        MonitorWindow *w = f.open(kind);
        f.feed(QStringLiteral("EXT:first"));
        f.feed(QStringLiteral("EXT:second"));
        f.feed(QStringLiteral("EXT:third"));
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        const QPoint entry(10, w->lstTramas->visualRect(w->lstTramas->model()->index(1, 0)).center().y());
        // A double click: press and release, then the second press.
        QTest::mouseClick(w->lstTramas->viewport(), Qt::LeftButton, {}, entry);
        QTest::mouseDClick(w->lstTramas->viewport(), Qt::LeftButton, {}, entry);
        QCOMPARE(clipboard->text(), expected);
    }

    void clearEmptiesTheList()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::External);
        f.feed(QStringLiteral("EXT:one"));
        Fixture::click(w->cmdClear);
        QVERIFY(f.shown().isEmpty());
        f.feed(QStringLiteral("EXT:two"));
        QCOMPARE(f.shown(), QStringList{QStringLiteral("two")});
        // A filter change after a clear does not bring old lines back.
        w->txtFiltro->setText(QStringLiteral("o"));
        QCOMPARE(f.shown(), QStringList{QStringLiteral("two")});
    }

    void filterListsMatchingLinesOnly()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Gateway);
        w->chkLog->setChecked(true);
        f.feed(QStringLiteral("GP:01/2/003=1"));
        f.feed(QStringLiteral("HELP"), QStringLiteral("<"));
        QTest::keyClicks(w->txtFiltro, QStringLiteral("gp:01"));
        QCOMPARE(f.shown(), QStringList{QStringLiteral(">GP:01/2/003=1")});
        f.feed(QStringLiteral("GP:01/2/003=2"));
        f.feed(QStringLiteral("GP:02/0/001=3"));
        QCOMPARE(f.shown(), (QStringList{">GP:01/2/003=1", ">GP:01/2/003=2"}));
        QTRY_COMPARE(w->lstTramas->currentIndex().row(), 1);
        // Cleared: every line again, in order.
        w->txtFiltro->clear();
        QCOMPARE(f.shown(), (QStringList{">********************* START REGISTER *********************", ">GP:01/2/003=1",
                                         "<HELP", ">GP:01/2/003=2", ">GP:02/0/001=3"}));
        // The log file kept every line.
        QCOMPARE(f.logBytes(QStringLiteral("ZDM.log")).count("\r\n"), 5);
    }

    void filteredListKeepsItsOwnBound()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        w->txtFiltro->setText(QStringLiteral("keep"));
        for (int n = 1; n <= 600; ++n) {
            f.feed(QStringLiteral("EIB:keep %1").arg(n));
            for (int k = 0; k < 3; ++k)
                f.feed(QStringLiteral("EIB:noise"));
        }
        QCOMPARE(f.shown().size(), 500);
        QCOMPARE(f.shown().first(), QStringLiteral("keep 101"));
        QCOMPARE(f.shown().last(), QStringLiteral("keep 600"));
    }

    void pauseFreezesTheListNotTheLog()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        w->chkLog->setChecked(true);
        f.feed(QStringLiteral("EIB:before"));
        Fixture::click(w->chkPausa);
        f.feed(QStringLiteral("EIB:during 1"));
        f.feed(QStringLiteral("EIB:during 2"));
        QCOMPARE(f.shown().size(), 2);
        QCOMPARE(f.shown().last(), QStringLiteral("before"));
        QVERIFY(f.logBytes(QStringLiteral("BUS_EIB.log")).endsWith("during 2\r\n"));
        Fixture::click(w->chkPausa);
        QCOMPARE(f.shown().size(), 4);
        QCOMPARE(f.shown().last(), QStringLiteral("during 2"));
        QTRY_COMPARE(w->lstTramas->currentIndex().row(), 3);
    }

    void resizingPlacesTheList()
    {
        Fixture f;
        MonitorWindow *w = f.open(MonitorKind::Eib);
        w->resize(600, 400);
        const QRect list = w->lstTramas->geometry();
        QCOMPARE(list.width(), 600 - 20);
        QCOMPARE(list.bottom() + 1, 400 - 30);
        QVERIFY(w->chkBus->geometry().top() >= list.bottom());
        QVERIFY(w->txtFiltro->geometry().bottom() < list.top());
        // No room: the list stays as it was.
        w->resize(15, 60);
        QCOMPARE(w->lstTramas->geometry(), list);
    }

    // --- In the main window ---------------------------------------------------------------------

    void mainWindowHandsLinesToTheMonitors()
    {
        Fixture f;
        MDITarveon window(f.ctx());
        window.linkCommands = &f.link;
        window.show();
        QVERIFY(!window.gatewayMonitor(false));
        // The first line opens the gateway monitor.
        window.showGatewayLine(QStringLiteral("Version 2.10"), QStringLiteral(">"));
        auto *gateway = qobject_cast<fTestTarveonZDM *>(window.gatewayMonitor(false));
        QVERIFY(gateway);
        QCOMPARE(gateway->core().lines().lines(), QStringList{">Version 2.10"});
        window.showGatewayLine(QStringLiteral("INFO?"), QStringLiteral("<"));
        QCOMPARE(gateway->core().lines().count(), 2);
        // Monitors opened from the menu take their lines.
        window.ShowMonitor(47);
        window.ShowMonitor(100);
        window.showEibLine(QStringLiteral("EIB>frame"));
        window.showExtLine(QStringLiteral("EXT<frame"));
        QCOMPARE(qobject_cast<MonitorWindow *>(window.eibMonitor(false))->core().lines().lines(), QStringList{"frame"});
        QCOMPARE(qobject_cast<MonitorWindow *>(window.extMonitor(false))->core().lines().lines(), QStringList{"frame"});
        QCOMPARE(window.mdiArea->subWindowList().size(), 3);
    }

    void projectListClosesTheGatewayLog()
    {
        Fixture f;
        MDITarveon window(f.ctx());
        window.showProjectList = [] {};
        window.show();
        window.showGatewayLine(QStringLiteral("hello"), QStringLiteral(">"));
        auto *gateway = qobject_cast<MonitorWindow *>(window.gatewayMonitor(false));
        Fixture::click(gateway->chkLog);
        QVERIFY(gateway->core().logging());
        window.mnuAProject_Click();
        QVERIFY(!gateway->chkLog->isChecked());
        QVERIFY(!gateway->core().logging());
        QCOMPARE(f.logBytes(QStringLiteral("ZDM.log")),
                 QByteArray("2024/03/05 14:07:09 >********************* START REGISTER *********************\r\n"
                            "2024/03/05 14:07:09 >********************* STOP REGISTER *********************\r\n"));
    }

    void closingTheMainWindowEndsEveryLog()
    {
        Fixture f;
        f.link.setState(LinkState::OnLine);
        {
            MDITarveon window(f.ctx());
            window.linkCommands = &f.link;
            window.show();
            window.showGatewayLine(QStringLiteral("hello"), QStringLiteral(">"));
            window.ShowMonitor(47);
            QCOMPARE(f.link.sent, QStringList{"BUSINTALL"});
            qobject_cast<MonitorWindow *>(window.gatewayMonitor(false))->chkLog->setChecked(true);
            qobject_cast<MonitorWindow *>(window.eibMonitor(false))->chkLog->setChecked(true);
            QVERIFY(window.close());
            QVERIFY(!f.ctx().GatewayMonitorShow);
            QVERIFY(!f.link.busMonitorOpen("INT"));
            QVERIFY(!f.link.busReportOn("INT"));
        }
        // The link was shut down first (its own switch-offs on an open port): the monitors' switch-offs
        // as they close send nothing more.
        QCOMPARE(f.link.sent, QStringList{"BUSINTALL"});
        QCOMPARE(f.link.state(), LinkState::OffLine);
        QVERIFY(f.logBytes(QStringLiteral("ZDM.log")).endsWith(">********************* STOP REGISTER *********************\r\n"));
        QVERIFY(f.logBytes(QStringLiteral("BUS_EIB.log")).endsWith(" ***************** STOP REGISTER *********************\r\n"));
    }

    void uploadSwitchesTheBusMonitorsOff()
    {
        Fixture f;
        f.link.setState(LinkState::OnLine);
        MDITarveon window(f.ctx());
        window.linkCommands = &f.link;
        window.show();
        QVERIFY(!window.monitorBusSwitchOff(QStringLiteral("INT"))); // not open
        window.ShowMonitor(47);
        auto *eib = qobject_cast<MonitorWindow *>(window.eibMonitor(false));
        QVERIFY(window.monitorBusSwitchOff(QStringLiteral("INT")));
        QVERIFY(!eib->chkBus->isChecked());
        QVERIFY(!f.link.busReportOn("INT"));
        QVERIFY(!window.monitorBusSwitchOff(QStringLiteral("INT"))); // already off
        QVERIFY(!window.monitorBusSwitchOff(QStringLiteral("EXT")));
        QCOMPARE(f.link.sent, (QStringList{"BUSINTALL", "BUSINTOFF"}));
    }
};

QTEST_MAIN(TestMonitors)
#include "tst_monitors.moc"
