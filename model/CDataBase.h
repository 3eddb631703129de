// A growable array of owned record pointers with a fixed growth step.
// Destroying it destroys every record it holds; null slots are allowed.
#pragma once

#include <algorithm>
#include <cstddef>

template <typename T> class CDataBase {
public:
    CDataBase(int initialCapacity, int growthStep)
        : growth(growthStep > 0 ? growthStep : 1), capacity(initialCapacity > 0 ? initialCapacity : 0),
          items(capacity > 0 ? new T*[static_cast<size_t>(capacity)] : nullptr) {}

    virtual ~CDataBase() {
        for (int i = 0; i < count; ++i)
            delete items[i];
        delete[] items;
    }

    CDataBase(const CDataBase&) = delete;
    CDataBase& operator=(const CDataBase&) = delete;

    // Takes ownership of record (which may be null).
    void Add(T* record) {
        if (count == capacity) {
            const int grown = capacity + growth;
            T** larger = new T*[static_cast<size_t>(grown)];
            std::copy(items, items + count, larger);
            delete[] items;
            items = larger;
            capacity = grown;
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
    int capacity;
    T** items;
};
