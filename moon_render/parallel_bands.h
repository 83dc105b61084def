#pragma once

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// The number of threads a render uses: `requested`, or every core when it is 0 or less.
inline int RenderThreads(int requested) {
    if (requested > 0)
        return requested;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Calls work(begin, end) for `bands` bands of the rows [0, rows), shared out as they come
// among `threads` threads, one of them the calling thread; returns when all are done. More
// bands than threads keep the threads busy when some bands hold more work than others. A
// thread that cannot be started leaves its share to the others.
template <typename Work>
void ForEachBand(int rows, int threads, int bands, const Work& work) {
    bands = std::clamp(bands, 1, std::max(1, rows));
    threads = std::clamp(threads, 1, bands);
    std::atomic<int> next{0};
    const auto run = [&] {
        for (int band = next++; band < bands; band = next++)
            work(static_cast<int>(static_cast<long long>(rows) * band / bands),
                 static_cast<int>(static_cast<long long>(rows) * (band + 1) / bands));
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(run);
        } catch (const std::system_error&) {
            break;
        }
    }
    run();
    for (std::thread& worker : workers)
        worker.join();
}
