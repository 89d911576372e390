#pragma once
// What the benchmarks share: timing a piece of work several times and keeping the median, which
// a busy machine disturbs less than the mean.
#include <QElapsedTimer>
#include <algorithm>
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

} // namespace tarveon::bench
