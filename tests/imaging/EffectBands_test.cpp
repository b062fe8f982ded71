// Row bands: every row is worked once, and a band's failure reaches the caller, whatever thread it ran on.
#include "imaging/effects/EffectBands.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(EffectBands, EveryRowIsWorkedOnceAcrossTheBands)
{
    const struct
    {
        int first, last, minRows;
    } ranges[] = {{0, 1000, 1}, {5, 37, 32}, {-3, 200, 7}, {4, 4, 1}};
    for (const auto& range : ranges) {
        std::vector<int> visits(size_t(std::max(range.last - range.first, 0)));
        std::mutex lock;
        EffectBands::run(
            range.first, range.last,
            [&](int begin, int end) {
                const std::scoped_lock held(lock);
                for (int row = begin; row < end; ++row)
                    ++visits.at(size_t(row - range.first));
            },
            range.minRows);
        EXPECT_EQ(visits, std::vector<int>(visits.size(), 1)) << range.first << ".." << range.last;
    }
}

TEST(EffectBands, AThrowingBandBecomesAnExceptionOnTheCallersThread)
{
    if (EffectBands::threadCount() < 2)
        GTEST_SKIP() << "one core: every band runs on the calling thread";
    const std::thread::id caller = std::this_thread::get_id();
    std::thread::id thrower;
    std::mutex lock;
    try {
        EffectBands::run(
            0, 64,
            [&](int begin, int) {
                if (begin == 0)
                    return; // the calling thread's own band
                const std::scoped_lock held(lock);
                thrower = std::this_thread::get_id();
                throw std::runtime_error("band failed");
            },
            1);
        FAIL() << "the band's failure was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "band failed");
        EXPECT_EQ(std::this_thread::get_id(), caller);
    }
    EXPECT_NE(thrower, caller); // it really was thrown on another thread
}
