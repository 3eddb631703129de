// The 3D model of what a view shows, as a binary glTF 2.0 file (.glb) that
// common viewers open: the sheet as one mesh in the view's colours (unlit,
// so that no lighting changes them), with every quantity's node values as
// attributes, its mirror images when it is a half or quarter model, and the
// shown tools in their display colours and opacity, the elements thinner
// than the view's minimum wall in its colour. Metres, +Y up.
#pragma once

#include "core/Messages.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillmere {

class CMoldProfile;
class CSheetProfile;
struct DisplaySettings;
struct Presentation;

struct GltfSource {
    // The sheet of the record shown, with the presentation of its view: the
    // quantity and the colours (of the differences while comparing).
    const CSheetProfile* sheet = nullptr;
    const Presentation* shown = nullptr;
    // The sheet's opacity and uniform colour, which tools are shown and in
    // which colours, mode and opacity.
    const DisplaySettings* settings = nullptr;
    // The tools by slot (CToolList) at the record's positions; null for
    // none.
    const std::vector<std::unique_ptr<CMoldProfile>>* tools = nullptr;
    // The root node's name, "cup.tfc, record 3".
    std::string name;
};

// glTF's colours are linear: an sRGB byte as a linear fraction.
double LinearFromSrgb(uint8_t component);

// Writes the model of source to path. Node n of the sheet is vertex n - 1
// and element e its triangle e. With a minimum wall, the elements thinner
// than it are empty there and make the mesh's second primitive, in the
// wall's colour. The node values are in the units `values`
// prints (m, degrees Celsius, MPa, ratios), a node without a value holding
// the lowest float (its accessor's extras name it). False when the file
// cannot be written, with the reason in failure when there is more to say
// than that (the model does not fit a .glb), empty otherwise; an old file of
// that name then stays as it was.
bool WriteGltfModel(const std::string& path, const GltfSource& source, Message& failure);

} // namespace quillmere
