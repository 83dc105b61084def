#include "moon_render/parallel_bands.h"

#include <system_error>

CBandWorkers::CBandWorkers(int threads) {
    for (int t = RenderThreads(threads); t > 1; --t) {
        try {
            workers.emplace_back([this] { Serve(); });
        } catch (const std::system_error&) {
            break;
        }
    }
}

CBandWorkers::~CBandWorkers() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    posted.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

void CBandWorkers::RunOnEach(const std::function<void()>& work) {
    if (!workers.empty()) {
        const std::lock_guard<std::mutex> lock(mutex);
        job = &work;
        ++jobNumber;
        running = static_cast<int>(workers.size());
    }
    posted.notify_all();
    work();
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait(lock, [this] { return running == 0; });
    job = nullptr;
}

void CBandWorkers::Serve() {
    unsigned done = 0;
    for (;;) {
        const std::function<void()>* work;
        {
            std::unique_lock<std::mutex> lock(mutex);
            posted.wait(lock, [&] { return stopping || jobNumber != done; });
            if (stopping)
                return;
            done = jobNumber;
            work = job;
        }
        (*work)();
        const std::lock_guard<std::mutex> lock(mutex);
        if (--running == 0)
            finished.notify_one();
    }
}
