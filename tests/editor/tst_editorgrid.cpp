// The signal grid of the configuration editor, driven through the window with key and mouse events.
#include "EditorWindow.h"

#include <QClipboard>

using namespace tarveon;
using namespace tarveon::test;
using namespace tarveon::test::unitRow;

class tst_EditorGrid : public QObject {
    Q_OBJECT
private slots:
    void opening();
    void helpLinePerColumn();
    void keysInChoiceColumns_data();
    void keysInChoiceColumns();
    void keyInReadOnlyRowUndoneOnLeaving();
    void inPlaceEdit_data();
    void inPlaceEdit();
    void inPlaceEditTabAndArrows();
    void keyFilter_data();
    void keyFilter();
    void tabOnGridMovesOn();
    void doubleClick_data();
    void doubleClick();
    void doubleClickStartsEdit();
    void flagPopupOverSelectionSkipsHiddenRows();
    void yesNoPopupOverSelection();
    void flagPopupOnSingleRowMovesCurrentRow();
    void codePopupShowsBitsOnGroupHeads();
    void eisPopupChangesNothing();
    void flagRules_data();
    void flagRules();
    void bitRowsOneGroup();
    void bitRowsAllGroupsThenOne();
    void sortingByHeaderAndCorner();
    void copySelection();
    void clickRaisesTableChanged();
};

void tst_EditorGrid::opening()
{
    EditorWindow e;
    const EditorSession &s = e.s();
    QCOMPARE(s.protocolCode, qint16(70));
    QCOMPARE(e.f.ctx().IniFileName, QStringLiteral("ZTR001-PACKAGED"));
    QCOMPARE(s.maxDevices, qint16(160));
    QCOMPARE(s.grid.gridRowCount(), 41);
    QCOMPARE(e.w->TabStrip1->tabText(0), e.f.text("X19"));
    QCOMPARE(e.w->TabStrip1->tabText(1), e.f.text("X76"));
    QCOMPARE(e.s().TabHelp(0), e.f.text("X20"));
    // The first field has the focus and shows its help.
    QVERIFY(e.w->txtIp->hasFocus());
    QCOMPARE(e.w->lblHelp->text(), QStringLiteral("IP Gateway"));
    QCOMPARE(e.w->cmdAceptar->text(), e.f.text("X1"));
    QCOMPARE(e.w->cmdCancelar->text(), e.f.text("X8"));
    QCOMPARE(e.w->cmdTarveon->text(), e.f.text("X62"));
    QCOMPARE(e.w->windowTitle(),
             e.f.text("X103") + " TR-BAS-HUB (Packaged) - Max.Units:160 - Max." + e.f.text("X39") + "EIB:5920 - Max."
                 + e.f.text("EIB43") + "EIB:1000 - Max." + e.f.text("EIB43") + "/" + e.f.text("X38") + "EIB:255");
    QVERIFY(!s.tableChanged);
    QVERIFY(!s.settingsChanged);
    QVERIFY(e.f.prompter().records.isEmpty());
    // The fixed column shows the running numbers; column 0 itself is not a column of the view.
    QVERIFY(e.grid()->isColumnHidden(kColRowNumber));
    QCOMPARE(e.w->visibleRows().headerData(2, Qt::Vertical).toString(), QStringLiteral("3"));
    QCOMPARE(e.grid()->currentIndex(), e.index(1, 1));
}

void tst_EditorGrid::helpLinePerColumn()
{
    EditorWindow e;
    e.showGrid();
    e.click(onOff, kColAddress);
    QCOMPARE(e.w->lblHelp->text(), e.f.text("EIB10"));
    e.click(onOff, kColU);
    QCOMPARE(e.w->lblHelp->text(), e.f.text("EIB15"));
    e.click(onOff, kColYesNo);
    QCOMPARE(e.w->lblHelp->text(), e.f.text("X42"));
    e.w->TabStrip1->setCurrentIndex(0);
    QCOMPARE(e.w->lblHelp->text(), e.f.text("X20"));
}

