// The configuration editor as its user drives it: keys typed into the widget that has the focus,
// clicks on the grid, its header, its pop-ups and the buttons.
#include "EditorFixture.h"
#include "editor/ui/EditorMenus.h"
#include "editor/ui/PlanDialog.h"
#include "editor/ui/SignalGridPage.h"
#include "editor/ui/SignalGridView.h"
#include "editor/ui/fConfKorvaneEIB.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// Rows of a one-unit project as the catalogue builds it.
constexpr int kOnOff = 3, kMode = 4, kModeBit1 = 6, kModeStep = 10, kFan = 11, kRoomTemp = 25, kLast = 40;

struct Editor {
    explicit Editor(const QByteArray &settings = unitSettings(1), int language = 0) : f(kUnits, settings, {}, language)
    {
        w = std::make_unique<fConfKorvaneEIB>(f.ctx());
        w->show();
        activate();
        f.prompter().clear();
    }
    // The window active again, as the window manager makes it when a dialog over it closes.
    void activate()
    {
        QApplication::setActiveWindow(w.get());
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the editor did not become active");
    }
    SignalTableModel &model() { return w->session().table(); }
    GridController &grid() { return w->session().grid(); }
    SignalGridView *view() { return w->grid; }
    QString cell(int row, int column) { return model().cell(row, column); }
    QPoint at(int row, int column)
    {
        const QModelIndex i = grid().viewIndex({row, column});
        view()->scrollTo(i);
        return view()->visualRect(i).center();
    }
    void showGrid()
    {
        QTabBar *bar = w->TabStrip1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    }
    void click(int row, int column, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, mods, at(row, column));
    }
    void doubleClick(int row, int column)
    {
        click(row, column);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at(row, column));
    }
    void rightClick(int row, int column) { QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, at(row, column)); }
    void type(const QString &text)
    {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), key, mods); }
    void press(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // Chooses visible entry `item` of the open pop-up.
    void choose(int item)
    {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QList<QAction *> shown;
        for (QAction *a : menu->actions())
            if (a->isVisible() && !a->isSeparator())
                shown << a;
        menu->hide();
        shown.value(item)->trigger();
    }
    // Clicks a menu of the menu bar, then its entry.
    void menu(const char *name, const char *entry)
    {
        QMenuBar *bar = w->menus->menuBar;
        auto *m = w->findChild<QMenu *>(name);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(m->menuAction()).center());
        QTRY_VERIFY(m->isVisible());
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(m->findChild<QAction *>(entry)).center());
    }
    // A row in use with an address and its flags, set through the model.
    void use(int row, const QString &address, const QString &flags = "RWT")
    {
        model().setCell(row, kColAddress, address);
        for (int c = 0; c < 4; ++c)
            model().setCell(row, kColR + c, flags.contains("RWTU"[c]) ? QString("RWTU"[c]) : QString());
        model().setCell(row, kColYesNo, f.text("X10"));
    }

    EditorFixture f;
    std::unique_ptr<fConfKorvaneEIB> w;
};

} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void opening_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Spanish") << 1;
    }
    void opening()
    {
        QFETCH(int, language);
        Editor e(unitSettings(1), language);
        QCOMPARE(e.w->windowTitle(), e.f.withTexts("{X103} TR-BAS-HUB (Packaged) - Max.Units:160 - Max.{X39}EIB:5920 - "
                                                   "Max.{EIB43}EIB:1000 - Max.{EIB43}/{X38}EIB:255"));
        QCOMPARE(QApplication::focusWidget(), e.w->txtIp);
        QCOMPARE(e.w->lblHelp->text(), QStringLiteral("IP Gateway"));
        // Every text of the settings page comes from the language file.
        QStringList shown;
        for (QLabel *l : e.w->frmTab[0]->findChildren<QLabel *>())
            shown << l->text();
        for (QGroupBox *b : e.w->frmTab[0]->findChildren<QGroupBox *>())
            shown << b->title();
        shown << e.w->chkUpdateOnResetoErrEIB->text() << e.w->cmdElementos->text();
        QStringList keyed{"Korvane TR-BAS-HUB", "", e.f.text("X27") + "..."};
        for (const char *key : {"ED2", "ED3", "ED3", "ED4", "ED5", "ED6", "ED7", "EIB46", "ED8", "ED9", "EIB33",
                                "ED10", "ED11", "ED12", "ED13"})
            keyed << e.f.text(key);
        shown.sort();
        keyed.sort();
        QCOMPARE(shown, keyed);
        // Every column title is shown whole.
        e.showGrid();
        QHeaderView *header = e.view()->horizontalHeader();
        for (int c = 1; c < kSignalColumns; ++c) {
            const QString title = e.model().headerData(c, Qt::Horizontal).toString();
            QVERIFY2(header->sectionSize(c) >= header->fontMetrics().horizontalAdvance(title) + 8, qPrintable(title));
        }
        QVERIFY(e.f.messages().isEmpty());
    }

    // The fields by keyboard. Stored values are shown and kept whole; the device check refuses
    // system 100 at OK.
    void settingsPage()
    {
        const QByteArray file = dataFile("settings-units.ini");
        Editor e(file);
        e.key(Qt::Key_A, Qt::ControlModifier);
        e.type("192.168.0");
        e.key(Qt::Key_Tab);
        QCOMPARE(e.f.messages(), QStringList{e.f.withTexts("IP: 192.168.0{X41}")});
        QCOMPARE(e.w->txtIp->text(), QStringLiteral("10.0.0.5"));
        QCOMPARE(QApplication::focusWidget(), e.w->txtNetMask);
        e.f.prompter().clear();
        QLineEdit *name = e.w->txtMaquina[2];
        QCOMPARE(name->text().size(), 45);
        QVERIFY(name->fontMetrics().horizontalAdvance(name->text()) < name->width());
        // Enter goes round the device fields.
        e.press(e.w->txtMaquina[2]);
        for (int next : {0, 1, 2}) {
            e.key(Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), e.w->txtMaquina[next]);
        }
        e.key(Qt::Key_Tab);
        QListWidget *list = e.w->lstMaquina;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QCOMPARE(e.w->txtMaquina[0]->text(), QStringLiteral("100"));
        e.press(e.w->txtMaquina[0]);
        e.key(Qt::Key_Tab);
        e.press(e.w->cmdAceptar);
        QCOMPARE(e.f.messages(), QStringList{e.f.withTexts(" Sytem: 100{X85}")});
        QCOMPARE(e.f.read(kUnits + ".ini"), file);
        // Corrected, the rest is saved as it was loaded.
        e.press(e.w->txtMaquina[0]);
        e.key(Qt::Key_End);
        e.type("\b\b\t");
        e.f.prompter().msgBoxAnswers = {1, 2};
        e.press(e.w->cmdAceptar);
        QCOMPARE(e.f.read(kUnits + ".ini"), QByteArray(file).replace("D2-Sys=100", "D2-Sys=1"));
    }

    // The in-place edit by its keys; Generate refuses while an edited cell is not saved.
    void gridEditing_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("typing replaces") << int('9') << "/0/1" << int(Qt::Key_Return) << "9/0/1" << kOnOff << 5;
        QTest::newRow("Enter keeps the text") << int(Qt::Key_Return) << "" << int(Qt::Key_Return) << "1/2/3" << kOnOff << 5;
        QTest::newRow("blanks trimmed") << int(' ') << "  2/0/1 " << int(Qt::Key_Return) << "2/0/1" << kOnOff << 5;
        QTest::newRow("Escape drops") << int('7') << "/7/7" << int(Qt::Key_Escape) << "1/2/3" << kOnOff << 5;
        QTest::newRow("Down commits, moves down") << int('2') << "/0/1" << int(Qt::Key_Down) << "2/0/1" << kMode << 5;
        QTest::newRow("Up commits, moves up") << int('2') << "" << int(Qt::Key_Up) << "2" << kOnOff - 1 << 5;
        QTest::newRow("Tab commits, moves on") << int('3') << "" << int(Qt::Key_Tab) << "3" << kOnOff << 6;
    }
    void gridEditing()
    {
        QFETCH(int, start);
        QFETCH(QString, typed);
        QFETCH(int, end);
        QFETCH(QString, after);
        QFETCH(int, row);
        QFETCH(int, column);
        Editor e;
        e.model().setCell(kOnOff, kColAddress, "1/2/3");
        e.showGrid();
        e.click(kOnOff, kColAddress);
        e.key(Qt::Key(start));
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QCOMPARE(editor->text(), start == Qt::Key_Return || start == ' ' ? QStringLiteral("1/2/3") : QString(QChar(start)));
        QCOMPARE(editor->selectedText(), start == Qt::Key_Return || start == ' ' ? QStringLiteral("1/2/3") : QString());
        e.type(typed);
        e.key(Qt::Key(end));
        QCOMPARE(QApplication::focusWidget(), e.view());
        QCOMPARE(e.cell(kOnOff, kColAddress), after);
        QCOMPARE(e.grid().current(), (GridCell{row, column}));
        e.f.prompter().msgBoxAnswers = {2};
        e.press(e.w->cmdTarveon);
        QCOMPARE(e.f.messages(), QStringList{e.f.text(after == "1/2/3" ? "A24" : "X71")});
    }

    void tabOnTheGrid()
    {
        Editor e;
        e.showGrid();
        const std::pair<GridCell, GridCell> steps[] = {
            {{kOnOff, 5}, {kOnOff, 6}}, {{kOnOff, 11}, {kMode, 1}}, {{kLast, 11}, {1, 1}}};
        for (const auto &[from, to] : steps) {
            e.click(from.row, from.column);
            e.key(Qt::Key_Tab);
            QCOMPARE(e.grid().current(), to);
            QCOMPARE(QApplication::focusWidget(), e.view());
        }
    }

    void popupsAndDoubleClicks()
    {
        Editor e;
        e.showGrid();
        e.doubleClick(kMode, kColCode);
        QCOMPARE(e.model().rowMark(kMode), qint16(2));
        // A flag chosen over a selection reaches its shown rows only, and the rules follow.
        e.click(kOnOff, kColR);
        e.click(kFan + 1, kColU, Qt::ShiftModifier);
        e.rightClick(kMode, kColU);
        QVERIFY(e.w->gridPage->mnuRWTU[2]->isVisible());
        e.choose(1);
        for (int r = kOnOff; r <= kFan + 1; ++r) {
            const bool shown = r < kModeBit1 - 1 || r > kModeStep;
            QCOMPARE(e.cell(r, kColU) + e.cell(r, kColR) + e.cell(r, kColW), shown ? "UW" : r == kModeStep ? "W" : "RW");
        }
        e.rightClick(kOnOff, kColYesNo);
        e.choose(1);
        QCOMPARE(e.cell(kFan, kColYesNo) + e.cell(kModeStep, kColYesNo), e.f.text("X10") + e.f.text("X9"));
        // W on a read-only signal is undone at once; the use column toggles.
        e.doubleClick(kRoomTemp, kColW);
        QCOMPARE(e.cell(kRoomTemp, kColW), QString());
        e.doubleClick(kRoomTemp, kColYesNo);
        QCOMPARE(e.cell(kRoomTemp, kColYesNo), e.f.text("X10"));
        // The code legend offers the bit rows over group heads only.
        e.rightClick(kOnOff, kColCode);
        QVERIFY(!e.w->gridPage->mnuCodShowBits->menuAction()->isVisible());
        e.choose(0);
        e.rightClick(kFan, kColCode);
        QVERIFY(e.w->gridPage->mnuCodShowBits->menuAction()->isVisible());
        qobject_cast<QMenu *>(QApplication::activePopupWidget())->hide();
        e.w->gridPage->mnuMostrar[1]->trigger();
        QCOMPARE(e.w->session().visibleRows().rowCount(), 40 - 20);
        // Ctrl+C copies the selected cells.
        e.click(kOnOff, kColR);
        e.click(kMode, kColT, Qt::ShiftModifier);
        e.key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\tW\tT\n\tW\tT\n"));
    }

    // One plan by the menus and keys: a series filled, undone and made again, one unit's plan on
    // the others, a block pasted, a unit found by its name.
    void addressPlans()
    {
        Editor e(unitSettings(3) + "D2-Name=Room 204\r\n");
        const int row2 = e.model().findRow(2, 0), row3 = e.model().findRow(3, 0), setpoint = e.model().findRow(1, 3);
        e.showGrid();
        e.click(kOnOff, kColAddress);
        e.menu("mnuAddresses", "mnuFill");
        QPointer<fFillAddresses> fill = qobject_cast<fFillAddresses *>(QApplication::activeModalWidget());
        QVERIFY(fill);
        QTRY_COMPARE(QApplication::focusWidget(), fill->txtStart);
        e.type("1/0/8");
        QCOMPARE(fill->lblPreview->text(), e.f.withTexts("{PL31}1/0/8 \u2026 1/0/10 (3{PL32})"));
        e.key(Qt::Key_Return);
        QTRY_VERIFY(!fill);
        e.activate();
        auto onOff = [&] { return QStringList{e.cell(kOnOff, 5), e.cell(row2, 5), e.cell(row3, 5), e.cell(row3, 11)}; };
        const QStringList filled{"1/0/8", "1/0/9", "1/0/10", e.f.text("X10")};
        QCOMPARE(onOff(), filled);
        e.click(kMode, kColAddress);
        e.key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(onOff(), QStringList({"", "", "", e.f.text("X9")}));
        e.key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(onOff(), filled);
        // Unit 1's setpoint typed, its plan applied to units 2 and 3 a middle group apart.
        e.click(setpoint, kColAddress);
        e.type("2/0/1\r");
        e.click(setpoint, kColYesNo);
        e.type("1");
        e.menu("mnuAddresses", "mnuApplyPlan");
        QPointer<fApplyPlan> plan = qobject_cast<fApplyPlan *>(QApplication::activeModalWidget());
        QVERIFY(plan);
        QCOMPARE(e.w->menus->mnuApplyPlan->text(), e.f.withTexts("{PL9}{CLI1} 1{PL10}"));
        QTRY_COMPARE(QApplication::focusWidget(), plan->txtFrom);
        e.type("\t\t"); // the step's level: middle
        e.key(Qt::Key_Down);
        e.key(Qt::Key_Return);
        QTRY_VERIFY(!plan);
        e.activate();
        QCOMPARE(e.cell(e.model().findRow(3, 3), kColAddress) + e.cell(row3, kColAddress), "2/2/11/2/8");
        // Two lines of a spreadsheet onto unit 3's Mode and the next row shown.
        QGuiApplication::clipboard()->setText("3/0/1\t\tR\r\n3/0/2\t\t\r\n");
        e.click(e.model().findRow(3, 1), kColAddress);
        e.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.cell(e.model().findRow(3, 1), 5) + e.cell(e.model().findRow(3, 18), 5), "3/0/13/0/2");
        // Found by its name; the list, the help line and the EIS column's tool tip tell more.
        e.key(Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), e.w->gridPage->txtFilter);
        e.type("room 204");
        QCOMPARE(e.w->session().visibleRows().rowCount(), 39);
        e.key(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.view());
        e.click(row2, kColEis);
        QCOMPARE(e.w->lblHelp->text(), e.f.withTexts("{EIB9} \u00B7 DPT 1.001 {KNX3} \u00B7 Unit 2 \u00B7 Room 204 \u00B7 00 - {H32}"));
        QCOMPARE(e.view()->model()->data(e.grid().viewIndex({row2, kColEis}), Qt::ToolTipRole).toString(),
                 e.f.withTexts("01 - Switching (1 bit) \u00B7 DPT 1.001 {KNX3}"));
        QCOMPARE(e.w->lstMaquina->item(1)->text(), QStringLiteral("Unit 2 \u00B7 Room 204"));
        e.key(Qt::Key_F, Qt::ControlModifier);
        e.key(Qt::Key_Escape);
        QCOMPARE(e.w->session().visibleRows().rowCount(), 3 * 39 + 1);
        QVERIFY(e.w->isVisible());
        QVERIFY(e.f.messages().isEmpty());
    }

    // The signal table out to a spreadsheet and back by the menus; an ETS export's names offered
    // while an address is typed.
    void spreadsheetAndEts()
    {
        Editor e;
        e.w->menus->chooseFile = [&](const QString &, const QString &, const QString &filter, bool) {
            return e.f.path(filter == e.f.text("PL60") ? "ets.csv" : "plan.csv");
        };
        e.menu("mnuAddresses", "mnuExportCsv");
        QByteArray csv = e.f.read("plan.csv");
        QVERIFY(csv.contains("\r\n3;1;"));
        csv.replace("(1 bit);;;R;W;T;;0 - No\r\n4;", "(1 bit);1/0/1;;R;W;T;;1\r\n4;");
        e.f.write("plan.csv", csv);
        e.menu("mnuAddresses", "mnuImportCsv");
        QCOMPARE(e.cell(kOnOff, kColAddress) + e.cell(kOnOff, kColYesNo), "1/0/1" + e.f.text("X10"));
        e.f.write("ets.csv", "\"Room 101 Setpoint\";\"1/3/1\";\"\";\"\";\"\";\"DPST-9-1\"\r\n");
        e.menu("mnuAddresses", "mnuEts");
        QCOMPARE(e.f.messages(), QStringList({e.f.text("KNX47") + e.f.path("plan.csv"), e.f.withTexts("{PL51}40. {PL53}"),
                                              "1" + e.f.text("PL61")}));
        e.showGrid();
        e.click(kMode, kColAddress);
        e.type("room");
        auto *popup = qobject_cast<QAbstractItemView *>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->model()->index(0, 0).data().toString(), QStringLiteral("1/3/1 Room 101 Setpoint \u00B7 9.001"));
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(popup->model()->index(0, 0)).center());
        e.key(Qt::Key_Return);
        QCOMPARE(e.cell(kMode, kColAddress), QStringLiteral("1/3/1"));
    }

    void sortByHeader()
    {
        Editor e;
        e.model().setCell(kOnOff, kColAddress, "3");
        e.model().setCell(kFan, kColAddress, "1");
        e.model().setCell(kLast, kColAddress, "2");
        e.showGrid();
        e.click(kLast, kColAddress);
        QHeaderView *header = e.view()->horizontalHeader();
        const QPoint title(header->sectionViewportPosition(kColAddress) + 5, header->height() / 2);
        QStringList order;
        for (int i = 0; i < 2; ++i) {
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, title);
            order << e.cell(1, kColAddress) + e.cell(2, kColAddress) + '|' + e.cell(kLast, kColAddress);
        }
        // Numbers by value before texts, then the other way round.
        QCOMPARE(order, QStringList({"12|", "|1"}));
        QCOMPARE(e.cell(e.grid().current().row, kColAddress), QStringLiteral("2"));
        QTest::mouseDClick(e.view()->cornerButton(), Qt::LeftButton);
        QCOMPARE(e.cell(kOnOff, kColAddress), QStringLiteral("3"));
    }

    void acceptStops_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("R without address") << "eib1" << "{EIB1}" << kOnOff << 5;
        QTest::newRow("in a hidden bit row") << "hidden" << "{EIB1}" << kModeBit1 << 5;
        QTest::newRow("W typed on a read-only signal") << "readonly" << "{EIB2}" << kRoomTemp << 5;
        QTest::newRow("devices") << "devices" << "Not allowed 2 devices with same Sytem-Unit: 0-1" << -1 << -1;
        QTest::newRow("physical address") << "phys" << "{EIB31}" << -1 << -1;
    }
    void acceptStops()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(int, row);
        QFETCH(int, column);
        QByteArray ini = unitSettings(2);
        if (fault == "devices")
            ini.replace("D2-Uni=2", "D2-Uni=1");
        if (fault == "phys")
            ini += "[EIB]\r\nPhyAdd=0.0.0\r\n";
        Editor e(ini);
        e.use(kOnOff, fault == "eib1" ? "" : "1/0/1");
        e.showGrid();
        if (fault == "hidden") {
            e.use(kModeBit1, "", "R");
            e.doubleClick(kMode, kColCode);
        }
        if (fault == "readonly") {
            // R and T cleared by keys, then W typed: no cell is left after it.
            e.click(kRoomTemp, kColAddress);
            e.type("1/0/2");
            e.key(Qt::Key_Return);
            for (int c : {int(kColYesNo), int(kColR), int(kColT), int(kColW)}) {
                e.click(kRoomTemp, c);
                e.type(c == kColYesNo ? "1" : c == kColW ? "w" : " ");
            }
            QCOMPARE(e.cell(kRoomTemp, kColW), QStringLiteral("W"));
        }
        const QByteArray dat = e.f.read(kUnits + ".dat");
        e.press(e.w->cmdAceptar);
        QCOMPARE(e.f.messages(), QStringList{e.f.withTexts(message)});
        QCOMPARE(e.f.read(kUnits + ".dat"), dat);
        QCOMPARE(e.w->TabStrip1->currentIndex(), row > 0 ? 1 : 0);
        if (row > 0) {
            QVERIFY(!e.model().isRowHidden(row));
            QCOMPARE(e.grid().current(), (GridCell{row, column}));
            QCOMPARE(e.view()->currentIndex(), e.grid().viewIndex({row, column}));
            QCOMPARE(QApplication::focusWidget(), e.view());
        }
    }

    void acceptSaves_data()
    {
        QTest::addColumn<QList<int>>("answers"); // A23, A24, the report
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("generated");
        QTest::newRow("no to saving") << QList<int>{2} << false << false;
        QTest::newRow("saved, not generated") << QList<int>{1, 2} << true << false;
        QTest::newRow("saved and generated") << QList<int>{1, 1, 1} << true << true;
    }
    void acceptSaves()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, saved);
        QFETCH(bool, generated);
        Editor e;
        e.use(kOnOff, "1/0/1", "RW");
        e.press(e.w->txtPortKorvane);
        e.key(Qt::Key_End);
        e.type("3");
        e.f.prompter().msgBoxAnswers = answers;
        e.press(e.w->cmdAceptar);
        QCOMPARE(e.f.messages().mid(0, 2), QStringList({e.f.text("A23"), e.f.text("A24")}).mid(0, saved ? 2 : 1));
        QCOMPARE(e.f.read(kUnits + ".dat").contains("\t1/0/1\t\tR\tW\tT\t\t" + e.f.text("X10").toLatin1() + "\t\r\n"),
                 saved);
        QCOMPARE(e.f.read(kUnits + ".ini").contains("PortTRBAS=5023"), saved);
        QCOMPARE(e.f.read(kUnits + ".zdm").isEmpty(), !generated);
        QCOMPARE(e.w->cmdTarveon->isEnabled(), !generated);
        // Nothing left to ask about once saved.
        e.f.prompter().clear();
        e.f.prompter().msgBoxAnswers = {1};
        e.w->close();
        QCOMPARE(e.f.messages(), saved ? QStringList() : QStringList{e.f.text("X35")});
    }

    void closing_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asked");
        QTest::newRow("nothing touched") << "" << false;
        QTest::newRow("tabs switched") << "tabs" << false;
        QTest::newRow("grid clicked") << "click" << true;
        QTest::newRow("field typed") << "type" << true;
    }
    void closing()
    {
        QFETCH(QString, change);
        QFETCH(bool, asked);
        Editor e;
        if (change == "tabs" || change == "click")
            e.showGrid();
        if (change == "click")
            e.click(kOnOff, kColDescription);
        if (change == "type")
            e.type("1");
        // Escape closes the window; "no" keeps it open.
        e.f.prompter().msgBoxAnswers = {2};
        e.key(Qt::Key_Escape);
        QCOMPARE(e.w->isVisible(), asked);
        QCOMPARE(e.f.messages(), asked ? QStringList{e.f.text("X35")} : QStringList());
    }
};

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
