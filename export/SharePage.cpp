#include "export/SharePage.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"

#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace quillmere {

// The viewer: the page's HTML, styles and script, with the markers below
// where the title and the data go (SharePageTemplate.cpp, made by the build
// from share/viewer.html).
extern const char* const kSharePageTemplate;

namespace {

const char* const TitleMarker = "<!--QUILLMERE:TITLE-->";
const char* const DataMarker = "<!--QUILLMERE:DATA-->";

const char* CodingName(ShareCoding coding) {
    switch (coding) {
    case ShareCoding::ByteDeltas:
        return "bytedelta";
    case ShareCoding::IntDeltas:
        return "intdelta";
    default:
        return "bytes";
    }
}

size_t CountOf(const ShareArray& array) {
    return array.coding == ShareCoding::IntDeltas ? array.ints.size() : array.bytes.size();
}

size_t CodedSize(const ShareArray& array) {
    return array.coding == ShareCoding::IntDeltas ? 4 * array.ints.size() : array.bytes.size();
}

uint32_t Zigzag(uint32_t delta) {
    return (delta << 1) ^ (0u - (delta >> 31));
}

uint32_t Unzigzag(uint32_t coded) {
    return (coded >> 1) ^ (0u - (coded & 1));
}

void Code(const ShareArray& array, uint8_t* out) {
    const size_t stride = static_cast<size_t>(array.stride > 0 ? array.stride : 1);
    if (array.coding == ShareCoding::Bytes) {
        std::memcpy(out, array.bytes.data(), array.bytes.size());
    } else if (array.coding == ShareCoding::ByteDeltas) {
        for (size_t i = 0; i < array.bytes.size(); ++i)
            out[i] = static_cast<uint8_t>(array.bytes[i] - (i >= stride ? array.bytes[i - stride] : 0));
    } else {
        const size_t n = array.ints.size();
        for (size_t i = 0; i < n; ++i) {
            // Wrapping arithmetic: the viewer adds the deltas back in 32 bits.
            const uint32_t before = i >= stride ? static_cast<uint32_t>(array.ints[i - stride]) : 0u;
            const uint32_t coded = Zigzag(static_cast<uint32_t>(array.ints[i]) - before);
            for (size_t plane = 0; plane < 4; ++plane)
                out[plane * n + i] = static_cast<uint8_t>(coded >> (8 * plane));
        }
    }
}

void Decode(const uint8_t* in, ShareArray& array) {
    const size_t stride = static_cast<size_t>(array.stride > 0 ? array.stride : 1);
    if (array.coding == ShareCoding::Bytes) {
        std::memcpy(array.bytes.data(), in, array.bytes.size());
    } else if (array.coding == ShareCoding::ByteDeltas) {
        for (size_t i = 0; i < array.bytes.size(); ++i)
            array.bytes[i] = static_cast<uint8_t>(in[i] + (i >= stride ? array.bytes[i - stride] : 0));
    } else {
        const size_t n = array.ints.size();
        for (size_t i = 0; i < n; ++i) {
            uint32_t coded = 0;
            for (size_t plane = 0; plane < 4; ++plane)
                coded |= static_cast<uint32_t>(in[plane * n + i]) << (8 * plane);
            const uint32_t before = i >= stride ? static_cast<uint32_t>(array.ints[i - stride]) : 0u;
            array.ints[i] = static_cast<int32_t>(before + Unzigzag(coded));
        }
    }
}

// gzip, as DecompressionStream("gzip") reads it.
std::vector<uint8_t> Gzip(const std::vector<uint8_t>& raw) {
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    std::vector<uint8_t> packed(deflateBound(&stream, static_cast<uLong>(raw.size())) + 32);
    stream.next_in = const_cast<Bytef*>(raw.data());
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw std::bad_alloc();
    return packed;
}

bool Gunzip(const std::vector<uint8_t>& packed, std::vector<uint8_t>& raw) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = raw.data();
    stream.avail_out = static_cast<uInt>(raw.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.total_out == raw.size();
    inflateEnd(&stream);
    return whole;
}

} // namespace

std::vector<std::pair<std::string, std::string>> ReportRows(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> rows;
    auto trim = [](const std::string& part) {
        const size_t first = part.find_first_not_of(" \t\r");
        const size_t last = part.find_last_not_of(" \t\r");
        return first == std::string::npos ? std::string() : part.substr(first, last - first + 1);
    };
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (trim(line).empty())
            continue;
        size_t split = line.find(':');
        size_t valueStart = split == std::string::npos ? split : split + 1;
        if (split == std::string::npos &&
            (split = line.find("  ", line.find_first_not_of(' '))) != std::string::npos)
            valueStart = split;
        if (split == std::string::npos)
            rows.emplace_back(trim(line), "");
        else
            rows.emplace_back(trim(line.substr(0, split)), trim(line.substr(valueStart)));
    }
    return rows;
}

