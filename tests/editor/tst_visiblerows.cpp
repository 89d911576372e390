// The shown rows of a signal grid: mapping, persistent cells across hiding and sorting, signals.
#include "TestSupport.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalTableModel.h"
#include "editor/VisibleRowsModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// Rows of device 1 of an indoor-unit table.
constexpr int kMode = 4;      // group head, bit rows 5 to 10
constexpr int kFan = 11;      // group head, bit rows 12 to 15

struct Grid {
    explicit Grid(int units = 2)
    {
        ColumnInfos columns;
        SignalTable table = BuildSignalTable(*t.ctx, BuildCodeLegend(*t.ctx, MachineType::IndoorUnits), units, columns);
        model.setTable(std::move(table), std::move(columns));
        visible.setSourceModel(&model);
    }
    TestContext t;
    SignalTableModel model;
    VisibleRowsModel visible;
    QAbstractItemModelTester tester{&visible, QAbstractItemModelTester::FailureReportingMode::QtTest};
};

} // namespace

class tst_VisibleRows : public QObject {
    Q_OBJECT
private slots:
    void allShownAtFirst();
    void hidingGroups();
    void persistentCellsFollow();
    void sortingKeepsCells();
    void changesForwardedForShownRows();
    void resetFollowsTheTable();
};

void tst_VisibleRows::allShownAtFirst()
{
    Grid g;
    QCOMPARE(g.visible.rowCount(), 2 * 39 + 1);
    QCOMPARE(g.visible.columnCount(), kSignalColumns);
    QCOMPARE(g.visible.tableRowOf(0), 1);
    QCOMPARE(g.visible.viewRowOf(kMode), kMode - 1);
    QCOMPARE(g.visible.index(kMode - 1, kColCode).data().toString(), g.model.cell(kMode, kColCode));
    QCOMPARE(g.visible.headerData(kMode - 1, Qt::Vertical).toString(), QStringLiteral("4"));
    QCOMPARE(g.visible.headerData(kColAddress, Qt::Horizontal), g.model.headerData(kColAddress, Qt::Horizontal));
}

void tst_VisibleRows::hidingGroups()
{
    Grid g;
    QSignalSpy layout(&g.visible, &QAbstractItemModel::layoutChanged);
    g.model.setGroupShown(MachineType::IndoorUnits, kMode, false);
    QCOMPARE(layout.size(), 1);
    QCOMPARE(g.visible.rowCount(), 79 - 6);
    QCOMPARE(g.visible.viewRowOf(kMode + 1), -1);
    QCOMPARE(g.visible.tableRowOf(kMode), kFan);
    QCOMPARE(g.visible.nearestViewRow(kMode + 3), kMode - 1);
    // All groups of both devices in one change.
    g.model.setAllGroupsShown(MachineType::IndoorUnits, false);
    QCOMPARE(layout.size(), 2);
    QCOMPARE(g.visible.rowCount(), 79 - 2 * 20);
    g.model.setAllGroupsShown(MachineType::IndoorUnits, true);
    QCOMPARE(g.visible.rowCount(), 79);
    // Nothing changes: no signal.
    g.model.setAllGroupsShown(MachineType::IndoorUnits, true);
    QCOMPARE(layout.size(), 3);
}

void tst_VisibleRows::persistentCellsFollow()
{
    Grid g;
    const QPersistentModelIndex onBit = g.visible.index(g.visible.viewRowOf(kMode + 2), kColAddress);
    const QPersistentModelIndex below = g.visible.index(g.visible.viewRowOf(kFan), kColR);
    g.model.setGroupShown(MachineType::IndoorUnits, kMode, false);
    // A cell of a row that went moves to the nearest shown row above it.
    QCOMPARE(g.visible.tableRowOf(onBit.row()), kMode);
    QCOMPARE(onBit.column(), int(kColAddress));
    QCOMPARE(g.visible.tableRowOf(below.row()), kFan);
    g.model.setGroupShown(MachineType::IndoorUnits, kMode, true);
    QCOMPARE(g.visible.tableRowOf(below.row()), kFan);
}

void tst_VisibleRows::sortingKeepsCells()
{
    Grid g;
    g.model.setCell(kFan, kColAddress, QStringLiteral("1"));
    g.model.setGroupShown(MachineType::IndoorUnits, kMode, false);
    const QPersistentModelIndex fan = g.visible.index(g.visible.viewRowOf(kFan), kColAddress);
    g.visible.sort(kColAddress, Qt::AscendingOrder);
    QCOMPARE(g.visible.tableRowOf(fan.row()), 1);
    QCOMPARE(fan.data().toString(), QStringLiteral("1"));
    // The hidden rows travel with the sort; still six of them.
    QCOMPARE(g.visible.rowCount(), 79 - 6);
    g.visible.sort(kColRowNumber, Qt::AscendingOrder);
    QCOMPARE(g.visible.tableRowOf(fan.row()), kFan);
    QCOMPARE(g.visible.viewRowOf(kMode + 1), -1);
}

void tst_VisibleRows::changesForwardedForShownRows()
{
    Grid g;
    g.model.setGroupShown(MachineType::IndoorUnits, kMode, false);
    QSignalSpy changed(&g.visible, &QAbstractItemModel::dataChanged);
    QSignalSpy header(&g.visible, &QAbstractItemModel::headerDataChanged);
    g.model.setCell(kMode + 1, kColAddress, QStringLiteral("1/1/1")); // hidden
    QCOMPARE(changed.size(), 0);
    g.model.setCell(kFan, kColAddress, QStringLiteral("1/1/2"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex(), g.visible.index(kMode, kColAddress));
    g.model.setCell(kFan, kColRowNumber, QStringLiteral("99"));
    QCOMPARE(header.size(), 1);
    QCOMPARE(header[0][0].value<Qt::Orientation>(), Qt::Vertical);
    QCOMPARE(g.visible.headerData(kMode, Qt::Vertical).toString(), QStringLiteral("99"));
}

void tst_VisibleRows::resetFollowsTheTable()
{
    Grid g;
    g.model.setGroupShown(MachineType::IndoorUnits, kMode, false);
    QSignalSpy reset(&g.visible, &QAbstractItemModel::modelReset);
    ColumnInfos columns;
    SignalTable table = BuildSignalTable(*g.t.ctx, BuildCodeLegend(*g.t.ctx, MachineType::IndoorUnits), 1, columns);
    g.model.setTable(std::move(table), std::move(columns));
    QCOMPARE(reset.size(), 1);
    QCOMPARE(g.visible.rowCount(), 40);
    g.model.clear();
    QCOMPARE(g.visible.rowCount(), 0);
}

QTEST_MAIN(tst_VisibleRows)
#include "tst_visiblerows.moc"
