// The tools' windows as a person uses them: keys and clicks go to the widget that has the focus.
#include "ToolsTest.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/WidgetPrompter.h"
#include "tools/ui/fInputBox.h"
#include "tools/ui/fMsgBox.h"
#include "tools/ui/fProject.h"
#include "tools/ui/fProjectNew.h"
#include "tools/ui/fTestTarveonZDM.h"
#include "tools/ui/fVerDatosZDM.h"
#include "tools/ui/frmAbout.h"
#include "tools/ui/fEstadisticasEIB.h"
#include "tools/ui/fWriteValue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeView>
#include <QTreeWidget>

using namespace tarveon;
using namespace tarveon::test;
using namespace Qt::StringLiterals;

namespace {

bool bringUp(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

void clickItem(QTreeWidget *list, const QString &name)
{
    const QTreeWidgetItem *item = list->findItems(name, Qt::MatchExactly).value(0);
    click(list->viewport(), list->visualItemRect(item).center());
}

// The main window at its default size, with the project "Alpha" open and the link on line.
struct Main : Projects {
    Main() : Projects({{"Alpha", "ZTR001-PACKAGED", "a"}, {"Beta", "ZTR001-PACKAGED", "b"}})
    {
        window.linkCommands = &link;
        window.showProjectList = [this] { openProject(ctx(), next); };
        started = window.startUp() && bringUp(&window);
        link.setState(LinkState::OnLine);
        next = u"Beta"_s;
    }
    MonitorWindow *monitor(QWidget *form) { return qobject_cast<MonitorWindow *>(form); }
    // A menu entry chosen with the mouse: the menu's title in the menu bar, then the entry.
    void choose(QMenu *menu, QAction *entry)
    {
        QMenuBar *bar = window.menuBar();
        click(bar, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        click(menu, menu->actionGeometry(entry).center());
        // Back in the main window, as the window system does after a menu (offscreen does not).
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    ScriptedLink link;
    MDITarveon window{*t.ctx};
    QString next = u"Alpha"_s; // the project the list opens
    bool started = false;
};

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    // Delete leaves nothing picked; New tabs down its fields and trims the name; Edit refuses a name
    // the settings file cannot store; a heading sorts; Enter opens.
    void projectList()
    {
        Projects p({{"alpha", "ZTR001-PACKAGED", "a"}, {"Beta", "ZTR001-CHILLER", "b"}, {"gamma", "ZTR001-PACKAGED", "c"}});
        p.ctx().ProjectName = u"Beta"_s;
        fProject w(p.ctx());
        QVERIFY(bringUp(&w));
        QCOMPARE(w.lvwPro->selectedItems().value(0)->text(0), u"Beta"_s);
        clickItem(w.lvwPro, u"gamma"_s);
        p.t.prompter.boxAnswers = {BoxAnswer::Yes};
        click(w.cmdBorrar);
        QVERIFY(w.lvwPro->findItems(u"gamma"_s, Qt::MatchExactly).isEmpty());
        QHeaderView *header = w.lvwPro->header(); // every click on a heading turns the order round
        for (const char *first : {"Beta", "alpha"}) {
            click(header->viewport(), QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
            QCOMPARE(w.lvwPro->topLevelItem(0)->text(0), QLatin1String(first));
        }
        QVERIFY(w.lvwPro->selectedItems().isEmpty());
        QCOMPARE(focused(), w.lvwPro);
        click(w.cmdBorrar); // nothing picked: no question
        click(w.cmdSelec);
        QCOMPARE(p.texts(), (QStringList{p.text("X89") + "gamma ?", p.text("X93")}));

        QStringList order;
        const auto step = [&](Qt::Key key) { order << focused()->objectName(), press(key); };
        WhenModal created([&](QWidget *) {
            type(u"  Hotel Sur  "_s);
            step(Qt::Key_Tab);
            step(Qt::Key_Down); // chillers
            press(Qt::Key_Tab);
            type(u"Roof"_s);
            for (int i = 0; i < 3; ++i)
                step(Qt::Key_Tab);
            step(Qt::Key_Return);
        });
        click(w.cmdNuevo);
        QVERIFY(created.ran && !created.leftOpen);
        QCOMPARE(order, (QStringList{"txtNom", "cboProt", "txtDesc", "cmdAceptar", "cmdCancelar", "txtNom"}));
        QCOMPARE(w.lvwPro->selectedItems().value(0)->text(0), u"Hotel Sur"_s);
        QCOMPARE(p.read(u"ProjectsZDM/Hotel Sur/Project.ini"_s), "[Project]\r\nDesc=Roof\r\nProt=ZTR001-CHILLER\r\n");

        QStringList whileOpen;
        WhenModal renamed([&](QWidget *) {
            type(QString::fromUtf8("Łódź"));
            press(Qt::Key_Return);
            whileOpen = p.texts().mid(2);
            press(Qt::Key_A, Qt::ControlModifier);
            type(u"Lodz"_s);
            press(Qt::Key_Return);
        });
        click(w.cmdEdit);
        QVERIFY(renamed.ran && !renamed.leftOpen);
        QCOMPARE(whileOpen, QStringList{p.text("PRJ1") + QString::fromUtf8(" \"Ł\"")});
        QVERIFY(bringUp(&w));
        clickItem(w.lvwPro, u"Lodz"_s);
        press(Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QCOMPARE((QStringList{p.ctx().ProjectName, p.ctx().ProjectDir}), (QStringList{"Lodz", p.project(u"Lodz"_s)}));
    }

    // Tab goes through every dialog's controls in the order they stand.
    void tabOrder_data()
    {
        rows({{"project list", "fProject", "lvwPro|cmdNuevo|cmdEdit|cmdBorrar|cmdSelec|cmdSalir"},
              {"project dialog", "fProjectNew", "txtNom|cboProt|txtDesc|cmdAceptar|cmdCancelar"},
              {"input dialog", "fInputBox", "txtDato|cmdAceptar|cmdCancelar"},
              {"message dialog", "fMsgBox", "cmd0|cmd1|cmd2"},
              {"about box", "frmAbout", "cmdOK"},
              {"monitor", "fTestTarveonZDM", "txtFiltro|chkPausa|lstTramas|chkBus|chkLog|chkUltimo|cmdClear"},
              {"signal viewer", "fVerDatosZDM", "TabStrip1|grid|cmdCopy|cmdRefrescar|cmdCerrar"}});
    }
    void tabOrder()
    {
        QFETCH(QStringList, row); // window, its controls in the order Tab reaches them
        Projects p;
        ScriptedLink link;
        auto box = std::make_unique<fMsgBox>(p.ctx());
        box->Msgbox1(u"Which?"_s, QString(), 1, 1, 3);
        const std::unique_ptr<QWidget> w(row[0] == "fProject"          ? new fProject(p.ctx())
                                         : row[0] == "fProjectNew"     ? new fProjectNew(p.ctx())
                                         : row[0] == "fInputBox"       ? new fInputBox(p.ctx())
                                         : row[0] == "frmAbout"        ? new frmAbout(p.ctx())
                                         : row[0] == "fTestTarveonZDM" ? new fTestTarveonZDM(p.ctx(), &link)
                                         : row[0] == "fVerDatosZDM"    ? static_cast<QWidget *>(new fVerDatosZDM(p.ctx(), &link))
                                                                       : box.release());
        QVERIFY(bringUp(w.get()));
        const QStringList order = row[1].split(QLatin1Char('|'));
        QStringList seen; // from where the focus is when the window opens, round once
        for (int i = 0; i <= order.size(); ++i) {
            seen << focused()->objectName() + focused()->property("index").toString(); // the message dialog's cmd(i)
            press(Qt::Key_Tab);
        }
        const qsizetype at = qMax<qsizetype>(0, order.indexOf(seen.first()));
        QCOMPARE(seen, order.mid(at) + order.mid(0, at) + QStringList{order.value(at)});
    }

    // Message dialog: which button Enter and Esc press, the close box, where the text stands.
    void messageDialog_data()
    {
        const QString s54(54, QLatin1Char('s')), l55(55, QLatin1Char('l'));
        rows({{"1 button, Esc; 54 characters centred", s54, "1", "1", "esc", "1", s54 + "|centred"},
              {"1 button, Enter; 55 characters not", l55, "1", "1", "enter", "1", l55},
              {"2 buttons, Esc is the second; CR", "a\rb", "2", "1", "esc", "2", "a|b|centred|gap 16"},
              {"3 buttons, Esc is the third; CR LF", "a\r\nb", "3", "1", "esc", "3", "a|b|centred|gap 16"},
              {"3 buttons, Enter on the second; LF lost", "a\nb", "3", "2", "enter", "2", "ab|centred|gap 16"},
              {"close box", "x", "3", "1", "close", "0", "x|centred|gap 16"}});
    }
    void messageDialog()
    {
        QFETCH(QStringList, row); // text, buttons, default button, key, result, lines shown
        TestContext t;
        WidgetPrompter prompter;
        prompter.setContext(t.ctx.get());
        QStringList shown;
        WhenModal dialog([&](QWidget *d) {
            auto *box = qobject_cast<fMsgBox *>(d);
            for (QTextBlock b = box->lblMsg->document()->begin(); b.isValid(); b = b.next())
                shown << b.text();
            if (box->lblMsg->document()->begin().blockFormat().alignment() & Qt::AlignHCenter)
                shown << u"centred"_s;
            if (box->cmd[1]->isVisible()) // 250 twips between buttons of 1275, each edge rounded: 16 pixels
                shown << u"gap %1"_s.arg(box->cmd[1]->x() - box->cmd[0]->geometry().right() - 1);
            row[3] == "close" ? void(box->close()) : press(row[3] == "esc" ? Qt::Key_Escape : Qt::Key_Return);
        });
        const int result = prompter.msgBox(row[0], QString(), MsgIcon::Question, MsgDefault(row[2].toInt()), MsgButtons(row[1].toInt()));
        QCOMPARE(result, row[4].toInt());
        QVERIFY(!dialog.leftOpen);
        QCOMPARE(shown, row[5].split(QLatin1Char('|')));
    }

    // Input dialog: the default text selected, so typing replaces it; what each way out gives.
    void inputDialog_data() { rows({{"Enter", "enter", "7"}, {"OK", "ok", "7"}, {"Cancel", "cancel", ""}, {"Esc", "esc", ""}, {"close box", "close", ""}}); }
    void inputDialog()
    {
        QFETCH(QStringList, row); // way out, result
        TestContext t;
        WidgetPrompter prompter;
        prompter.setContext(t.ctx.get());
        WhenModal dialog([&](QWidget *d) {
            auto *box = qobject_cast<fInputBox *>(d);
            type(u"7"_s);
            if (row[0] == "enter" || row[0] == "esc")
                press(row[0] == "enter" ? Qt::Key_Enter : Qt::Key_Escape);
            else if (row[0] == "close")
                box->close();
            else
                click(row[0] == "ok" ? box->cmdAceptar : box->cmdCancelar);
        });
        QCOMPARE(prompter.inputBox(u"Title"_s, u"Value"_s, u"12.5"_s), row[1]);
        QVERIFY(dialog.ran && !dialog.leftOpen);
    }

    // Tiled in the default main window every monitor shows its controls whole; long lines scroll.
    void monitorsTiled()
    {
        Main m;
        QVERIFY(m.started);
        m.window.ShowMonitor(47);
        m.window.ShowMonitor(100);
        m.window.showGatewayLine(u"Version "_s + QString(300, QLatin1Char('x')), kMarkReceived);
        m.choose(m.window.mnuVentanas, m.window.mnuVMosaico);
        QCoreApplication::processEvents();
        for (QWidget *form : {m.window.gatewayMonitor(false), m.window.eibMonitor(false), m.window.extMonitor(false)}) {
            MonitorWindow *w = m.monitor(form);
            const QRect inside = m.window.mdiArea->viewport()->rect();
            QList<QRect> taken;
            for (QWidget *c : QList<QWidget *>{w->txtFiltro, w->chkPausa, w->lstTramas, w->chkBus, w->chkLog, w->chkUltimo, w->cmdClear}) {
                const QRect r(c->mapTo(m.window.mdiArea->viewport(), QPoint()), c->size());
                QVERIFY2(inside.contains(r) && w->rect().contains(c->geometry()), qPrintable(c->objectName()));
                const bool whole = c->sizeHint().width() <= c->width() || c == w->lstTramas || c == w->txtFiltro;
                QVERIFY2(whole, qPrintable(c->objectName()));
                for (const QRect &other : taken)
                    QVERIFY2(!other.intersects(r), qPrintable(c->objectName()));
                taken << r;
            }
            w->core().VerTramas(u"EXT:line"_s, kMarkReceived);
            click(w->cmdClear);
            QCOMPARE(w->core().lines().count(), 0);
        }
        // The long line: click it, then the right arrow moves the view sideways.
        MonitorWindow *gateway = m.monitor(m.window.gatewayMonitor(false));
        QMdiSubWindow *frame = m.window.subWindowOf(gateway);
        QVERIFY(!frame->close()); // its close box is refused
        gateway->core().VerTramas(u"Version "_s + QString(300, QLatin1Char('x')), kMarkReceived);
        QTRY_VERIFY(gateway->lstTramas->horizontalScrollBar()->maximum() > 0);
        click(gateway->lstTramas->viewport(), QPoint(10, 5));
        press(Qt::Key_Right);
        QVERIFY(gateway->lstTramas->horizontalScrollBar()->value() > 0);
    }

    // Opening another project ends every monitor's log; no line reaches a project not open.
    void logsFollowTheProject()
    {
        Main m;
        QVERIFY(m.started);
        m.window.showGatewayLine(u"Version 2.10"_s, kMarkReceived);
        m.window.ShowMonitor(47);
        m.window.ShowMonitor(100);
        const QList<MonitorWindow *> monitors{m.monitor(m.window.gatewayMonitor(false)),
                                              m.monitor(m.window.eibMonitor(false)), m.monitor(m.window.extMonitor(false))};
        for (MonitorWindow *w : monitors) {
            click(w->chkLog);
            QVERIFY(w->core().logging());
        }
        m.choose(m.window.mnuArchivo, m.window.mnuAProject);
        QCOMPARE(m.ctx().ProjectName, u"Beta"_s);
        const QStringList files{"ZDM.log", "BUS_EIB.log", "ZTR001-PACKAGED.log"};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!monitors[i]->chkLog->isChecked());
            QVERIFY(m.read("ProjectsZDM/Alpha/" + files[i]).endsWith(" STOP REGISTER *********************\r\n"));
        }
        const auto before = snapshot(m.project(QString()));
        m.window.showGatewayLine(u"after"_s, kMarkReceived);
        m.window.showEibLine(u"EIB>after"_s);
        m.window.showExtLine(u"EXT<after"_s);
        QCOMPARE(snapshot(m.project(QString())), before);
    }

    // With "follow last line" unticked the picked line stays picked; double clicks copy.
    void followAndCopy()
    {
        Main m;
        QVERIFY(m.started);
        m.window.ShowMonitor(100);
        MonitorWindow *w = m.monitor(m.window.extMonitor(false));
        for (int n = 1; n <= 500; ++n)
            m.window.showExtLine(u"EXT:frame %1"_s.arg(n));
        QTRY_COMPARE(w->lstTramas->currentIndex().row(), 499);
        click(w->chkUltimo);
        const QPoint picked(10, w->lstTramas->visualRect(w->lstTramas->model()->index(490, 0)).center().y());
        click(w->lstTramas->viewport(), picked);
        QTest::mouseDClick(w->lstTramas->viewport(), Qt::LeftButton, {}, picked);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"frame 491"_s);
        m.window.showExtLine(u"EXT:frame 501"_s);
        QTest::qWait(60);
        QCOMPARE(w->lstTramas->currentIndex().data().toString(), u"frame 491"_s);
        QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(w->width() - 3, w->height() - 3));
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(u"frame 2\r\nframe 3\r\n"_s));
    }

