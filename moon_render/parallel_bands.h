#pragma once

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

// The number of threads a render uses: `requested`, or every core when it is 0 or less.
inline int RenderThreads(int requested) {
    if (requested > 0)
        return requested;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Calls work(begin, end) for `threads` bands of the rows [0, rows), each on a thread of its
// own, the first on the calling thread; returns when all are done. A band whose thread
// cannot be started runs on the calling thread.
template <typename Work>
void ForEachBand(int rows, int threads, const Work& work) {
    threads = std::clamp(threads, 1, std::max(1, rows));
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        const int begin = static_cast<int>(static_cast<long long>(rows) * t / threads);
        const int end = static_cast<int>(static_cast<long long>(rows) * (t + 1) / threads);
        try {
            workers.emplace_back([&work, begin, end] { work(begin, end); });
        } catch (const std::system_error&) {
            work(begin, end);
        }
    }
    work(0, rows / threads);
    for (std::thread& worker : workers)
        worker.join();
}
