#include "model/BigArray.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace quillmere {

namespace bigarray {

namespace {

constexpr size_t CacheLimit = size_t(1) << 30;

struct Cache {
    std::mutex mutex;
    std::unordered_map<void*, size_t> sizes; // every block handed out, by its real size
    std::vector<std::pair<void*, size_t>> idle;
    size_t idleBytes = 0;
};

Cache& TheCache() {
    static Cache* cache = new Cache; // lives to the end, beyond every static sheet
    return *cache;
}

} // namespace

void* Take(size_t bytes) {
    Cache& cache = TheCache();
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        // The smallest idle block that holds the request without wasting
        // more than half of itself.
        size_t best = cache.idle.size();
        for (size_t i = 0; i < cache.idle.size(); ++i) {
            const size_t size = cache.idle[i].second;
            if (size >= bytes && size / 2 <= bytes &&
                (best == cache.idle.size() || size < cache.idle[best].second))
                best = i;
        }
        if (best != cache.idle.size()) {
            void* block = cache.idle[best].first;
            cache.idleBytes -= cache.idle[best].second;
            cache.idle.erase(cache.idle.begin() + static_cast<std::ptrdiff_t>(best));
            return block;
        }
    }
    void* block = std::malloc(bytes);
    if (!block)
        throw std::bad_alloc();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.sizes[block] = bytes;
    return block;
}

void Give(void* block, size_t) {
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    const auto found = cache.sizes.find(block);
    const size_t size = found->second;
    if (cache.idleBytes + size <= CacheLimit) {
        cache.idle.push_back({block, size});
        cache.idleBytes += size;
        return;
    }
    cache.sizes.erase(found);
    std::free(block);
}

void ReleaseCache() {
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (const auto& idle : cache.idle) {
        cache.sizes.erase(idle.first);
        std::free(idle.first);
    }
    cache.idle.clear();
    cache.idleBytes = 0;
}

} // namespace bigarray

} // namespace quillmere
