#include "export/GltfModel.h"

#include "config/DisplaySettings.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "export/GlbFile.h"
#include "export/GltfJson.h"
#include "model/CMoldProfile.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"
#include "scale/Comparison.h"
#include "scale/NodalValues.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace quillmere {

namespace {

using namespace gltf;

// glTF allows no NaN: a node without a value holds this.
constexpr float kNoValue = std::numeric_limits<float>::lowest();
constexpr size_t kGrain = 16384;

// An opacity of the display settings as glTF's alpha.
double Fraction(double value) {
    return value >= 1 ? 1 : value > 0 ? value : 0;
}

// 0x00BBGGRR as linear red, green, blue and alpha.
std::array<double, 4> LinearColour(int colour, double alpha) {
    return {LinearFromSrgb(static_cast<uint8_t>(colour & 0xFF)),
            LinearFromSrgb(static_cast<uint8_t>((colour >> 8) & 0xFF)),
            LinearFromSrgb(static_cast<uint8_t>((colour >> 16) & 0xFF)), Fraction(alpha)};
}

std::array<double, 4> LinearColour(const RgbColour& colour, double alpha) {
    return {LinearFromSrgb(colour.red), LinearFromSrgb(colour.green), LinearFromSrgb(colour.blue),
            Fraction(alpha)};
}

// "_THICKNESS", "_VON_MISES_STRESS", "_L1_L2": the quantity's words in
// capitals.
std::string AttributeName(ResultQuantity quantity) {
    std::string name = "_";
    for (const char* c = QuantityOf(quantity).helpWord; *c; ++c) {
        const unsigned char letter = static_cast<unsigned char>(*c);
        if (std::isalnum(letter))
            name += static_cast<char>(std::toupper(letter));
        else if (name.back() != '_')
            name += '_';
    }
    return name;
}

// The sheet's coordinates as the file's floats; a point that is not finite
// becomes the origin, and its elements empty triangles.
bool FinitePoint(const CCoordinate& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

std::array<float, 3> FilePoint(const CCoordinate& p) {
    if (!FinitePoint(p))
        return {0, 0, 0};
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

// 16-bit indices while every vertex has one; 65535 is no index (it restarts
// primitives elsewhere).
bool WideIndices(size_t vertices) {
    return vertices > 65535;
}

int IndexComponent(bool wide) {
    return wide ? kUnsignedInt : kUnsignedShort;
}

template <typename T> void Store(void* out, size_t index, T value) {
    std::memcpy(static_cast<char*>(out) + index * sizeof value, &value, sizeof value);
}

void StoreIndex(void* out, size_t index, uint32_t value, bool wide) {
    if (wide)
        Store(out, index, value);
    else
        Store(out, index, static_cast<uint16_t>(value));
}

// What the sheet's runs are filled from; it outlives the writing.
struct SheetData {
    const CSheetProfile* sheet = nullptr;
    NodeColouring colouring;
    bool coloured = false;   // COLOR_0 from the colouring's indices
    bool difference = false; // the colouring's values are differences
    std::array<std::array<uint8_t, 4>, ColourRamp::Size + 1> palette{}; // linear, by index
    std::array<float, 3> minimum{}, maximum{};
    bool everyPointFinite = true; // no element needs its corners checked
    // With a minimum wall: by element, 1 when it is thinner (its triangle is
    // then empty in the sheet's colours), and those drawn in its colour.
    std::vector<uint8_t> belowWall;
    std::vector<uint32_t> wallElements;
};

// The nodes' views: the position, the colour when coloured, every
// quantity's values and the difference when comparing.
GlbRun NodeRun(const SheetData& data) {
    const CSheetProfile& sheet = *data.sheet;
    GlbRun run;
    run.count = static_cast<size_t>(sheet.NodeCount());
    run.elementSizes = {12};
    if (data.coloured)
        run.elementSizes.push_back(4);
    for (size_t i = 0; i < ValueQuantities().size() + (data.difference ? 1 : 0); ++i)
        run.elementSizes.push_back(4);
    run.fill = [&data](size_t first, size_t count, void* const* outs) {
        const CSheetProfile& shown = *data.sheet;
        const CCoordinate* points = shown.CurrentCoordinateArray() + first + 1;
        for (size_t i = 0; i < count; ++i)
            std::memcpy(static_cast<char*>(outs[0]) + 12 * i, FilePoint(points[i]).data(), 12);
        size_t view = 1;
        if (data.coloured) {
            const uint8_t* indices = data.colouring.indices.data() + first + 1;
            for (size_t i = 0; i < count; ++i)
                std::memcpy(static_cast<char*>(outs[view]) + 4 * i,
                            data.palette[std::min<size_t>(indices[i], ColourRamp::Size)].data(), 4);
            ++view;
        }
        auto store = [](void* out, size_t i, double value) {
            Store(out, i, std::isfinite(value) ? static_cast<float>(value) : kNoValue);
        };
        std::vector<double> values(count * ValueQuantities().size());
        EveryQuantity columns;
        for (size_t column = 0; column < columns.size(); ++column)
            columns[column] = values.data() + column * count;
        FillEveryQuantity(shown, first + 1, first + count + 1, columns);
        for (size_t column = 0; column < columns.size(); ++column, ++view)
            for (size_t i = 0; i < count; ++i)
                store(outs[view], i, columns[column][i]);
        if (data.difference)
            for (size_t i = 0; i < count; ++i)
                store(outs[view], i, data.colouring.values[first + 1 + i]);
    };
    return run;
}

bool FiniteElement(const CSheetProfile& sheet, size_t element) {
    const ElementNodes& corners = sheet.Mesh().NodeArray()[element];
    const CCoordinate* points = sheet.CurrentCoordinateArray();
    return FinitePoint(points[corners[0]]) && FinitePoint(points[corners[1]]) &&
           FinitePoint(points[corners[2]]);
}

// Triangle e is element e; one with a corner that is not a finite point, or
// drawn in the minimum wall's colour, is empty.
GlbRun TriangleRun(const SheetData& data) {
    const CSheetProfile& sheet = *data.sheet;
    const bool wide = WideIndices(static_cast<size_t>(sheet.NodeCount()));
    GlbRun run;
    run.count = static_cast<size_t>(sheet.ElementCount());
    run.elementSizes = {wide ? size_t(12) : size_t(6)};
    run.fill = [&sheet, wide, checked = !data.everyPointFinite,
                below = data.belowWall.empty() ? nullptr : data.belowWall.data()](size_t first, size_t count,
                                                                                  void* const* outs) {
        const ElementNodes* corners = sheet.Mesh().NodeArray() + first;
        for (size_t i = 0; i < count; ++i) {
            const ElementNodes& element = corners[i];
            const bool drawn = (!checked || FiniteElement(sheet, first + i)) && !(below && below[first + i]);
            for (size_t corner = 0; corner < 3; ++corner)
                StoreIndex(outs[0], 3 * i + corner, drawn ? static_cast<uint32_t>(element[corner] - 1) : 0,
                           wide);
        }
    };
    return run;
}

// The triangles of the elements thinner than the minimum wall, in element
// order.
GlbRun WallTriangleRun(const SheetData& data) {
    const CSheetProfile& sheet = *data.sheet;
    const bool wide = WideIndices(static_cast<size_t>(sheet.NodeCount()));
    GlbRun run;
    run.count = data.wallElements.size();
    run.elementSizes = {wide ? size_t(12) : size_t(6)};
    run.fill = [&sheet, wide, elements = data.wallElements.data()](size_t first, size_t count,
                                                                   void* const* outs) {
        const ElementNodes* corners = sheet.Mesh().NodeArray();
        for (size_t i = 0; i < count; ++i)
            for (size_t corner = 0; corner < 3; ++corner)
                StoreIndex(outs[0], 3 * i + corner,
                           static_cast<uint32_t>(corners[elements[first + i]][corner] - 1), wide);
    };
    return run;
}

// The elements the view draws in the minimum wall's colour: those thinner
// than it with every corner a finite point.
void FindWallElements(SheetData& data, double wall) {
    const CSheetProfile& sheet = *data.sheet;
    const size_t elements = static_cast<size_t>(sheet.ElementCount());
    const CElementDerived* derived = sheet.Derived().elements.data();
    data.belowWall.assign(elements, 0);
    for (size_t e = 0; e < elements; ++e)
        if (BelowWall(derived[e].Thickness, wall) && (data.everyPointFinite || FiniteElement(sheet, e))) {
            data.belowWall[e] = 1;
            data.wallElements.push_back(static_cast<uint32_t>(e));
        }
    if (data.wallElements.empty())
        data.belowWall.clear();
}

void Bounds(SheetData& data) {
    struct Box {
        std::array<float, 3> low, high;
        bool finite;
    };
    const float huge = std::numeric_limits<float>::max();
    const Box none{{huge, huge, huge}, {-huge, -huge, -huge}, true};
    const CCoordinate* points = data.sheet->CurrentCoordinateArray() + 1;
    const Box box = parallel::ReduceBlocks(
        static_cast<size_t>(data.sheet->NodeCount()), kGrain, none,
        [points, &none](size_t first, size_t last) {
            Box part = none;
            for (size_t i = first; i < last; ++i) {
                part.finite = part.finite && FinitePoint(points[i]);
                const std::array<float, 3> p = FilePoint(points[i]);
                for (size_t k = 0; k < 3; ++k) {
                    part.low[k] = std::min(part.low[k], p[k]);
                    part.high[k] = std::max(part.high[k], p[k]);
                }
            }
            return part;
        },
        [](const Box& a, const Box& b) {
            Box joined;
            joined.finite = a.finite && b.finite;
            for (size_t k = 0; k < 3; ++k) {
                joined.low[k] = std::min(a.low[k], b.low[k]);
                joined.high[k] = std::max(a.high[k], b.high[k]);
            }
            return joined;
        });
    data.minimum = box.low;
    data.maximum = box.high;
    data.everyPointFinite = box.finite;
}

// The ramp's colours as the bar shows them: an unlit model needs none of the
// darkening that offsets the view's lighting.
void FillPalette(SheetData& data, const ColourRamp& ramp) {
    for (int index = 0; index <= ColourRamp::Size; ++index) {
        const RgbColour entry = ramp.Entry(index);
        const std::array<double, 4> linear = LinearColour(entry, 1);
        for (size_t k = 0; k < 4; ++k)
            data.palette[static_cast<size_t>(index)][k] = static_cast<uint8_t>(std::lround(255 * linear[k]));
    }
}

// The sheet's mesh, its material and a node for it and for each of its
// mirror images; gives the nodes.
std::vector<int> AddSheet(CGltfBuilder& model, SheetData& data, const GltfSource& source) {
    const CSheetProfile& sheet = *data.sheet;
    const Presentation& shown = *source.shown;
    const DisplaySettings& settings = *source.settings;
    if (sheet.NodeCount() <= 0 || sheet.ElementCount() <= 0)
        return {};
    ColourPresented(sheet, shown, data.colouring);
    data.coloured = shown.quantity != ResultQuantity::None;
    data.difference = data.coloured && shown.Difference();
    FillPalette(data, *shown.ramp);
    Bounds(data);
    if (shown.minimumWall.Shown())
        FindWallElements(data, shown.minimumWall.share.wall);

    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    GlbRun nodeRun = NodeRun(data);
    const std::vector<int> targets(nodeRun.elementSizes.size(), kArrayBuffer);
    const size_t nodeViews = model.AddRun(std::move(nodeRun), targets);
    size_t view = nodeViews;
    const double low[3] = {data.minimum[0], data.minimum[1], data.minimum[2]};
    const double high[3] = {data.maximum[0], data.maximum[1], data.maximum[2]};
    const std::string position =
        "\"POSITION\":" +
        std::to_string(model.AddAccessor(view++, kFloat, nodes, "VEC3",
                                         ",\"min\":" + Numbers(low, 3) + ",\"max\":" + Numbers(high, 3)));
    std::string colour;
    if (data.coloured)
        colour = ",\"COLOR_0\":" + std::to_string(model.AddAccessor(view++, kUnsignedByte, nodes, "VEC4",
                                                                    ",\"normalized\":true"));
    std::string values;
    const std::string noValue = ",\"extras\":{\"noValue\":" + Number(kNoValue) + "}";
    for (ResultQuantity quantity : ValueQuantities())
        values += "," + Quoted(AttributeName(quantity)) + ":" +
                  std::to_string(model.AddAccessor(view++, kFloat, nodes, "SCALAR", noValue));
    if (data.difference)
        values += "," + Quoted("_DELTA" + AttributeName(shown.quantity)) + ":" +
                  std::to_string(model.AddAccessor(view++, kFloat, nodes, "SCALAR", noValue));

    const size_t triangleView = model.AddRun(TriangleRun(data), {kElementArrayBuffer});
    const int indices = model.AddAccessor(triangleView, IndexComponent(WideIndices(nodes)),
                                          3 * static_cast<size_t>(sheet.ElementCount()), "SCALAR");
    const std::array<double, 4> base = data.coloured
                                           ? std::array<double, 4>{1, 1, 1, Fraction(settings.sheetOpacity)}
                                           : LinearColour(settings.sheetColour, settings.sheetOpacity);
    const int material = model.AddMaterial(Material("Sheet", base, true));
    auto primitive = [](const std::string& attributes, int triangles, int look) {
        return "{\"attributes\":{" + attributes + "},\"indices\":" + std::to_string(triangles) +
               ",\"material\":" + std::to_string(look) + ",\"mode\":" + std::to_string(kTriangles) + "}";
    };
    std::string primitives = primitive(position + colour + values, indices, material);
    if (!data.wallElements.empty()) {
        // Without COLOR_0, which glTF multiplies into the material's colour.
        const size_t wallView = model.AddRun(WallTriangleRun(data), {kElementArrayBuffer});
        const int wallIndices = model.AddAccessor(wallView, IndexComponent(WideIndices(nodes)),
                                                  3 * data.wallElements.size(), "SCALAR");
        const int wallMaterial = model.AddMaterial(
            Material("Minimum wall", LinearColour(MinimumWallColour, settings.sheetOpacity), true));
        primitives += "," + primitive(position + values, wallIndices, wallMaterial);
    }
    const int mesh = model.AddMesh("{\"name\":\"Sheet\",\"primitives\":[" + primitives + "]}");
    std::vector<int> added = {model.AddNode("{\"name\":\"Sheet\",\"mesh\":" + std::to_string(mesh) + "}")};
    // A half or quarter model is shown whole: its images in the symmetry
    // planes share its mesh.
    const std::vector<AffineMap> images = SymmetryImages(sheet);
    for (size_t image = 1; image < images.size(); ++image)
        added.push_back(model.AddNode("{\"name\":" + Quoted(FormatText("Sheet, mirror image %zu", image)) +
                                      ",\"mesh\":" + std::to_string(mesh) + "," +
                                      NodeTransform(images[image]) + "}"));
    return added;
}

// A tool's faces as the file holds them: each face's vertices, its fan of
// triangles and its outline.
struct ToolData {
    std::vector<float> points;
    std::vector<uint32_t> triangles, lines;
};

ToolData ToolGeometry(const CMoldProfile& tool, bool shaded, bool wire) {
    ToolData data;
    for (const std::unique_ptr<CFace>& face : tool.Faces()) {
        const int count = face->VertexCount();
        if (count < 3)
            continue;
        const uint32_t first = static_cast<uint32_t>(data.points.size() / 3);
        for (int k = 0; k < count; ++k) {
            const std::array<float, 3> p = FilePoint(face->Vertex(k));
            data.points.insert(data.points.end(), p.begin(), p.end());
        }
        const uint32_t n = static_cast<uint32_t>(count);
        for (uint32_t k = 1; shaded && k + 1 < n; ++k)
            data.triangles.insert(data.triangles.end(), {first, first + k, first + k + 1});
        for (uint32_t k = 0; wire && k < n; ++k)
            data.lines.insert(data.lines.end(), {first + k, first + (k + 1) % n});
    }
    return data;
}

GlbRun CopyRun(const void* data, size_t count, size_t size) {
    GlbRun run;
    run.count = count;
    run.elementSizes = {size};
    run.fill = [data, size](size_t first, size_t elements, void* const* outs) {
        std::memcpy(outs[0], static_cast<const char*>(data) + first * size, elements * size);
    };
    return run;
}

GlbRun IndexRun(const std::vector<uint32_t>& indices, bool wide) {
    GlbRun run;
    run.count = indices.size();
    run.elementSizes = {wide ? size_t(4) : size_t(2)};
    run.fill = [&indices, wide](size_t first, size_t count, void* const* outs) {
        for (size_t i = 0; i < count; ++i)
            StoreIndex(outs[0], i, indices[first + i], wide);
    };
    return run;
}

// The shown tools, each a mesh of its own: its faces in the surface colour
// when shaded, its edges in the wire colour when drawn as a wire frame.
std::vector<int> AddTools(CGltfBuilder& model, std::vector<ToolData>& geometry, const GltfSource& source) {
    std::vector<int> added;
    if (!source.tools)
        return added;
    const auto& tools = *source.tools;
    geometry.reserve(tools.size()); // the runs keep pointers into it
    for (size_t slot = 0; slot < tools.size() && slot < source.settings->tools.size(); ++slot) {
        const ToolDisplay& display = source.settings->tools[slot];
        const bool shaded = display.mode == 0 || display.mode == 2;
        const bool wire = display.mode == 1 || display.mode == 2;
        if (!tools[slot] || !display.shown || (!shaded && !wire))
            continue;
        geometry.push_back(ToolGeometry(*tools[slot], shaded, wire));
        const ToolData& data = geometry.back();
        const size_t vertices = data.points.size() / 3;
        if (vertices == 0)
            continue;
        const std::string name = FormatText("Tool %zu", slot + 1);
        const bool wide = WideIndices(vertices);
        const int indexType = IndexComponent(wide);
        std::array<float, 3> low{}, high{};
        for (size_t k = 0; k < 3; ++k) {
            low[k] = high[k] = data.points[k];
            for (size_t i = k; i < data.points.size(); i += 3) {
                low[k] = std::min(low[k], data.points[i]);
                high[k] = std::max(high[k], data.points[i]);
            }
        }
        const double lowNumbers[3] = {low[0], low[1], low[2]}, highNumbers[3] = {high[0], high[1], high[2]};
        const int position = model.AddAccessor(
            model.AddRun(CopyRun(data.points.data(), vertices, 12), {kArrayBuffer}), kFloat, vertices, "VEC3",
            ",\"min\":" + Numbers(lowNumbers, 3) + ",\"max\":" + Numbers(highNumbers, 3));
        std::string primitives;
        auto primitive = [&](const std::vector<uint32_t>& indices, int mode, const std::string& material) {
            if (indices.empty())
                return;
            const int accessor =
                model.AddAccessor(model.AddRun(IndexRun(indices, wide), {kElementArrayBuffer}), indexType,
                                  indices.size(), "SCALAR");
            primitives += std::string(primitives.empty() ? "" : ",") +
                          "{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                          "},\"indices\":" + std::to_string(accessor) +
                          ",\"material\":" + std::to_string(model.AddMaterial(material)) +
                          ",\"mode\":" + std::to_string(mode) + "}";
        };
        primitive(data.triangles, kTriangles,
                  Material(name, LinearColour(display.surfaceColour, display.opacity), false));
        primitive(data.lines, kLines,
                  Material(name + " wire frame", LinearColour(display.wireColour, display.opacity), true));
        const int mesh = model.AddMesh("{\"name\":" + Quoted(name) + ",\"primitives\":[" + primitives + "]}");
        added.push_back(
            model.AddNode("{\"name\":" + Quoted(name) + ",\"mesh\":" + std::to_string(mesh) + "}"));
    }
    return added;
}

// What the colours show, for tools that read the file: the title, the
// limits and the colour bar's labels.
std::string SceneExtras(const Presentation& shown) {
    std::string extras = ",\"extras\":{\"title\":" + Quoted(shown.title);
    if (std::isfinite(shown.limits.minimum) && std::isfinite(shown.limits.maximum)) {
        const double limits[2] = {shown.limits.minimum, shown.limits.maximum};
        extras += ",\"limits\":" + Numbers(limits, 2);
    }
    if (!shown.labels.front().empty()) {
        extras += ",\"labels\":[";
        for (size_t i = 0; i < shown.labels.size(); ++i)
            extras += (i ? "," : "") + Quoted(shown.labels[i]);
        extras += "]";
    }
    return extras + "}";
}

} // namespace

double LinearFromSrgb(uint8_t component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

bool WriteGltfModel(const std::string& path, const GltfSource& source, Message& failure) {
    CGltfBuilder model;
    SheetData sheet;
    sheet.sheet = source.sheet;
    std::vector<int> children;
    if (source.sheet && source.shown && source.settings)
        children = AddSheet(model, sheet, source);
    std::vector<ToolData> geometry;
    if (source.settings)
        for (int node : AddTools(model, geometry, source))
            children.push_back(node);
    // The sheet's z is up, glTF's +Y: (x, y, z) becomes (x, z, -y), a turn
    // of -90 degrees about x.
    std::string root =
        "{\"name\":" + Quoted(source.name) + ",\"rotation\":[-0.70710678118654757,0,0,0.70710678118654757]";
    if (!children.empty()) {
        root += ",\"children\":[";
        for (size_t i = 0; i < children.size(); ++i)
            root += (i ? "," : "") + std::to_string(children[i] + 1);
        root += "]";
    }
    root += "}";
    const std::string json = model.Json(root, source.shown ? SceneExtras(*source.shown) : "");
    if (GlbFileLength(json.size(), model.Runs()) > UINT32_MAX) {
        failure = Message(MessageId::GlbTooLarge);
        return false;
    }
    failure = Message();
    return WriteGlbFile(path, json, model.Runs());
}

} // namespace quillmere