std::string JsonText(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c == '<') {
            json += "\\u003c";
        } else if (c < 0x20) {
            json += FormatText("\\u%04x", c);
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

PackedBlock PackBlock(const ShareBlock& block) {
    size_t size = 0;
    for (const ShareArray& array : block.arrays)
        size += CodedSize(array);
    std::vector<uint8_t> raw(size);
    PackedBlock packed{block.id, "[", {}};
    size_t at = 0;
    for (const ShareArray& array : block.arrays) {
        Code(array, raw.data() + at);
        at += CodedSize(array);
        packed.layout += FormatText("%s{\"name\":%s,\"coding\":\"%s\",\"stride\":%d,\"count\":%zu}",
                                    packed.layout.size() > 1 ? "," : "", JsonText(array.name).c_str(),
                                    CodingName(array.coding), array.stride, CountOf(array));
    }
    packed.layout += "]";
    packed.data = Gzip(raw);
    return packed;
}

bool UnpackBlock(const PackedBlock& packed, ShareBlock& block) {
    size_t size = 0;
    for (const ShareArray& array : block.arrays)
        size += CodedSize(array);
    std::vector<uint8_t> raw(size);
    if (!Gunzip(packed.data, raw))
        return false;
    size_t at = 0;
    for (ShareArray& array : block.arrays) {
        Decode(raw.data() + at, array);
        at += CodedSize(array);
    }
    return true;
}

std::string Base64(const uint8_t* data, size_t size) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < size; i += 3) {
        const uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
        text += digits[v >> 18];
        text += digits[(v >> 12) & 63];
        text += digits[(v >> 6) & 63];
        text += digits[v & 63];
    }
    if (i < size) {
        const uint32_t v = (uint32_t(data[i]) << 16) | (i + 1 < size ? uint32_t(data[i + 1]) << 8 : 0);
        text += digits[v >> 18];
        text += digits[(v >> 12) & 63];
        text += i + 1 < size ? digits[(v >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

bool WriteSharePage(const std::string& path, const SharePage& page) {
    const std::string pageTemplate = kSharePageTemplate;
    const size_t title = pageTemplate.find(TitleMarker);
    const size_t data = pageTemplate.find(DataMarker);
    if (title == std::string::npos || data == std::string::npos || data < title)
        return false;
    std::string escapedTitle;
    for (char c : page.title)
        escapedTitle += c == '<' ? std::string("&lt;") : c == '&' ? std::string("&amp;") : std::string(1, c);

    std::string description = "{\"view\":" + page.view + ",\"tables\":[";
    for (const ShareTable& table : page.tables) {
        description += std::string(&table == &page.tables.front() ? "" : ",") +
                       "{\"title\":" + JsonText(table.title) + ",\"rows\":[";
        for (const auto& row : table.rows)
            description += std::string(&row == &table.rows.front() ? "" : ",") + "[" + JsonText(row.first) +
                           "," + JsonText(row.second) + "]";
        description += "]}";
    }
    description += "],\"blocks\":[";
    for (const PackedBlock& block : page.blocks)
        description += std::string(&block == &page.blocks.front() ? "" : ",") +
                       "{\"id\":" + JsonText(block.id) + ",\"arrays\":" + block.layout +
                       FormatText(",\"bytes\":%zu}", block.data.size());
    description += "]}";

    const size_t separator = LastSeparator(path);
    CAtomicFile file(path, (separator == std::string::npos ? "" : path.substr(0, separator + 1)) + "." +
                               FileNamePart(path) + ".XXXXXX");
    bool ok =
        file.Open() && file.Write(pageTemplate.substr(0, title)) && file.Write(escapedTitle) &&
        file.Write(
            pageTemplate.substr(title + std::strlen(TitleMarker), data - title - std::strlen(TitleMarker))) &&
        file.Write("<script type=\"application/json\" id=\"quillmere-view\">" + description + "</script>\n");
    for (size_t i = 0; ok && i < page.blocks.size(); ++i)
        ok = file.Write(
                 FormatText("<script type=\"application/octet-stream\" id=\"quillmere-block-%zu\">", i)) &&
             file.Write(Base64(page.blocks[i].data.data(), page.blocks[i].data.size())) &&
             file.Write("</script>\n");
    return ok && file.Write(pageTemplate.substr(data + std::strlen(DataMarker))) && file.Commit();
}

} // namespace quillmere
