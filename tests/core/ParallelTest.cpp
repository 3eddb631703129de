#include "core/Parallel.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace quillmere;

namespace {

// Terms of very different size: a sum in another grouping differs in its
// last bits.
std::vector<double> UnevenTerms(size_t count) {
    std::vector<double> terms(count);
    for (size_t i = 0; i < terms.size(); ++i)
        terms[i] = (i % 3 == 0 ? 1e12 : 1e-3) * (i % 2 ? -1.0 : 1.0) + 0.1 * static_cast<double>(i);
    return terms;
}

double BlockSum(const std::vector<double>& terms, size_t first, size_t last) {
    double s = 0;
    for (size_t i = first; i < last; ++i)
        s += terms[i];
    return s;
}

} // namespace

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
    // A sum must not change from one run to the next.
    const std::vector<double> terms = UnevenTerms(200000);
    auto sum = [&] {
        return parallel::ReduceBlocks(
            terms.size(), 1000, 0.0, [&](size_t first, size_t last) { return BlockSum(terms, first, last); },
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

// The ThreadSanitizer build runs the loops serially: they must give it the
// results of every other build, to the last bit.
TEST(Parallel, TheSerialLoopsGiveTheSameResults) {
    const auto add = [](double a, double b) { return a + b; };
    for (size_t count : {size_t(1), size_t(999), size_t(4097), size_t(200000)})
        for (size_t grain : {size_t(1), size_t(64), size_t(1000)}) {
            const std::vector<double> terms = UnevenTerms(count);
            const auto block = [&](size_t first, size_t last) { return BlockSum(terms, first, last); };
            EXPECT_EQ(parallel::serial::ReduceBlocks(count, grain, 0.0, block, add),
                      parallel::ReduceBlocks(count, grain, 0.0, block, add))
                << count << " by " << grain;
        }
    EXPECT_EQ(parallel::serial::ReduceBlocks(
                  0, 10, -1.0, [](size_t, size_t) { return 5.0; }, add),
              -1.0);
    std::vector<int> visits(1000);
    parallel::serial::ForBlocks(visits.size(), 7, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i)
            ++visits[i];
    });
    parallel::serial::ForEach(visits.size(), 2, [&](size_t i) { ++visits[i]; });
    for (size_t i = 0; i < visits.size(); ++i)
        ASSERT_EQ(visits[i], 2) << i;
}

TEST(ParallelJob, RunsOnAThreadOfItsOwnAndHandsOverItsResult) {
    const std::thread::id caller = std::this_thread::get_id();
    // finished() runs once the result can be taken.
    std::atomic<bool> finishing{false}, looked{false};
    parallel::Job<std::thread::id> job = parallel::StartJob([] { return std::this_thread::get_id(); },
                                                            [&] {
                                                                finishing = true;
                                                                while (!looked)
                                                                    std::this_thread::yield();
                                                            });
    while (!finishing)
        std::this_thread::yield();
    EXPECT_TRUE(job.Ready());
    looked = true;
    EXPECT_NE(job.Take(), caller);
    EXPECT_FALSE(job.Valid());

    // Its failure comes out where the result is taken.
    parallel::Job<int> failing = parallel::StartJob([]() -> int { throw std::runtime_error("no record"); });
    EXPECT_THROW(failing.Take(), std::runtime_error);

    // A job that is dropped is waited for: what it uses stays until it ends.
    std::atomic<bool> ended{false};
    {
        parallel::Job<void> dropped = parallel::StartJob([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ended = true;
        });
        EXPECT_FALSE(dropped.WaitFor(std::chrono::milliseconds(0)));
    }
    EXPECT_TRUE(ended);
}
