#include "config/DisplaySettings.h"

#include <algorithm>
#include <utility>

namespace {

using Line = DisplayLine;
using Kind = DisplayFieldKind;

template <typename T> using Member = T DisplaySettings::*;

DisplayField Int(const char* name, Kind kind, Line line, Member<int> member) {
    return {name, kind, line, -1, [member](DisplaySettings& s) -> int& { return s.*member; }, {}};
}

DisplayField Real(const char* name, Line line, Member<double> member) {
    return {name, Kind::Opacity, line, -1, {}, [member](DisplaySettings& s) -> double& { return s.*member; }};
}

std::vector<DisplayField> MakeFields() {
    std::vector<DisplayField> fields;
    struct ToolField {
        const char* name;
        Kind kind;
        int ToolDisplay::*integer;
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
            const auto member = field.integer;
            fields.push_back({prefix + field.name,
                              field.kind,
                              Line::Tool,
                              slot,
                              [index, member](DisplaySettings& s) -> int& { return s.tools[index].*member; },
                              {}});
        }
        fields.push_back(
            {prefix + "Opacity", Kind::Opacity, Line::Tool, slot, {}, [index](DisplaySettings& s) -> double& {
                 return s.tools[index].opacity;
             }});
    }
    using S = DisplaySettings;
    for (DisplayField& field : std::vector<DisplayField>{
             Int("sheetShown", Kind::Toggle, Line::Grid, &S::sheetShown),
             Int("sheetDisplayMode", Kind::Mode, Line::Grid, &S::sheetDisplayMode),
             Int("fixedNodesShown", Kind::Toggle, Line::Grid, &S::fixedNodesShown),
             Int("clampedNodesShown", Kind::Toggle, Line::Grid, &S::clampedNodesShown),
             Int("boundaryNodesShown", Kind::Toggle, Line::Grid, &S::boundaryNodesShown),
             Int("fixedNodeColour", Kind::Colour, Line::Grid, &S::fixedNodeColour),
             Int("clampedNodeColour", Kind::Colour, Line::Grid, &S::clampedNodeColour),
             Int("boundaryNodeColour", Kind::Colour, Line::Grid, &S::boundaryNodeColour),
             Int("sheetEdgeColour", Kind::Colour, Line::Grid, &S::sheetEdgeColour),
             Int("sheetColour", Kind::Colour, Line::Grid, &S::sheetColour),
             Int("noPressureNodesShown", Kind::Toggle, Line::Grid, &S::noPressureNodesShown),
             Real("sheetOpacity", Line::Grid, &S::sheetOpacity),
             Int("nodeDotsShown", Kind::Toggle, Line::Grid, &S::nodeDotsShown),
             Int("distanceMeasurement", Kind::Toggle, Line::Grid, &S::distanceMeasurement),
             Int("continualRotation", Kind::Toggle, Line::Grid, &S::continualRotation),
             Int("backgroundScheme", Kind::Mode, Line::Background, &S::backgroundScheme),
             Int("backgroundColour", Kind::Colour, Line::Background, &S::backgroundColour),
             Int("backgroundTop", Kind::Colour, Line::Background, &S::backgroundTop),
             Int("backgroundBottom", Kind::Colour, Line::Background, &S::backgroundBottom),
             Int("noPressureNodeColour", Kind::Colour, Line::None, &S::noPressureNodeColour),
             Int("reducedDrawingThreshold", Kind::Count, Line::None, &S::reducedDrawingThreshold)})
        fields.push_back(std::move(field));
    for (size_t corner = 0; corner < 4; ++corner)
        fields.insert(fields.end() - 2,
                      {"backgroundCorner" + std::to_string(corner),
                       Kind::Colour,
                       Line::Background,
                       -1,
                       [corner](DisplaySettings& s) -> int& { return s.backgroundCorners[corner]; },
                       {}});
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
