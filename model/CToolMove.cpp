#include "model/CToolMove.h"

#include "core/TextFormat.h"
#include "core/TextLines.h"

namespace quillmere {

CToolMove::CToolMove(const std::string& name, const std::string& path, int toolIndex)
    : processControlFileName(name) {
    CFileHandle file(path, "rb");
    if (!file || toolIndex < 0)
        return;
    CLineReader reader(file.get());
    std::string line;
    if (!reader.Next(line))
        return; // the title line
    bool motions = false;
    while (!motions && reader.Next(line))
        motions = line == "/v";
    if (!motions)
        return;
    // Slot i takes the (i + 1)-th line after "/v"; when the file ends
    // earlier the last line read stands. Fields a line lacks keep their
    // defaults.
    for (int i = 0; i <= toolIndex && reader.Next(line); ++i) {
        CCoordinate read{0, 0, 1};
        int codes[2] = {0, 1};
        ScanText(line.c_str(), "%lf %lf %lf %d %d", &read.x, &read.y, &read.z, &codes[0], &codes[1]);
        direction = read;
        motionCodes[0] = codes[0];
        motionCodes[1] = codes[1];
    }
}

} // namespace quillmere
