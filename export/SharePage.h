// One web page of a project's results that a browser opens from a
// double-click with nothing else: the viewer, its styles and the data in one
// HTML file. The data goes in blocks (the mesh, then one per record), each
// gzip'd and base64'd, so that the browser's own DecompressionStream reads it
// and a record is unpacked only when it is shown. Plain arrays in, one file
// out: what they hold is the caller's (session/SharedResults.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quillmere {

// How an array goes into a block. Deltas are taken to the value stride
// places before (0 before the first), so that smooth fields of a mesh
// numbered row by row become runs of small numbers that gzip packs well.
enum class ShareCoding {
    Bytes,      // as they are
    ByteDeltas, // each byte minus the one stride before, modulo 256
    IntDeltas,  // 32-bit integers: the delta zigzag'd (0, -1, 1, -2 ... as
                // 0, 1, 2, 3 ...), its four bytes in four planes, low first
};

struct ShareArray {
    std::string name;
    ShareCoding coding = ShareCoding::Bytes;
    int stride = 1;
    std::vector<uint8_t> bytes; // Bytes and ByteDeltas
    std::vector<int32_t> ints;  // IntDeltas
};

// Arrays unpacked together: the mesh, or one record.
struct ShareBlock {
    std::string id;
    std::vector<ShareArray> arrays;
};

// A table beside the view: a heading and rows of a name and a value.
struct ShareTable {
    std::string title;
    std::vector<std::pair<std::string, std::string>> rows;
};

// The rows of a report's text: each line "Name: value" (or name and value
// apart by two spaces or more) one row, a line of neither a row with an
// empty value, blank lines left out.
std::vector<std::pair<std::string, std::string>> ReportRows(const std::string& text);

// A block as the page holds it: its arrays coded one after another and
// gzip'd, and what the viewer needs to take them apart again.
struct PackedBlock {
    std::string id;
    std::string layout; // JSON: the arrays' names, codings, strides and counts
    std::vector<uint8_t> data;
};

PackedBlock PackBlock(const ShareBlock& block);
// The inverse of PackBlock, for arrays of the sizes that block gives them
// (their content is replaced); false when the data does not fit them.
bool UnpackBlock(const PackedBlock& packed, ShareBlock& block);

struct SharePage {
    std::string title; // the browser's tab and the page's heading
    // What the viewer shows, a JSON object (SharedResults.h makes it).
    std::string view;
    std::vector<ShareTable> tables; // in this order beside the view
    std::vector<PackedBlock> blocks;
};

// text as a JSON string with its quotes; '<' escaped, so that no text ends
// the script element that holds it.
std::string JsonText(const std::string& text);

std::string Base64(const uint8_t* data, size_t size);

// Writes the page through a temporary file; false when it cannot be
// written, the old file then left as it was.
bool WriteSharePage(const std::string& path, const SharePage& page);

} // namespace quillmere
