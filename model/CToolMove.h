// The fixed direction along which a tool moves, from the process control
// file.
#pragma once

#include "model/Vectors.h"

#include <string>

namespace quillmere {

class CToolMove {
public:
    CToolMove() = default;
    // Reads the motion of tool slot toolIndex (0-based) from the process
    // control file at path; a missing file or one without "/v" keeps the
    // defaults.
    CToolMove(const std::string& processControlFileName, const std::string& path, int toolIndex);

    const std::string& ProcessControlFileName() const { return processControlFileName; }
    // Used at its stored length, not normalised.
    const CCoordinate& Direction() const { return direction; }
    const int* MotionCodes() const { return motionCodes; }

private:
    std::string processControlFileName;
    CCoordinate direction{0, 0, 1};
    int motionCodes[2] = {0, 1};
};

} // namespace quillmere
