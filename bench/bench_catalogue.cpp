// Building the signal table from the catalogue, and the grid's bulk operations, for 1, 40 and 160
// indoor units (160 units: 6,242 rows). Target: the 160-unit table in 20 ms or less.
#include "app/AppContext.h"
#include "RecordingPrompter.h"
#include "model/ProjectSettings.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalTableModel.h"

#include <QApplication>
#include "BenchSupport.h"
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tarveon;
using tarveon::bench::medianMs;

namespace {

QHash<QString, QString> texts()
{
    QHash<QString, QString> out;
    for (int i = 1; i <= 109; ++i)
        out.insert("X" + QString::number(i), "Text of X" + QString::number(i));
    for (int i = 1; i <= 134; ++i)
        out.insert("A" + QString::number(i), "Text of A" + QString::number(i));
    for (int i = 1; i <= 66; ++i)
        out.insert("H" + QString::number(i), "Signal text number " + QString::number(i));
    for (int i = 1; i <= 46; ++i)
        out.insert("EIB" + QString::number(i), "Text of EIB" + QString::number(i));
    out.insert("G503", "Text of G503");
    return out;
}

// A view that leaves hidden rows out through a filter instead of hiding them one by one.
class VisibleRows : public QSortFilterProxyModel {
public:
    explicit VisibleRows(SignalTableModel *grid) : m_grid(grid)
    {
        setSourceModel(grid);
        connect(grid, &SignalTableModel::rowsHiddenChanged, this, [this] { invalidateFilter(); });
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override
    {
        return !m_grid->isRowHidden(SignalTableModel::tableRow(row));
    }

private:
    SignalTableModel *m_grid;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    RecordingPrompter prompter;
    AppContext ctx(QString(), QStringLiteral("bench"), &prompter);
    ctx.language.setTexts(texts());
    const CodeLegend legend = BuildCodeLegend(ctx, MachineType::IndoorUnits);

    std::printf("Signal table of indoor units (median of 21 runs, ms)\n");
    std::printf("%6s %6s %10s %10s %12s %10s %10s %10s\n", "units", "rows", "table", "editor", "hide groups", "sort",
                "view sync", "filtered");
    for (int units : {1, 40, 160}) {
        ProjectSettings settings;
        settings.devices.resize(units);

        ColumnInfos columns;
        int rows = 0;
        std::vector<SignalTable> built;
        built.reserve(21);
        const double table = medianMs(21, [&] {
            built.push_back(BuildSignalTable(ctx, legend, units, columns));
            rows = built.back().rowCount();
        });
        built.clear();

        SignalTableModel grid;
        const double editor = medianMs(21, [&] { BuildUnitTable(ctx, settings, legend, grid); });

        bool shown = true;
        const double hide = medianMs(21, [&] {
            shown = !shown;
            grid.setAllGroupsShown(MachineType::IndoorUnits, shown);
        });

        int order = 0;
        const double sort = medianMs(21, [&] {
            ++order;
            grid.sort(order % 2 ? 1 : 0, order % 4 < 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        });
        grid.sort(0, Qt::AscendingOrder);

        // What a view pays to follow one all-groups toggle row by row.
        QTableView view;
        view.setModel(&grid);
        view.resize(800, 600);
        QObject::connect(&grid, &SignalTableModel::rowsHiddenChanged, &view, [&](int first, int last) {
            for (int r = first; r <= last; ++r)
                view.setRowHidden(SignalTableModel::modelRow(r), grid.isRowHidden(r));
        });
        const double sync = medianMs(5, [&] {
            shown = !shown;
            grid.setAllGroupsShown(MachineType::IndoorUnits, shown);
            QCoreApplication::processEvents();
        });

        view.setModel(nullptr);
        QObject::disconnect(&grid, &SignalTableModel::rowsHiddenChanged, &view, nullptr);
        VisibleRows visible(&grid);
        view.setModel(&visible);
        const double filtered = medianMs(5, [&] {
            shown = !shown;
            grid.setAllGroupsShown(MachineType::IndoorUnits, shown);
            QCoreApplication::processEvents();
        });

        std::printf("%6d %6d %10.3f %10.3f %12.3f %10.3f %10.3f %10.3f\n", units, rows, table, editor, hide, sort, sync,
                    filtered);
    }
    std::printf("table: BuildSignalTable (freeing the table not counted); editor: BuildUnitTable into the model (reset included);\n"
                "hide groups: setAllGroupsShown; sort: sort by one column; view sync: the same toggle\n"
                "followed by a QTableView through setRowHidden per row; filtered: the same toggle followed by\n"
                "a QTableView over a filter model that leaves hidden rows out.\n");
    return 0;
}
