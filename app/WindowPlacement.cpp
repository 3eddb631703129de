#include "app/WindowPlacement.h"

#include "core/TextFormat.h"

#include <cstdio>

namespace quillmere {

std::string FormatWindowPlacement(const WindowPlacement& p) {
    return FormatText("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.showCommand, p.minimisedX, p.minimisedY,
                      p.maximisedX, p.maximisedY, p.left, p.top, p.right, p.bottom);
}

bool ParseWindowPlacement(const std::string& text, WindowPlacement& placement) {
    WindowPlacement p;
    if (ScanText(text.c_str(), "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", &p.flags, &p.showCommand, &p.minimisedX,
                 &p.minimisedY, &p.maximisedX, &p.maximisedY, &p.left, &p.top, &p.right, &p.bottom) != 10)
        return false;
    placement = p;
    return true;
}

} // namespace quillmere
