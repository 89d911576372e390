// Accepting, closing and generating in the configuration editor, driven through the window.
#include "EditorWindow.h"

#include "app/IniFile.h"
#include "app/ui/MDITarveon.h"

#include <QTabBar>
#include <QTimer>

using namespace tarveon;
using namespace tarveon::test;
using namespace tarveon::test::unitRow;

namespace {

const QString kUnits = QStringLiteral("ZTR001-PACKAGED");

// A signal row in use with an address and its flags.
void useRow(EditorSession &s, int row, const QString &address, const QString &flags = QStringLiteral("RWT"))
{
    s.grid.setCell(row, kColAddress, address);
    s.grid.setCell(row, kColR, flags.contains('R') ? QStringLiteral("R") : QString());
    s.grid.setCell(row, kColW, flags.contains('W') ? QStringLiteral("W") : QString());
    s.grid.setCell(row, kColT, flags.contains('T') ? QStringLiteral("T") : QString());
    s.grid.setCell(row, kColU, flags.contains('U') ? QStringLiteral("U") : QString());
    s.grid.setCell(row, kColYesNo, s.context().GetText(QStringLiteral("X10")));
}

struct Files {
    QByteArray ini, dat, zdm;
    bool operator==(const Files &) const = default;
};

Files files(const EditorFixture &f)
{
    return {f.read(kUnits + ".ini"), f.read(kUnits + ".dat"), f.read(kUnits + ".zdm")};
}

} // namespace

class tst_EditorAccept : public QObject {
    Q_OBJECT
private slots:
    void acceptStops_data();
    void acceptStops();
    void acceptSaves_data();
    void acceptSaves();
    void removeBlankRows();
    void closing_data();
    void closing();
    void generateButton_data();
    void generateButton();
    void mainWindowOpensEditor();
};

void tst_EditorAccept::acceptStops_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // with {KEY} for texts
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("R without address") << "eib1" << "{EIB1}" << onOff << int(kColAddress);
    QTest::newRow("in a hidden bit row") << "hidden" << "{EIB1}" << modeBit0 + 1 << int(kColAddress);
    QTest::newRow("group used twice") << "twice" << "{X38}EIB: 1/0/1{X73}" << mode << int(kColAddress);
    QTest::newRow("further list") << "listen" << "{EIB19}" << onOff << int(kColFurtherAddresses);
    QTest::newRow("EIS type") << "eis" << "EIS: 3{EIB8}" << onOff << int(kColEis);
    QTest::newRow("signal code") << "code" << "{A8}" << fan << int(kColCode);
    QTest::newRow("same devices") << "devices" << "Not allowed 2 devices with same Sytem-Unit: 0-1" << -1 << -1;
    QTest::newRow("unit out of range") << "range" << " Unit: 64{X85}" << -1 << -1;
    QTest::newRow("physical address") << "phys" << "{EIB31}" << -1 << -1;
}

void tst_EditorAccept::acceptStops()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(int, row);
    QFETCH(int, column);

    QByteArray ini = unitSettings(2);
    if (fault == "devices")
        ini.replace("D2-Uni=2", "D2-Uni=1");
    if (fault == "range")
        ini.replace("D2-Uni=2", "D2-Uni=64");
    if (fault == "phys")
        ini.replace("PhyAdd=15.15.255", "PhyAdd=0.0.0");
    EditorWindow e(kUnits, ini);
    EditorSession &s = e.s();
    useRow(s, onOff, "1/0/1");
    if (fault == "eib1")
        useRow(s, onOff, "");
    if (fault == "hidden") {
        useRow(s, modeBit0 + 1, "");
        e.showGrid();
        e.doubleClick(mode, kColCode);
        QVERIFY(s.grid.isRowHidden(modeBit0 + 1));
        e.w->TabStrip1->setCurrentIndex(0);
    }
    if (fault == "twice")
        useRow(s, mode, "1/0/1");
    if (fault == "listen")
        s.grid.setCell(onOff, kColFurtherAddresses, "1/0/5, 1/0/1");
    if (fault == "eis")
        s.grid.setCell(onOff, kColEis, "03 - Time (24 bit)");
    if (fault == "code") {
        useRow(s, fan, "1/0/9");
        s.grid.setCell(fan, kColCode, "40 - Unknown");
    }
    const Files before = files(e.f);

    QTest::mouseClick(e.w->cmdAceptar, Qt::LeftButton);

    QCOMPARE(e.f.messages(), QStringList{withTexts(e.f.ctx(), message)});
    QCOMPARE(e.f.prompter().records.first().buttonTexts.first(), e.f.text("X1"));
    QVERIFY(files(e.f) == before);
    if (row > 0) {
        QCOMPARE(e.w->TabStrip1->currentIndex(), 1);
        QVERIFY(!s.grid.isRowHidden(row));
        QCOMPARE(s.current(), (GridCell{row, column}));
        QCOMPARE(e.grid()->currentIndex(), e.index(row, column));
        QVERIFY(e.grid()->hasFocus());
        QVERIFY(e.grid()->viewport()->rect().intersects(e.grid()->visualRect(e.grid()->currentIndex())));
    } else {
        QCOMPARE(e.w->TabStrip1->currentIndex(), 0);
    }
    QVERIFY(e.w->isVisible());
}

