// Signal viewer: grid build over the link-side table, display refresh of the rows in view,
// polling order and its stops, writing one value, the copy, opening and closing.
#include "ScriptedLink.h"
#include "TestSupport.h"

#include "app/ui/MDITarveon.h"
#include "tools/ui/fVerDatosZDM.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>
#include <memory>

using namespace tarveon;
using tarveon::test::ScriptedLink;
using tarveon::test::TestContext;

namespace {

// One entry of the link-side table as the loader makes it from a signal table row.
LinkSignal entry(const QString &device, const QString &code, const QString &description, const QString &eis,
                 const QString &address, const QString &groupText, qint16 inUse = 1, float value = 0.0f)
{
    LinkSignal s;
    s.protocolCode = 70;
    s.fields[1] = device;
    s.fields[2] = code;
    s.fields[3] = description;
    s.fields[4] = eis;
    s.fields[5] = address;
    s.fields[6] = QString();
    s.fields[7] = QStringLiteral("R");
    s.fields[8] = QString();
    s.fields[9] = QStringLiteral("T");
    s.fields[10] = QString();
    s.groupText = groupText;
    s.inUse = inUse;
    s.value = value;
    return s;
}

// n entries on groups 1/0/1, 1/0/2, ...
void fill(ScriptedLink &link, int n)
{
    LinkTables &t = link.tables();
    t.clear();
    for (int i = 1; i <= n; ++i) {
        const QString sub = QString::number(i);
        t.signals_.append(entry(QString::number((i - 1) / 10 + 1), QStringLiteral("%1 Signal").arg(i),
                                             QStringLiteral("Description %1").arg(i), QStringLiteral("1 - On/Off"),
                                             QStringLiteral("1/0/") + sub,
                                             QStringLiteral("01/0/%1").arg(i, 3, 10, QLatin1Char('0'))));
    }
}

struct Fixture {
    Fixture()
    {
        link.setState(LinkState::OnLine);
    }
    AppContext &ctx() { return *t.ctx; }
    fVerDatosZDM *open()
    {
        viewer = std::make_unique<fVerDatosZDM>(ctx(), &link);
        viewer->show();
        return viewer.get();
    }
    SignalTableModel &grid() { return viewer->core().grid(); }
    QString text(const char *key) { return ctx().GetText(QLatin1String(key)); }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            viewer->core().Timer2_Timer();
    }

    TestContext t;
    ScriptedLink link;
    std::unique_ptr<fVerDatosZDM> viewer;
};

} // namespace

class TestSignalViewer : public QObject {
    Q_OBJECT
private slots:
    void emptyTableGivesHeaderAndOneRow()
    {
        Fixture f;
        fVerDatosZDM *v = f.open();
        QCOMPARE(f.grid().gridRowCount(), 2);
        QCOMPARE(v->grid->model()->rowCount(), 1);
        QCOMPARE(f.grid().rowData(1), 0);
        QVERIFY(v->core().Timer1.isActive());
        QCOMPARE(v->core().Timer1.interval(), 1000);
        // Nothing to poll.
        QTest::mouseClick(v->cmdRefrescar, Qt::LeftButton);
        QVERIFY(!v->core().polling());
        QCOMPARE(v->cmdRefrescar->text(), f.text("X17"));
        f.tick();
        QVERIFY(f.link.sent.isEmpty());
    }

