#include "config/DisplaySettings.h"

#include <algorithm>
#include <utility>

namespace {

using Kind = DisplayFieldKind;
using Line = DisplayLine;
using S = DisplaySettings;

std::vector<DisplayField> MakeFields() {
    std::vector<DisplayField> fields;
    const auto add = [&fields](std::string name, Kind kind, Line line, int DisplaySettings::*member) {
        fields.push_back({std::move(name), kind, line, -1, [member](S& s) -> int& { return s.*member; }, {}});
    };

    struct ToolField {
        const char* name;
        Kind kind;
        int ToolDisplay::*member;
    };
    const ToolField tool[] = {{"Mode", Kind::Mode, &ToolDisplay::mode},
                              {"Shown", Kind::Toggle, &ToolDisplay::shown},
                              {"ContactMarking", Kind::Toggle, &ToolDisplay::contactMarking},
                              {"SurfaceColour", Kind::Colour, &ToolDisplay::surfaceColour},
                              {"ContactColour", Kind::Colour, &ToolDisplay::contactColour},
                              {"WireColour", Kind::Colour, &ToolDisplay::wireColour}};
    for (int slot = 0; slot < kToolSlots; ++slot) {
        const auto index = static_cast<size_t>(slot);
        const std::string prefix = "tool" + std::to_string(slot);
        for (const ToolField& field : tool) {
            const auto member = field.member;
            fields.push_back({prefix + field.name,
                              field.kind,
                              Line::Tool,
                              slot,
                              [index, member](S& s) -> int& { return s.tools[index].*member; },
                              {}});
        }
        fields.push_back({prefix + "Opacity", Kind::Opacity, Line::Tool, slot, {}, [index](S& s) -> double& {
                              return s.tools[index].opacity;
                          }});
    }

    add("sheetShown", Kind::Toggle, Line::Grid, &S::sheetShown);
    add("sheetDisplayMode", Kind::Mode, Line::Grid, &S::sheetDisplayMode);
    add("fixedNodesShown", Kind::Toggle, Line::Grid, &S::fixedNodesShown);
    add("clampedNodesShown", Kind::Toggle, Line::Grid, &S::clampedNodesShown);
    add("boundaryNodesShown", Kind::Toggle, Line::Grid, &S::boundaryNodesShown);
    add("fixedNodeColour", Kind::Colour, Line::Grid, &S::fixedNodeColour);
    add("clampedNodeColour", Kind::Colour, Line::Grid, &S::clampedNodeColour);
    add("boundaryNodeColour", Kind::Colour, Line::Grid, &S::boundaryNodeColour);
    add("sheetEdgeColour", Kind::Colour, Line::Grid, &S::sheetEdgeColour);
    add("sheetColour", Kind::Colour, Line::Grid, &S::sheetColour);
    add("noPressureNodesShown", Kind::Toggle, Line::Grid, &S::noPressureNodesShown);
    fields.push_back(
        {"sheetOpacity", Kind::Opacity, Line::Grid, -1, {}, [](S& s) -> double& { return s.sheetOpacity; }});
    add("nodeDotsShown", Kind::Toggle, Line::Grid, &S::nodeDotsShown);
    add("distanceMeasurement", Kind::Toggle, Line::Grid, &S::distanceMeasurement);
    add("continualRotation", Kind::Toggle, Line::Grid, &S::continualRotation);

    add("backgroundScheme", Kind::Mode, Line::Background, &S::backgroundScheme);
    add("backgroundColour", Kind::Colour, Line::Background, &S::backgroundColour);
    add("backgroundTop", Kind::Colour, Line::Background, &S::backgroundTop);
    add("backgroundBottom", Kind::Colour, Line::Background, &S::backgroundBottom);
    for (size_t corner = 0; corner < 4; ++corner)
        fields.push_back({"backgroundCorner" + std::to_string(corner),
                          Kind::Colour,
                          Line::Background,
                          -1,
                          [corner](S& s) -> int& { return s.backgroundCorners[corner]; },
                          {}});

    add("noPressureNodeColour", Kind::Colour, Line::None, &S::noPressureNodeColour);
    add("reducedDrawingThreshold", Kind::Count, Line::None, &S::reducedDrawingThreshold);
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
