#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The number of threads a render uses: `requested`, or every core when it is 0 or less.
inline int RenderThreads(int requested) {
    if (requested > 0)
        return requested;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Threads that share out one piece of work after another, band by band: started once for a
// render and kept for each of its steps, as starting a thread can cost a millisecond (under
// Wine), more than a small step takes. A thread that cannot be started leaves its share to
// the others.
class CBandWorkers {
public:
    // `threads` threads in all (0 or less: one a core), the calling thread one of them.
    explicit CBandWorkers(int threads);
    ~CBandWorkers();
    CBandWorkers(const CBandWorkers&) = delete;
    CBandWorkers& operator=(const CBandWorkers&) = delete;

    int Threads() const { return static_cast<int>(workers.size()) + 1; }

    // Calls work(begin, end) for `bands` bands of the rows [0, rows), handed out as they
    // come to every thread; returns when all are done. More bands than threads keep the
    // threads busy when some bands hold more work than others.
    template <typename Work>
    void ForEachBand(int rows, int bands, const Work& work) {
        bands = std::clamp(bands, 1, std::max(1, rows));
        std::atomic<int> next{0};
        RunOnEach([&] {
            for (int band = next++; band < bands; band = next++)
                work(static_cast<int>(static_cast<long long>(rows) * band / bands),
                     static_cast<int>(static_cast<long long>(rows) * (band + 1) / bands));
        });
    }

private:
    // Runs `job` once on every thread and waits for all of them.
    void RunOnEach(const std::function<void()>& job);
    void Serve();

    std::vector<std::thread> workers;
    std::mutex mutex;
    std::condition_variable posted, finished;
    const std::function<void()>* job = nullptr;
    unsigned jobNumber = 0;
    int running = 0;
    bool stopping = false;
};
