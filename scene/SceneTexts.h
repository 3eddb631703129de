// The user-visible texts of the 3D view, exactly as the program shows them.
#pragma once

namespace quillmere {

namespace sceneTexts {

constexpr const char* PixelFormatFailed = "Pixel format failed:\n";
constexpr const char* GraphicalInitialisationFailed = "Graphical initilaization failed.";
constexpr const char* RenderingProblems = "Problems with rendering.";
constexpr const char* MeasurementInElementMode =
    "The distance measurement feature is not supported in the Element Info mode! Please, select the 3D "
    "Point Info or Node Info display mode for this measurement.";

} // namespace sceneTexts

} // namespace quillmere