void tst_EditorGrid::keysInChoiceColumns_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("before");
    QTest::addColumn<char>("key");
    QTest::addColumn<QString>("after"); // "X9"/"X10" stand for their texts
    QTest::addColumn<bool>("changed");

    QTest::newRow("r sets R") << onOff << int(kColR) << "" << 'r' << "R" << true;
    QTest::newRow("blank clears R") << onOff << int(kColR) << "R" << ' ' << "" << true;
    QTest::newRow("other letter ignored") << onOff << int(kColR) << "R" << 'x' << "R" << false;
    QTest::newRow("w in W") << onOff << int(kColW) << "" << 'w' << "W" << true;
    QTest::newRow("r in W ignored") << onOff << int(kColW) << "" << 'r' << "" << false;
    QTest::newRow("t in T") << onOff << int(kColT) << "" << 'T' << "T" << true;
    QTest::newRow("u in U") << onOff << int(kColU) << "" << 'u' << "U" << true;
    QTest::newRow("2 in U ignored") << onOff << int(kColU) << "" << '2' << "" << false;
    QTest::newRow("1 in use") << onOff << int(kColYesNo) << "X9" << '1' << "X10" << true;
    QTest::newRow("0 in use") << onOff << int(kColYesNo) << "X10" << '0' << "X9" << true;
    QTest::newRow("5 in use ignored") << onOff << int(kColYesNo) << "X9" << '5' << "X9" << false;
    QTest::newRow("fixed description") << onOff << int(kColDescription) << "" << 'a' << "" << false;
    QTest::newRow("fixed device") << onOff << int(kColDevice) << "1" << '7' << "1" << false;
}

void tst_EditorGrid::keysInChoiceColumns()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, before);
    QFETCH(char, key);
    QFETCH(QString, after);
    QFETCH(bool, changed);

    EditorWindow e;
    auto resolve = [&](const QString &v) { return v == "X9" || v == "X10" ? e.f.ctx().GetText(v) : v; };
    e.showGrid();
    e.click(row, column);
    if (column != kColDescription && column != kColDevice)
        e.s().grid.setCell(row, column, resolve(before));
    const QString old = e.cell(row, column);
    e.s().tableChanged = false;
    QTest::keyClick(e.grid(), key);
    if (column == kColDescription || column == kColDevice)
        QCOMPARE(e.cell(row, column), old);
    else
        QCOMPARE(e.cell(row, column), resolve(after));
    QCOMPARE(e.s().tableChanged, changed);
    QVERIFY(e.w->txtEdit->isHidden());
}

void tst_EditorGrid::keyInReadOnlyRowUndoneOnLeaving()
{
    EditorWindow e;
    e.showGrid();
    e.click(roomTemp, kColW);
    QTest::keyClick(e.grid(), 'w');
    QCOMPARE(e.cell(roomTemp, kColW), QStringLiteral("W"));
    QTest::keyClick(e.grid(), Qt::Key_Down);
    QCOMPARE(e.cell(roomTemp, kColW), QString());
}

void tst_EditorGrid::inPlaceEdit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("startKey"); // a character, or a Qt::Key
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<bool>("allSelected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("endKey");
    QTest::addColumn<QString>("after");

    QTest::newRow("typing replaces") << "9/9/9" << int('1') << "1" << false << "/0/1" << int(Qt::Key_Return) << "1/0/1";
    QTest::newRow("enter keeps text") << "1/2/3" << int(Qt::Key_Return) << "1/2/3" << true << "" << int(Qt::Key_Return)
                                      << "1/2/3";
    QTest::newRow("enter then type") << "1/2/3" << int(Qt::Key_Return) << "1/2/3" << true << "4/5/6"
                                     << int(Qt::Key_Return) << "4/5/6";
    QTest::newRow("space keeps text") << "1/2/3" << int(' ') << "1/2/3" << true << "" << int(Qt::Key_Return) << "1/2/3";
    QTest::newRow("blanks trimmed") << "" << int(' ') << "" << true << "  2/0/1  " << int(Qt::Key_Return) << "2/0/1";
    QTest::newRow("escape drops") << "1/2/3" << int('7') << "7" << false << "/7/7" << int(Qt::Key_Escape) << "1/2/3";
}

