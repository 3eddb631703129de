// The one way work leaves the calling thread. Loops over large arrays and
// halves of a job run on every core through oneTBB; under ThreadSanitizer
// they run on the calling thread: the library is not instrumented, so its
// hand-overs would show as races that are not there. Work that must leave
// the calling thread free (the interface thread) is a Job.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

#ifndef QUILLMERE_SERIAL
// Qt's emit keyword is a macro, and a name in oneTBB.
#pragma push_macro("emit")
#undef emit
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_reduce.h>
#include <tbb/task_arena.h>
#include <tbb/task_group.h>
#pragma pop_macro("emit")
#endif

namespace quillmere {

namespace parallel {

// The loops as the ThreadSanitizer build runs them: on the calling thread,
// one block after another, folded in the grouping the parallel fold uses,
// so that both give the same results.
namespace serial {

template <typename Body> void ForBlocks(size_t count, size_t, const Body& body) {
    if (count > 0)
        body(size_t(0), count);
}

template <typename Value, typename Block, typename Join>
Value ReduceRange(size_t first, size_t last, size_t grain, const Value& identity, const Block& block,
                  const Join& join) {
    if (last - first <= grain || last - first < 2)
        return join(identity, block(first, last));
    const size_t middle = first + (last - first) / 2;
    const Value earlier = ReduceRange(first, middle, grain, identity, block, join);
    return join(earlier, ReduceRange(middle, last, grain, identity, block, join));
}

template <typename Value, typename Block, typename Join>
Value ReduceBlocks(size_t count, size_t grain, const Value& identity, const Block& block, const Join& join) {
    return count > 0 ? ReduceRange(0, count, grain, identity, block, join) : identity;
}

template <typename First, typename Second> void Both(const First& first, const Second& second) {
    first();
    second();
}

template <typename Item> void ForEach(size_t count, int, const Item& item) {
    for (size_t i = 0; i < count; ++i)
        item(i);
}

} // namespace serial

#ifdef QUILLMERE_SERIAL
using serial::Both;
using serial::ForBlocks;
using serial::ForEach;
using serial::ReduceBlocks;
#else

// Calls body(first, last) on blocks that cover [0, count) once; blocks run
// at the same time, so body may only write what its block owns.
template <typename Body> void ForBlocks(size_t count, size_t grain, const Body& body) {
    tbb::parallel_for(tbb::blocked_range<size_t>(0, count, grain),
                      [&body](const tbb::blocked_range<size_t>& block) { body(block.begin(), block.end()); });
}

// Folds blocks of [0, count): block(first, last) gives a value, join(a, b)
// combines two; identity is the value of nothing. The blocks halve [0,
// count) until they hold grain items at most, and are joined in that tree,
// whatever the number of cores: a sum does not change from run to run.
template <typename Value, typename Block, typename Join>
Value ReduceBlocks(size_t count, size_t grain, const Value& identity, const Block& block, const Join& join) {
    return tbb::parallel_deterministic_reduce(
        tbb::blocked_range<size_t>(0, count, grain), identity,
        [&block, &join](const tbb::blocked_range<size_t>& range, Value value) {
            return join(value, block(range.begin(), range.end()));
        },
        join);
}

// Runs two independent halves of a job at the same time. second runs on
// the calling thread, so it may report to the interface; first may run on
// either.
template <typename First, typename Second> void Both(const First& first, const Second& second) {
    tbb::task_group group;
    group.run(first);
    try {
        second();
    } catch (...) {
        group.wait();
        throw;
    }
    group.wait();
}

// Calls item(i) for every i of [0, count), at most concurrency of them at a
// time (at least one); the loops inside an item share those cores.
template <typename Item> void ForEach(size_t count, int concurrency, const Item& item) {
    tbb::task_arena arena(concurrency > 1 ? concurrency : 1);
    arena.execute([&] { tbb::parallel_for(size_t(0), count, item); });
}

#endif

// Work running beside the caller, whose result is waited for: a record read
// off the interface thread, a reference record read ahead, the blocking
// reads of a record file's node blocks, the encoder of a video, the
// animation worker. Each job has a thread of its own in every mode, never
// one of the loops': the thread that waits for a job never runs it, a job
// that waits holds no core of the loops, and ThreadSanitizer follows it.
// Destroying a job that was not taken waits for it.
template <typename Result> class Job {
public:
    Job() = default;
    Job(Job&&) noexcept = default;
    Job& operator=(Job&& other) noexcept {
        Join();
        state = std::move(other.state);
        thread = std::move(other.thread);
        return *this;
    }
    ~Job() { Join(); }

    // Started and not yet taken.
    bool Valid() const { return state != nullptr; }
    // Valid and finished.
    bool Ready() const {
        if (!state)
            return false;
        std::lock_guard<std::mutex> lock(state->mutex);
        return state->finished;
    }
    void Wait() const {
        if (!state)
            return;
        std::unique_lock<std::mutex> lock(state->mutex);
        state->changed.wait(lock, [this] { return state->finished; });
    }
    // True when the job finished within the timeout.
    bool WaitFor(std::chrono::milliseconds timeout) const {
        if (!state)
            return true;
        std::unique_lock<std::mutex> lock(state->mutex);
        return state->changed.wait_for(lock, timeout, [this] { return state->finished; });
    }
    // Waits for the result, or the exception the work ended with; the job is
    // no longer valid afterwards.
    Result Take() {
        Join();
        std::unique_ptr<State> done = std::move(state);
        if (done->error)
            std::rethrow_exception(done->error);
        if constexpr (!std::is_void_v<Result>)
            return std::move(*done->value);
    }

    // Runs work() on a thread of its own; then, on that thread, finished()
    // when given, once the job is Ready.
    template <typename Work>
    static Job Start(Work work, std::function<void()> finished = std::function<void()>()) {
        Job job;
        job.state = std::make_unique<State>();
        State* shared = job.state.get();
        job.thread = std::thread([shared, work = std::move(work), finished = std::move(finished)]() mutable {
            try {
                if constexpr (std::is_void_v<Result>)
                    work();
                else
                    shared->value.emplace(work());
            } catch (...) {
                shared->error = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                shared->finished = true;
            }
            shared->changed.notify_all();
            if (finished)
                finished();
        });
        return job;
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool finished = false;
        std::optional<std::conditional_t<std::is_void_v<Result>, bool, Result>> value;
        std::exception_ptr error;
    };
    void Join() {
        if (thread.joinable())
            thread.join();
    }

    std::unique_ptr<State> state;
    std::thread thread;
};

// Starts work() as a Job of its result.
template <typename Work>
auto StartJob(Work work, std::function<void()> finished = std::function<void()>())
    -> Job<std::invoke_result_t<Work&>> {
    return Job<std::invoke_result_t<Work&>>::Start(std::move(work), std::move(finished));
}

} // namespace parallel

} // namespace quillmere
