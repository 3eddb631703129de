// Storage for the arrays of big meshes. Freshly mapped memory costs the
// kernel a page fault per page, which for a record of a million elements
// takes longer than reading it; blocks of several megabytes are therefore
// kept when a sheet goes away and handed to the next sheet (every record
// step reads a new one).
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace quillmere {

namespace bigarray {

// A block of at least bytes, reused when one of a fitting size is cached.
void* Take(size_t bytes);
// Returns a block taken with Take(bytes).
void Give(void* block, size_t bytes);
// Frees every cached block.
void ReleaseCache();

constexpr size_t Threshold = size_t(4) << 20;

} // namespace bigarray

// Arrays of T whose every element is written right after they grow leave
// the new elements unfilled: filling a million elements only to overwrite
// them costs a pass over the memory, and in a new process its page faults
// on one core rather than on every core of the loop that writes them. A type
// of nothing but numbers says so by specialising this.
template <typename T> struct FilledAfterGrowing : std::false_type {};

template <typename T> class CBigArrayAllocator {
public:
    using value_type = T;

    CBigArrayAllocator() = default;
    template <typename U> CBigArrayAllocator(const CBigArrayAllocator<U>&) {}

    T* allocate(size_t count) {
        const size_t bytes = count * sizeof(T);
        return static_cast<T*>(bytes < bigarray::Threshold ? ::operator new(bytes) : bigarray::Take(bytes));
    }

    void deallocate(T* block, size_t count) {
        const size_t bytes = count * sizeof(T);
        if (bytes < bigarray::Threshold)
            ::operator delete(block);
        else
            bigarray::Give(block, bytes);
    }

    template <typename U> void construct(U* at) {
        static_assert(!FilledAfterGrowing<U>::value || std::is_trivially_destructible_v<U>);
        if constexpr (!FilledAfterGrowing<U>::value)
            ::new (static_cast<void*>(at)) U();
    }
    template <typename U, typename... Arguments> void construct(U* at, Arguments&&... arguments) {
        ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
    }

    template <typename U> bool operator==(const CBigArrayAllocator<U>&) const { return true; }
    template <typename U> bool operator!=(const CBigArrayAllocator<U>&) const { return false; }
};

template <typename T> using BigArray = std::vector<T, CBigArrayAllocator<T>>;

} // namespace quillmere
