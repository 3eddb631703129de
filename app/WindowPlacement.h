// The main window's placement as the profile keeps it: ten numbers, "flags,
// show state, minimised x, y, maximised x, y, normal left, top, right,
// bottom".
#pragma once

#include <string>

namespace quillmere {

struct WindowPlacement {
    unsigned flags = 0;       // 2 when the window is maximised
    unsigned showCommand = 1; // 1 normal, 2 minimised, 3 maximised
    int minimisedX = -1, minimisedY = -1;
    int maximisedX = -1, maximisedY = -1;
    int left = 0, top = 0, right = 0, bottom = 0; // the normal rectangle
};

constexpr unsigned kPlacementMaximised = 2;
constexpr unsigned kShowNormal = 1, kShowMinimised = 2, kShowMaximised = 3;

std::string FormatWindowPlacement(const WindowPlacement& placement);
// True only when all ten fields are read.
bool ParseWindowPlacement(const std::string& text, WindowPlacement& placement);

} // namespace quillmere