void tst_EditorGrid::inPlaceEdit()
{
    QFETCH(QString, before);
    QFETCH(int, startKey);
    QFETCH(QString, boxText);
    QFETCH(bool, allSelected);
    QFETCH(QString, typed);
    QFETCH(int, endKey);
    QFETCH(QString, after);

    EditorWindow e;
    e.showGrid();
    e.s().grid.setCell(onOff, kColAddress, before);
    e.click(onOff, kColAddress);
    e.s().tableChanged = false;
    if (startKey < 256)
        QTest::keyClick(e.grid(), char(startKey));
    else
        QTest::keyClick(e.grid(), Qt::Key(startKey));
    QLineEdit *box = e.w->txtEdit;
    QVERIFY(box->isVisible());
    QVERIFY(box->hasFocus());
    QVERIFY(e.s().tableChanged);
    QCOMPARE(box->text(), boxText);
    QCOMPARE(box->hasSelectedText(), allSelected && !boxText.isEmpty());
    QCOMPARE(box->geometry(), e.grid()->visualRect(e.index(onOff, kColAddress)));
    e.typeOnFocus(typed);
    e.keyOnFocus(Qt::Key(endKey));
    QVERIFY(box->isHidden());
    QVERIFY(e.grid()->hasFocus());
    QCOMPARE(e.cell(onOff, kColAddress), after);
    QCOMPARE(e.s().current(), (GridCell{onOff, kColAddress}));
}

void tst_EditorGrid::inPlaceEditTabAndArrows()
{
    EditorWindow e;
    e.showGrid();
    // Down commits and moves one row down; the hidden bit rows are stepped over.
    e.s().ToggleBits(false); // current is (1, 1): no group there, nothing happens
    e.click(mode, kColCode);
    e.s().ToggleBits(false);
    QVERIFY(e.s().grid.isRowHidden(modeBit0));
    e.click(mode, kColAddress);
    QTest::keyClick(e.grid(), '1');
    e.typeOnFocus("/1/1");
    e.keyOnFocus(Qt::Key_Down);
    QCOMPARE(e.cell(mode, kColAddress), QStringLiteral("1/1/1"));
    QCOMPARE(e.s().current(), (GridCell{fan, kColAddress}));
    QVERIFY(e.grid()->hasFocus());
    // Up from the first data row stays there.
    e.click(status100, kColAddress);
    QTest::keyClick(e.grid(), '2');
    e.keyOnFocus(Qt::Key_Up);
    QCOMPARE(e.cell(status100, kColAddress), QStringLiteral("2"));
    QCOMPARE(e.s().current(), (GridCell{status100, kColAddress}));
    // Tab in the box commits into the cell left and goes on to the next column, box emptied.
    e.click(onOff, kColFurtherAddresses);
    QTest::keyClick(e.grid(), '3');
    e.keyOnFocus(Qt::Key_Tab);
    QCOMPARE(e.cell(onOff, kColFurtherAddresses), QStringLiteral("3"));
    QCOMPARE(e.s().current(), (GridCell{onOff, kColR}));
    QVERIFY(e.w->txtEdit->isHidden());
    QVERIFY(e.w->txtEdit->text().isEmpty());
    // From the last column of the last row, Tab in the box stays in that row.
    e.click(last, kColYesNo);
    e.s().SetCurrentQuietly(last, kColYesNo);
    QCOMPARE(e.s().NextCell(false), (GridCell{last, 1}));
    QCOMPARE(e.s().NextCell(true), (GridCell{status100, 1}));
}

