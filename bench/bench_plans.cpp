// The address tools of the editor on 160 indoor units (6,241 signal rows), in the open window with
// the signal page shown; every figure includes the view's update. Targets: a fill over 160 devices,
// apply-plan to 159 devices and a paste of 6,000 cells 100 ms or less each; undo of any of them
// 100 ms or less; a keystroke in the filter line 30 ms or less; the undo stack after 100 fills
// under 50 MB.
#include "BenchProject.h"
#include "BenchSupport.h"
#include "editor/ui/CellEditCommand.h"
#include "editor/ui/EditorMenus.h"
#include "editor/ui/SignalGridPage.h"
#include "editor/ui/SignalGridView.h"
#include "editor/ui/fConfKorvaneEIB.h"
#include "tools/AddressPlanCore.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QUndoStack>
#include <cstdio>

using namespace tarveon;
using tarveon::bench::medianMs;

namespace {

constexpr int kUnits = 160;
constexpr int kRuns = 7;

// Resident memory of the process in MB.
double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

void settle()
{
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::Project project(kUnits, [](int n) { return QStringLiteral("Room %1").arg(100 + n); });
    fConfKorvaneEIB w(*project.ctx);
    w.resize(1280, 800);
    w.show();
    w.TabStrip1->setCurrentIndex(1);
    settle();
    EditorSession &session = w.session();
    AddressPlanCore &core = w.planCore();
    QUndoStack &stack = *w.menus->undoStack;
    const int rows = session.table().gridRowCount() - 1;
    std::printf("bench_plans: %d units, %d signal rows; medians of %d runs, view updates included\n", kUnits, rows,
                kRuns);

    // A change and its undo, timed apart, from the same table each time.
    auto changeAndUndo = [&](const char *what, const std::function<void()> &change) {
        std::vector<double> changes, undos;
        qsizetype cells = 0;
        for (int run = 0; run < kRuns; ++run) {
            changes.push_back(medianMs(1, [&] {
                change();
                settle();
            }));
            cells = static_cast<const CellEditCommand *>(stack.command(stack.index() - 1))->edit().changes.size();
            undos.push_back(medianMs(1, [&] {
                stack.undo();
                settle();
            }));
        }
        std::sort(changes.begin(), changes.end());
        std::sort(undos.begin(), undos.end());
        std::printf("  %-38s %6.1f ms  undo %6.1f ms  (%lld cells changed) [targets 100 ms]\n", what,
                    changes[kRuns / 2], undos[kRuns / 2], qlonglong(cells));
    };

    const FillRequest fill{false, 0, 1, kUnits, QStringLiteral("1/0/1"), StepLevel::Sub, 1, true};
    changeAndUndo("fill On/Off over 160 devices", [&] { core.fill(fill); });

    // Unit 1's plan: on/off, mode, setpoint and inlet temperature, each on a middle group of its own.
    FillRequest one = fill;
    one.lastDevice = 1;
    for (const auto &[code, start] : {std::pair{0, "1/0/1"}, {1, "1/1/1"}, {3, "1/2/1"}, {7, "1/3/1"}}) {
        one.code = code;
        one.start = QLatin1String(start);
        core.fill(one);
    }
    settle();
    changeAndUndo("apply plan of unit 1 to 159 devices", [&] { core.applyPlan({1, 2, kUnits, StepLevel::Sub, 1, false}); });
    stack.setIndex(0);
    settle();

    // 1,000 lines of 6 cells (Group to U) from the first row down: an address and a further one
    // each, the flags cleared.
    QString block;
    for (int i = 0; i < 1000; ++i) {
        block += GroupNumberToText(qint16(4 * 2048 + i + 1)) + QLatin1Char('\t')
                 + GroupNumberToText(qint16(5 * 2048 + i + 1)) + QStringLiteral("\t\t\t\t\n");
    }
    changeAndUndo("paste of 6,000 cells", [&] {
        session.grid().setCurrentQuietly({1, kColAddress});
        session.grid().setSelection(1, 1, kColAddress, kColAddress);
        session.paste(block);
    });

    // The filter line, a keystroke at a time: "Room 204", then back to nothing.
    QLineEdit *filter = w.gridPage->txtFilter;
    const QString typed = QStringLiteral("Room 204");
    std::vector<double> keys;
    for (int run = 0; run < 3; ++run) {
        for (qsizetype n = 1; n <= typed.size(); ++n) {
            QElapsedTimer t;
            t.start();
            filter->setText(typed.left(n));
            settle();
            w.grid->viewport()->repaint();
            keys.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        filter->clear();
        settle();
    }
    std::sort(keys.begin(), keys.end());
    std::printf("  %-38s %6.1f ms median, %.1f ms slowest [target 30 ms]\n", "filter keystroke (\"Room 204\")",
                keys[keys.size() / 2], keys.back());

    // The undo stack after 100 fills, each of 160 addresses, Use and flags.
    stack.clear();
    settle();
    const double before = residentMb();
    for (int i = 0; i < 100; ++i) {
        FillRequest f = fill;
        f.start = GroupNumberToText(qint16((1 + i % 15) * 2048 + 1));
        f.setUse = i % 2 == 0;
        core.fill(f);
    }
    settle();
    // What the commands hold: their changes and the texts only they keep alive.
    qsizetype changes = 0;
    double bytes = 0;
    for (int i = 0; i < stack.count(); ++i) {
        const CellEdit &edit = static_cast<const CellEditCommand *>(stack.command(i))->edit();
        changes += edit.changes.size();
        bytes += double(edit.changes.capacity()) * sizeof(CellChange);
        for (const CellChange &c : edit.changes)
            bytes += double(c.before.capacity() + c.after.capacity()) * sizeof(QChar) + 2 * 16;
    }
    std::printf("  %-38s %6.1f MB held by %lld changes in %d commands, %.1f MB more resident [target under 50 MB]\n",
                "undo stack after 100 fills", bytes / (1024.0 * 1024.0), qlonglong(changes), stack.count(),
                residentMb() - before);
    stack.clear();
    return 0;
}
