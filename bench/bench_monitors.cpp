// Monitors under sustained traffic: the main window with the three monitor windows open, each
// logging to its file, and the serial link (over an in-memory port) fed lines at a steady rate
// for a while. Prints the list sizes, the resident memory over time, the event loop's latency (how
// late a 10 ms probe timer fires, and how much of that was the loop's own work) and the log
// files' line counts against the lines fed.
// Then the signal viewer over the largest project (160 indoor units, about 6,000 signals): the
// grid build time and what the display refresh touches.
//
//   bench_monitors [lines per second = 2000] [seconds = 30]
#include "app/AppContext.h"
#include "BenchOnLine.h"
#include "RecordingPrompter.h"
#include "app/ui/MDITarveon.h"
#include "editor/SignalCatalogue.h"
#include "FakeSerialPort.h"
#include "link/SerialLink.h"
#include "link/LinkCommands.h"
#include "tools/ui/MonitorWindow.h"
#include "tools/ui/fVerDatosZDM.h"

#include <QTableView>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace tarveon;
using namespace tarveon::bench;

namespace {

constexpr double kLatencyTargetMs = 50.0;

// A link that sends nothing; the benchmark fills its tables.
class NoLink : public LinkCommands {
public:
    void TransmitTarveon(const QString &, bool) override {}
    using LinkCommands::tables;
};

// The viewer over n signals: build time of the grid (the window's Datos_Carga: model and view)
// and the rows a display refresh writes.
bool benchViewer(AppContext &ctx, int signalsCount)
{
    constexpr double kBuildTargetMs = 100.0;
    NoLink link;
    link.tables().signals_.reserve(signalsCount + 1);
    for (int i = 1; i <= signalsCount; ++i) {
        LinkSignal s;
        s.protocolCode = 70;
        s.fields[1] = QString::number((i - 1) / 37 + 1);
        s.fields[2] = QStringLiteral("%1 Signal name").arg(100 + i % 37);
        s.fields[3] = QStringLiteral("Description of signal %1 with its range (R/W)").arg(i);
        s.fields[4] = QStringLiteral("5 - Float");
        s.fields[5] = QStringLiteral("%1/%2/%3").arg(i / 2048).arg((i / 256) % 8).arg(i % 256);
        s.fields[7] = QStringLiteral("R");
        s.fields[9] = QStringLiteral("T");
        s.group = qint16(i);
        s.inUse = 1;
        s.value = float(i) / 4.0f;
        link.tables().signals_.append(s);
    }
    fVerDatosZDM viewer(ctx, &link);
    viewer.resize(1000, 600);
    viewer.show();
    QCoreApplication::processEvents();

    std::vector<double> builds;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        viewer.Datos_Carga();
        QCoreApplication::processEvents(); // the view lays out and draws the new grid
        builds.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(builds.begin(), builds.end());

    // What one refresh tick writes: count the rows announced as changed.
    SignalTableModel &grid = viewer.core().grid();
    qint64 touched = 0;
    QObject::connect(&grid, &QAbstractItemModel::dataChanged, [&](const QModelIndex &a, const QModelIndex &b) {
        touched += b.row() - a.row() + 1;
    });
    for (int i = 1; i <= signalsCount; ++i)
        link.tables().signals_[i].value += 1.0f;
    QElapsedTimer t;
    t.start();
    const int ticks = 100;
    for (int k = 0; k < ticks; ++k)
        viewer.core().Timer1_Timer();
    const double tickMs = t.nsecsElapsed() / 1e6 / ticks;
    const auto [first, last] = viewer.visibleRows();
    const qint64 firstTickRows = touched; // later ticks find nothing changed
    touched = 0;
    viewer.grid->scrollToBottom();
    const qint64 scrollRows = touched;

    std::printf("signal viewer, %d signals: grid build median %.1f ms, max %.1f ms (target <= %.0f ms: %s)\n",
                signalsCount, builds[builds.size() / 2], builds.back(), kBuildTargetMs,
                builds.back() <= kBuildTargetMs ? "met" : "MISSED");
    std::printf("  display refresh: rows %d..%d in view, %lld rows written by the ticks, %lld on scrolling to the "
                "end; %.3f ms a tick\n",
                first, last, (long long)firstTickRows, (long long)scrollRows, tickMs);
    const bool onlyVisible = firstTickRows <= last - first + 1 && scrollRows <= last - first + 1;
    std::printf("  refresh touches only the rows in view: %s\n", onlyVisible ? "yes" : "NO");
    return builds.back() <= kBuildTargetMs * 3 && onlyVisible;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rate = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 30;

    QTemporaryDir dir;
    RecordingPrompter prompter;
    AppContext ctx(dir.path(), QStringLiteral("tarveon-config"), &prompter);
    ctx.InitProtocols();
    ctx.ProjectDir = dir.filePath(QStringLiteral("Alpha"));
    ctx.ProjectProtocol = QStringLiteral("ZTR001-PACKAGED");
    QDir().mkpath(ctx.ProjectDir);

    // Every signal of 160 indoor units in use.
    const bool viewerOk = benchViewer(ctx, 160 * int(Catalogue(MachineType::IndoorUnits).size()));

    // The main window with the serial link over an in-memory port, on line: lines go in where
    // the port hands them to the link, and reach the monitors the way the program's do.
    ctx.ProtocolFamily = QStringLiteral("ZTR001");
    auto *port = new FakeSerialPort;
    MDITarveon window(ctx, nullptr, port);
    if (!bringOnLine(window, port))
        return 1;
    window.ShowMonitor(47);
    window.ShowMonitor(100);
    window.mnuVMosaico_Click();
    auto *gateway = qobject_cast<MonitorWindow *>(window.gatewayMonitor(false));
    auto *eib = qobject_cast<MonitorWindow *>(window.eibMonitor(false));
    auto *ext = qobject_cast<MonitorWindow *>(window.extMonitor(false));
    for (MonitorWindow *w : {gateway, eib, ext})
        w->chkLog->setChecked(true);

    // Every 10 ms what arrived meanwhile, as one chunk: EIB and EXT frames and gateway lines in
    // turn (value reports and other answers).
    qint64 fed[3] = {0, 0, 0};
    qint64 total = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QByteArray chunk;
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        // Catch up with the wall clock so the rate holds even when a tick comes late.
        const qint64 due = clock.elapsed() * rate / 1000;
        chunk.clear();
        while (total < due) {
            switch (total % 3) {
            case 0:
                chunk += QStringLiteral("EIB>1.1.%1 01/2/%2 Write %3.50\r\n")
                             .arg(total % 256)
                             .arg(total % 200, 3, 10, QLatin1Char('0'))
                             .arg(total % 40)
                             .toLatin1();
                ++fed[0];
                break;
            case 1:
                chunk += QStringLiteral("EXT<TRBAS 192.168.0.2:502 read sys 1 unit %1 reg 100 -> %2\r\n")
                             .arg(total % 8)
                             .arg(total % 3)
                             .toLatin1();
                ++fed[1];
                break;
            default:
                chunk += total % 2 ? QStringLiteral("GP:01/2/%1=%2\r\n").arg(total % 256, 3, 10, QLatin1Char('0')).arg(total % 50).toLatin1()
                                   : QByteArrayLiteral("Debug: queue 3 of 16, TR-BAS-HUB answer in 12 ms\r\n");
                ++fed[2];
                break;
            }
            ++total;
        }
        if (!chunk.isEmpty())
            port->receive(chunk);
    });
    feeder.start(10);

    // Latency probe: a 10 ms timer; how late each tick comes is how long the loop was busy.
    LatencyProbe probe(size_t(seconds) * 100 + 100);
    probe.start();

    std::printf("bench_monitors: %d lines/s for %d s, three monitors logging, platform %s\n", rate, seconds,
                qPrintable(QGuiApplication::platformName()));
    const long rssStart = rssKiB();
    const std::vector<long> rss = runSampling(seconds, [&](long kib) {
        std::printf("  t=%2llds  lines fed %7lld  lists %d/%d/%d  RSS %ld KiB\n", (long long)(clock.elapsed() / 1000),
            (long long)total, gateway->core().lines().count(), eib->core().lines().count(),
            ext->core().lines().count(), kib);
    });
    feeder.stop();
    probe.stop();

    const int sizes[3] = {eib->core().lines().count(), ext->core().lines().count(), gateway->core().lines().count()};
    for (MonitorWindow *w : {gateway, eib, ext})
        w->chkLog->setChecked(false);
    const qsizetype logged[3] = {countLines(ctx.ProjectDir + QStringLiteral("/BUS_EIB.log")),
                                 countLines(ctx.ProjectDir + QStringLiteral("/ZTR001-PACKAGED.log")),
                                 countLines(ctx.ProjectDir + QStringLiteral("/ZDM.log"))};

    const double maxLate = probe.late(1.0);
    const long rssEnd = rssKiB();
    const long rssMid = rss.size() > 1 ? rss[1] : rssStart;

    std::printf("lines fed: %lld (%.0f lines/s achieved)\n", (long long)total, total * 1000.0 / clock.elapsed());
    const char *names[3] = {"EIB", "EXT", "gateway"};
    bool ok = true;
    for (int i = 0; i < 3; ++i) {
        // Each log holds the lines fed plus its start and stop markers.
        const bool logOk = logged[i] == fed[i] + 2;
        const bool listOk = sizes[i] == 500;
        ok = ok && logOk && listOk;
        std::printf("  %-8s list %3d entries (%s), log %lld lines for %lld fed + 2 markers (%s)\n", names[i], sizes[i],
                    listOk ? "ok" : "FAIL", (long long)logged[i], (long long)fed[i], logOk ? "ok" : "FAIL");
    }
    std::printf("RSS: start %ld KiB, after 10 s %ld KiB, end %ld KiB (growth after warm-up %+ld KiB)\n", rssStart,
                rssMid, rssEnd, rssEnd - rssMid);
    std::printf("event loop latency over %zu probes: median %.2f ms, p99 %.2f ms, max %.2f ms (target <= %.0f ms: %s)\n",
                probe.ticks(), probe.late(0.5), probe.late(0.99), maxLate, kLatencyTargetMs,
                maxLate <= kLatencyTargetMs ? "met" : "MISSED");
    std::printf("  of which the loop's own work (thread CPU time between probes): median %.2f ms, p99 %.2f ms, "
                "max %.2f ms\n",
                probe.busy(0.5), probe.busy(0.99), probe.busy(1.0));
    return ok && viewerOk ? 0 : 1;
}
