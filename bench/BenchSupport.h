#pragma once
// What the benchmarks share: timing a piece of work several times and keeping the median, which
// a busy machine disturbs less than the mean.
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTimer>
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

// How late a 10 ms timer fires while the event loop works: how long the loop was busy. Also the
// thread's processor time between two ticks, the loop's own share apart from other processes.
class LatencyProbe {
public:
    explicit LatencyProbe(size_t expectedTicks)
    {
        m_late.reserve(expectedTicks);
        m_busy.reserve(expectedTicks);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const double cpu = threadCpuMs();
            if (m_last) {
                m_late.push_back(std::max(0.0, (now - m_last) / 1e6 - 10.0));
                m_busy.push_back(cpu - m_lastCpu);
            }
            m_last = now;
            m_lastCpu = cpu;
        });
    }
    void start()
    {
        m_clock.start();
        m_timer.start(10);
    }
    // Stops and sorts the figures.
    void stop()
    {
        m_timer.stop();
        std::sort(m_late.begin(), m_late.end());
        std::sort(m_busy.begin(), m_busy.end());
    }
    size_t ticks() const { return m_late.size(); }
    // The p-quantile (0..1) of the lateness, or of the loop's own work, in milliseconds.
    double late(double p) const { return quantile(m_late, p); }
    double busy(double p) const { return quantile(m_busy, p); }

private:
    static double quantile(const std::vector<double> &v, double p)
    {
        return v.empty() ? 0.0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    double m_lastCpu = 0;
    std::vector<double> m_late;
    std::vector<double> m_busy;
};

} // namespace tarveon::bench