void tst_EditorGrid::keyFilter_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("boxShown");
    QTest::addColumn<QString>("boxText");

    QTest::newRow("text takes all") << int(ContentKind::Text) << "a.b" << true << "a.b";
    QTest::newRow("number refuses a letter first") << int(ContentKind::Integer) << "a" << false << "";
    QTest::newRow("number") << int(ContentKind::Integer) << "-12x.5" << true << "-125";
    QTest::newRow("long") << int(ContentKind::Long) << "7+7" << true << "77";
    QTest::newRow("decimal point becomes comma") << int(ContentKind::Decimal) << "+1.5e" << true << "+1,5";
    QTest::newRow("hexadecimal") << int(ContentKind::Hex) << "fAg9-" << true << "fA9";
}

void tst_EditorGrid::keyFilter()
{
    QFETCH(int, kind);
    QFETCH(QString, typed);
    QFETCH(bool, boxShown);
    QFETCH(QString, boxText);

    EditorWindow e;
    ColumnFormat format = e.s().grid.columnFormat(kColAddress);
    format.kind = ContentKind(kind);
    e.s().grid.setColumnFormat(kColAddress, format);
    e.showGrid();
    e.click(onOff, kColAddress);
    e.s().tableChanged = false;
    e.typeOnFocus(typed);
    QCOMPARE(e.w->txtEdit->isVisible(), boxShown);
    QCOMPARE(e.s().tableChanged, boxShown);
    if (boxShown)
        QCOMPARE(e.w->txtEdit->text(), boxText);
    else
        QCOMPARE(e.cell(onOff, kColAddress), QString());
}

void tst_EditorGrid::tabOnGridMovesOn()
{
    EditorWindow e;
    e.showGrid();
    e.click(onOff, kColAddress);
    QTest::keyClick(e.grid(), Qt::Key_Tab);
    QVERIFY(e.w->txtEdit->isHidden());
    QCOMPARE(e.s().current(), (GridCell{onOff, kColFurtherAddresses}));
    e.click(onOff, kColYesNo);
    QTest::keyClick(e.grid(), Qt::Key_Tab);
    QCOMPARE(e.s().current(), (GridCell{mode, kColDevice}));
    e.click(last, kColYesNo);
    QTest::keyClick(e.grid(), Qt::Key_Tab);
    QCOMPARE(e.s().current(), (GridCell{status100, kColDevice}));
}

void tst_EditorGrid::doubleClick_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("flagsBefore"); // R W T U
    QTest::addColumn<QStringList>("flagsAfter");

    QTest::newRow("R off") << onOff << int(kColR) << QStringList{"R", "W", "T", ""} << QStringList{"", "W", "T", ""};
    QTest::newRow("R on sets T") << onOff << int(kColR) << QStringList{"", "W", "", ""}
                                 << QStringList{"R", "W", "T", ""};
    QTest::newRow("U on clears R, sets W") << onOff << int(kColU) << QStringList{"R", "", "T", ""}
                                           << QStringList{"", "W", "T", "U"};
    QTest::newRow("U2 off") << onOff << int(kColU) << QStringList{"R", "W", "T", "U2"}
                            << QStringList{"R", "W", "T", ""};
    QTest::newRow("W on read-only row undone") << roomTemp << int(kColW) << QStringList{"R", "", "T", ""}
                                               << QStringList{"R", "", "T", ""};
    QTest::newRow("R on step row undone") << modeStep << int(kColR) << QStringList{"", "W", "", ""}
                                          << QStringList{"", "W", "", ""};
}

