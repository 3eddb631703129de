// Loops over large arrays on every core, through oneTBB. Under
// ThreadSanitizer the loops run on the calling thread: the library is not
// instrumented, so its hand-overs would show as races that are not there.
#pragma once
#include <cstddef>

#ifndef QUILLMERE_SERIAL
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_reduce.h>
#include <tbb/task_group.h>
#endif

namespace parallel {

// Calls body(first, last) on blocks that cover [0, count) once; blocks run
// at the same time, so body may only write what its block owns.
template <typename Body> void ForBlocks(size_t count, size_t grain, const Body& body) {
#ifdef QUILLMERE_SERIAL
    (void)grain;
    if (count > 0)
        body(size_t(0), count);
#else
    tbb::parallel_for(tbb::blocked_range<size_t>(0, count, grain),
                      [&body](const tbb::blocked_range<size_t>& block) { body(block.begin(), block.end()); });
#endif
}

// Folds blocks of [0, count): block(first, last) gives a value, join(a, b)
// combines two; identity is the value of nothing. join must be associative:
// the blocks are combined in their order but in any grouping.
template <typename Value, typename Block, typename Join>
Value ReduceBlocks(size_t count, size_t grain, const Value& identity, const Block& block, const Join& join) {
#ifdef QUILLMERE_SERIAL
    (void)grain;
    return count > 0 ? join(identity, block(size_t(0), count)) : identity;
#else
    return tbb::parallel_deterministic_reduce(
        tbb::blocked_range<size_t>(0, count, grain), identity,
        [&block, &join](const tbb::blocked_range<size_t>& range, Value value) {
            return join(value, block(range.begin(), range.end()));
        },
        join);
#endif
}

// Runs two independent jobs at the same time. second runs on the calling
// thread, so it may report to the interface; first may run on either.
template <typename First, typename Second> void Both(const First& first, const Second& second) {
#ifdef QUILLMERE_SERIAL
    first();
    second();
#else
    tbb::task_group group;
    group.run(first);
    try {
        second();
    } catch (...) {
        group.wait();
        throw;
    }
    group.wait();
#endif
}

} // namespace parallel
