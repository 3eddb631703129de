#include "config/DisplaySettings.h"

#include <algorithm>
#include <utility>

namespace quillmere {

namespace {

using Kind = DisplayFieldKind;
using Line = DisplayLine;
using S = DisplaySettings;

// The fields of DisplaySettings itself; a line's in the order the file has
// them. The background corners follow, after the bottom colour.
struct NamedField {
    const char* name;
    Kind kind;
    Line line;
    int S::*integer;
    double S::*real;
};
const NamedField kNamedFields[] = {
    {"sheetShown", Kind::Toggle, Line::Grid, &S::sheetShown, nullptr},
    {"sheetDisplayMode", Kind::Mode, Line::Grid, nullptr, nullptr},
    {"fixedNodesShown", Kind::Toggle, Line::Grid, &S::fixedNodesShown, nullptr},
    {"clampedNodesShown", Kind::Toggle, Line::Grid, &S::clampedNodesShown, nullptr},
    {"boundaryNodesShown", Kind::Toggle, Line::Grid, &S::boundaryNodesShown, nullptr},
    {"fixedNodeColour", Kind::Colour, Line::Grid, &S::fixedNodeColour, nullptr},
    {"clampedNodeColour", Kind::Colour, Line::Grid, &S::clampedNodeColour, nullptr},
    {"boundaryNodeColour", Kind::Colour, Line::Grid, &S::boundaryNodeColour, nullptr},
    {"sheetEdgeColour", Kind::Colour, Line::Grid, &S::sheetEdgeColour, nullptr},
    {"sheetColour", Kind::Colour, Line::Grid, &S::sheetColour, nullptr},
    {"noPressureNodesShown", Kind::Toggle, Line::Grid, &S::noPressureNodesShown, nullptr},
    {"sheetOpacity", Kind::Opacity, Line::Grid, nullptr, &S::sheetOpacity},
    {"nodeDotsShown", Kind::Toggle, Line::Grid, &S::nodeDotsShown, nullptr},
    {"distanceMeasurement", Kind::Toggle, Line::Grid, &S::distanceMeasurement, nullptr},
    {"continualRotation", Kind::Toggle, Line::Grid, &S::continualRotation, nullptr},
    {"backgroundScheme", Kind::Mode, Line::Background, &S::backgroundScheme, nullptr},
    {"backgroundColour", Kind::Colour, Line::Background, &S::backgroundColour, nullptr},
    {"backgroundTop", Kind::Colour, Line::Background, &S::backgroundTop, nullptr},
    {"backgroundBottom", Kind::Colour, Line::Background, &S::backgroundBottom, nullptr},
    {"noPressureNodeColour", Kind::Colour, Line::None, &S::noPressureNodeColour, nullptr},
    {"reducedDrawingThreshold", Kind::Count, Line::None, &S::reducedDrawingThreshold, nullptr},
};

struct ToolField {
    const char* name;
    Kind kind;
    int ToolDisplay::*member;
};
const ToolField kToolFields[] = {{"Mode", Kind::Mode, &ToolDisplay::mode},
                                 {"Shown", Kind::Toggle, &ToolDisplay::shown},
                                 {"ContactMarking", Kind::Toggle, &ToolDisplay::contactMarking},
                                 {"SurfaceColour", Kind::Colour, &ToolDisplay::surfaceColour},
                                 {"ContactColour", Kind::Colour, &ToolDisplay::contactColour},
                                 {"WireColour", Kind::Colour, &ToolDisplay::wireColour}};

// A field of the integer that member(settings) is, for settings const or not.
template <typename Member>
DisplayField IntegerField(std::string name, Kind kind, Line line, int slot, Member member) {
    return {std::move(name),
            kind,
            line,
            slot,
            [member](const S& s) -> int { return member(s); },
            [member](S& s, int value) { member(s) = value; },
            nullptr};
}

// The sheet display mode is read and written as its number, whatever it is.
DisplayField SheetModeField(const NamedField& field) {
    return {field.name,
            field.kind,
            field.line,
            -1,
            [](const S& s) { return static_cast<int>(s.sheetDisplayMode); },
            [](S& s, int value) { s.sheetDisplayMode = static_cast<SheetDisplayMode>(value); },
            nullptr};
}

std::vector<DisplayField> MakeFields() {
    std::vector<DisplayField> fields;
    for (int slot = 0; slot < kToolSlots; ++slot) {
        const auto index = static_cast<size_t>(slot);
        const std::string prefix = "tool" + std::to_string(slot);
        for (const ToolField& field : kToolFields) {
            const auto member = field.member;
            fields.push_back(IntegerField(
                prefix + field.name, field.kind, Line::Tool, slot,
                [ index, member ](auto& s) -> auto& { return s.tools[index].*member; }));
        }
        fields.push_back(
            {prefix + "Opacity", Kind::Opacity, Line::Tool, slot, {}, {}, [index](S& s) -> double& {
                 return s.tools[index].opacity;
             }});
    }
    for (const NamedField& field : kNamedFields) {
        const auto integer = field.integer;
        const auto real = field.real;
        if (integer)
            fields.push_back(IntegerField(
                field.name, field.kind, field.line, -1, [integer](auto& s) -> auto& { return s.*integer; }));
        else if (real)
            fields.push_back({field.name, field.kind, field.line, -1, {}, {}, [real](S& s) -> double& {
                                  return s.*real;
                              }});
        else
            fields.push_back(SheetModeField(field));
    }
    for (size_t corner = 0; corner < 4; ++corner)
        fields.push_back(IntegerField(
            "backgroundCorner" + std::to_string(corner), Kind::Colour, Line::Background,
            -1, [corner](auto& s) -> auto& { return s.backgroundCorners[corner]; }));
    return fields;
}

} // namespace

const std::vector<DisplayField>& DisplayFields() {
    static const std::vector<DisplayField> fields = MakeFields();
    return fields;
}

const DisplayField* FindDisplayField(const std::string& name) {
    const std::vector<DisplayField>& fields = DisplayFields();
    const auto found =
        std::find_if(fields.begin(), fields.end(), [&name](const DisplayField& f) { return f.name == name; });
    return found == fields.end() ? nullptr : &*found;
}

void ToggleSheetShown(DisplaySettings& settings) {
    settings.sheetShown = !settings.sheetShown;
}

void ToggleToolShown(DisplaySettings& settings, int slot) {
    if (slot >= 0 && slot < kToolSlots) {
        ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
        tool.shown = !tool.shown;
    }
}

void StepToolDisplayMode(DisplaySettings& settings, int slot) {
    if (slot >= 0 && slot < kToolSlots) {
        ToolDisplay& tool = settings.tools[static_cast<size_t>(slot)];
        tool.mode = (tool.mode + 1) % 3;
    }
}

void ToggleNodeDots(DisplaySettings& settings) {
    settings.nodeDotsShown = !settings.nodeDotsShown;
}

void ToggleDistanceMeasurement(DisplaySettings& settings) {
    settings.distanceMeasurement = !settings.distanceMeasurement;
}

} // namespace quillmere
