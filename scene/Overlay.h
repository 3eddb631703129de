// The overlays a view draws over its frame in window pixels: the cut
// window's cross-hair, and what the view's own gestures leave (the zoom box,
// the measurement's markers and line, the pick highlight).
#pragma once

namespace quillmere {

enum class Overlay { CutMark, ZoomBox, FirstPoint, SecondPoint, MeasurementLine, PickHighlight, Count };

} // namespace quillmere
