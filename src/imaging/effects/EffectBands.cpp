#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

int EffectBands::threadCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 16u));
}

void EffectBands::run(int first, int last, const std::function<void(int, int)>& work, int minRows)
{
    const int rows = last - first;
    if (rows <= 0)
        return;
    const int bands = std::clamp(rows / std::max(minRows, 1), 1, threadCount());
    if (bands == 1) {
        work(first, last);
        return;
    }
    std::vector<std::exception_ptr> failures(static_cast<size_t>(bands));
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(bands - 1));
    const auto slice = [&](int band) {
        const int begin = first + static_cast<int>(static_cast<long long>(rows) * band / bands);
        const int end = first + static_cast<int>(static_cast<long long>(rows) * (band + 1) / bands);
        try {
            work(begin, end);
        } catch (...) {
            failures[static_cast<size_t>(band)] = std::current_exception();
        }
    };
    for (int band = 1; band < bands; ++band) {
        try {
            threads.emplace_back(slice, band);
        } catch (const std::system_error&) {
            slice(band); // no thread to be had: do this slice here
        }
    }
    slice(0);
    for (auto& thread : threads)
        thread.join();
    for (const auto& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
