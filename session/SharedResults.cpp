#include "session/SharedResults.h"

#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "model/CMoldProfile.h"
#include "model/CSheetProfile.h"
#include "model/FormingSummary.h"
#include "model/Reports.h"
#include "model/SheetMeans.h"
#include "scale/AllRecordLimits.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace quillmere {

namespace {

constexpr size_t kGrain = 16384;
// The data tip's numbers: coordinates, and the values of Thickness and
// Temperature by their quantities' formats.
constexpr const char* PointFormat = "%.3lf";
constexpr const char* StretchFormat = "%7.4lf";

// The width and decimals of a "%W.Dlf" format.
struct NumberShape {
    int width = 0, decimals = 0;
};

NumberShape ShapeOf(const char* format) {
    NumberShape shape;
    const char* at = format + 1;
    shape.width = static_cast<int>(std::strtol(at, const_cast<char**>(&at), 10));
    if (*at == '.')
        shape.decimals = static_cast<int>(std::strtol(at + 1, nullptr, 10));
    return shape;
}

// The numbers of an array that are no plain number as printed (nan, inf) or
// do not fit 32 bits, with their texts: the viewer shows those as they are.
class PrintedExceptions {
public:
    void Add(size_t index, const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        texts.emplace_back(index, text);
    }
    std::string Json() {
        std::sort(texts.begin(), texts.end());
        std::string json = "[";
        for (const auto& entry : texts)
            json +=
                FormatText("%s[%zu,", json.size() > 1 ? "," : "", entry.first) + JsonText(entry.second) + "]";
        return json + "]";
    }
    bool Empty() const { return texts.empty(); }

private:
    std::mutex mutex;
    std::vector<std::pair<size_t, std::string>> texts;
};

// A column of the data tip's numbers of one format, each as PrintedDigits
// gives it; those that print as no plain number kept as their text.
struct PrintedColumn {
    ShareArray array;
    const char* format;
    PrintedExceptions exceptions;

