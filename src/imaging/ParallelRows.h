#pragma once

// Runs a per-row job over the rows of a picture on every core: the rows are cut into one
// contiguous band per thread. Each thread checks the escape flag before each row; the result is
// false when any thread saw it set (the caller then discards the half-made picture).

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace mosaiq {

// Worker threads a picture pass uses: every core, at least one, at most eight.
inline int PictureThreadCount() {
    return std::clamp(int(std::thread::hardware_concurrency()), 1, 8);
}

// Calls row(y) for y in [0, rows). row must only write what belongs to row y. Small pictures run
// on the calling thread alone.
template <typename RowFn> bool ParallelRows(int rows, const std::atomic<int>& escape, RowFn row) {
    std::atomic<bool> stopped{false};
    const auto band = [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            if (escape.load(std::memory_order_relaxed) || stopped.load(std::memory_order_relaxed)) {
                stopped = true;
                return;
            }
            row(y);
        }
    };
    const int threads = rows < 64 ? 1 : std::min(PictureThreadCount(), rows);
    if (threads == 1) {
        band(0, rows);
    } else {
        std::vector<std::thread> workers;
        workers.reserve(size_t(threads - 1));
        for (int t = 1; t < threads; ++t)
            workers.emplace_back(band, int(static_cast<long long>(rows) * t / threads),
                                 int(static_cast<long long>(rows) * (t + 1) / threads));
        band(0, rows / threads);
        for (std::thread& worker : workers)
            worker.join();
    }
    return !stopped.load() && !escape.load();
}

} // namespace mosaiq
