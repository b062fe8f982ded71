#include "cli/BatchRunner.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

int BatchRunner::threadsFor(int jobs)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    return std::max(1, std::min(jobs, cores));
}

void BatchRunner::runIndexed(int count, int threads, const std::function<void(int)>& work,
                             const std::function<void(int)>& deliver)
{
    if (threads <= 1 || count <= 1) {
        for (int i = 0; i < count; ++i) {
            work(i);
            deliver(i);
        }
        return;
    }
    std::mutex lock;
    std::condition_variable finished;
    std::vector<bool> done(size_t(count), false);
    int next = 0;
    const auto worker = [&] {
        for (;;) {
            int i = 0;
            {
                const std::lock_guard guard(lock);
                if (next >= count)
                    return;
                i = next++;
            }
            work(i); // each job writes only its own result
            {
                const std::lock_guard guard(lock);
                done[size_t(i)] = true;
            }
            finished.notify_one();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(worker);
    for (int i = 0; i < count; ++i) {
        std::unique_lock guard(lock);
        finished.wait(guard, [&] { return bool(done[size_t(i)]); });
        guard.unlock();
        deliver(i);
    }
    for (std::thread& thread : pool)
        thread.join();
}
