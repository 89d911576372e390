#include "TestSupport.h"
#include "editor/ProjectSettings.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalTableModel.h"
#include "model/GroupAddress.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tarveon;

namespace {

// A small hand-made grid: header, a status row, a head with two bit rows, an ordinary row.
SignalTable handTable()
{
    SignalTable t;
    t.rows.resize(6);
    const QStringList header{"", "Unit", "Code", "Desc", "EIS", "Addr", "More", "R", "W", "T", "U", "Y/N"};
    for (int c = 0; c < 12; ++c)
        t.rows[0][c] = header[c];
    const char *codes[] = {"", "101-Not Exist", "02 - Fan", "24 - Fan (0)", "25 - Fan (1)", "06 - Filter"};
    for (int r = 1; r <= 5; ++r) {
        t.rows[r][0] = QString::number(r);
        t.rows[r][1] = "1";
        t.rows[r][2] = codes[r];
        t.rows[r][11] = "No";
    }
    t.rows[1].background = 0xFFC0FFFF;
    t.rows[1].colouredColumns = 0x0FFE;
    t.rows[2].background = 0xFFFFE0C0;
    t.rows[2].colouredColumns = 0x0004;
    t.rows[2].mark = 1;
    t.rows[3].background = t.rows[4].background = 0xFFFFFFC0;
    t.rows[3].colouredColumns = t.rows[4].colouredColumns = 0x0004;
    t.rowKeys = {{"1-101", 1}, {"1-2", 2}, {"1-24", 3}, {"1-25", 4}, {"1-6", 5}};
    t.columns[2] = ColumnFormat{1700, ContentKind::Text, CellAlignment::LeftCentre};
    t.columns[7] = ColumnFormat{300, ContentKind::Text, CellAlignment::Centre};
    t.columns[5] = ColumnFormat{800, ContentKind::Text, CellAlignment::LeftCentre};
    return t;
}

ColumnInfos handColumns()
{
    ColumnInfos info;
    for (int c = 1; c < 12; ++c)
        info[c].EditKind = c == 5 || c == 6 ? kEditFree : (c >= 7 ? kEditChoice : kEditFixed);
    return info;
}

QStringList column(const SignalTableModel &m, int c)
{
    QStringList out;
    for (int r = 1; r < m.gridRowCount(); ++r)
        out << m.cell(r, c);
    return out;
}

} // namespace

class TestSignalTableModel : public QObject {
    Q_OBJECT

    test::TestContext t{false};

    // The full table of some indoor units, as the editor builds it.
    void buildUnits(SignalTableModel &m, int units)
    {
        ProjectSettings s;
        s.devices.resize(units);
        BuildUnitTable(*t.ctx, s, BuildCodeLegend(*t.ctx, MachineType::IndoorUnits), m);
    }

private slots:
    void init()
    {
        QHash<QString, QString> texts;
        t.ctx->language.setTexts(texts);
    }