    void gridColumns()
    {
        Fixture f;
        fill(f.link, 2);
        fVerDatosZDM *v = f.open();
        const SignalTableModel &g = f.grid();
        const QStringList headers{QString(), "Dev.", "Ident.", f.text("X75"), "EIS", f.text("EIB42"),
                                  f.text("EIB41"), "R", "W", "T", "U", f.text("X22")};
        for (int c = 0; c < 12; ++c)
            QCOMPARE(v->grid->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
        // Widths in twips, shown at 15 twips a pixel; column 6 narrower than in the editor.
        const int twips[12] = {600, 700, 2000, 5000, 1600, 800, 1000, 300, 300, 300, 300, 700};
        for (int c = 0; c < 12; ++c) {
            QCOMPARE(g.columnFormat(c).widthTwips, twips[c]);
            QCOMPARE(v->grid->columnWidth(c), (twips[c] + 7) / 15);
        }
        QCOMPARE(g.columnFormat(1).kind, ContentKind::Integer);
        QCOMPARE(g.columnFormat(11).kind, ContentKind::Decimal);
        QCOMPARE(g.columnFormat(2).alignment, CellAlignment::LeftCentre);
        QCOMPARE(g.columnFormat(3).alignment, CellAlignment::LeftCentre);
        const ColumnInfos &info = v->core().columns();
        QCOMPARE(info[1].Help, QString("Unit"));
        QCOMPARE(info[2].Help, f.text("G503"));
        QCOMPARE(info[3].Help, f.text("X64"));
        QCOMPARE(info[4].Help, f.text("EIB9"));
        QCOMPARE(info[11].Help, f.text("X23"));
        for (int c : {1, 2, 3, 11})
            QCOMPARE(info[size_t(c)].EditKind, qint16(kEditFixed));
    }

    void rowsOfEntriesInUse()
    {
        Fixture f;
        fill(f.link, 4);
        f.link.tables().signals_[2].inUse = 0;
        fVerDatosZDM *v = f.open();
        const SignalTableModel &g = f.grid();
        QCOMPARE(g.gridRowCount(), 4);
        const int entries[3] = {1, 3, 4};
        for (int r = 1; r <= 3; ++r) {
            const LinkSignal &s = f.link.tables().signals_[entries[r - 1]];
            QCOMPARE(g.rowData(r), entries[r - 1]);
            QCOMPARE(g.cell(r, 0), QString::number(r));
            for (int c = 1; c <= 10; ++c)
                QCOMPARE(g.cell(r, c), s.fields[size_t(c)]);
        }
        QCOMPARE(f.t.prompter.records.size(), 0);
        Q_UNUSED(v);
    }

    void rebuiltForAShorterTable()
    {
        Fixture f;
        fill(f.link, 30);
        fVerDatosZDM *v = f.open();
        QCOMPARE(f.grid().gridRowCount(), 31);
        fill(f.link, 3);
        v->Datos_Carga();
        QCOMPARE(f.grid().gridRowCount(), 4);
        QCOMPARE(v->grid->model()->rowCount(), 3);
        f.link.tables().clear();
        v->Datos_Carga();
        QCOMPARE(f.grid().gridRowCount(), 2);
        QCOMPARE(f.grid().cell(1, 3), QString());
    }

    void rowThatCannotBeFilledIsReported()
    {
        Fixture f;
        fill(f.link, 3);
        f.link.tables().signals_[2].fields[3] = QStringLiteral("broken\tdescription");
        f.open();
        QCOMPARE(f.t.prompter.records.size(), 1);
        const auto &r = f.t.prompter.records[0];
        QCOMPARE(r.kind, RecordingPrompter::Record::MsgBox);
        QCOMPARE(r.text, f.text("X13"));
        QCOMPARE(r.title, kAppTitle);
        QCOMPARE(r.icon, 3);
        QCOMPARE(r.buttons, 1);
        QCOMPARE(r.buttonTexts.value(0), f.text("X1"));
        // The build went on: the rows after it are there, and no cell holds a tab.
        QCOMPARE(f.grid().gridRowCount(), 4);
        QCOMPARE(f.grid().cell(3, 3), QString("Description 3"));
        QVERIFY(!f.grid().cell(2, 3).contains(QLatin1Char('\t')));
    }

    void valueText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0f << "0";
        QTest::newRow("half") << 21.5f << "21.5";
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("negative") << -3.25f << "-3.25";
        QTest::newRow("seven digits") << 1234567.0f << "1234567";
        QTest::newRow("large") << 12345678.0f << "1.234568E+07";
        QTest::newRow("small") << 0.00001f << "1E-05";
    }
    void valueText()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(SingleToText(value), text);
    }

    void refreshTouchesTheRowsInView()
    {
        Fixture f;
        fill(f.link, 200);
        for (int i = 1; i <= 200; ++i)
            f.link.tables().signals_[i].value = float(i) + 0.5f;
        fVerDatosZDM *v = f.open();
        QCOMPARE(f.grid().cell(1, 11), QString());
        const auto [first, last] = v->visibleRows();
        QCOMPARE(first, 1);
        QVERIFY(last > 3 && last < 100);
        v->core().Timer1_Timer();
        QCOMPARE(f.grid().cell(1, 11), QString("1.5"));
        QCOMPARE(f.grid().cell(last, 11), QString::number(last) + ".5");
        QCOMPARE(f.grid().cell(last + 1, 11), QString());
        QCOMPARE(f.grid().cell(200, 11), QString());
        // Scrolling refreshes the rows that come into view.
        v->grid->scrollToBottom();
        QCOMPARE(f.grid().cell(200, 11), QString("200.5"));
        // The values come from the table at every refresh.
        f.link.tables().signals_[200].value = 7.0f;
        v->core().Timer1_Timer();
        QCOMPARE(f.grid().cell(200, 11), QString("7"));
    }

    void pollingRequestsEveryEntryInOrder()
    {
        Fixture f;
        fill(f.link, 3);
        f.link.tables().signals_[2].inUse = 0; // not shown, still polled
        fVerDatosZDM *v = f.open();
        QTest::mouseClick(v->cmdRefrescar, Qt::LeftButton);
        QVERIFY(v->core().polling());
        QCOMPARE(v->core().Timer2.interval(), 50);
        QCOMPARE(v->cmdRefrescar->text(), QString("Stop"));
        f.tick(2);
        QVERIFY(v->core().polling());
        f.tick();
        QCOMPARE(f.link.sent, (QStringList{"GP:01/0/001?", "GP:01/0/002?", "GP:01/0/003?"}));
        QVERIFY(!v->core().polling());
        QCOMPARE(v->core().pollIndex(), 1);
        QCOMPARE(v->cmdRefrescar->text(), f.text("X17"));
    }

    void pollingStops_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("link off line") << "offline" << QStringList{"GP:01/0/001?"};
        QTest::newRow("link waiting") << "waiting" << QStringList{"GP:01/0/001?"};
        QTest::newRow("upload announced") << "upload" << QStringList{"GP:01/0/001?"};
        QTest::newRow("table shrank") << "shrank" << QStringList{"GP:01/0/001?", "GP:01/0/002?"};
        QTest::newRow("stop button") << "stop" << QStringList{"GP:01/0/001?"};
    }
    void pollingStops()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, sent);
        Fixture f;
        fill(f.link, 5);
        fVerDatosZDM *v = f.open();
        v->cmdRefrescar->click();
        f.tick();
        if (how == QLatin1String("offline"))
            f.link.setState(LinkState(0));
        else if (how == QLatin1String("waiting"))
            f.link.setState(LinkState(1));
        else if (how == QLatin1String("upload"))
            f.link.setState(LinkState(3));
        else if (how == QLatin1String("stop"))
            v->cmdRefrescar->click();
        else if (how == QLatin1String("shrank")) {
            f.tick();
            fill(f.link, 1); // reloaded under the running cycle, index now 3
            v->Datos_Carga();
        }
        if (how != QLatin1String("stop")) {
            QVERIFY(v->core().polling());
            f.tick();
        }
        QVERIFY(!v->core().polling());
        QCOMPARE(v->cmdRefrescar->text(), f.text("X17"));
        QCOMPARE(v->core().pollIndex(), 1);
        // The next tick of a stopped cycle (a late timer event) sends nothing more.
        f.tick();
        f.link.setState(LinkState(0));
        QCOMPARE(f.link.sent, sent);
    }

    void refreshAgainStartsFromTheFirstEntry()
    {
        Fixture f;
        fill(f.link, 5);
        fVerDatosZDM *v = f.open();
        v->cmdRefrescar->click();
        f.tick(3);
        v->cmdRefrescar->click();
        QVERIFY(!v->core().polling());
        v->cmdRefrescar->click();
        f.tick();
        QCOMPARE(f.link.sent.last(), QString("GP:01/0/001?"));
        // Off line: no cycle starts.
        v->cmdRefrescar->click();
        f.link.setState(LinkState(0));
        v->cmdRefrescar->click();
        QVERIFY(!v->core().polling());
        QCOMPARE(v->cmdRefrescar->text(), f.text("X17"));
    }

    void writeOneValue_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<float>("stored");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("comma") << "12,5" << 12.5f << QStringList{"GP:01/0/002=12.50"};
        QTest::newRow("below one") << "0.5" << 0.5f << QStringList{"GP:01/0/002=.50"};
        QTest::newRow("half") << "21.5" << 21.5f << QStringList{"GP:01/0/002=21.50"};
        QTest::newRow("rounded") << "3.14159" << 3.14159f << QStringList{"GP:01/0/002=3.14"};
        QTest::newRow("negative") << "-0,25" << -0.25f << QStringList{"GP:01/0/002=-.25"};
        QTest::newRow("second comma kept") << "1,5,7" << 1.5f << QStringList{"GP:01/0/002=1.50"};
        QTest::newRow("not a number") << "abc" << 0.0f << QStringList{"GP:01/0/002=.00"};
        QTest::newRow("cancelled") << "" << 4.0f << QStringList{};
    }
    void writeOneValue()
    {
        QFETCH(QString, answer);
        QFETCH(float, stored);
        QFETCH(QStringList, sent);
        Fixture f;
        fill(f.link, 3);
        f.link.tables().signals_[2].value = 4.0f;
        fVerDatosZDM *v = f.open();
        f.t.prompter.inputAnswers << answer;
        const QModelIndex cell = v->grid->model()->index(1, 3);
        const QPoint at = v->grid->visualRect(cell).center();
        QTest::mouseClick(v->grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(v->grid->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(f.t.prompter.records.size(), 1);
        const auto &r = f.t.prompter.records[0];
        QCOMPARE(r.kind, RecordingPrompter::Record::InputBox);
        QCOMPARE(r.title, QString("Description 2"));
        QCOMPARE(r.text, QString("Grupo EIB:1/0/2               EIS:1 - On/Off"));
        QCOMPARE(f.link.tables().signals_[2].value, stored);
        QCOMPARE(f.link.sent, sent);
    }

    void inputDialogDefaultIsTheCurrentValue()
    {
        // The prompter records title and prompt; the default text reaches the dialog as given.
        struct DefaultPrompter : RecordingPrompter {
            QString defaultText;
            QString inputBox(const QString &title, const QString &prompt, const QString &defaultText_) override
            {
                defaultText = defaultText_;
                return RecordingPrompter::inputBox(title, prompt, defaultText_);
            }
        } prompter;
        Fixture f;
        f.ctx().prompter = &prompter;
        fill(f.link, 1);
        f.link.tables().signals_[1].value = 21.5f;
        fVerDatosZDM *v = f.open();
        v->core().WriteValue(1);
        QCOMPARE(prompter.defaultText, QString("21.5"));
    }

    void doubleClickOutsideDataRowsSendsNothing()
    {
        Fixture f;
        fVerDatosZDM *v = f.open(); // empty table: one row without an entry
        f.t.prompter.inputAnswers << "5";
        const QPoint row = v->grid->visualRect(v->grid->model()->index(0, 2)).center();
        QTest::mouseDClick(v->grid->viewport(), Qt::LeftButton, {}, row);
        QHeaderView *header = v->grid->horizontalHeader();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(3) + 5, 5));
        v->core().WriteValue(0);
        QCOMPARE(f.t.prompter.records.size(), 0);
        QVERIFY(f.link.sent.isEmpty());
    }

    void copyWholeGrid()
    {
        Fixture f;
        fill(f.link, 2);
        f.link.tables().signals_[1].value = 21.5f;
        f.link.tables().signals_[2].value = 0.0f;
        fVerDatosZDM *v = f.open();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::mouseClick(v->cmdCopy, Qt::LeftButton);
        const QString header = QStringLiteral("\tDev.\tIdent.\t") + f.text("X75") + QStringLiteral("\tEIS\t") +
                               f.text("EIB42") + QLatin1Char('\t') + f.text("EIB41") + QStringLiteral("\tR\tW\tT\tU\t") +
                               f.text("X22") + QStringLiteral("\t\r\n");
        const QString expected = header +
                                 "1\t1\t1 Signal\tDescription 1\t1 - On/Off\t1/0/1\t\tR\t\tT\t\t21.5\t\r\n"
                                 "2\t1\t2 Signal\tDescription 2\t1 - On/Off\t1/0/2\t\tR\t\tT\t\t0\t\r\n";
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, expected);
        const QStringList lines = copied.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size() - 1, f.grid().gridRowCount());
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            QCOMPARE(lines[i].count(QLatin1Char('\t')), 12);
    }

    void copyBringsEveryValueUpToDate()
    {
        Fixture f;
        fill(f.link, 300);
        f.link.tables().signals_[300].value = 9.25f;
        fVerDatosZDM *v = f.open();
        v->cmdCopy_Click();
        QVERIFY(QGuiApplication::clipboard()->text().endsWith(QStringLiteral("\t9.25\t\r\n")));
    }

    void helpFollowsTheCurrentCell()
    {
        Fixture f;
        fill(f.link, 2);
        fVerDatosZDM *v = f.open();
        QCOMPARE(v->lblHelp->text(), f.text("X76")); // the tab's tool tip at load
        const QModelIndex cell = v->grid->model()->index(0, 3);
        QTest::mouseClick(v->grid->viewport(), Qt::LeftButton, {}, v->grid->visualRect(cell).center());
        QCOMPARE(v->lblHelp->text(), f.text("X64"));
        v->grid->setCurrentIndex(v->grid->model()->index(1, 11));
        QCOMPARE(v->lblHelp->text(), f.text("X23"));
        // Still after a rebuild.
        v->Datos_Carga();
        v->grid->setCurrentIndex(v->grid->model()->index(0, 2));
        QCOMPARE(v->lblHelp->text(), f.text("G503"));
    }

    void captionsAndMinimumSize()
    {
        Fixture f;
        fVerDatosZDM *v = f.open();
        QCOMPARE(v->windowTitle(), f.text("X84"));
        QCOMPARE(v->TabStrip1->tabText(0), f.text("X76"));
        QCOMPARE(v->cmdCerrar->text(), f.text("X15"));
        QCOMPARE(v->minimumSize(), QSize(360, 301));
        v->resize(100, 100);
        QCOMPARE(v->size(), QSize(360, 301));
        QVERIFY(v->grid->isVisible());
        QVERIFY(v->grid->width() > 0 && v->grid->height() > 0);
    }

    void openAndCloseFromTheMainWindow()
    {
        TestContext t;
        MDITarveon window(*t.ctx);
        ScriptedLink link;
        window.linkCommands = &link;
        window.show();
        link.setState(LinkState::OnLine);
        fill(link, 2);
        window.mnuVDatos_Click();
        QVERIFY(link.viewerOpen());
        auto *viewer = qobject_cast<fVerDatosZDM *>(window.signalViewer(false));
        QVERIFY(viewer);
        QCOMPARE(viewer->core().grid().gridRowCount(), 3);
        // The link reloaded its table: the open viewer rebuilds.
        fill(link, 5);
        window.reloadSignalViewer();
        QCOMPARE(viewer->core().grid().gridRowCount(), 6);
        // Polling goes through the main window's link.
        viewer->cmdRefrescar->click();
        viewer->core().Timer2_Timer();
        QCOMPARE(link.sent, QStringList{"GP:01/0/001?"});
        QPointer<QWidget> guard(viewer);
        viewer->cmdCerrar->click();
        QVERIFY(!link.viewerOpen());
        QTRY_VERIFY(!guard);
        QVERIFY(!window.signalViewer(false));
        // Closed: a reload makes no new viewer.
        window.reloadSignalViewer();
        QVERIFY(!window.signalViewer(false));
    }
};

QTEST_MAIN(TestSignalViewer)
#include "tst_signalviewer.moc"
