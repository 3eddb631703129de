// What one frame of a scene needs beyond its lists.
#pragma once

namespace quillmere {

struct FrameState {
    int width = 1, height = 1; // viewport: client or off-screen size
    bool motion = false;       // a drag is in progress
    bool clipActive = false;
    double clipPlanes[4][4] = {};
    bool zoomBoxMode = false;
    int sheetElementCount = 0;
    // The part of the frame drawn into the target, lower-left pixel first
    // (a tile of an image larger than the framebuffer); zero width: whole.
    int tileLeft = 0, tileBottom = 0, tileWidth = 0, tileHeight = 0;
};

} // namespace quillmere
