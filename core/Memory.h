// How much memory the machine has, for readers that must not ask for more
// than that on the word of a damaged or hostile file.
#pragma once

#include <cstdint>

namespace quillmere {

// The physical memory in bytes; the largest number when it cannot be told.
uint64_t PhysicalMemoryBytes();

} // namespace quillmere