    PrintedColumn(const std::string& name, size_t count, int stride, const char* numberFormat)
        : format(numberFormat) {
        array.name = name;
        array.coding = ShareCoding::IntDeltas;
        array.stride = stride;
        array.ints.assign(count, 0);
    }
    void Set(size_t index, double value) {
        if (!PrintedDigits(format, value, array.ints[index])) {
            array.ints[index] = 0;
            exceptions.Add(index, FormatNumber(format, value));
        }
    }
};

// Model lengths are metres; the page's are the tip's, mm or inch.
double Length(const CConfiguration& configuration, double metres) {
    return configuration.LengthToDisplay(metres * 1000.0);
}

std::string HexColour(uint8_t red, uint8_t green, uint8_t blue) {
    return FormatText("\"#%02x%02x%02x\"", red, green, blue);
}

std::string HexColour(int bgr) {
    return HexColour(static_cast<uint8_t>(bgr & 255), static_cast<uint8_t>((bgr >> 8) & 255),
                     static_cast<uint8_t>((bgr >> 16) & 255));
}

std::string NumberShapeJson(const char* format) {
    const NumberShape shape = ShapeOf(format);
    return FormatText("{\"width\":%d,\"decimals\":%d}", shape.width, shape.decimals);
}

// The quantity line of the tip: its name before the number, its unit after.
std::string TipValueJson(ResultQuantity quantity, const CConfiguration& configuration) {
    const NumberShape shape = ShapeOf(QuantityOf(quantity).tipNumber);
    return FormatText("{\"label\":%s,\"unit\":%s,\"width\":%d,\"decimals\":%d}",
                      JsonText(std::string(QuantityName(quantity)) + ": ").c_str(),
                      JsonText(QuantityUnitSuffix(quantity, configuration)).c_str(), shape.width,
                      shape.decimals);
}

// The tip's texts, as inspect/DataTip.cpp writes its lines.
std::string TipJson(const CConfiguration& configuration) {
    const bool si = configuration.IsSIMetric();
    return "{\"node\":" + JsonText("Sheet - Node: ") + ",\"element\":" + JsonText("Sheet - Element: ") +
           ",\"pointSuffix\":" + JsonText(si ? " (mm)" : " (inch)") +
           ",\"point\":" + NumberShapeJson(PointFormat) +
           ",\"thickness\":" + TipValueJson(ResultQuantity::Thickness, configuration) +
           ",\"temperature\":" + TipValueJson(ResultQuantity::Temperature, configuration) +
           ",\"flags\":" + JsonText("Node flags: ") + ",\"clamped\":" + JsonText("[Clamped] ") +
           ",\"fixed\":" + JsonText("[Fixed] ") + ",\"boundary\":" + JsonText("[Boundary] ") +
           ",\"noPressure\":" + JsonText("[No pressure] ") + ",\"contact\":" + JsonText("Tool in contact: ") +
           ",\"noTool\":" + JsonText("[None]") + ",\"stretches\":[" + JsonText("L1 = ") + "," +
           JsonText(" L2 = ") + "],\"stretch\":" + NumberShapeJson(StretchFormat) + "}";
}

// The mesh: the triangles' nodes (from 0), and each node's fixed (bit 0)
// and boundary (bit 1) marks, which no record changes.
ShareBlock MeshBlock(const CSheetProfile& sheet) {
    ShareBlock block{"mesh", {}};
    const size_t elements = static_cast<size_t>(sheet.ElementCount());
    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    ShareArray triangles{"triangles", ShareCoding::IntDeltas, 3, {}, std::vector<int32_t>(3 * elements)};
    const ElementNodes* corners = sheet.Mesh().NodeArray();
    for (size_t e = 0; e < elements; ++e)
        for (size_t corner = 0; corner < 3; ++corner)
            triangles.ints[3 * e + corner] = corners[e][corner] - 1;
    ShareArray marks{"nodeMarks", ShareCoding::ByteDeltas, 1, std::vector<uint8_t>(nodes), {}};
    for (size_t i = 0; i < nodes; ++i) {
        const int code = sheet.Mesh().NodeCode(static_cast<int>(i + 1));
        marks.bytes[i] = static_cast<uint8_t>((code > 2 ? 1 : 0) | (code == 1 ? 2 : 0));
    }
    block.arrays.push_back(std::move(triangles));
    block.arrays.push_back(std::move(marks));
    return block;
}

// The tools' faces as triangles (fans of their polygons), in thousandths of
// the length unit at the first record shown; a record moves them whole.
void AddToolArrays(ShareBlock& block, const CToolList& tools, const CConfiguration& configuration) {
    for (size_t slot = 0; slot < tools.size(); ++slot) {
        if (!tools[slot])
            continue;
        PrintedColumn column(FormatText("tool%zu", slot), 0, 3, PointFormat);
        std::vector<double> corners;
        for (const auto& face : tools[slot]->Faces())
            for (int v = 2; v < face->VertexCount(); ++v)
                for (int corner : {0, v - 1, v})
                    for (double metres :
                         {face->Vertex(corner).x, face->Vertex(corner).y, face->Vertex(corner).z})
                        corners.push_back(Length(configuration, metres));
        column.array.ints.resize(corners.size());
        for (size_t i = 0; i < corners.size(); ++i)
            column.Set(i, corners[i]);
        block.arrays.push_back(std::move(column.array));
    }
}

// Where tool slot's first vertex is, or none.
bool ToolAnchor(const CToolList& tools, size_t slot, CCoordinate& anchor) {
    if (slot >= tools.size() || !tools[slot] || tools[slot]->Faces().empty())
        return false;
    anchor = tools[slot]->Faces().front()->Vertex(0);
    return true;
}

struct RecordData {
    ShareBlock block;
    std::string texts;  // JSON: the numbers printed as no plain number, by array
    std::string labels; // JSON: per quantity its five labels
    std::string tools;  // JSON: per tool its offset from the first record shown
    std::array<double, 6> box{};
};

// The data tip's numbers of each node: its position, its thickness and
// temperature, and its flags (clamped, no pressure, and the first tool in
// contact + 1 above).
void FillNodeColumns(const CSheetProfile& sheet, const CConfiguration& configuration,
                     PrintedColumn& positions, PrintedColumn& thickness, PrintedColumn& temperature,
                     ShareArray& flags) {
    parallel::ForBlocks(static_cast<size_t>(sheet.NodeCount()), kGrain, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const int node = static_cast<int>(i + 1);
            const CCoordinate& point = sheet.CurrentCoordinate(node);
            positions.Set(3 * i, Length(configuration, point.x));
            positions.Set(3 * i + 1, Length(configuration, point.y));
            positions.Set(3 * i + 2, Length(configuration, point.z));
            thickness.Set(i, QuantityToDisplay(ResultQuantity::Thickness, NodeAverageThickness(sheet, node),
                                               configuration));
            temperature.Set(i, QuantityToDisplay(ResultQuantity::Temperature,
                                                 NodeAverageTemperature(sheet, node), configuration));
            int tool = 0;
            for (int slot = 0; slot < kToolSlots && tool == 0; ++slot)
                if (sheet.Values().ContactFlag(node, slot) == 0)
                    tool = slot + 1;
            flags.bytes[i] = static_cast<uint8_t>((sheet.Values().IsClamped(node) ? 1 : 0) |
                                                  (sheet.Values().HasNoPressure(node) ? 2 : 0) | (tool << 4));
        }
    });
}