void tst_EditorGrid::doubleClick()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QStringList, flagsBefore);
    QFETCH(QStringList, flagsAfter);

    EditorWindow e;
    e.showGrid();
    for (int i = 0; i < 4; ++i)
        e.s().grid.setCell(row, kColR + i, flagsBefore[i]);
    e.s().tableChanged = false;
    e.doubleClick(row, column);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(e.cell(row, kColR + i), flagsAfter[i]);
    QVERIFY(e.s().tableChanged);

    // The use column toggles between its two texts; a value other than 0 counts as yes.
    e.doubleClick(row, kColYesNo);
    QCOMPARE(e.cell(row, kColYesNo), e.f.text("X10"));
    e.doubleClick(row, kColYesNo);
    QCOMPARE(e.cell(row, kColYesNo), e.f.text("X9"));
}

void tst_EditorGrid::doubleClickStartsEdit()
{
    EditorWindow e;
    e.showGrid();
    e.s().grid.setCell(onOff, kColAddress, "1/2/3");
    e.doubleClick(onOff, kColAddress);
    QVERIFY(e.w->txtEdit->isVisible());
    QCOMPARE(e.w->txtEdit->text(), QStringLiteral("1/2/3"));
    QCOMPARE(e.w->txtEdit->selectedText(), QStringLiteral("1/2/3"));
    e.keyOnFocus(Qt::Key_Escape);
    // A fixed column starts nothing.
    e.doubleClick(onOff, kColDescription);
    QVERIFY(e.w->txtEdit->isHidden());
    // The code column of a group head shows and hides its bit rows.
    e.doubleClick(mode, kColCode);
    for (int r = modeBit0; r <= modeStep; ++r)
        QVERIFY(e.s().grid.isRowHidden(r));
    QVERIFY(!e.s().grid.isRowHidden(mode));
    e.doubleClick(mode, kColCode);
    QVERIFY(!e.s().grid.isRowHidden(modeBit0));
}

void tst_EditorGrid::flagPopupOverSelectionSkipsHiddenRows()
{
    EditorWindow e;
    e.showGrid();
    e.click(mode, kColCode);
    e.s().ToggleBits(false); // rows 5 to 10 hidden
    // Rows 3 to 12 selected: on screen 3, 4, 11 and 12.
    e.select(onOff, kColR, fan + 1, kColU);
    QCOMPARE(e.s().SelectedRows(), (QVector<int>{onOff, mode, fan, fan + 1}));
    e.rightClick(mode, kColU);
    QMenu *menu = e.openPopup();
    QVERIFY(menu);
    QCOMPARE(menu, e.w->popmnuRWTU);
    QVERIFY(e.w->mnuRWTU[2]->isVisible());
    QCOMPARE(e.s().popupColumn, qint16(kColU));
    // The selection of several rows stays; the clicked column becomes current.
    QCOMPARE(e.s().selectionFirstRow(), onOff);
    QCOMPARE(e.s().selectionLastRow(), fan + 1);
    QCOMPARE(e.s().current().column, int(kColU));
    QVERIFY(e.choosePopupItem(1)); // "U"
    for (int r : {onOff, mode, fan, fan + 1}) {
        QCOMPARE(e.cell(r, kColU), QStringLiteral("U"));
        QCOMPARE(e.cell(r, kColR), QString());
        QCOMPARE(e.cell(r, kColW), QStringLiteral("W"));
    }
    for (int r = modeBit0; r <= modeStep; ++r)
        QCOMPARE(e.cell(r, kColU), QString());
    QVERIFY(e.s().tableChanged);

    // Over R the third item is hidden.
    e.rightClick(mode, kColR);
    QVERIFY(!e.w->mnuRWTU[2]->isVisible());
    QCOMPARE(e.w->mnuRWTU[1]->text(), QStringLiteral("R"));
    e.closePopup();
}

