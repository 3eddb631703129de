// The user-visible texts of the data tip and the distance measurement,
// exactly as the program shows them.
#pragma once

namespace quillmere {

namespace inspectTexts {

constexpr const char* Inch = "inch";
constexpr const char* NodeFlags = "Node flags: ";
constexpr const char* ToolInContact = "Tool in contact: ";
constexpr const char* Clamped = "[Clamped] ";
constexpr const char* Fixed = "[Fixed] ";
constexpr const char* Boundary = "[Boundary] ";
constexpr const char* NoPressure = "[No pressure] ";
constexpr const char* NoTool = "[None]";

constexpr const char* MeasurementTitle = "Distance measurement details:";
constexpr const char* StartPoint = "Start point position";
constexpr const char* EndPoint = "End point position";
constexpr const char* LinearDistance = "Linear distance";

} // namespace inspectTexts

} // namespace quillmere
