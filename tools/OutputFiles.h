// Small output helpers shared by the writers: a buffered little-endian byte
// stream and a text builder whose numbers never depend on the locale.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace quillmere {

namespace samplegen {
namespace detail {

// Writes through its own buffer in large blocks; the files reach hundreds of
// megabytes and value-by-value stdio calls would dominate the time.
class CByteOutput {
public:
    explicit CByteOutput(const std::string& path) : file(std::fopen(path.c_str(), "wb")) {
        buffer.reserve(kBlock + 64);
    }
    ~CByteOutput() {
        if (file)
            std::fclose(file);
    }
    CByteOutput(const CByteOutput&) = delete;
    CByteOutput& operator=(const CByteOutput&) = delete;

    bool IsOpen() const { return file != nullptr; }

    void U8(uint8_t value) {
        buffer.push_back(value);
        Spill();
    }
    void U16(uint16_t value) {
        buffer.push_back(static_cast<uint8_t>(value));
        buffer.push_back(static_cast<uint8_t>(value >> 8));
        Spill();
    }
    void U32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            buffer.push_back(static_cast<uint8_t>(value >> shift));
        Spill();
    }
    void U64(uint64_t value) {
        for (int shift = 0; shift < 64; shift += 8)
            buffer.push_back(static_cast<uint8_t>(value >> shift));
        Spill();
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void I64(int64_t value) { U64(static_cast<uint64_t>(value)); }
    void F32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void F64(double value) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        U64(bits);
    }
    void Zeros(size_t count) {
        for (size_t i = 0; i < count; ++i)
            U8(0);
    }
    void Text(const std::string& text) {
        buffer.insert(buffer.end(), text.begin(), text.end());
        Spill();
    }

    // Flushes and closes; false when anything on the way failed.
    bool Finish() {
        if (!file)
            return false;
        bool ok = Drain();
        ok = std::fclose(file) == 0 && ok;
        file = nullptr;
        return ok && !failed;
    }

private:
    static constexpr size_t kBlock = size_t(1) << 20;

    void Spill() {
        if (buffer.size() >= kBlock)
            Drain();
    }
    bool Drain() {
        if (!file)
            return false;
        if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size())
            failed = true;
        buffer.clear();
        return !failed;
    }

    std::FILE* file;
    std::vector<uint8_t> buffer;
    bool failed = false;
};

// "%.<precision>g" in the C locale whatever the process locale is.
inline std::string Number(double value, int precision = 9) {
    char text[64];
    std::to_chars_result result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, precision);
    return std::string(text, result.ptr);
}

inline std::string Integer(long long value) {
    char text[32];
    std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Collects the lines of a text file with the chosen line end.
class CTextOutput {
public:
    explicit CTextOutput(bool crlf = false) : end(crlf ? "\r\n" : "\n") {}

    CTextOutput& Line(const std::string& line) {
        text += line;
        text += end;
        return *this;
    }
    const std::string& Content() const { return text; }

    bool Save(const std::string& path) const {
        CByteOutput out(path);
        if (!out.IsOpen())
            return false;
        out.Text(text);
        return out.Finish();
    }

private:
    const char* end;
    std::string text;
};

} // namespace detail
} // namespace samplegen

} // namespace quillmere