void tst_EditorGrid::yesNoPopupOverSelection()
{
    EditorWindow e;
    e.showGrid();
    e.click(mode, kColCode);
    e.s().ToggleBits(false);
    e.select(mode, kColYesNo, fan, kColYesNo);
    e.rightClick(fan, kColYesNo);
    QCOMPARE(e.openPopup(), e.w->popmnuSiNo);
    QVERIFY(e.choosePopupItem(1));
    QCOMPARE(e.cell(mode, kColYesNo), e.f.text("X10"));
    QCOMPARE(e.cell(fan, kColYesNo), e.f.text("X10"));
    QCOMPARE(e.cell(modeBit0, kColYesNo), e.f.text("X9"));
    QCOMPARE(e.cell(onOff, kColYesNo), e.f.text("X9"));
}

void tst_EditorGrid::flagPopupOnSingleRowMovesCurrentRow()
{
    EditorWindow e;
    e.showGrid();
    e.click(onOff, kColAddress);
    e.rightClick(fan, kColT);
    QCOMPARE(e.s().current(), (GridCell{fan, kColT}));
    QVERIFY(e.choosePopupItem(0)); // empty
    // The flag rules run on the row at once: R sets T again.
    QCOMPARE(e.cell(fan, kColT), QStringLiteral("T"));
    e.rightClick(fan, kColR);
    QVERIFY(e.choosePopupItem(0));
    QCOMPARE(e.cell(fan, kColR), QString());
    QCOMPARE(e.cell(fan, kColT), QStringLiteral("T"));
    // Any other column: the cell becomes current, no pop-up.
    e.rightClick(fan, kColAddress);
    QVERIFY(!e.openPopup());
    QCOMPARE(e.s().current(), (GridCell{fan, kColAddress}));
}

void tst_EditorGrid::codePopupShowsBitsOnGroupHeads()
{
    EditorWindow e;
    e.showGrid();
    e.rightClick(onOff, kColCode);
    QCOMPARE(e.openPopup(), e.w->popmnuCod);
    QVERIFY(!e.w->mnuCodShowBits->menuAction()->isVisible());
    QVERIFY(!e.w->mnuCodSeparator->isVisible());
    e.closePopup();
    e.rightClick(mode, kColCode);
    QCOMPARE(e.s().current(), (GridCell{mode, kColCode}));
    QVERIFY(e.w->mnuCodShowBits->menuAction()->isVisible());
    QVERIFY(e.w->mnuCodSeparator->isVisible());
    QCOMPARE(e.w->mnuMostrar[0]->text(), e.f.text("A4"));
    QCOMPARE(e.w->mnuMostrar[1]->text(), e.f.text("A5"));
    e.closePopup();
    e.w->mnuMostrar[0]->trigger();
    QVERIFY(e.s().grid.isRowHidden(modeBit0));
    QVERIFY(!e.s().grid.isRowHidden(fan + 1));
    e.rightClick(fan, kColCode);
    e.closePopup();
    e.w->mnuMostrar[1]->trigger();
    QVERIFY(e.s().grid.isRowHidden(fan + 1));
    QVERIFY(e.s().grid.isRowHidden(modeBit0));
    QCOMPARE(e.grid()->currentIndex(), e.index(fan, kColCode));
}

void tst_EditorGrid::eisPopupChangesNothing()
{
    EditorWindow e;
    e.showGrid();
    const QString before = e.cell(onOff, kColEis);
    e.rightClick(onOff, kColEis);
    QCOMPARE(e.openPopup(), e.w->popmnuEIS);
    int visible = 0;
    for (QAction *a : e.w->popmnuEIS->actions())
        visible += a->isVisible();
    QCOMPARE(visible, 10); // EIS 1, 2, 5 to 11, 14
    QVERIFY(e.choosePopupItem(3));
    QCOMPARE(e.cell(onOff, kColEis), before);
    QVERIFY(!e.s().tableChanged || e.s().current().row == onOff);
}

