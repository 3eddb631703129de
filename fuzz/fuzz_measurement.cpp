// The measurement file reader on an arbitrary file: whatever it holds, every
// point used is finite, every row is either used or counted as bad, and the
// messages about the file can be composed.
#include "fuzz/FuzzSupport.h"
#include "measure/MeasurementFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quillmere;

namespace {

bool Finite(const CCoordinate& c) {
    return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z);
}

void Fail(const char* why) {
    std::fprintf(stderr, "quillmere fuzz: %s\n", why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchFolder() + "/points.csv";
    fuzz::WriteFile(path, data, size);
    // The first byte chooses the unit of columns without one.
    const LengthUnit unit = size > 0 && data[0] % 2 ? LengthUnit::Inch : LengthUnit::Millimetre;
    const MeasurementFile file = ReadMeasurementFile(path, unit);
    if (file.error) {
        if (!file.points.empty())
            Fail("a refused file kept points");
        if (!MeasurementRefusal(path, file.error))
            Fail("a refusal without a message");
        return 0;
    }
    if (file.points.empty())
        Fail("a file without points was taken");
    int lastLine = 0;
    for (const MeasuredPoint& point : file.points) {
        if (!Finite(point.position) || (point.HasThickness() && !(point.thickness > 0)))
            Fail("a point that is not a finite position or thickness");
        if (point.line <= lastLine)
            Fail("points out of the file's order");
        lastLine = point.line;
    }
    if (file.badRows.size() > kListedBadRows || static_cast<int>(file.badRows.size()) > file.badRowCount)
        Fail("more bad rows listed than counted");
    if ((file.badRowCount > 0) != static_cast<bool>(BadRowsMessage(path, file)))
        Fail("bad rows and their message disagree");
    return 0;
}
