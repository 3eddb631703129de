#include "export/GlbFile.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/Parallel.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace quillmere {

namespace {

constexpr uint32_t kMagic = 0x46546C67;       // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;   // "JSON"
constexpr uint32_t kBinaryChunk = 0x004E4942; // "BIN\0"
constexpr uint64_t kHeader = 12, kChunkHeader = 8;
// Elements are produced in pieces of this many, a piece of every view of a
// run in turn, so that what they are computed from stays in the cache;
// blocks of pieces go to the cores, each written where it belongs.
constexpr size_t kPiece = 8192;
constexpr size_t kBlock = 8 * kPiece;

uint64_t Padded(uint64_t length) {
    return (length + 3) / 4 * 4;
}

// Little-endian, as glTF stores every number.
void PutWord(char* out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct Block {
    const GlbRun* run;
    const GlbView* views; // the run's first view
    size_t first, last;
};

bool WriteBlock(CAtomicFile& file, uint64_t binaryStart, const Block& block) {
    const GlbRun& run = *block.run;
    const size_t elements = block.last - block.first;
    std::vector<size_t> starts = {0};
    for (size_t size : run.elementSizes)
        starts.push_back(starts.back() + (elements * size + 15) / 16 * 16);
    const std::unique_ptr<char[]> buffer(new char[std::max<size_t>(starts.back(), 1)]);
    std::vector<void*> outs(run.elementSizes.size());
    for (size_t start = block.first; start < block.last; start += kPiece) {
        const size_t count = std::min(kPiece, block.last - start);
        for (size_t i = 0; i < outs.size(); ++i)
            outs[i] = buffer.get() + starts[i] + (start - block.first) * run.elementSizes[i];
        run.fill(start, count, outs.data());
    }
    for (size_t i = 0; i < outs.size(); ++i) {
        const uint64_t at = binaryStart + block.views[i].offset + block.first * run.elementSizes[i];
        const size_t size = elements * run.elementSizes[i];
        if (!file.WriteAt(at, buffer.get() + starts[i], size))
            return false;
        // On its way to the disk while the next block is made.
        file.StartSync(at, size);
    }
    return true;
}

// A hidden unique name beside the file.
std::string TemporaryName(const std::string& path) {
    const size_t separator = LastSeparator(path);
    return (separator == std::string::npos ? "" : path.substr(0, separator + 1)) + "." + FileNamePart(path) +
           ".XXXXXX";
}

} // namespace

std::vector<GlbView> LayOutGlb(const std::vector<GlbRun>& runs) {
    std::vector<GlbView> views;
    uint64_t offset = 0;
    for (const GlbRun& run : runs)
        for (size_t size : run.elementSizes) {
            const uint64_t length = static_cast<uint64_t>(run.count) * size;
            views.push_back({offset, length});
            offset = Padded(offset + length);
        }
    return views;
}

uint64_t GlbBinaryLength(const std::vector<GlbRun>& runs) {
    const std::vector<GlbView> views = LayOutGlb(runs);
    return views.empty() ? 0 : Padded(views.back().offset + views.back().length);
}

uint64_t GlbFileLength(size_t jsonLength, const std::vector<GlbRun>& runs) {
    const uint64_t binary = GlbBinaryLength(runs);
    return kHeader + kChunkHeader + Padded(jsonLength) + (binary > 0 ? kChunkHeader + binary : 0);
}

bool WriteGlbFile(const std::string& path, const std::string& json, const std::vector<GlbRun>& runs) {
    const uint64_t total = GlbFileLength(json.size(), runs);
    if (total > UINT32_MAX)
        return false;
    const uint64_t binary = GlbBinaryLength(runs);
    // The header and the JSON chunk, whose padding is spaces; the binary
    // chunk's padding stays the zeros of the file's holes.
    std::string head(kHeader + kChunkHeader, '\0');
    PutWord(&head[0], kMagic);
    PutWord(&head[4], 2);
    PutWord(&head[8], static_cast<uint32_t>(total));
    PutWord(&head[12], static_cast<uint32_t>(Padded(json.size())));
    PutWord(&head[16], kJsonChunk);
    head += json;
    head.append(Padded(json.size()) - json.size(), ' ');
    if (binary > 0) {
        char chunk[kChunkHeader];
        PutWord(chunk, static_cast<uint32_t>(binary));
        PutWord(chunk + 4, kBinaryChunk);
        head.append(chunk, sizeof chunk);
    }
    const uint64_t binaryStart = head.size();

    const std::vector<GlbView> views = LayOutGlb(runs);
    std::vector<Block> blocks;
    size_t firstView = 0;
    for (const GlbRun& run : runs) {
        for (size_t first = 0; first < run.count && !run.elementSizes.empty(); first += kBlock)
            blocks.push_back({&run, &views[firstView], first, std::min(run.count, first + kBlock)});
        firstView += run.elementSizes.size();
    }

    CAtomicFile file(path, TemporaryName(path));
    if (!file.Open())
        return false;
    file.Reserve(total);
    bool ok = file.WriteAt(0, head.data(), head.size());
    // The file's last bytes, so that a padded end is part of it.
    if (ok && total > head.size()) {
        const char zero = 0;
        ok = file.WriteAt(total - 1, &zero, 1);
    }
    ok = ok && parallel::ReduceBlocks(
                   blocks.size(), 1, true,
                   [&](size_t first, size_t last) {
                       bool written = true;
                       for (size_t i = first; written && i < last; ++i)
                           written = WriteBlock(file, binaryStart, blocks[i]);
                       return written;
                   },
                   [](bool earlier, bool later) { return earlier && later; });
    return ok && file.Commit();
}

} // namespace quillmere
