// The configuration editor on projects of 1, 40 and 160 indoor units whose stored table has every
// row in use with an address of its own. Targets for 160 units: opening (settings, table, stored
// table, first paint) 150 ms or less; accept (validation, both files saved, gateway file
// generated) 250 ms or less; hiding and showing all bit rows 50 ms or less.
#include "BenchProject.h"
#include "editor/VisibleRowsModel.h"
#include "editor/ui/SignalGridView.h"
#include "editor/ui/fConfKorvaneEIB.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace tarveon;

namespace {

double medianMs(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void run(int units, int runs)
{
    std::vector<double> open, gridPaint, accept, bits;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
        // Every row in use, each with its own group.
        bench::Project p(units, {}, [](const AppContext &ctx, SignalRow &row) {
            row[kColAddress] = GroupNumberToText(qint16(row[kColRowNumber].toInt()));
            row[kColYesNo] = ctx.GetText(QStringLiteral("X10"));
            NormaliseRow(row, 70);
        });
        QElapsedTimer t;
        t.start();
        auto w = std::make_unique<fConfKorvaneEIB>(*p.ctx);
        w->show();
        QCoreApplication::processEvents();
        open.push_back(ms(t));
        rows = w->session().table().gridRowCount();

        t.restart();
        w->TabStrip1->setCurrentIndex(1);
        QCoreApplication::processEvents();
        w->grid->viewport()->repaint();
        gridPaint.push_back(ms(t));

        t.restart();
        w->session().grid().ToggleBits(true);
        QCoreApplication::processEvents();
        w->session().grid().ToggleBits(true);
        QCoreApplication::processEvents();
        bits.push_back(ms(t));

        p.prompter.msgBoxAnswers = {1, 1, 1};
        t.restart();
        const AcceptOutcome outcome = w->session().accept([] { QCoreApplication::processEvents(); });
        QCoreApplication::processEvents();
        accept.push_back(ms(t));
        if (outcome.stop != AcceptOutcome::Saved || !outcome.generated)
            std::printf("  accept did not go through: %s\n", qPrintable(p.prompter.texts().join(" | ")));
        w.reset();
    }
    std::printf("%4d units (%5d rows): open %7.1f ms  grid page paint %6.1f ms  all bit rows hidden and shown "
                "%6.1f ms  accept %7.1f ms\n",
                units, rows, medianMs(open), medianMs(gridPaint), medianMs(bits), medianMs(accept));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("bench_editor: medians of 5 runs; targets for 160 units: open <= 150 ms, accept <= 250 ms, "
                "bit rows <= 50 ms\n");
    for (int units : {1, 40, 160})
        run(units, 5);
    return 0;
}