void tst_EditorAccept::acceptSaves_data()
{
    QTest::addColumn<QList<int>>("answers"); // A23, A24, report
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("generated");

    QTest::newRow("no to saving") << QList<int>{2} << false << false;
    QTest::newRow("saved, not generated") << QList<int>{1, 2} << true << false;
    QTest::newRow("saved and generated") << QList<int>{1, 1, 1} << true << true;
}

void tst_EditorAccept::acceptSaves()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, saved);
    QFETCH(bool, generated);

    EditorWindow e(kUnits, unitSettings(1));
    useRow(e.s(), onOff, "1/0/1");
    e.w->txtNetMask->setFocus();
    QTest::keyClick(e.w->txtNetMask, Qt::Key_End);
    QTest::keyClick(e.w->txtNetMask, Qt::Key_Backspace);
    QTest::keyClick(e.w->txtNetMask, '8');
    e.s().tableChanged = true;
    const Files before = files(e.f);
    e.f.prompter().msgBoxAnswers = answers;

    QTest::mouseClick(e.w->cmdAceptar, Qt::LeftButton);

    QStringList expected{e.f.text("A23")};
    if (saved)
        expected << e.f.text("A24");
    if (generated)
        expected << e.f.prompter().records.value(2).text;
    QCOMPARE(e.f.messages(), expected);
    const auto &question = e.f.prompter().records.first();
    QCOMPARE(question.buttonTexts.mid(0, 2), (QStringList{e.f.text("X77"), e.f.text("X59")}));
    QCOMPARE(question.icon, 1);
    const Files after = files(e.f);
    if (!saved) {
        QVERIFY(after == before);
        QVERIFY(e.s().tableChanged);
        QVERIFY(e.s().settingsChanged);
        return;
    }
    QCOMPARE(IniFile(e.f.path(kUnits + ".ini")).read(kUnits, "NetMask", ""), QStringLiteral("255.255.255.8"));
    QVERIFY(after.dat.contains("\t1\t00 - "));
    QVERIFY(after.dat.contains("\t1/0/1\t\tR\tW\tT\t\t" + e.f.text("X10").toLatin1() + "\t\r\n"));
    QVERIFY(!e.s().tableChanged);
    QVERIFY(!e.s().settingsChanged);
    QCOMPARE(!after.zdm.isEmpty(), generated);
    QCOMPARE(e.w->cmdTarveon->isEnabled(), !generated);
    if (generated)
        QVERIFY(e.f.messages().last().startsWith(e.f.text("X39") + " EIB:1 Add.Listen:0 Bytes:"));
    // Nothing left to ask about.
    e.f.prompter().clear();
    e.w->close();
    QVERIFY(!e.w->isVisible());
    QVERIFY(e.f.messages().isEmpty());
}

void tst_EditorAccept::removeBlankRows()
{
    EditorWindow e(kUnits, unitSettings(1));
    EditorSession &s = e.s();
    for (int c = 1; c < kSignalColumns; ++c) {
        s.grid.setCell(modeBit0, c, QString());
        s.grid.setCell(last, c, c == kColDescription ? QStringLiteral(" ") : QString());
    }
    s.RemoveBlankRows();
    QCOMPARE(s.grid.gridRowCount(), 39);
    for (int r = 1; r < s.grid.gridRowCount(); ++r)
        QCOMPARE(s.grid.cell(r, kColRowNumber), QString::number(r));
    QCOMPARE(LeadingInteger(s.grid.cell(modeBit0, kColCode)), qint64(19));
    QCOMPARE(s.grid.findRow(1, 19), modeBit0);
    QCOMPARE(e.w->visibleRows().rowCount(), 38);
}