void tst_EditorGrid::flagRules_data()
{
    QTest::addColumn<int>("protocol");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("U on writable row") << 70 << 0 << QStringList{"R", "", "T", "U"} << QStringList{"", "W", "T", "U"};
    QTest::newRow("U2 keeps R") << 70 << 0 << QStringList{"R", "", "", "U2"} << QStringList{"R", "W", "T", "U2"};
    QTest::newRow("R sets T") << 70 << 17 << QStringList{"R", "", "", ""} << QStringList{"R", "", "T", ""};
    QTest::newRow("no R keeps T") << 70 << 17 << QStringList{"", "", "T", ""} << QStringList{"", "", "T", ""};
    QTest::newRow("unit read-only") << 70 << 33 << QStringList{"R", "W", "T", "U"} << QStringList{"R", "", "T", ""};
    QTest::newRow("unit status") << 70 << 101 << QStringList{"", "W", "", "U2"} << QStringList{"", "", "", ""};
    QTest::newRow("unit step") << 70 << 23 << QStringList{"R", "W", "T", ""} << QStringList{"", "W", "", ""};
    QTest::newRow("unit step U") << 70 << 37 << QStringList{"R", "", "T", "U"} << QStringList{"", "W", "", "U"};
    QTest::newRow("chiller read-only") << 71 << 9 << QStringList{"R", "W", "T", "U"} << QStringList{"R", "", "T", ""};
    QTest::newRow("chiller writable") << 71 << 10 << QStringList{"R", "", "", "U"} << QStringList{"", "W", "", "U"};
    QTest::newRow("chiller step") << 71 << 15 << QStringList{"R", "", "T", ""} << QStringList{"", "", "", ""};
}

void tst_EditorGrid::flagRules()
{
    QFETCH(int, protocol);
    QFETCH(int, code);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    EditorWindow e(protocol == 70 ? QStringLiteral("ZTR001-PACKAGED") : QStringLiteral("ZTR001-CHILLER"));
    const int row = e.s().grid.findRow(1, code);
    QVERIFY(row > 0);
    e.showGrid();
    e.click(row, kColAddress);
    for (int i = 0; i < 4; ++i)
        e.s().grid.setCell(row, kColR + i, before[i]);
    e.s().tableChanged = false;
    // Leaving the row runs the rules on it.
    e.click(row == 1 ? 2 : 1, kColAddress);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(e.cell(row, kColR + i), after[i]);
    QVERIFY(e.s().tableChanged);
}

void tst_EditorGrid::bitRowsOneGroup()
{
    EditorWindow e;
    e.showGrid();
    const int shownBefore = e.w->visibleRows().rowCount();
    e.click(mode, kColCode);
    e.s().ToggleBits(false);
    QCOMPARE(e.s().grid.rowMark(mode), qint16(2));
    for (int r = modeBit0; r <= modeStep; ++r) {
        QVERIFY(e.s().grid.isRowHidden(r));
        QCOMPARE(e.w->viewIndex(r, kColCode), QModelIndex());
        QCOMPARE(LeadingInteger(e.cell(r, kColCode)), qint64(18 + r - modeBit0));
    }
    QCOMPARE(e.w->visibleRows().rowCount(), shownBefore - 6);
    QVERIFY(!e.s().grid.isRowHidden(mode));
    QVERIFY(!e.s().grid.isRowHidden(fan));
    // A row without bits changes nothing.
    e.click(onOff, kColCode);
    e.s().ToggleBits(false);
    QCOMPARE(e.w->visibleRows().rowCount(), shownBefore - 6);
    e.click(mode, kColCode);
    e.s().ToggleBits(false);
    QCOMPARE(e.s().grid.rowMark(mode), qint16(1));
    QCOMPARE(e.w->visibleRows().rowCount(), shownBefore);
}

