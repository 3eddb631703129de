// The configuration reader on an arbitrary file, and the writer on what it
// read: whatever the file held, what is written must read back to the same
// file.
#include "config/CConfiguration.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quillmere;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFolder() + "/Quillmere.cfg";
    fuzz::WriteFile(path, data, size);
    CConfiguration configuration(path);
    const double converted = configuration.LengthToDisplay(1) + configuration.TemperatureToDisplay(1) +
                             configuration.PressureToDisplay(1);
    volatile double sink = converted;
    (void)sink;
    if (!configuration.Write())
        std::abort();
    const std::string written = fuzz::ReadFile(path);
    CConfiguration again(path);
    if (!again.Write())
        std::abort();
    if (fuzz::ReadFile(path) != written) {
        std::fprintf(stderr, "quillmere fuzz: the configuration reads back differently:\n%s---\n%s",
                     written.c_str(), fuzz::ReadFile(path).c_str());
        std::abort();
    }
    return 0;
}
