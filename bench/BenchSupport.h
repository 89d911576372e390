#pragma once
// What the benchmarks share: timing a piece of work several times and keeping the median, which
// a busy machine disturbs less than the mean.
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace tarveon::bench {

// Median of `runs` timings of f, in milliseconds.
inline double medianMs(int runs, const std::function<void()> &f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}

// Processor time of the calling thread, in milliseconds.
inline double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Resident memory of the process, in KiB (-1 when unknown).
inline long rssKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Lines (CR LF) in a file; -1 when it cannot be read.
inline qsizetype countLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return f.readAll().count("\r\n");
}

} // namespace tarveon::bench