void tst_EditorGrid::bitRowsAllGroupsThenOne()
{
    EditorWindow e;
    e.showGrid();
    // The current cell on a bit row moves to its head when the row goes.
    e.click(modeBit0 + 2, kColAddress);
    e.rightClick(modeBit0 + 2, kColCode);
    e.closePopup();
    e.w->mnuMostrar[1]->trigger();
    QCOMPARE(e.s().showAllState, qint16(2));
    QCOMPARE(e.w->visibleRows().rowCount(), 40 - 20);
    QCOMPARE(e.s().current().row, mode);
    QCOMPARE(e.grid()->currentIndex(), e.index(mode, kColCode));
    for (int head : {mode, fan, tset, louver, central, operation})
        QCOMPARE(e.s().grid.rowMark(head), qint16(2));
    e.doubleClick(fan, kColCode);
    QCOMPARE(e.s().grid.rowMark(fan), qint16(1));
    QCOMPARE(e.s().grid.rowMark(mode), qint16(2));
    QVERIFY(!e.s().grid.isRowHidden(fanStep));
    QVERIFY(e.s().grid.isRowHidden(modeStep));
    QCOMPARE(e.w->visibleRows().rowCount(), 24);
    // All groups again: everything shown.
    e.w->mnuMostrar[1]->trigger();
    QCOMPARE(e.s().showAllState, qint16(1));
    QCOMPARE(e.w->visibleRows().rowCount(), 40);
}

void tst_EditorGrid::sortingByHeaderAndCorner()
{
    EditorWindow e;
    e.showGrid();
    e.s().grid.setCell(onOff, kColAddress, "3");
    e.s().grid.setCell(fan, kColAddress, "1");
    e.s().grid.setCell(last, kColAddress, "2");
    e.click(last, kColAddress);
    QHeaderView *header = e.grid()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(kColAddress) + 5, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
    // Ascending: numbers first by value, then the empty texts in their old order.
    QCOMPARE(e.cell(1, kColAddress), QStringLiteral("1"));
    QCOMPARE(e.cell(2, kColAddress), QStringLiteral("2"));
    QCOMPARE(e.cell(3, kColAddress), QStringLiteral("3"));
    QCOMPARE(e.cell(4, kColRowNumber), QStringLiteral("1"));
    // The current cell followed its row and is in view.
    QCOMPARE(e.s().current(), (GridCell{2, kColAddress}));
    QCOMPARE(e.grid()->currentIndex(), e.index(2, kColAddress));
    QVERIFY(e.grid()->viewport()->rect().intersects(e.grid()->visualRect(e.grid()->currentIndex())));
    QCOMPARE(e.w->visibleRows().headerData(0, Qt::Vertical).toString(), QString::number(fan));
    // Descending next.
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(e.cell(e.s().grid.gridRowCount() - 1, kColAddress), QStringLiteral("1"));
    QCOMPARE(e.s().current(), (GridCell{e.s().grid.gridRowCount() - 2, kColAddress}));
    // The corner cell sorts by the running numbers: ascending restores the catalogue order.
    e.click(5, kColAddress);
    QTest::mouseDClick(e.grid()->cornerButton(), Qt::LeftButton);
    for (int r = 1; r < e.s().grid.gridRowCount(); ++r)
        QCOMPARE(e.cell(r, kColRowNumber), QString::number(r));
    QCOMPARE(e.cell(onOff, kColAddress), QStringLiteral("3"));
    QCOMPARE(e.s().grid.findRow(1, 2), fan);
}

void tst_EditorGrid::copySelection()
{
    EditorWindow e;
    e.showGrid();
    e.click(mode, kColCode);
    e.s().ToggleBits(false);
    e.s().grid.setCell(onOff, kColAddress, "1/0/1");
    e.select(onOff, kColAddress, fan, kColR);
    QTest::keyClick(e.grid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("1/0/1\t\tR\n\t\tR\n\t\tR\n"));
}

void tst_EditorGrid::clickRaisesTableChanged()
{
    EditorWindow e;
    QVERIFY(!e.s().tableChanged);
    e.showGrid();
    QVERIFY(!e.s().tableChanged);
    e.click(onOff, kColDescription);
    QVERIFY(e.s().tableChanged);
}

QTEST_MAIN(tst_EditorGrid)
#include "tst_editorgrid.moc"
