#include "core/Parallel.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(Parallel, BlocksCoverEveryIndexOnceAndSumsDoNotDependOnTheSplit) {
    for (size_t count : {size_t(0), size_t(1), size_t(7), size_t(100003)}) {
        std::vector<std::atomic<int>> visits(count);
        parallel::ForBlocks(count, 64, [&](size_t first, size_t last) {
            for (size_t i = first; i < last; ++i)
                ++visits[i];
        });
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(visits[i].load(), 1) << i << " of " << count;
    }
    // Terms of very different size: a sum in another grouping differs in
    // its last bits, and a sum must not change from one run to the next.
    std::vector<double> terms(200000);
    for (size_t i = 0; i < terms.size(); ++i)
        terms[i] = (i % 3 == 0 ? 1e12 : 1e-3) * (i % 2 ? -1.0 : 1.0) + 0.1 * static_cast<double>(i);
    auto sum = [&] {
        return parallel::ReduceBlocks(
            terms.size(), 1000, 0.0,
            [&](size_t first, size_t last) {
                double s = 0;
                for (size_t i = first; i < last; ++i)
                    s += terms[i];
                return s;
            },
            [](double a, double b) { return a + b; });
    };
    const double first = sum();
    for (int run = 0; run < 20; ++run)
        ASSERT_EQ(sum(), first);
    EXPECT_EQ(parallel::ReduceBlocks(
                  0, 10, -1.0, [](size_t, size_t) { return 5.0; }, [](double a, double b) { return a + b; }),
              -1.0);
}

TEST(Parallel, TheSecondOfBothJobsRunsOnTheCallingThread) {
    const std::thread::id caller = std::this_thread::get_id();
    for (int run = 0; run < 20; ++run) {
        // The first job waits for the second to start: if the caller took
        // the first, the second would have to run elsewhere.
        std::atomic<bool> secondStarted{false};
        std::thread::id second;
        parallel::Both(
            [&] {
                for (int spin = 0; spin < 100000 && !secondStarted; ++spin)
                    std::this_thread::yield();
            },
            [&] {
                second = std::this_thread::get_id();
                secondStarted = true;
            });
        ASSERT_EQ(second, caller);
    }
}