    void shapeAndHeader()
    {
        SignalTableModel m;
        QCOMPARE(m.rowCount(), 0);
        QCOMPARE(m.columnCount(), 12);
        m.setTable(handTable(), handColumns());
        QCOMPARE(m.rowCount(), 5);
        QCOMPARE(m.gridRowCount(), 6);
        QCOMPARE(m.rowCount(m.index(0, 0)), 0); // a table has no children
        QCOMPARE(m.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Code"));
        QCOMPARE(m.headerData(11, Qt::Horizontal).toString(), QStringLiteral("Y/N"));
        QCOMPARE(m.headerData(2, Qt::Horizontal, Qt::SizeHintRole).toSize().width(), 1700 / 15);
        QCOMPARE(m.columnWidthPixels(7), 20);
        // Model row 0 is table row 1.
        QCOMPARE(m.data(m.index(0, 2)).toString(), QStringLiteral("101-Not Exist"));
        QCOMPARE(m.data(m.index(4, 2)).toString(), QStringLiteral("06 - Filter"));
        QVERIFY(!m.data(m.index(5, 2)).isValid());
    }

    void roles_data()
    {
        QTest::addColumn<int>("row"); // table row
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("mark");
        QTest::addColumn<uint>("background");
        QTest::newRow("status row, device column") << 1 << 1 << 0 << 0xFFC0FFFFu;
        QTest::newRow("status row, yes/no column") << 1 << 11 << 0 << 0xFFC0FFFFu;
        QTest::newRow("status row, number column") << 1 << 0 << 0 << 0u;
        QTest::newRow("head, code cell") << 2 << 2 << 1 << 0xFFFFE0C0u;
        QTest::newRow("head, description") << 2 << 3 << 1 << 0u;
        QTest::newRow("bit row, code cell") << 3 << 2 << 0 << 0xFFFFFFC0u;
        QTest::newRow("ordinary row") << 5 << 2 << 0 << 0u;
    }
    void roles()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, mark);
        QFETCH(uint, background);
        SignalTableModel m;
        m.setTable(handTable(), handColumns());
        const QModelIndex i = m.index(SignalTableModel::modelRow(row), col);
        QCOMPARE(m.data(i, SignalTableModel::RowMarkRole).toInt(), mark);
        QCOMPARE(m.data(i, SignalTableModel::BackgroundRgbRole).toUInt(), background);
        QCOMPARE(m.cellBackground(row, col), quint32(background));
        QCOMPARE(m.data(i, SignalTableModel::RowHiddenRole).toBool(), false);
    }

    void alignmentAndFlags()
    {
        SignalTableModel m;
        m.setTable(handTable(), handColumns());
        QCOMPARE(m.data(m.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(m.data(m.index(0, 7), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::Alignment(Qt::AlignCenter));
        QVERIFY(!m.data(m.index(0, 11), Qt::TextAlignmentRole).isValid());
        QVERIFY(m.flags(m.index(0, 5)) & Qt::ItemIsEditable);
        QVERIFY(m.flags(m.index(0, 6)) & Qt::ItemIsEditable);
        QVERIFY(!(m.flags(m.index(0, 7)) & Qt::ItemIsEditable));
        QVERIFY(!(m.flags(m.index(0, 2)) & Qt::ItemIsEditable));
        QVERIFY(m.flags(m.index(0, 2)) & Qt::ItemIsSelectable);
        QVERIFY(!(m.flags(m.index(0, 0)) & (Qt::ItemIsSelectable | Qt::ItemIsEditable)));
    }

    void setDataAnnouncesTheCell()
    {
        SignalTableModel m;
        m.setTable(handTable(), handColumns());
        QSignalSpy changes(&m, &QAbstractItemModel::dataChanged);
        QVERIFY(m.setData(m.index(2, 5), QStringLiteral("1/2/3")));
        QCOMPARE(m.cell(3, 5), QStringLiteral("1/2/3"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex(), m.index(2, 5));
        QCOMPARE(changes[0][1].toModelIndex(), m.index(2, 5));
        // The same text again changes nothing.
        QVERIFY(m.setData(m.index(2, 5), QStringLiteral("1/2/3")));
        QCOMPARE(changes.count(), 1);
        QVERIFY(m.setData(m.index(2, 5), 7, SignalTableModel::RowDataRole));
        QCOMPARE(m.rowData(3), 7);
        QVERIFY(m.setData(m.index(1, 0), 2, SignalTableModel::RowMarkRole));
        QCOMPARE(m.rowMark(2), qint16(2));
        QVERIFY(!m.setData(m.index(9, 0), "x"));
        // Out-of-range rows read as empty and ignore writes.
        m.setCell(0, 5, "header?");
        m.setCell(99, 5, "x");
        QCOMPARE(m.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Addr"));
        QCOMPARE(m.cell(99, 5), QString());
    }

    // Hiding the Mode group of device 1 hides exactly the six rows of codes 18 to 23.
    void oneGroup()
    {
        SignalTableModel m;
        buildUnits(m, 2);
        const int head = m.findRow(1, 1);
        QSignalSpy hidden(&m, &SignalTableModel::rowsHiddenChanged);
        QVERIFY(m.setGroupShown(MachineType::IndoorUnits, head, false));
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden[0][0].toInt(), head + 1);
        QCOMPARE(hidden[0][1].toInt(), head + 6);
        QCOMPARE(m.rowMark(head), qint16(2));
        QVERIFY(!m.isRowHidden(head));
        for (int r = 1; r < m.gridRowCount(); ++r) {
            const int code = int(LeadingInteger(m.cell(r, 2)));
            const bool modeBit = m.cell(r, 1) == "1" && code >= 18 && code <= 23;
            QCOMPARE(m.isRowHidden(r), modeBit);
        }
        QVERIFY(m.setGroupShown(MachineType::IndoorUnits, head, true));
        QCOMPARE(m.rowMark(head), qint16(1));
        for (int r = 1; r < m.gridRowCount(); ++r)
            QVERIFY(!m.isRowHidden(r));
        // Rows that are no group head have nothing to hide.
        QVERIFY(!m.setGroupShown(MachineType::IndoorUnits, m.findRow(1, 0), false));
        QVERIFY(!m.setGroupShown(MachineType::IndoorUnits, m.findRow(1, 18), false));
        QVERIFY(!m.setGroupShown(MachineType::IndoorUnits, 0, false));
    }

    // After all groups are hidden, one head is opened again: only its rows show, its mark is 1.
    void allGroupsThenOne_data()
    {
        QTest::addColumn<int>("units");
        QTest::newRow("1 unit") << 1;
        QTest::newRow("160 units") << 160;
    }
    void allGroupsThenOne()
    {
        QFETCH(int, units);
        SignalTableModel m;
        buildUnits(m, units);
        QSignalSpy hidden(&m, &SignalTableModel::rowsHiddenChanged);
        QSignalSpy changes(&m, &QAbstractItemModel::dataChanged);
        m.setAllGroupsShown(MachineType::IndoorUnits, false);
        // One notification for the whole table, however many rows.
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(changes.count(), 2); // marks, hidden states

        int hiddenRows = 0;
        for (int r = 1; r < m.gridRowCount(); ++r)
            hiddenRows += m.isRowHidden(r);
        QCOMPARE(hiddenRows, units * 20); // 6 + 4 + 1 + 1 + 4 + 4 bit and step rows per unit

        const int fan = m.findRow(units, 2);
        QVERIFY(m.setGroupShown(MachineType::IndoorUnits, fan, true));
        for (int r = 1; r < m.gridRowCount(); ++r) {
            const int code = int(LeadingInteger(m.cell(r, 2)));
            const bool fanBit = m.cell(r, 1) == QString::number(units) && code >= 24 && code <= 27;
            if (BitRowCount(MachineType::IndoorUnits, code) > 0)
                QCOMPARE(m.rowMark(r), qint16(r == fan ? 1 : 2));
            if (code >= 18 && code <= 37)
                QCOMPARE(m.isRowHidden(r), !fanBit);
            else
                QVERIFY(!m.isRowHidden(r));
        }
        m.setAllGroupsShown(MachineType::IndoorUnits, true);
        for (int r = 1; r < m.gridRowCount(); ++r)
            QVERIFY(!m.isRowHidden(r));
    }

    void chillerGroups()
    {
        SignalTableModel m;
        ProjectSettings s;
        s.devices.resize(1);
        BuildChillerTable(*t.ctx, s, BuildCodeLegend(*t.ctx, MachineType::Chillers), m);
        m.setAllGroupsShown(MachineType::Chillers, false);
        QStringList hiddenCodes;
        for (int r = 1; r < m.gridRowCount(); ++r) {
            if (m.isRowHidden(r))
                hiddenCodes << QString::number(LeadingInteger(m.cell(r, 2)));
        }
        QCOMPARE(hiddenCodes, (QStringList{"15", "11", "12", "13", "14"}));
        QCOMPARE(m.rowMark(m.findRow(1, 2)), qint16(2));
        QCOMPARE(m.rowMark(m.findRow(1, 7)), qint16(2));
    }

    void rangeHiding()
    {
        SignalTableModel m;
        m.setTable(handTable(), handColumns());
        QSignalSpy hidden(&m, &SignalTableModel::rowsHiddenChanged);
        m.setRowsHidden(-5, 99, true); // clamped to the data rows
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden[0][0].toInt(), 1);
        QCOMPARE(hidden[0][1].toInt(), 5);
        m.setRowsHidden(1, 5, true); // nothing changes, nothing announced
        QCOMPARE(hidden.count(), 1);
        m.setRowHidden(3, false);
        QCOMPARE(hidden.count(), 2);
        QVERIFY(!m.isRowHidden(3));
        QVERIFY(m.data(m.index(0, 4), SignalTableModel::RowHiddenRole).toBool());
    }

    void batchAnnouncesOnce()
    {
        SignalTableModel m;
        buildUnits(m, 10);
        QSignalSpy changes(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy hidden(&m, &SignalTableModel::rowsHiddenChanged);
        m.beginBatch();
        m.beginBatch(); // nested
        for (int r = 5; r <= 300; ++r)
            m.setCell(r, 5, QStringLiteral("1/0/%1").arg(r));
        m.setRowHidden(40, true);
        m.setRowHidden(41, true);
        m.endBatch();
        QCOMPARE(changes.count(), 0);
        m.endBatch();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex(), m.index(SignalTableModel::modelRow(5), 0));
        QCOMPARE(changes[0][1].toModelIndex(), m.index(SignalTableModel::modelRow(300), 11));
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(hidden[0][0].toInt(), 40);
        QCOMPARE(hidden[0][1].toInt(), 41);
        m.endBatch(); // unmatched: ignored
        QCOMPARE(changes.count(), 1);
    }

    void updateTableAnnouncesEveryRow()
    {
        SignalTableModel m;
        m.setTable(handTable(), handColumns());
        QSignalSpy changes(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy hidden(&m, &SignalTableModel::rowsHiddenChanged);
        QSignalSpy resets(&m, &QAbstractItemModel::modelReset);
        m.updateTable([](SignalTable &t) {
            t.rows[2][5] = "1/0/1";
            t.rows[4].hidden = true;
        });
        QCOMPARE(m.cell(2, 5), QStringLiteral("1/0/1"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex(), m.index(0, 0));
        QCOMPARE(changes[0][1].toModelIndex(), m.index(4, 11));
        QCOMPARE(hidden.count(), 1);
        QCOMPARE(resets.count(), 0);
        // A change of shape resets the views.
        m.updateTable([](SignalTable &t) { t.rows.resize(3); });
        QCOMPARE(resets.count(), 1);
        QCOMPARE(m.rowCount(), 2);
    }

    void resetAndClear()
    {
        SignalTableModel m;
        QSignalSpy resets(&m, &QAbstractItemModel::modelReset);
        QSignalSpy headers(&m, &QAbstractItemModel::headerDataChanged);
        m.setTable(handTable(), handColumns());
        QCOMPARE(resets.count(), 1);
        QCOMPARE(headers.count(), 1);
        QCOMPARE(m.findRow(1, 24), 3);
        m.clear();
        QCOMPARE(resets.count(), 2);
        QCOMPARE(m.rowCount(), 0);
        QCOMPARE(m.findRow(1, 24), -1);
        QCOMPARE(m.headerData(2, Qt::Horizontal).toString(), QString());
    }

    void sortByNumbersAndTexts()
    {
        SignalTableModel m;
        SignalTable table = handTable();
        const char *addresses[] = {"", "10", "9", "abc", "", "2.5"};
        for (int r = 1; r <= 5; ++r)
            table.rows[r][5] = addresses[r];
        table.rows[3].hidden = true;
        m.setTable(table, handColumns());
        // A persistent index (the view's current cell) follows its row.
        QPersistentModelIndex current(m.index(SignalTableModel::modelRow(2), 5)); // "9"
        QSignalSpy hidden(&m, &SignalTableModel::rowsHiddenChanged);

        m.sort(5, Qt::AscendingOrder);
        // Numbers by value first, then texts; equal cells keep their order.
        QCOMPARE(column(m, 5), (QStringList{"2.5", "9", "10", "", "abc"}));
        QCOMPARE(column(m, 0), (QStringList{"5", "2", "1", "4", "3"}));
        QCOMPARE(current.row(), 1);
        QVERIFY(m.isRowHidden(5)); // "abc", row 3 before
        QCOMPARE(hidden.count(), 1);
        // Keys follow the rows.
        QCOMPARE(m.findRow(1, 6), 1);
        QCOMPARE(m.findRow(1, 101), 3);

        m.sort(5, Qt::DescendingOrder);
        QCOMPARE(column(m, 5), (QStringList{"abc", "", "10", "9", "2.5"}));
        // Sorting by the running numbers puts the catalogue order back.
        m.sort(0, Qt::AscendingOrder);
        QCOMPARE(column(m, 0), (QStringList{"1", "2", "3", "4", "5"}));
        QCOMPARE(m.findRow(1, 24), 3);
        QCOMPARE(current.row(), SignalTableModel::modelRow(2));
    }

    void sortTextsIgnoresCase()
    {
        SignalTableModel m;
        SignalTable table = handTable();
        const char *texts[] = {"", "b", "A", "a", "B", "c"};
        for (int r = 1; r <= 5; ++r)
            table.rows[r][6] = texts[r];
        m.setTable(table, handColumns());
        m.sort(6);
        QCOMPARE(column(m, 6), (QStringList{"A", "a", "b", "B", "c"}));
    }

    void removeBlankRows()
    {
        SignalTableModel m;
        SignalTable table = handTable();
        for (int c = 1; c < 12; ++c) {
            table.rows[2][c].clear();
            table.rows[4][c].clear();
        }
        table.rows[4][0] = "4"; // column 0 does not count
        m.setTable(table, handColumns());
        QCOMPARE(m.removeBlankRows(), 2);
        QCOMPARE(m.gridRowCount(), 4);
        QCOMPARE(column(m, 0), (QStringList{"1", "2", "3"}));
        QCOMPARE(column(m, 2), (QStringList{"101-Not Exist", "24 - Fan (0)", "06 - Filter"}));
        QCOMPARE(m.findRow(1, 6), 3);
        QCOMPARE(m.findRow(1, 2), -1);
        QCOMPARE(m.removeBlankRows(), 0);

        // A grid of header and one row is left alone.
        SignalTableModel small;
        SignalTable two;
        two.rows.resize(2);
        small.setTable(two, {});
        QCOMPARE(small.removeBlankRows(), 0);
        QCOMPARE(small.gridRowCount(), 2);
    }

    void tabSeparatedText()
    {
        SignalTableModel m;
        SignalTable table;
        table.rows.resize(2);
        table.rows[0][1] = "Dev.";
        table.rows[1][0] = "1";
        table.rows[1][1] = "3";
        table.rows[1][11] = "21.5";
        m.setTable(table, {});
        QCOMPARE(m.tabSeparatedText(), QStringLiteral("\tDev.\t\t\t\t\t\t\t\t\t\t\t\r\n"
                                                      "1\t3\t\t\t\t\t\t\t\t\t\t21.5\t\r\n"));
    }

    void viewerColumns()
    {
        SignalTableModel m;
        SignalTable table;
        ColumnInfos info;
        SetupSignalColumns(*t.ctx, table, info, 4, 5, 6, 7, 8, 9, 10, 11);
        m.setTable(table, info);
        QSignalSpy headers(&m, &QAbstractItemModel::headerDataChanged);
        m.setColumnFormat(6, ColumnFormat{1000, ContentKind::Text, CellAlignment::LeftCentre});
        m.setHeaderText(11, QStringLiteral("Value"));
        QCOMPARE(headers.count(), 2);
        QCOMPARE(m.columnFormat(6).widthTwips, 1000);
        QCOMPARE(m.headerData(11, Qt::Horizontal).toString(), QStringLiteral("Value"));
        QCOMPARE(m.headerData(4, Qt::Horizontal).toString(), QStringLiteral("EIS"));
        ColumnInfo value;
        value.EditKind = kEditFixed;
        value.Help = QStringLiteral("help");
        m.setColumnInfo(11, value);
        QCOMPARE(m.columnInfo(11).Help, QStringLiteral("help"));
    }
};

QTEST_GUILESS_MAIN(TestSignalTableModel)
#include "tst_signaltablemodel.moc"
