// Picking with OpenGL selection mode: what lies under a window point of a
// view, sheet first, tools second, the nearest hit winning.
#pragma once

#include "render/CSceneDrawer.h"
#include "scene/CCamera.h"
#include "scene/CDataDisplay.h"

#include <array>
#include <functional>
#include <vector>

namespace quillmere {

class CSheetProfile;

struct PickScene {
    const CSheetProfile* sheet = nullptr;
    const CToolList* tools = nullptr;
    bool sheetShown = true;
};

class CScenePicker {
public:
    // Picks at window point (x, y) (pixels, y downwards) in the given mode;
    // fills record and the outline of the marker in window pixels. False
    // when nothing is hit; the record is then left as it was.
    bool Pick(CSceneDrawer& drawer, const CCamera& camera, const FrameState& frame, const PickScene& scene,
              int x, int y, int mode, CDataDisplay& record, std::vector<std::array<int, 2>>& outline);

    // The window position (pixels, y downwards) of a model point, with the
    // unprojection camera; the depth is stored in depth when not null.
    static std::array<double, 2> Project(const CCamera& camera, const FrameState& frame,
                                         const CCoordinate& point, double* depth = nullptr);
    // The model point under a window point at a window depth.
    static CCoordinate Unproject(const CCamera& camera, const FrameState& frame, double x, double y,
                                 double depth);

private:
    // Runs one selection pass over what draw sends; the name of the nearest
    // hit, or -1.
    long long Select(const std::function<void()>& draw, const CCamera& camera, const FrameState& frame, int x,
                     int y);

    std::vector<unsigned> buffer;
};

} // namespace quillmere
