// What the fuzz targets and their seed writer share: a message sink that
// shows nothing, a private scratch folder, and the layout of the inputs that
// carry more than one file.
#pragma once

#include "core/Messages.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace quillmere;

namespace fuzz {

// Messages go nowhere; questions are answered No.
void SilenceMessages();

// A broken rule: says which and aborts, so that the fuzzer keeps the input.
[[noreturn]] void Fail(const char* what);

// A folder of this process under $TMPDIR (or /tmp), removed at exit.
const std::string& ScratchFolder();

void WriteFile(const std::string& path, const uint8_t* data, size_t size);
void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);

// Takes every progress report and drops it, so that the progress code runs.
class CIgnoredProgress : public IProgressSink {
public:
    void SetRange(int, int) override {}
    void SetPosition(int) override {}
    void SetStatusText(const std::string&) override {}
};

// An input of the tool target: a flag byte, then, when it asks for one, a
// process control file (16-bit little-endian length and its bytes); the rest
// is the tool file.
struct ToolInput {
    static constexpr uint8_t SlotMask = 0x0F;    // tool slot (taken modulo 10)
    static constexpr uint8_t ExtensionShift = 4; // two bits: .tol, .TOL, .tmp, .txt
    static constexpr uint8_t WithProcessControl = 0x40;
    static constexpr uint8_t StoredInUpperCase = 0x80; // the name differs in case from the file

    uint8_t flags = 0;
    std::string processControl;
    std::string toolFile;

    int Slot() const { return (flags & SlotMask) % 10; }
    const char* Extension() const;
    std::string Encode() const;
    static ToolInput Decode(const uint8_t* data, size_t size);
};

// The project target writes each input as ProjectName in a folder that holds
// a small cup sample of that name (records, tools, process control, project
// configuration); the seeds name the same files.
constexpr const char* ProjectName = "p";
constexpr int ProjectCellsX = 3;
constexpr int ProjectCellsY = 2;
constexpr int ProjectRecords = 3;

} // namespace fuzz
