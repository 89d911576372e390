// The editor's logic without windows: the catalogue's tables, the flag rules, the grid controller
// over the table models (keys, key filter, bit rows and sorting) and the checks of the accept.
#include "EditorFixture.h"
#include "editor/AcceptChecks.h"
#include "editor/EditorSession.h"
#include "editor/FlagRules.h"
#include "editor/GridController.h"
#include "editor/SignalTableModel.h"
#include "editor/VisibleRowsModel.h"
#include "model/GroupAddress.h"
#include "tools/AddressPlanCore.h"

using namespace tarveon;
using namespace tarveon::test;

namespace {

// The device block of tests/data/catalogue-*.txt: code, caption, description, EIS, flags, class.
QList<QStringList> block(MachineType type)
{
    QList<QStringList> out;
    const QString text = QString::fromUtf8(dataFile(type == MachineType::IndoorUnits ? "catalogue-units.txt"
                                                                                     : "catalogue-chillers.txt"));
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith('#'))
            out.append(line.split('|'));
    }
    return out;
}

// A grid of the machine type as the editor opens it, with its controller.
struct Grid {
    Grid(const AppContext &ctx, int protocol, int devices)
    {
        ColumnInfos columns;
        SignalTable table = BuildSignalTable(ctx, BuildCodeLegend(ctx, MachineTypeOf(protocol)), devices, columns);
        model.setTable(std::move(table), std::move(columns));
        visible.setSourceModel(&model);
        controller.reset(protocol);
    }
    QVector<int> hiddenRows() const
    {
        QVector<int> rows;
        for (int r = 1; r < model.gridRowCount(); ++r) {
            if (model.isRowHidden(r))
                rows << r;
        }
        return rows;
    }
    SignalTableModel model;
    VisibleRowsModel visible;
    GridController controller{model, visible};
};

// Every cell of the table, a row a line: what "exactly the table" means below.
QStringList cellsOf(const SignalTable &table)
{
    QStringList out;
    for (const SignalRow &row : table.rows)
        out << QStringList(row.cells.begin(), row.cells.end()).join('|') + (row.hidden ? "|hidden" : "");
    return out;
}

// An open editor session of indoor units, all checked, device 5 named "Room 204", with its address
// tools; it keeps every action it records.
struct Plans {
    explicit Plans(int units) : f(kUnits, unitSettings(units) + "D5-Name=Room 204\r\n")
    {
        s.open();
        s.grid().setRecorder([this](CellEdit e) { edits << e; });
    }
    SignalTableModel &model() { return s.table(); }
    int row(int device, int code) { return model().findRow(device, code); }
    void use(int device, int code, const QString &address, const QString &further = {})
    {
        const int r = row(device, code);
        const QStringList cells{address, further, "R", "W", "T", "", "1 - Yes"};
        for (int c = 5; c <= 11; ++c)
            model().setCell(r, c, cells[c - 5]);
    }
    void select(int firstRow, int lastRow, int firstColumn, int lastColumn)
    {
        s.grid().setCurrentQuietly({firstRow, firstColumn});
        s.grid().setSelection(firstRow, lastRow, firstColumn, lastColumn);
    }
    void undoAll()
    {
        for (qsizetype i = edits.size() - 1; i >= 0; --i)
            s.grid().applyEdit(edits[i], true);
    }
    EditorFixture f;
    EditorSession s{f.ctx()};
    AddressPlanCore core{f.ctx(), s};
    QVector<CellEdit> edits;
};

} // namespace

Q_DECLARE_METATYPE(tarveon::MachineType)

