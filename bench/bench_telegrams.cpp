// The decoded EIB monitor under sustained traffic: the main window with a project open (the KNX test
// project), the EIB monitor logging to its file, and the serial link (over an in-memory port) fed
// EIB frames at a steady rate. The session's telegram ring is filled to its bound first, so the
// whole run is past it. Prints the list size, the ring's size, the event loop's latency (how late a
// 10 ms probe timer fires), the resident memory at the bound and over the run, the log's line
// count against the frames fed, and the time the CSV export of a full ring takes.
//
//   bench_telegrams [lines per second = 2000] [seconds = 30]
#include "BenchOnLine.h"
#include "FakeSerialPort.h"
#include "RecordingPrompter.h"
#include "app/AppContext.h"
#include "app/ui/MDITarveon.h"
#include "link/SerialLink.h"
#include "tools/ProjectListCore.h"
#include "tools/TelegramLog.h"
#include "tools/ui/MonitorWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace tarveon;
using namespace tarveon::bench;

namespace {

constexpr double kLatencyTargetMs = 50.0;

// Frames on the project's addresses in its types, written as numbers and as bytes, and on an
// address outside it.
QString frame(qint64 n)
{
    switch (n % 5) {
    case 0: return QStringLiteral("1.1.%1 01/3/001 Write %2.%3").arg(n % 256).arg(17 + n % 13).arg(n % 100, 2, 10, QLatin1Char('0'));
    case 1: return QStringLiteral("1.1.%1 1/7/1 Write $0C $%2").arg(n % 256).arg(n % 256, 2, 16, QLatin1Char('0'));
    case 2: return QStringLiteral("1.1.%1 01/1/001 Write %2").arg(n % 256).arg(n % 5);
    case 3: return QStringLiteral("1.1.%1 01/6/001 Write %2").arg(n % 256).arg(n % 101);
    default: return QStringLiteral("1.1.%1 05/0/%2 Write %3").arg(n % 256).arg(n % 256, 3, 10, QLatin1Char('0')).arg(n % 7);
    }
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
    QFile::copy(QStringLiteral(TARVEON_BIN_DIR "/RESOURCES.LNG"), dir.filePath(QStringLiteral("RESOURCES.LNG")));
    if (!ctx.language.LoadLanguage())
        return 1;
    ctx.PathProjects = dir.filePath(QStringLiteral("ProjectsZDM"));
    const QString source = QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/knx/Project/");
    QDir().mkpath(ctx.PathProjects + QStringLiteral("/Knx"));
    for (const QString &name : QDir(source).entryList(QDir::Files))
        QFile::copy(source + name, ctx.PathProjects + QStringLiteral("/Knx/") + name);
    if (!openProject(ctx, QStringLiteral("Knx"))) {
        std::printf("the project did not open\n");
        return 1;
    }
    ctx.ProtocolFamily = QStringLiteral("ZTR001");

    auto *port = new FakeSerialPort;
    MDITarveon window(ctx, nullptr, port);
    TelegramLog &telegrams = window.telegrams();
    telegrams.followProject(ctx);
    const long rssEmpty = rssKiB();
    QElapsedTimer fill;
    fill.start();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (qint64 n = 0; n < telegrams.capacity(); ++n)
        telegrams.recordFrame(now, frame(n));
    const double fillMs = fill.nsecsElapsed() / 1e6;
    const long rssBound = rssKiB();

    if (!bringOnLine(window, port))
        return 1;
    window.ShowMonitor(47);
    auto *eib = qobject_cast<MonitorWindow *>(window.eibMonitor(false));
    eib->chkLog->setChecked(true);

    qint64 fed = 0;
    QElapsedTimer clock;
    clock.start();
    QTimer feeder;
    feeder.setTimerType(Qt::PreciseTimer);
    QByteArray chunk;
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        const qint64 due = clock.elapsed() * rate / 1000;
        chunk.clear();
        for (; fed < due; ++fed)
            chunk += "EIB>" + frame(fed).toLatin1() + "\r\n";
        if (!chunk.isEmpty())
            port->receive(chunk);
    });
    feeder.start(10);

    LatencyProbe probe(size_t(seconds) * 100 + 100);
    probe.start();

    std::printf("bench_telegrams: %d EIB lines/s for %d s, decoded, logging; ring of %d filled in %.0f ms\n", rate,
                seconds, telegrams.capacity(), fillMs);
    const std::vector<long> rss = runSampling(seconds, [&](long kib) {
        std::printf("  t=%2llds  lines fed %7lld  list %d  ring %d  RSS %ld KiB\n", (long long)(clock.elapsed() / 1000),
            (long long)fed, eib->core().lines().count(), telegrams.size(), kib);
    });
    feeder.stop();
    probe.stop();

    const long rssEnd = rssKiB();
    const double achieved = fed * 1000.0 / clock.elapsed();
    const int listSize = eib->core().lines().count();
    const QString sample = eib->core().lines().line(listSize - 1).decoded;
    eib->chkLog->setChecked(false);
    const qsizetype logged = countLines(ctx.ProjectDir + QStringLiteral("/BUS_EIB.log"));
    QElapsedTimer exportClock;
    exportClock.start();
    const bool saved = telegrams.saveCsv(dir.filePath(QStringLiteral("session.csv")), nullptr);
    const double exportMs = exportClock.nsecsElapsed() / 1e6;

    const double maxLate = probe.late(1.0);
    const long rssFirst = rss.empty() ? rssBound : rss.front();
    const bool listOk = listSize == 500;
    const bool ringOk = telegrams.size() == telegrams.capacity();
    const bool logOk = logged == fed + 2;
    std::printf("lines fed: %lld (%.0f lines/s achieved); last decoded: %s\n", (long long)fed,
                achieved, qPrintable(sample));
    std::printf("  list %d entries (%s), ring %d of %d (%s), log %lld lines for %lld fed + 2 markers (%s), "
                "%lld addresses in the statistics\n",
                listSize, listOk ? "ok" : "FAIL", telegrams.size(), telegrams.capacity(), ringOk ? "ok" : "FAIL",
                (long long)logged, (long long)fed, logOk ? "ok" : "FAIL", (long long)telegrams.statistics().size());
    std::printf("RSS: empty ring %ld KiB, at the bound %ld KiB, after 5 s %ld KiB, end %ld KiB (growth past the "
                "bound after warm-up %+ld KiB)\n",
                rssEmpty, rssBound, rssFirst, rssEnd, rssEnd - rssFirst);
    std::printf("event loop latency over %zu probes: median %.2f ms, p99 %.2f ms, max %.2f ms (target <= %.0f ms: %s)\n",
                probe.ticks(), probe.late(0.5), probe.late(0.99), maxLate, kLatencyTargetMs,
                maxLate <= kLatencyTargetMs ? "met" : "MISSED");
    std::printf("CSV export of %d telegrams: %.0f ms (%s)\n", telegrams.size(), exportMs, saved ? "written" : "FAILED");
    return listOk && ringOk && logOk && saved ? 0 : 1;
}