// The data tip's numbers of each element: its thickness, its temperature and
// its two principal stretches.
void FillElementColumns(const CSheetProfile& sheet, const CConfiguration& configuration,
                        PrintedColumn& thickness, PrintedColumn& temperature, PrintedColumn& stretch1,
                        PrintedColumn& stretch2) {
    parallel::ForBlocks(static_cast<size_t>(sheet.ElementCount()), kGrain, [&](size_t first, size_t last) {
        for (size_t e = first; e < last; ++e) {
            thickness.Set(e, QuantityToDisplay(ResultQuantity::Thickness,
                                               sheet.Derived().elements[e].Thickness, configuration));
            temperature.Set(e, QuantityToDisplay(ResultQuantity::Temperature,
                                                 sheet.Values().elements[e].Temperature, configuration));
            const PrincipalStretches stretches = ElementStretches(sheet, e);
            stretch1.Set(e, stretches.lambda1);
            stretch2.Set(e, stretches.lambda2);
        }
    });
}

// The data tip's numbers of the record into its block, the positions first
// and the node flags last, and the texts of those that print as no plain
// number (JSON, by array).
std::string AddTipNumbers(ShareBlock& block, const CSheetProfile& sheet,
                          const CConfiguration& configuration) {
    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    const size_t elements = static_cast<size_t>(sheet.ElementCount());
    const char* thicknessFormat = QuantityOf(ResultQuantity::Thickness).tipNumber;
    const char* temperatureFormat = QuantityOf(ResultQuantity::Temperature).tipNumber;
    PrintedColumn positions("positions", 3 * nodes, 3, PointFormat);
    PrintedColumn nodeThickness("nodeThickness", nodes, 1, thicknessFormat),
        nodeTemperature("nodeTemperature", nodes, 1, temperatureFormat);
    ShareArray nodeFlags{"nodeFlags", ShareCoding::ByteDeltas, 1, std::vector<uint8_t>(nodes), {}};
    FillNodeColumns(sheet, configuration, positions, nodeThickness, nodeTemperature, nodeFlags);
    PrintedColumn elementThickness("elementThickness", elements, 1, thicknessFormat),
        elementTemperature("elementTemperature", elements, 1, temperatureFormat),
        stretch1("stretch1", elements, 1, StretchFormat), stretch2("stretch2", elements, 1, StretchFormat);
    FillElementColumns(sheet, configuration, elementThickness, elementTemperature, stretch1, stretch2);
    std::string texts = "{";
    for (PrintedColumn* column : {&positions, &nodeThickness, &nodeTemperature, &elementThickness,
                                  &elementTemperature, &stretch1, &stretch2}) {
        if (!column->exceptions.Empty())
            texts += (texts.size() > 1 ? "," : "") + JsonText(column->array.name) + ":" +
                     column->exceptions.Json();
        if (column != &positions)
            block.arrays.push_back(std::move(column->array));
    }
    texts += "}";
    block.arrays.insert(block.arrays.begin(), std::move(positions.array));
    block.arrays.push_back(std::move(nodeFlags));
    return texts;
}

