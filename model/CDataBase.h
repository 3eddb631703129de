// A growable array of owned record pointers with a fixed growth step.
// Destroying it destroys every record it holds; null slots are allowed.
// The step sets the capacity the array reports; the slots behind it grow by
// doubling at least, so that filling an array costs time in proportion to
// its length and not to its square (a tool file of millions of tokens would
// otherwise take minutes).
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <stdexcept>

namespace quillmere {

template <typename T> class CDataBase {
public:
    CDataBase(int initialCapacity, int growthStep)
        : growth(growthStep > 0 ? growthStep : 1), capacity(initialCapacity > 0 ? initialCapacity : 0),
          allocated(static_cast<size_t>(capacity)), items(allocated > 0 ? new T*[allocated] : nullptr) {}

    virtual ~CDataBase() {
        for (int i = 0; i < count; ++i)
            delete items[i];
        delete[] items;
    }

    CDataBase(const CDataBase&) = delete;
    CDataBase& operator=(const CDataBase&) = delete;

    // Takes ownership of record (which may be null).
    void Add(T* record) {
        if (count == INT_MAX)
            throw std::length_error("a CDataBase holds at most INT_MAX records");
        if (count == capacity)
            capacity = capacity > INT_MAX - growth ? INT_MAX : capacity + growth;
        if (static_cast<size_t>(count) == allocated) {
            const size_t grown = std::max(static_cast<size_t>(capacity), 2 * allocated);
            T** larger = new T*[grown];
            std::copy(items, items + count, larger);
            delete[] items;
            items = larger;
            allocated = grown;
        }
        items[count++] = record;
    }

    void AddUnique(T* record) {
        if (std::find(items, items + count, record) == items + count)
            Add(record);
    }

    void RemoveAt(int index) {
        if (index < 0 || index > count - 1)
            return;
        delete items[index];
        std::copy(items + index + 1, items + count, items + index);
        --count;
    }

    void RemoveAll() {
        for (int i = 0; i < count; ++i)
            delete items[i];
        count = 0;
    }

    // Forgets the records without destroying them, for lists that only refer
    // to records owned elsewhere.
    void Reset() { count = 0; }

    int Count() const { return count; }
    int Capacity() const { return capacity; }
    T* At(int index) const { return items[index]; }

private:
    int growth;
    int count = 0;
    int capacity;     // as the growth step makes it
    size_t allocated; // slots behind items
    T** items;
};

} // namespace quillmere
