#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

using namespace quillmere;

namespace fuzz {

namespace {

class CSilentMessages : public IMessageSink {
public:
    MessageAnswer Show(const Message&, MessageIcon, MessageButtons buttons) override {
        return Answer(buttons);
    }
    MessageAnswer ShowText(const std::string&, MessageIcon, MessageButtons buttons) override {
        return Answer(buttons);
    }

private:
    static MessageAnswer Answer(MessageButtons buttons) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
};

std::string* scratch = nullptr;

void RemoveScratch() {
    if (!scratch)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(*scratch, ignored);
}

} // namespace

void Fail(const char* what) {
    std::fprintf(stderr, "quillmere fuzz: %s\n", what);
    std::abort();
}

void SilenceMessages() {
    static CSilentMessages silent;
    SetMessageSink(&silent);
}

const std::string& ScratchFolder() {
    if (!scratch) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillmere-fuzz-XXXXXX";
        if (!::mkdtemp(&pattern[0])) {
            std::perror("quillmere fuzz: cannot create a scratch folder");
            std::abort();
        }
        scratch = new std::string(pattern);
        std::atexit(RemoveScratch);
    }
    return *scratch;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::fprintf(stderr, "quillmere fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
}

void WriteFile(const std::string& path, const std::string& content) {
    WriteFile(path, reinterpret_cast<const uint8_t*>(content.data()), content.size());
}

std::string ReadFile(const std::string& path) {
    std::string content;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return content;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    std::fclose(file);
    return content;
}

const char* ToolInput::Extension() const {
    static const char* const extensions[4] = {".tol", ".TOL", ".tmp", ".txt"};
    return extensions[(flags >> ExtensionShift) & 3];
}

std::string ToolInput::Encode() const {
    std::string bytes(1, static_cast<char>(flags));
    if (flags & WithProcessControl) {
        const size_t length = std::min<size_t>(processControl.size(), 0xFFFF);
        bytes += static_cast<char>(length & 0xFF);
        bytes += static_cast<char>(length >> 8);
        bytes.append(processControl, 0, length);
    }
    return bytes + toolFile;
}

ToolInput ToolInput::Decode(const uint8_t* data, size_t size) {
    ToolInput input;
    if (size == 0)
        return input;
    input.flags = data[0];
    size_t at = 1;
    if ((input.flags & WithProcessControl) && size >= 3) {
        const size_t length = std::min<size_t>(data[1] | size_t(data[2]) << 8, size - 3);
        input.processControl.assign(reinterpret_cast<const char*>(data + 3), length);
        at = 3 + length;
    }
    input.toolFile.assign(reinterpret_cast<const char*>(data + at), size - at);
    return input;
}

} // namespace fuzz