// Each quantity's colours into the block and its labels (JSON), as the scale
// panel shows them.
std::string AddQuantityColours(ShareBlock& block, const CSheetProfile& sheet, const CProjectProfile& project,
                               const ShareRequest& request, const CConfiguration& configuration) {
    std::string labels = "[";
    NodeColouring colouring;
    for (ResultQuantity quantity : request.quantities) {
        const Presentation shown = MakePresentation(
            {&sheet, quantity, request.limits, nullptr, project.CurrentRecord(), &configuration});
        ColourPresented(sheet, shown, colouring);
        ShareArray colours{FormatText("colours%d", QuantityNumber(quantity)),
                           ShareCoding::ByteDeltas,
                           1,
                           std::vector<uint8_t>(colouring.indices.begin() + 1, colouring.indices.end()),
                           {}};
        block.arrays.push_back(std::move(colours));
        labels += labels.size() > 1 ? ",[" : "[";
        for (size_t k = 0; k < shown.labels.size(); ++k)
            labels += (k ? "," : "") + JsonText(shown.labels[k]);
        labels += "]";
    }
    return labels + "]";
}

// Each tool's offset from where it was at the first record shown (JSON).
std::string ToolOffsetsJson(const CProjectProfile& project, const CConfiguration& configuration,
                            const std::vector<CCoordinate>& anchors) {
    std::string tools = "[";
    for (size_t slot = 0; slot < anchors.size(); ++slot) {
        CCoordinate now;
        const bool there = ToolAnchor(project.Tools(), slot, now);
        tools += FormatText("%s[%.6f,%.6f,%.6f]", slot ? "," : "",
                            there ? Length(configuration, now.x - anchors[slot].x) : 0.0,
                            there ? Length(configuration, now.y - anchors[slot].y) : 0.0,
                            there ? Length(configuration, now.z - anchors[slot].z) : 0.0);
    }
    return tools + "]";
}

RecordData MakeRecord(const CSheetProfile& sheet, const CProjectProfile& project, const ShareRequest& request,
                      const CConfiguration& configuration, const std::vector<CCoordinate>& anchors,
                      size_t index) {
    RecordData data;
    data.block.id = FormatText("record-%zu", index);
    data.texts = AddTipNumbers(data.block, sheet, configuration);
    data.labels = AddQuantityColours(data.block, sheet, project, request, configuration);
    data.tools = ToolOffsetsJson(project, configuration, anchors);
    const std::array<double, 6>& box = sheet.BoundingBox();
    for (size_t i = 0; i < 6; ++i)
        data.box[i] = Length(configuration, box[i]);
    return data;
}

} // namespace

bool PrintedDigits(const char* format, double value, int32_t& digits) {
    static const double Scale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const int decimals = ShapeOf(format).decimals;
    if (decimals >= 0 && decimals < 10) {
        // value x 10^decimals is off by 2.2e-7 at most below 2e9: unless it
        // lies that close to a half, it rounds as printf rounds the exact
        // value, and with no text made.
        const double scaled = value * Scale[decimals];
        if (std::fabs(scaled) < 2e9 && std::fabs(std::fabs(scaled - std::trunc(scaled)) - 0.5) > 1e-6) {
            digits = static_cast<int32_t>(std::llround(scaled));
            return true;
        }
    }
    const std::string text = FormatNumber(format, value);
    int64_t number = 0;
    bool negative = false, plain = false;
    for (char c : text) {
        if (c == '-') {
            negative = true;
        } else if (c >= '0' && c <= '9') {
            number = number * 10 + (c - '0');
            plain = true;
            if (number > INT32_MAX)
                return false;
        } else if (c != ' ' && c != '.') {
            return false;
        }
    }
    digits = static_cast<int32_t>(negative ? -number : number);
    return plain;
}