class TestEditorLogic : public QObject {
    Q_OBJECT
    TestContext t;

private slots:
    void catalogue_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<int>("devices");
        QTest::newRow("no unit") << MachineType::IndoorUnits << 0;
        QTest::newRow("three units") << MachineType::IndoorUnits << 3;
        QTest::newRow("three chillers") << MachineType::Chillers << 3;
    }
    void catalogue()
    {
        QFETCH(MachineType, type);
        QFETCH(int, devices);
        // Every key shows as "<key>", so each cell tells the keys it was made of.
        TestContext own(false);
        AppContext &ctx = *own.ctx;
        const std::pair<const char *, int> keys[] = {{"X", 109}, {"A", 134}, {"H", 66}, {"EIB", 46}, {"G", 503}};
        QHash<QString, QString> markers;
        for (const auto &[prefix, last] : keys) {
            for (int i = 1; i <= last; ++i)
                markers.insert(prefix + QString::number(i), QStringLiteral("<%1%2>").arg(prefix).arg(i));
        }
        ctx.language.setTexts(markers);
        Grid g(ctx, InfoOf(type).protocolCode, devices);
        const SignalTable &table = g.model.table();
        const QList<QStringList> expected = block(type);
        QCOMPARE(table.rowCount(), 2 + devices * int(expected.size() - 1));
        int r = 0;
        for (int d = 1; d <= devices; ++d) {
            for (qsizetype i = 0; i < expected.size(); ++i) {
                const QStringList &e = expected[i];
                if (e[0] == "100" && d > 1)
                    continue;
                const SignalRow &row = table.rows[++r];
                const QString kind = e[5];
                QCOMPARE(QStringList({row[0], row[1], row[2], row[3], row[4], flagsOf(row), row[11]}),
                         QStringList({QString::number(r), QString::number(d), e[1], e[2], EisCaption(e[3].toInt()),
                                      e[4], "<X9>"}));
                QCOMPARE(g.model.findRow(d, e[0].toInt()), r);
                QCOMPARE(row.mark, qint16(kind == "h" ? 1 : 0));
                const quint32 colour = kind == "s" ? kStatusRowColour : kind == "h" ? kGroupHeadColour
                                       : kind == "o" ? 0u : kBitRowColour;
                QCOMPARE(g.model.cellBackground(r, kColCode), colour);
                QCOMPARE(g.model.cellBackground(r, kColYesNo), kind == "s" ? colour : 0u);
                if (kind != "h" || d != 2)
                    continue;
                // A head hides exactly the bit and step rows that follow it, and shows them again.
                QVector<int> bits;
                for (qsizetype b = i + 1; b < expected.size() && QString("bp").contains(expected[b][5]); ++b)
                    bits << r + int(b - i);
                QVERIFY(g.model.setGroupShown(type, r, false));
                QCOMPARE(g.hiddenRows(), bits);
                QCOMPARE(g.model.rowMark(r), qint16(2));
                QVERIFY(g.model.setGroupShown(type, r, true));
                QCOMPARE(g.hiddenRows(), QVector<int>());
            }
        }
        QCOMPARE(own.prompter.texts(), QStringList()); // no key was missing
    }

    void flagRules_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("U clears R, sets W") << 70 << 0 << "R--U" << "-W-U";
        QTest::newRow("U2 keeps R, R sets T") << 70 << 0 << "R--U2" << "RWTU2";
        QTest::newRow("no R keeps T") << 70 << 17 << "--T-" << "--T-";
        QTest::newRow("unit 5 writable") << 70 << 5 << "-W-U" << "-W-U";
        QTest::newRow("unit 6 read-only") << 70 << 6 << "RW-U" << "R-T-";
        QTest::newRow("unit 16 read-only") << 70 << 16 << "-W-U" << "----";
        QTest::newRow("unit 17 writable") << 70 << 17 << "-W-U" << "-W-U";
        QTest::newRow("unit 32 writable") << 70 << 32 << "-W--" << "-W--";
        QTest::newRow("unit 33 read-only") << 70 << 33 << "RWTU" << "R-T-";
        QTest::newRow("unit 36 read-only") << 70 << 36 << "-W--" << "----";
        QTest::newRow("unit step 23") << 70 << 23 << "RWT-" << "-W--";
        QTest::newRow("unit step 37") << 70 << 37 << "R-TU" << "-W-U";
        QTest::newRow("unit 99 writable") << 70 << 99 << "-W--" << "-W--";
        QTest::newRow("unit 100 read-only") << 70 << 100 << "-W-U2" << "----";
        QTest::newRow("chiller 2 writable") << 71 << 2 << "-W--" << "-W--";
        QTest::newRow("chiller 3 read-only") << 71 << 3 << "RW-U" << "R-T-";
        QTest::newRow("chiller 9 read-only") << 71 << 9 << "-W--" << "----";
        QTest::newRow("chiller 10 writable") << 71 << 10 << "R--U" << "-W-U";
        QTest::newRow("chiller 14 read-only") << 71 << 14 << "-W--" << "----";
        QTest::newRow("chiller step 15") << 71 << 15 << "RWT-" << "-W--";
    }
    void flagRules()
    {
        QFETCH(int, protocol);
        QFETCH(int, code);
        QFETCH(QString, before);
        QFETCH(QString, after);
        SignalRow row;
        row[kColCode] = QString::number(code) + " - Signal";
        setFlags(row, before);
        NormaliseRow(row, protocol);
        QCOMPARE(flagsOf(row), after);
    }

    void gridKeys_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QChar>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("result");
        const int stored = int(GridKey::Stored), ignored = int(GridKey::Ignored);
        QTest::newRow("r sets R") << int(kColR) << "" << QChar('r') << "R" << stored;
        QTest::newRow("blank clears R") << int(kColR) << "R" << QChar(' ') << "" << stored;
        QTest::newRow("x ignored in R") << int(kColR) << "R" << QChar('x') << "R" << ignored;
        QTest::newRow("r ignored in W") << int(kColW) << "" << QChar('r') << "" << ignored;
        QTest::newRow("u in U") << int(kColU) << "" << QChar('u') << "U" << stored;
        QTest::newRow("1 in use") << int(kColYesNo) << "0 - No" << QChar('1') << "1 - Yes" << stored;
        QTest::newRow("0 in use") << int(kColYesNo) << "1 - Yes" << QChar('0') << "0 - No" << stored;
        QTest::newRow("5 ignored in use") << int(kColYesNo) << "0 - No" << QChar('5') << "0 - No" << ignored;
        QTest::newRow("fixed description") << int(kColDescription) << "d" << QChar('a') << "d" << ignored;
        QTest::newRow("text starts the edit") << int(kColAddress) << "" << QChar('1') << "" << int(GridKey::Edit);
        QTest::newRow("Tab in a choice moves on") << int(kColT) << "" << QChar('\t') << "" << int(GridKey::MoveNext);
    }
    void gridKeys()
    {
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(QChar, key);
        QFETCH(QString, after);
        QFETCH(int, result);
        Grid g(*t.ctx, 70, 1);
        g.model.setCell(3, column, before);
        g.controller.goToCell({3, column});
        g.controller.clearChanged();
        QCOMPARE(int(g.controller.keyPress(key)), result);
        QCOMPARE(g.model.cell(3, column), after);
        QCOMPARE(g.controller.tableChanged(), result != int(GridKey::Ignored) && result != int(GridKey::MoveNext));
        QCOMPARE(g.controller.cellsEdited(), before != after);
    }

    void keyFilter_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("passed");
        QTest::newRow("text") << int(ContentKind::Text) << "a.b/" << "a.b/";
        QTest::newRow("number") << int(ContentKind::Integer) << "-12x.5\b" << "-125\b";
        QTest::newRow("long") << int(ContentKind::Long) << "7+7" << "77";
        QTest::newRow("decimal point becomes comma") << int(ContentKind::Decimal) << "+1.5e," << "+1,5,";
        QTest::newRow("hexadecimal") << int(ContentKind::Hex) << "fAgG9-" << "fA9";
    }
    void keyFilter()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, passed);
        Grid g(*t.ctx, 70, 1);
        g.model.setColumnFormat(kColAddress, {800, ContentKind(kind), CellAlignment::LeftCentre});
        QString out;
        for (QChar c : typed) {
            if (g.controller.filterKey(kColAddress, c))
                out += c;
        }
        QCOMPARE(out, passed);
    }

    // A group head's bit rows are its own bit signals wherever a sort puts them.
    void bitRowsAfterSorting()
    {
        Grid g(*t.ctx, 70, 2);
        GridController &c = g.controller;
        c.ToggleBits(true);
        const QVector<int> hiddenInOrder = g.hiddenRows();
        QCOMPARE(hiddenInOrder.size(), 2 * 20);
        QCOMPARE(g.visible.rowCount(), 79 - 40);
        c.sortByColumn(kColCode); // ascending: the code captions scatter the groups
        c.sortByColumn(kColDescription); // descending
        QCOMPARE(g.hiddenRows().size(), 40);
        c.ToggleBits(true);
        QCOMPARE(g.hiddenRows(), QVector<int>());
        QCOMPARE(g.visible.rowCount(), 79);
        // Device 2's Mode head hides codes 18 to 23 of device 2, and nothing else.
        c.setCurrentQuietly({g.model.findRow(2, 1), kColCode});
        c.ToggleBits(false);
        QVector<int> mode;
        for (int code = 18; code <= 23; ++code)
            mode << g.model.findRow(2, code);
        std::sort(mode.begin(), mode.end());
        QCOMPARE(g.hiddenRows(), mode);
        c.ToggleBits(false);
        // Hidden before the sort is reversed: the catalogue order comes back with the same rows hidden.
        c.ToggleBits(true);
        c.sortByColumn(kColRowNumber); // the third sort: ascending
        QCOMPARE(g.model.cell(1, kColRowNumber), QStringLiteral("1"));
        QCOMPARE(g.hiddenRows(), hiddenInOrder);
    }

    // Fill and apply-plan: each range's last address and one past it, clashes, and what is copied.
    void addressPlans_data()
    {
        QTest::addColumn<bool>("plan");      // apply the plan of unit 1, else fill On/Off (code 0)
        QTest::addColumn<QString>("start");  // fill: the start address
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("last");       // the last device; the first is 1 (plan: 2)
        QTest::addColumn<QString>("preset"); // "device:code:address" of a row in use; "-" after it: not in use
        QTest::addColumn<QString>("result"); // the last own address written, or the message
        const int sub = int(StepLevel::Sub), middle = int(StepLevel::Middle), main = int(StepLevel::Main);
        QTest::newRow("sub 255") << false << "1/0/236" << sub << 1 << 20 << "" << "1/0/255";
        QTest::newRow("sub 256") << false << "1/0/237" << sub << 1 << 20 << "" << "Unit 20: 1/0/256{PL40}";
        QTest::newRow("middle 7") << false << "1/0/1" << middle << 1 << 8 << "" << "1/7/1";
        QTest::newRow("middle 8") << false << "1/0/1" << middle << 1 << 9 << "" << "Unit 9: 1/8/1{PL40}";
        QTest::newRow("main 15") << false << "1/0/1" << main << 1 << 15 << "" << "15/0/1";
        QTest::newRow("main 16") << false << "1/0/1" << main << 1 << 16 << "" << "Unit 16: 16/0/1{PL40}";
        QTest::newRow("by 2 from a two-level address") << false << "2/266" << sub << 2 << 20 << "" << "2/1/48";
        QTest::newRow("0/0/0") << false << "0/0/0" << sub << 1 << 20 << "" << "{EIB30}";
        QTest::newRow("clash with a row in use") << false << "1/0/1" << sub << 1 << 20 << "5:1:1/0/7"
                                                 << "Unit 7: 1/0/7{PL41}Unit 5 \u00B7 Room 204 \u00B7 01 - {H33}{PL42}";
        QTest::newRow("a row not in use is no clash") << false << "1/0/1" << sub << 1 << 20 << "5:1:1/0/7-" << "1/0/20";
        QTest::newRow("clash among the rows filled") << false << "1/0/1" << sub << 0 << 2 << ""
                                                     << "Unit 1: 1/0/1{PL41}Unit 2 \u00B7 00 - {H32}{PL42}";
        QTest::newRow("plan by sub") << true << "" << sub << 1 << 20 << "" << "3/2/20";
        QTest::newRow("plan main past 15") << true << "" << main << 1 << 14 << "" << "Unit 14: 16/2/1{PL40}";
        QTest::newRow("plan clash") << true << "" << sub << 1 << 8 << "9:5:1/0/5"
                                    << "Unit 5 \u00B7 Room 204: 1/0/5{PL41}Unit 9 \u00B7 05 - {H37}{PL42}";
    }
    void addressPlans()
    {
        QFETCH(bool, plan);
        QFETCH(QString, start);
        QFETCH(int, level);
        QFETCH(int, step);
        QFETCH(int, last);
        QFETCH(QString, preset);
        QFETCH(QString, result);
        Plans p(20);
        p.use(1, 0, "1/0/1", "0/7/1");
        p.use(1, 3, "3/2/1");
        if (!preset.isEmpty()) {
            const QStringList part = preset.split(':');
            p.use(part[0].toInt(), part[1].toInt(), part[2].chopped(preset.endsWith('-')));
            if (preset.endsWith('-'))
                p.model().setCell(p.row(part[0].toInt(), part[1].toInt()), kColYesNo, "0 - No");
        }
        const QStringList before = cellsOf(p.model().table());
        const PlanResult planned = plan ? p.core.planApply({1, 2, last, StepLevel(level), step, false})
                                        : p.core.planFill({false, 0, 1, last, start, StepLevel(level), step, true});
        const bool done = plan ? p.core.applyPlan({1, 2, last, StepLevel(level), step, false})
                               : p.core.fill({false, 0, 1, last, start, StepLevel(level), step, true});
        const bool refused = result.startsWith("Unit") || result.startsWith('{');
        QCOMPARE(done, !refused);
        QCOMPARE(p.f.messages(), refused ? QStringList{p.f.withTexts(result)} : QStringList());
        if (refused) {
            QCOMPARE(cellsOf(p.model().table()), before);
            return;
        }
        QCOMPARE(planned.last, result);
        const SignalRow &lastRow = p.model().table().rows[p.row(last, plan ? 3 : 0)];
        QCOMPARE(lastRow[kColAddress], result);
        QCOMPARE(flagsOf(lastRow) + lastRow[kColYesNo], "RWT-1 - Yes");
        if (plan) // further addresses are copied as they are
            QCOMPARE(p.model().cell(p.row(last, 0), kColFurtherAddresses), QStringLiteral("0/7/1"));
        p.undoAll();
        QCOMPARE(cellsOf(p.model().table()), before);
    }

    // Ctrl+V by column, at the last row and one past it, over hidden rows; undone exactly.
    void paste_data()
    {
        QTest::addColumn<QList<int>>("selection"); // first and last row, first and last column
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("rows");      // rows whose columns 5 to 11 are then...
        QTest::addColumn<QStringList>("after");    // ... these, or the message
        const QString no = "0 - No";
        QTest::newRow("a row of values") << QList<int>{3, 3, 5, 5} << "1/0/1\t1/7/1\tr\t\t\tu\t1 - S\u00ed"
                                         << QList<int>{3} << QStringList{"1/0/1|1/7/1||W||U|1 - Yes"};
        QTest::newRow("U2, Use by its number") << QList<int>{3, 3, 10, 11} << "U2\t0" << QList<int>{3}
                                               << QStringList{"||R|W|T|U2|" + no};
        QTest::newRow("lines go down the shown rows") << QList<int>{4, 4, 5, 5} << "1/0/4\r\n1/0/11\r\n"
                                                      << QList<int>{4, 5, 11}
                                                      << QStringList{"1/0/4||R|W|T||" + no, "||R|W|T||" + no, "1/0/11||R|W|T||" + no};
        QTest::newRow("one value into the shown rows") << QList<int>{3, 11, 7, 7} << " " << QList<int>{3, 6, 11}
                                                       << QStringList{"|||W|T||" + no, "||R|W|T||" + no, "|||W|T||" + no};
        QTest::newRow("the last row") << QList<int>{40, 40, 5, 5} << "1/0/1\n" << QList<int>{40}
                                      << QStringList{"1/0/1||R|W|T||" + no};
        QTest::newRow("past the last row") << QList<int>{40, 40, 5, 5} << "1/0/1\n1/0/2" << QList<int>() << QStringList{"{PL48}"};
        QTest::newRow("x in R") << QList<int>{3, 3, 7, 7} << "x" << QList<int>() << QStringList{"{PL45}R{PL46}\"x\"{PL47}"};
        QTest::newRow("2 in Use") << QList<int>{3, 3, 11, 11} << "2" << QList<int>() << QStringList{"{PL45}{X12}{PL46}\"2\"{PL47}"};
        QTest::newRow("Yes in Use") << QList<int>{3, 3, 11, 11} << "Yes" << QList<int>() << QStringList{"{PL45}{X12}{PL46}\"Yes\"{PL47}"};
        QTest::newRow("fixed column") << QList<int>{3, 3, 4, 4} << "1" << QList<int>() << QStringList{"{PL44}"};
        QTest::newRow("past the last column") << QList<int>{3, 3, 11, 11} << "1\t1" << QList<int>() << QStringList{"{PL44}"};
    }
    void paste()
    {
        QFETCH(QList<int>, selection);
        QFETCH(QString, text);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, after);
        Plans p(1);
        p.s.grid().setCurrentQuietly({4, 2});
        p.s.grid().ToggleBits(false); // the Mode group's rows 5 to 10 hidden
        const QStringList before = cellsOf(p.model().table());
        p.select(selection[0], selection[1], selection[2], selection[3]);
        QCOMPARE(p.s.paste(text), !rows.isEmpty());
        if (rows.isEmpty()) {
            QCOMPARE(p.f.messages(), QStringList{p.f.withTexts(after.front())});
            QCOMPARE(cellsOf(p.model().table()), before);
            return;
        }
        QStringList cells;
        for (int r : rows)
            cells << cellsOf(p.model().table())[r].split('|').mid(5, 7).join('|');
        QCOMPARE(cells, after);
        QCOMPARE(p.edits.size(), 1);
        p.undoAll();
        QCOMPARE(cellsOf(p.model().table()), before);
    }

    // The filter narrows the rows shown, never the table; a selection passes over the rows it
    // hides; OK clears it to show the faulty cell.
    void filter()
    {
        Plans p(20);
        const QStringList before = cellsOf(p.model().table());
        VisibleRowsModel &view = p.s.visibleRows();
        p.s.setFilter(" room 204", false);
        QCOMPARE(view.rowCount(), 39);
        QCOMPARE(view.tableRowOf(0), p.row(5, 101));
        p.s.setFilter(p.f.withTexts("00 - {H32}"), false);
        QCOMPARE(view.rowCount(), 20);
        p.select(1, p.model().gridRowCount() - 1, kColYesNo, kColYesNo);
        p.s.grid().chooseYesNoItem(1);
        p.s.grid().sortByColumn(kColDescription);
        p.s.setFilter({}, true);
        QCOMPARE(view.rowCount(), 20);
        QCOMPARE(p.model().cell(view.tableRowOf(0), kColCode), p.f.withTexts("00 - {H32}"));
        p.s.grid().sortByColumn(kColRowNumber); // descending, then ascending: the catalogue order
        p.s.grid().sortByColumn(kColRowNumber);
        p.undoAll();
        QCOMPARE(cellsOf(p.model().table()), before);
        p.use(3, 0, "2/0/3", "15/7/200"); // a further address finds its row too
        p.s.setFilter("15/7/200", false);
        QCOMPARE(view.rowCount(), 1);
        // Device 1's On/Off row in use with R and no address stops OK; the filter makes way.
        p.model().setCell(p.row(1, 0), kColYesNo, "1 - Yes");
        p.s.setFilter("Room 204", false);
        QCOMPARE(p.s.accept().stop, AcceptOutcome::Validation);
        QVERIFY(!view.filter().isActive());
        QCOMPARE(view.rowCount(), p.model().gridRowCount() - 1);
    }

    // The spreadsheet round trip: exported as a spreadsheet reads it, imported by row key with
    // the rules of typing, the lines it cannot place reported; undone exactly.
    void spreadsheet()
    {
        Plans p(2);
        p.use(1, 0, "1/0/1", "1/7/1; \"a\"");
        const QString path = p.f.path("signals.csv");
        QVERIFY(p.core.exportCsv(path));
        QCOMPARE(p.f.messages(), QStringList{p.f.text("KNX47") + path});
        const QByteArray bytes = p.f.read("signals.csv");
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF;Unit;C\xC3\xB3" "digo;"));
        QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
        QCOMPARE(lines.size(), 80 + 1);
        QCOMPARE(lines[3], p.f.withTexts("3;1;00 - {H32};{H2}: {H3}. (R/W);01 - Switching (1 bit);1/0/1;"
                                         "\"1/7/1; \"\"a\"\"\";R;W;T;;{X10}"));
        const QStringList before = cellsOf(p.model().table());
        lines[3].replace(";1/0/1;", ";1/0/9;");
        lines.last() = "x;2;00 - On/Off;;;2/0/1;;r;;;U;1\r\n3;3;00;;;;;;;;;1\r\n;2;03;;;2/2/2;;Q;;;;1\r\n;2;05";
        p.f.write("signals.csv", lines.join("\r\n").toUtf8());
        p.f.prompter().clear();
        QVERIFY(p.core.importCsv(path));
        QCOMPARE(p.f.messages(), QStringList{p.f.withTexts("{PL51}80. {PL53}\n{PL52}\n82: 3-0, 83: 2-3, 84: 2-5")});
        QCOMPARE(p.model().cell(p.row(1, 0), kColAddress), QStringLiteral("1/0/9"));
        QCOMPARE(flagsOf(p.model().table().rows[p.row(2, 0)]) + p.model().cell(p.row(2, 0), kColYesNo), "-W-U1 - Yes");
        p.undoAll();
        QCOMPARE(cellsOf(p.model().table()), before);
    }

    // The ETS address book offers names and types; the help line names the datapoint type, the
    // device and the signal; OK warns of a type that ETS gives otherwise, and goes on.
    void knxHints()
    {
        Plans p(20);
        p.f.write("ets.csv", "\"Group name\";\"Address\";\"Central\";\"Unfiltered\";\"Description\";\"DatapointType\"\r\n"
                             "\"Room 101 Setpoint\";\"1/3/1\";\"\";\"\";\"\";\"DPST-9-1\"\r\n"
                             "\"Room 204 Setpoint\";\"1/3/2\";\"\";\"\";\"\";\"DPST-5-1\"\r\n");
        QVERIFY(p.core.importEts(p.f.path("ets.csv")));
        QCOMPARE(p.core.completions("204"), QStringList{"1/3/2 Room 204 Setpoint \u00B7 5.001"});
        QCOMPARE(p.core.completions("1/3/").size(), 2);
        QCOMPARE(p.core.helpText({p.row(5, 3), kColEis}),
                 p.f.withTexts("{EIB9} \u00B7 DPT 9.001 {KNX6} \u00B7 Unit 5 \u00B7 Room 204 \u00B7 03 - {H35}"));
        p.use(5, 3, "1/3/2");
        p.s.acceptAdvice = [&] { return p.core.typeWarnings(); };
        p.f.prompter().clear();
        p.f.prompter().msgBoxAnswers = {1, 2};
        QCOMPARE(p.s.accept().stop, AcceptOutcome::Declined);
        QCOMPARE(p.f.messages(), p.f.withTexts("{PL62}\n1/3/2 Room 204 Setpoint{KNX31}9.001{KNX32}5.001{KNX33}|{A23}").split('|'));
    }

    void acceptChecks_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rows"); // after the checks
        using F = AcceptFault;
        QTest::newRow("passes: blank rows go, rules on rows in use") << "blank" << int(F::None) << "" << -1 << -1 << 40;
        QTest::newRow("W on a read-only signal loses its only flag")
            << "readonly" << int(F::Validation) << "EIB2" << 25 << int(kColAddress) << 41;
        QTest::newRow("unknown code 38") << "code" << int(F::Code) << "A8" << 3 << int(kColCode) << 41;
        QTest::newRow("devices") << "devices" << int(F::Devices) << "" << -1 << -1 << 41;
        QTest::newRow("physical address") << "phys" << int(F::PhysicalAddress) << "EIB31" << -1 << -1 << 41;
    }
    void acceptChecks()
    {
        QFETCH(QString, change);
        QFETCH(int, check);
        QFETCH(QString, key);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, rows);
        Grid g(*t.ctx, 70, 1);
        SignalTable table = g.model.table();
        ProjectSettings settings;
        settings.devices = {ProjectSettings::defaultDevice(70, 1), ProjectSettings::defaultDevice(70, 2)};
        auto use = [&](int r, const QString &address, const QString &f) {
            table.rows[r][kColAddress] = address;
            setFlags(table.rows[r], f);
            table.rows[r][kColYesNo] = QStringLiteral("1 - Yes");
        };
        use(3, "1/0/1", "RW--");
        setFlags(table.rows[4], "R---"); // not in use: left as it is
        if (change == "blank")
            table.rows[10].cells.fill(QStringLiteral(" "));
        if (change == "readonly")
            use(25, "1/0/2", "-W--");
        if (change == "code")
            table.rows[3][kColCode] = QStringLiteral("38 - Unknown");
        if (change == "devices") {
            settings.devices[0].active = settings.devices[1].active = true;
            settings.devices[1].uni = QStringLiteral("1");
        }
        if (change == "phys")
            settings.phyAdd = QStringLiteral("0.0.0");
        const AcceptFault fault = RunAcceptChecks(*t.ctx, 70, settings, table);
        QCOMPARE(int(fault.check), check);
        QCOMPARE(fault.key, key);
        QCOMPARE(fault.row, row);
        QCOMPARE(fault.column, column);
        QCOMPARE(fault.messages().size(), check == AcceptFault::None ? 0 : 1);
        if (change == "devices")
            QCOMPARE(fault.message, QStringLiteral("Not allowed 2 devices with same Sytem-Unit: 0-1"));
        QCOMPARE(table.rowCount(), rows);
        QCOMPARE(flagsOf(table.rows[3]), QStringLiteral("RWT-"));
        QCOMPARE(flagsOf(table.rows[4]), QStringLiteral("R---"));
        QCOMPARE(table.rows[rows - 1][kColRowNumber], QString::number(rows - 1));
        QCOMPARE(table.rowKeys.value("1-17"), rows - 1);
    }
};

QTEST_GUILESS_MAIN(TestEditorLogic)
#include "tst_editorlogic.moc"