    // The viewer opens with the Value column whole (eight digits); double click writes; Copy copies.
    void viewerAtDefaultSize()
    {
        Main m;
        addSignals(m.link.tables(), 3);
        m.link.tables().signals_[2].value = -12345678.0f;
        QVERIFY(m.started);
        m.window.mnuVDatos_Click(); // the View menu opens on line only
        auto *v = qobject_cast<fVerDatosZDM *>(m.window.signalViewer(false));
        v->core().Timer1_Timer();
        const QModelIndex value = v->grid->model()->index(1, 11);
        QCOMPARE(value.data().toString(), u"-12345678"_s);
        const QRect cell = v->grid->visualRect(value);
        QVERIFY(v->grid->viewport()->rect().contains(cell));
        const QPoint inArea = v->grid->viewport()->mapTo(m.window.mdiArea->viewport(), cell.topLeft());
        QVERIFY(m.window.mdiArea->viewport()->rect().contains(QRect(inArea, cell.size())));
        QVERIFY(v->grid->fontMetrics().horizontalAdvance(value.data().toString()) < cell.width() - 4);

        const QPoint description = v->grid->visualRect(v->grid->model()->index(0, 3)).center();
        click(v->grid->viewport(), description);
        QCOMPARE(v->lblHelp->text(), m.text("X64"));
        m.t.prompter.inputAnswers << u"22,5"_s;
        QTest::mouseDClick(v->grid->viewport(), Qt::LeftButton, {}, description);
        QCOMPARE(m.link.sent, QStringList{"GP:01/0/001=22.50"});
        click(v->cmdCopy);
        QCOMPARE(QGuiApplication::clipboard()->text().count(u"\r\n"_s), 4);
        click(v->cmdCerrar);
        QVERIFY(!m.link.viewerOpen());
    }
    // With a project open, the EIB and gateway monitors name and decode beside the line, which
    // stays as it came (list, copy); the filter finds names; export and statistics from the window.
    void eibMonitorDecodes()
    {
        Main m;
        QVERIFY(m.started);
        m.window.ShowMonitor(47);
        MonitorWindow *eib = m.monitor(m.window.eibMonitor(false));
        m.window.showEibLine(u"EIB>1.1.12 01/3/001 Write 23.40"_s); // no table yet: nothing to name
        QCOMPARE(eib->lstTramas->model()->index(0, 1).data().toString(), QString());
        click(eib->cmdClear);
        for (const char *name : {"ZTR001-PACKAGED.ini", "ZTR001-PACKAGED.dat"}) {
            QFile f(u"" TARVEON_SOURCE_DIR "/tests/data/knx/Project/"_s + QLatin1String(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            m.write(u"ProjectsZDM/Alpha/"_s + QLatin1String(name), f.readAll());
        }
        QVERIFY(m.window.openProject(u"Alpha"_s));
        m.window.showEibLine(u"EIB>1.1.12 01/3/001 Write 23.40"_s);
        m.window.showEibLine(u"EIB>1.1.12 3/7/3 Write 25.1"_s);
        m.window.showGatewayLine(u"GP:01/1/001=1.00"_s, kMarkReceived);
        const QAbstractItemModel *list = eib->lstTramas->model();
        QCOMPARE(list->index(0, 0).data().toString(), u"1.1.12 01/3/001 Write 23.40"_s);
        QCOMPARE(list->index(0, 1).data().toString(), u"Room 101 Setpoint = 23.40 \u00B0C"_s);
        QCOMPARE(list->index(1, 1).data().toString(), u"3/7/3: "_s + m.text("TLG1"));
        const QAbstractItemModel *gateway = m.monitor(m.window.gatewayMonitor(false))->lstTramas->model();
        QCOMPARE(gateway->index(gateway->rowCount() - 1, 1).data().toString(), u"Room 101 Mode = Mode 1 Cool"_s);
        eib->copyAll();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"1.1.12 01/3/001 Write 23.40\r\n1.1.12 3/7/3 Write 25.1\r\n"_s);
        click(eib->txtFiltro);
        type(u"room 101"_s);
        QCOMPARE(list->rowCount(), 1);

        const QString path = m.t.dir.filePath(u"out.csv"_s);
        eib->askCsvPath = [&](const QString &suggested) {
            return suggested == m.project(u"Alpha/BUS_EIB.csv"_s) ? path : QString();
        };
        click(eib->cmdExportar);
        QCOMPARE(m.read(u"out.csv"_s).count("\r\n"), 4); // the session, not the list
        click(eib->cmdEstadisticas);
        auto *stats = eib->findChild<fEstadisticasEIB *>();
        QVERIFY(stats && stats->isVisible());
        QCOMPARE(stats->grid->model()->rowCount(), 3); // 1/1/1, 1/3/1, 3/7/3
        QCOMPARE(stats->grid->model()->index(1, 3).data().toString(), u"23.40 \u00B0C"_s);
    }

    // "Write value…" from the grid's context menu: a mode from its names, a setpoint typed with a
    // warning outside its range; both sent as the double click sends.
    void viewerWritesChoices()
    {
        Main m;
        for (const QStringList &f : {QStringList{"01 - Mode", "14 - Counter", "1/1/1", "01/1/001"},
                                     QStringList{"03 - Setpoint", "05 - Float", "1/3/1", "01/3/001"}}) {
            LinkSignal s;
            s.protocolCode = 70;
            s.fields = {QString(), u"1"_s, f[0], f[0], f[1], f[2], QString(), u"R"_s, u"W"_s, u"T"_s};
            s.groupText = f[3];
            s.inUse = 1;
            s.value = 1;
            m.link.tables().signals_.append(s);
        }
        QVERIFY(m.started);
        m.window.mnuVDatos_Click();
        auto *v = qobject_cast<fVerDatosZDM *>(m.window.signalViewer(false));
        QCOMPARE(v->core().valueMeaning(1), u"Cool"_s);
        QCOMPARE(v->core().valueMeaning(2), u"\u00B0C"_s);
        bool warned = false;
        for (int row : {1, 2}) {
            WhenModal dialog([&](QWidget *) {
                if (row == 1) {
                    press(Qt::Key_Down);
                } else {
                    type(u"35"_s);
                    warned = v->findChild<fWriteValue *>()->lblAviso->isVisible();
                }
                press(Qt::Key_Return);
            });
            const QPoint cell = v->grid->visualRect(v->grid->model()->index(row - 1, 3)).center();
            click(v->grid->viewport(), cell);
            QTimer::singleShot(0, [] { press(Qt::Key_Down), press(Qt::Key_Return); }); // the menu's one entry
            // The menu key, as the window system delivers it (the offscreen platform does not).
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, cell, v->grid->viewport()->mapToGlobal(cell));
            QApplication::sendEvent(v->grid->viewport(), &menu);
            QVERIFY(dialog.ran && !dialog.leftOpen);
        }
        QVERIFY(warned);
        QCOMPARE(m.link.sent, (QStringList{"GP:01/1/001=2.00", "GP:01/3/001=35.00"}));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