void AddReportTable(SharePage& page, const std::string& title, const std::string& reportText) {
    page.tables.push_back({title, ReportRows(reportText)});
}

namespace {

// False, after the message, when a number of the list is no record of the
// project.
bool RecordsExist(const std::vector<int>& records, const CProjectProfile& project) {
    for (int record : records)
        if (record < 1 || record > project.RecordCount()) {
            ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
            return false;
        }
    return true;
}

// The tools' block, where the first record shown has them, with each tool's
// first vertex there in anchors; the tools' names, colours and opacity
// (JSON).
std::string AddTools(SharePage& page, const CProjectProfile& project, const CConfiguration& configuration,
                     std::vector<CCoordinate>& anchors) {
    ShareBlock toolBlock{"tools", {}};
    AddToolArrays(toolBlock, project.Tools(), configuration);
    anchors.assign(project.Tools().size(), CCoordinate());
    std::string tools = "[";
    for (size_t slot = 0; slot < project.Tools().size(); ++slot) {
        if (!ToolAnchor(project.Tools(), slot, anchors[slot]))
            continue;
        const ToolDisplay& display = configuration.Settings().tools[std::min(slot, size_t(kToolSlots - 1))];
        tools +=
            FormatText("%s{\"slot\":%zu,\"name\":", tools.size() > 1 ? "," : "", slot) +
            JsonText(FormatText("T%zu ", slot + 1) + FileNamePart(project.Tools()[slot]->ToolFileName())) +
            ",\"colour\":" + HexColour(display.surfaceColour) +
            FormatText(",\"opacity\":%.3f,\"shown\":%s}", std::clamp(display.opacity, 0.0, 1.0),
                       display.shown ? "true" : "false");
    }
    page.blocks.push_back(PackBlock(toolBlock));
    return tools + "]";
}

// Each record of the list shown in turn, its block into the page; its
// caption, labels, tools and texts (JSON) into records and its box folded
// into box. False when a record cannot be shown (the loader has said why).
bool AddRecords(CSession& session, const ShareRequest& request, const CConfiguration& configuration,
                const std::vector<CCoordinate>& anchors, SharePage& page, std::string& records,
                std::array<double, 6>& box) {
    CProjectProfile& project = session.Project();
    const std::string name = project.DisplayName();
    records = "[";
    box = {INFINITY, -INFINITY, INFINITY, -INFINITY, INFINITY, -INFINITY};
    for (size_t i = 0; i < request.records.size(); ++i) {
        const int record = request.records[i];
        if (!session.ShowRecord(record))
            return false;
        RecordData data = MakeRecord(*session.Sheet(), project, request, configuration, anchors, i);
        page.blocks.push_back(PackBlock(data.block));
        for (size_t k = 0; k < 6; k += 2) {
            box[k] = std::min(box[k], data.box[k]);
            box[k + 1] = std::max(box[k + 1], data.box[k + 1]);
        }
        records += FormatText("%s{\"number\":%d,\"caption\":", i ? "," : "", record) +
                   JsonText(FormatText("%s: Rec. %d / %d.", name.c_str(), record, project.RecordCount())) +
                   ",\"labels\":" + data.labels + ",\"tools\":" + data.tools + ",\"texts\":" + data.texts +
                   "}";
    }
    records += "]";
    for (double& bound : box)
        if (!std::isfinite(bound))
            bound = 0;
    return true;
}

// The quantities of the list: number, name, title and the colours of the
// scale's bands (JSON).
std::string QuantitiesJson(const ShareRequest& request, const CConfiguration& configuration) {
    std::string quantities = "[";
    for (ResultQuantity quantity : request.quantities) {
        const Presentation shown =
            MakePresentation({nullptr, quantity, request.limits, nullptr, 0, &configuration});
        quantities += FormatText("%s{\"number\":%d,\"name\":", quantities.size() > 1 ? "," : "",
                                 QuantityNumber(quantity)) +
                      JsonText(QuantityName(quantity)) + ",\"title\":" + JsonText(shown.title) +
                      ",\"bands\":[";
        for (size_t k = 0; k < shown.bands.size(); ++k)
            quantities +=
                (k ? "," : "") + HexColour(shown.bands[k].red, shown.bands[k].green, shown.bands[k].blue);
        quantities += "]}";
    }
    return quantities + "]";
}

// The colour ramp's entries (JSON).
std::string RampJson() {
    std::string ramp = "[";
    for (int k = 0; k <= ColourRamp::Size; ++k) {
        const RgbColour c = ColourRamp::Plain().Entry(k);
        ramp += (k ? "," : "") + HexColour(c.red, c.green, c.blue);
    }
    return ramp + "]";
}

// The sheet report and the forming summary of the record the session holds
// now, the list's last, as tables beside the view.
void AddReportTables(SharePage& page, const CProjectProfile& project, const CConfiguration& configuration) {
    AddReportTable(page, FormatText("Sheet properties, record %d", project.CurrentRecord()),
                   SheetPropertiesReport(project, configuration));
    const FormingFigures figures =
        FormingFiguresOf(*project.Sheet(), 0, project.Sheet()->FirstContact().get());
    AddReportTable(page, FormatText("Forming summary, record %d", project.CurrentRecord()),
                   FormingSummaryText(figures, configuration, project.PathName(), project.CurrentRecord()));
}

} // namespace

