// The binary container of glTF 2.0 (.glb): a 12-byte header, the asset's
// JSON and one binary chunk made of views. The views are produced piece by
// piece on every core while the file is written, as the .vtu files are, so
// that a model of millions of triangles needs no copy of its own. The file
// goes through a temporary name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillmere {

// Views with the same element count, produced together: fill(first, count,
// outs) writes elements first .. first + count - 1 of the i-th view to
// outs[i] (elementSizes[i] bytes each). fill is called from several threads
// at once.
struct GlbRun {
    size_t count = 0;
    std::vector<size_t> elementSizes;
    std::function<void(size_t first, size_t count, void* const* outs)> fill;
};

// A view's place in the binary chunk.
struct GlbView {
    uint64_t offset = 0;
    uint64_t length = 0;
};

// The views of runs in their order, run after run, each starting at a
// multiple of 4 bytes (glTF's alignment of vertex attributes).
std::vector<GlbView> LayOutGlb(const std::vector<GlbRun>& runs);
// The binary chunk's length (the views and their padding).
uint64_t GlbBinaryLength(const std::vector<GlbRun>& runs);
// The whole file's length; a .glb holds at most 4 GiB (UINT32_MAX bytes).
uint64_t GlbFileLength(size_t jsonLength, const std::vector<GlbRun>& runs);

// Writes the file; false when it cannot be written or would not fit a .glb,
// an old file of that name then left as it was.
bool WriteGlbFile(const std::string& path, const std::string& json, const std::vector<GlbRun>& runs);

} // namespace quillmere
