// Storage for the arrays of big meshes. Freshly mapped memory costs the
// kernel a page fault per page, which for a record of a million elements
// takes longer than reading it; blocks of several megabytes are therefore
// kept when a sheet goes away and handed to the next sheet (every record
// step reads a new one).
#pragma once

#include <cstddef>
#include <new>
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

    template <typename U> bool operator==(const CBigArrayAllocator<U>&) const { return true; }
    template <typename U> bool operator!=(const CBigArrayAllocator<U>&) const { return false; }
};

template <typename T> using BigArray = std::vector<T, CBigArrayAllocator<T>>;

} // namespace quillmere