bool MakeSharedResults(CSession& session, const ShareRequest& asked, const CConfiguration& configuration,
                       SharePage& page) {
    CProjectProfile& project = session.Project();
    ShareRequest request = asked;
    if (request.quantities.empty()) {
        const auto every = ValueQuantities();
        request.quantities.assign(every.begin(), every.end());
    }
    if (!RecordsExist(request.records, project))
        return false;
    if (request.records.empty() || !session.ShowRecord(request.records.front()))
        return false;
    // First contact needs every record; without it the page shows none.
    Message contactFailure;
    if (!EnsureFirstContact(project, contactFailure) && contactFailure)
        ShowMessage(contactFailure, MessageIcon::Warning);
    const std::string name = project.DisplayName();
    page = SharePage();
    page.title = name;
    page.blocks.push_back(PackBlock(MeshBlock(*session.Sheet())));
    std::vector<CCoordinate> anchors;
    const std::string tools = AddTools(page, project, configuration, anchors);
    std::string records;
    std::array<double, 6> box;
    if (!AddRecords(session, request, configuration, anchors, page, records, box))
        return false;
    const DisplaySettings& settings = configuration.Settings();
    page.view = "{\"project\":" + JsonText(name) + FormatText(",\"recordCount\":%d", project.RecordCount()) +
                ",\"units\":" + JsonText(configuration.IsSIMetric() ? "si" : "us") +
                ",\"lengthUnit\":" + JsonText(configuration.LengthUnit()) +
                FormatText(",\"nodes\":%d,\"elements\":%d", session.Sheet()->NodeCount(),
                           session.Sheet()->ElementCount()) +
                FormatText(",\"box\":[%.6f,%.6f,%.6f,%.6f,%.6f,%.6f]", box[0], box[1], box[2], box[3], box[4],
                           box[5]) +
                ",\"ramp\":" + RampJson() + ",\"quantities\":" + QuantitiesJson(request, configuration) +
                ",\"records\":" + records + ",\"tools\":" + tools + ",\"tip\":" + TipJson(configuration) +
                ",\"background\":[" + HexColour(settings.backgroundTop) + "," +
                HexColour(settings.backgroundBottom) +
                "],\"sheetColour\":" + HexColour(settings.sheetColour) + "}";
    AddReportTables(page, project, configuration);
    return true;
}

} // namespace quillmere