void tst_EditorAccept::closing_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("asked");

    QTest::newRow("nothing touched") << "" << "button" << false;
    QTest::newRow("nothing touched, escape") << "" << "escape" << false;
    QTest::newRow("grid clicked") << "click" << "button" << true;
    QTest::newRow("field typed") << "type" << "button" << true;
    QTest::newRow("field typed, escape") << "type" << "escape" << true;
    QTest::newRow("field typed, window closed") << "type" << "close" << true;
    QTest::newRow("tabs switched") << "tabs" << "button" << false;
}

void tst_EditorAccept::closing()
{
    QFETCH(QString, change);
    QFETCH(QString, how);
    QFETCH(bool, asked);

    EditorWindow e;
    if (change == "click") {
        e.showGrid();
        e.click(onOff, kColDescription);
    } else if (change == "type") {
        QTest::keyClick(e.w->txtPortKorvane, '1');
    } else if (change == "tabs") {
        QTabBar *bar = e.w->TabStrip1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    }
    auto close = [&] {
        if (how == "button")
            QTest::mouseClick(e.w->cmdCancelar, Qt::LeftButton);
        else if (how == "escape")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            e.w->close();
    };
    if (asked) {
        // "No": the window stays.
        e.f.prompter().msgBoxAnswers = {2};
        close();
        QCOMPARE(e.f.messages(), QStringList{e.f.text("X35")});
        QCOMPARE(e.f.prompter().records.first().buttonTexts.mid(0, 2),
                 (QStringList{e.f.text("X77"), e.f.text("X59")}));
        QVERIFY(e.w->isVisible());
        e.f.prompter().clear();
        e.f.prompter().msgBoxAnswers = {1};
    }
    close();
    QCOMPARE(e.f.messages().size(), asked ? 1 : 0);
    QVERIFY(!e.w->isVisible());
    QCOMPARE(e.w->result(), int(QDialog::Rejected));
}

void tst_EditorAccept::generateButton_data()
{
    QTest::addColumn<bool>("settingsChanged");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("generated");

    QTest::newRow("settings changed") << true << QList<int>{} << false;
    QTest::newRow("no") << false << QList<int>{2} << false;
    QTest::newRow("yes") << false << QList<int>{1, 1} << true;
}

void tst_EditorAccept::generateButton()
{
    QFETCH(bool, settingsChanged);
    QFETCH(QList<int>, answers);
    QFETCH(bool, generated);

    EditorWindow e(kUnits, unitSettings(1));
    useRow(e.s(), onOff, "1/0/1");
    e.s().tableChanged = true; // the table need not be saved first
    if (settingsChanged)
        QTest::keyClick(e.w->txtIPKorvane, '1');
    e.f.prompter().msgBoxAnswers = answers;
    QTest::mouseClick(e.w->cmdTarveon, Qt::LeftButton);
    const QStringList messages = e.f.messages();
    QCOMPARE(messages.value(0), settingsChanged ? e.f.text("X71") : e.f.text("A24"));
    QCOMPARE(e.f.exists(kUnits + ".zdm"), generated);
    QCOMPARE(e.w->cmdTarveon->isEnabled(), !generated);
    QCOMPARE(messages.size(), generated ? 2 : 1);
}

void tst_EditorAccept::mainWindowOpensEditor()
{
    EditorFixture f;
    MDITarveon main(f.ctx());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *editor = qobject_cast<fConfKorvaneEIB *>(QApplication::activeModalWidget());
        seen = editor && editor->session().protocolCode == 70 && editor->isModal();
        if (editor)
            editor->close();
    });
    main.mnuCProtocolo_Click();
    QVERIFY(seen);
    // A protocol that is not a machine type opens nothing.
    f.ctx().ProjectProtocol = QStringLiteral("EIB");
    main.mnuCProtocolo_Click();
}

QTEST_MAIN(tst_EditorAccept)
#include "tst_editoraccept.moc"
