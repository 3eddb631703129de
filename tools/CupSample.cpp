// The bundled sample: a 200 x 160 mm sheet, 3 mm thick, clamped at its rim,
// pushed down by a plug and then pulled by vacuum into a rounded cup mould
// 60 mm deep. The forming is a smooth analytic motion, not a simulation:
// what matters is that every field of the files varies plausibly.
#include "tools/OutputFiles.h"
#include "tools/SampleWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillmere {

namespace samplegen {

using detail::CTextOutput;
using detail::Integer;
using detail::Number;

namespace {

constexpr double kSheetHalfX = 0.100, kSheetHalfY = 0.080, kThickness = 0.003;
// Cavity opening: a rounded rectangle; every deeper ring of the mould is the
// same shape scaled about the z axis, which lets the sheet sit exactly on
// the mould along rays from the axis.
constexpr double kOpenHalfX = 0.070, kOpenHalfY = 0.050, kOpenRadius = 0.020;
constexpr double kDepth = 0.060;
constexpr double kBottomScale = 0.86;
// The tools stand half a sheet thickness off the sheet's mid-surface.
constexpr double kGap = kThickness / 2;

struct ProfilePoint {
    double scale, z;
};
// Mould wall: scale of the ring against its height, top edge to bottom.
constexpr ProfilePoint kProfile[] = {{1.000, 0.0},           {0.993, -0.004}, {0.985, -0.010},
                                     {0.920, -0.045},        {0.890, -0.055}, {0.872, -0.0585},
                                     {kBottomScale, -kDepth}};

// Material of the inner 55 % of the opening (in scale) covers the bottom,
// stretched more towards its edge; the rest covers the wall.
constexpr double kBottomShare = 0.55, kBottomGrowth = 0.35, kWallSkew = 0.4;
constexpr double kPlugScale = 0.5;  // plug tip: half the opening
constexpr double kPlugStages = 0.7; // share of the forming during which the plug moves
constexpr double kPlugStroke = kDepth;

constexpr double kLipBand = 0.05;
constexpr double kStartTemperature = 165, kToolTemperature = 110, kPlugTemperature = 135;
constexpr double kCoolingTime = 0.5; // s
constexpr double kStageTime = 0.2, kEndPressure = 80000;

double Smoothstep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// The scale k at which (x, y) lies on the opening's outline scaled by k.
double OpeningScale(double x, double y) {
    const double px = std::fabs(x), py = std::fabs(y);
    const double cx = kOpenHalfX - kOpenRadius, cy = kOpenHalfY - kOpenRadius;
    const double k = std::max(px / kOpenHalfX, py / kOpenHalfY);
    if (px <= k * cx || py <= k * cy)
        return k;
    // On a corner arc: |p - k c| = k r; the smaller root is where p enters.
    const double a = cx * cx + cy * cy - kOpenRadius * kOpenRadius;
    const double b = px * cx + py * cy;
    const double c = px * px + py * py;
    return (b - std::sqrt(std::max(0.0, b * b - a * c))) / a;
}

double ProfileZ(double scale) {
    if (scale >= kProfile[0].scale)
        return kProfile[0].z;
    for (size_t i = 1; i < std::size(kProfile); ++i)
        if (scale >= kProfile[i].scale) {
            const ProfilePoint& upper = kProfile[i - 1];
            const ProfilePoint& lower = kProfile[i];
            const double t = (scale - lower.scale) / (upper.scale - lower.scale);
            return lower.z + t * (upper.z - lower.z);
        }
    return -kDepth;
}

// Where the material at opening scale q of the flat sheet ends up.
double FormedScale(double q) {
    if (q >= 1)
        return q;
    if (q <= kBottomShare) {
        const double t = q / kBottomShare;
        return kBottomScale * t * (1 + kBottomGrowth * t * t) / (1 + kBottomGrowth);
    }
    const double u = (q - kBottomShare) / (1 - kBottomShare);
    return kBottomScale + (1 - kBottomScale) * (u + kWallSkew * u * (1 - u));
}

// The flat-sheet scale whose material ends under the plug tip's edge.
double PlugShare() {
    double low = 0, high = kBottomShare;
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2;
        (FormedScale(mid) < kPlugScale ? low : high) = mid;
    }
    return low;
}

struct NodePlan {
    Vec3 reference, formed;
    double opening = 0; // opening scale of the flat position; 1 or more on the flange
    bool underPlug = false;
};

NodePlan PlanNode(double x, double y, double plugShare) {
    NodePlan plan;
    plan.reference = {x, y, 0};
    const double q = OpeningScale(x, y);
    plan.opening = q;
    if (q >= 1) {
        plan.formed = plan.reference;
        return plan;
    }
    const double formed = FormedScale(q);
    double ratio = q > 1e-12 ? formed / q : kBottomScale / (kBottomShare * (1 + kBottomGrowth));
    // Right at the opening's edge the sheet bridges the mould's lip instead
    // of following it outwards; a coarse mesh would otherwise fold there.
    ratio = 1 + (ratio - 1) * Smoothstep((1 - q) / kLipBand);
    plan.formed = {x * ratio, y * ratio, ProfileZ(formed)};
    plan.underPlug = q <= plugShare;
    return plan;
}

double PlugPosition(double stage) {
    return kPlugStroke * std::min(1.0, stage / kPlugStages);
}

// Depth at the middle of the free bubble that the vacuum pulls; the last
// stage puts the whole sheet on the mould whatever the bubble.
double BubbleDepth(double stage) {
    return 0.15 * std::pow(stage, 6);
}

double TriangleArea(const Vec3& a, const Vec3& b, const Vec3& c) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    return 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
}

enum class Touch { None, Mould, Plug };

class CCupForming {
public:
    explicit CCupForming(const CupOptions& options);

    const RecordData& Record() const { return record; }
    // Moves the sheet to a share of the forming (0 flat .. 1 formed) lasting
    // totalTime seconds in all, and fills the record's values. Stages come in
    // increasing order: cooling depends on when the plastic touched a tool.
    void Form(double stage, double totalTime);

private:
    Touch PlaceNode(size_t n, double stage, double plug);
    void FillElements(double stage, double totalTime);

    std::vector<NodePlan> nodes;
    double plugShare = 0;
    RecordData record;
    std::vector<Touch> touch;         // per node, this stage
    std::vector<double> touchedSince; // per element: first stage in contact, or -1
    std::vector<double> freeCooling;  // per element: temperature when it touched
};

CCupForming::CCupForming(const CupOptions& options) : plugShare(PlugShare()) {
    const bool quarter = options.quarter;
    const int nx = quarter ? (options.cellsX + 1) / 2 : options.cellsX;
    const int ny = quarter ? (options.cellsY + 1) / 2 : options.cellsY;
    const double x0 = quarter ? 0 : -kSheetHalfX, y0 = quarter ? 0 : -kSheetHalfY;
    const double sizeX = quarter ? kSheetHalfX : 2 * kSheetHalfX;
    const double sizeY = quarter ? kSheetHalfY : 2 * kSheetHalfY;

    record = MakeGridRecord(nx, ny, sizeX, sizeY, kThickness, kStartTemperature);
    record.symmetryName = quarter ? "QUARTER" : "FULL";
    if (quarter)
        record.planes = {{1, 0, 0, 0}, {0, 1, 0, 0}};
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            const size_t n = static_cast<size_t>(j) * static_cast<size_t>(nx + 1) + static_cast<size_t>(i);
            // Exact zeros keep the quarter's symmetry nodes on their planes.
            const double x = quarter && i == 0 ? 0.0 : x0 + sizeX * i / nx;
            const double y = quarter && j == 0 ? 0.0 : y0 + sizeY * j / ny;
            record.reference[n] = {x, y, 0};
            nodes.push_back(PlanNode(x, y, plugShare));
            const bool rim = i == nx || j == ny || (!quarter && (i == 0 || j == 0));
            if (rim) {
                record.nodeCode[n] = 3;
                record.conditions[n] = 1;
            } else if (quarter && (i == 0 || j == 0)) {
                record.nodeCode[n] = 2;
                record.planeIndex[n] = i == 0 ? 1 : 2;
            }
        }
    record.current = record.reference;
    touch.assign(nodes.size(), Touch::None);
    touchedSince.assign(record.elements.size(), -1);
    freeCooling.assign(record.elements.size(), kStartTemperature);
}

// The sheet is pushed down by the plug (a tent from the plug's edge to the
// opening) and pulled down by the vacuum (a bubble), whichever goes deeper,
// and stopped by the mould.
Touch CCupForming::PlaceNode(size_t n, double stage, double plug) {
    const NodePlan& plan = nodes[n];
    const double q = plan.opening;
    Vec3& p = record.current[n];
    if (q >= 1 || stage <= 0) {
        p = plan.reference;
        // The flange carries the sheet from the start.
        return q >= 1 ? Touch::Mould : Touch::None;
    }
    const double slope = (q - plugShare) / (1 - plugShare);
    const double tent = -plug * (plan.underPlug ? 1.0 : 1 - slope * slope);
    const double bubble = -BubbleDepth(stage) * (1 - q * q);
    const double free = stage >= 1 ? -1.0 : std::min(tent, bubble);
    // Spreading sideways lags behind, so that no stage squeezes the sheet.
    const double sideways = stage * stage;
    p.x = plan.reference.x + sideways * (plan.formed.x - plan.reference.x);
    p.y = plan.reference.y + sideways * (plan.formed.y - plan.reference.y);
    p.z = std::max(plan.formed.z, free);
    if (plan.underPlug && p.z <= tent + 1e-9)
        return Touch::Plug;
    return p.z == plan.formed.z ? Touch::Mould : Touch::None;
}

void CCupForming::Form(double stage, double totalTime) {
    const double plug = PlugPosition(stage);
    record.toolPositions.fill(0);
    record.toolPositions[1] = plug;
    for (size_t n = 0; n < nodes.size(); ++n) {
        touch[n] = PlaceNode(n, stage, plug);
        record.contactTool[n] = touch[n] == Touch::Mould ? 0 : touch[n] == Touch::Plug ? 1 : 255;
    }
    FillElements(stage, totalTime);
}

void CCupForming::FillElements(double stage, double totalTime) {
    const double pressureShare = Smoothstep(stage);
    for (size_t e = 0; e < record.elements.size(); ++e) {
        RecordElement& element = record.elements[e];
        size_t corner[3];
        int mould = 0, plugged = 0;
        double rx = 0, ry = 0;
        for (int c = 0; c < 3; ++c) {
            corner[c] = static_cast<size_t>(element.nodes[c] - 1);
            mould += touch[corner[c]] == Touch::Mould;
            plugged += touch[corner[c]] == Touch::Plug;
            rx += record.reference[corner[c]].x / 3;
            ry += record.reference[corner[c]].y / 3;
        }
        // The heaters leave the rim a little cooler than the middle; the
        // free sheet cools slowly in the air.
        const double edge = std::max(std::fabs(rx) / kSheetHalfX, std::fabs(ry) / kSheetHalfY);
        const double airCooled = kStartTemperature - 4 * edge * edge - 6 * stage;
        double temperature = airCooled;
        if (mould + plugged >= 2) {
            if (touchedSince[e] < 0) {
                touchedSince[e] = stage;
                freeCooling[e] = airCooled;
            }
            // The plug is kept warm; the mould takes the heat away.
            const double target = plugged >= 2 ? kPlugTemperature : kToolTemperature;
            const double touching = (stage - touchedSince[e]) * totalTime;
            temperature = target + (freeCooling[e] - target) * std::exp(-touching / kCoolingTime);
        }

        const Vec3& a = record.current[corner[0]];
        const Vec3& b = record.current[corner[1]];
        const Vec3& c = record.current[corner[2]];
        const double formedArea = TriangleArea(a, b, c);
        const double flatArea = TriangleArea(record.reference[corner[0]], record.reference[corner[1]],
                                             record.reference[corner[2]]);
        const double stretch = flatArea > 0 && formedArea > 0 ? std::log(formedArea / flatArea) : 0;
        // Cooler plastic is stiffer.
        const double stiffness = 1.6e6 * (1 + (kStartTemperature - temperature) / 55);
        const double stress1 = stiffness * stretch + 0.12e6 * pressureShare;

        element.temperature = static_cast<float>(temperature);
        element.layers.fill(temperature);
        element.stress1 = static_cast<float>(stress1);
        element.stress2 = static_cast<float>(0.6 * stress1);
        element.stress3 = static_cast<float>(-0.5 * kEndPressure * pressureShare);
    }
}

// A regular octagon-like outline: a rectangle with chamfered corners,
// counter-clockwise seen from above.
std::vector<Vec3> ChamferedRectangle(double halfX, double halfY, double chamfer, double z) {
    return {{halfX, -(halfY - chamfer), z},  {halfX, halfY - chamfer, z},  {halfX - chamfer, halfY, z},
            {-(halfX - chamfer), halfY, z},  {-halfX, halfY - chamfer, z}, {-halfX, -(halfY - chamfer), z},
            {-(halfX - chamfer), -halfY, z}, {halfX - chamfer, -halfY, z}};
}

bool WriteMould(const std::string& path, bool crlf) {
    constexpr double mm = 1000;
    std::vector<SectionGroup> groups;
    // The flange the sheet rests on outside the cavity.
    groups.push_back({-kGap * mm, 220, 180, 10});
    for (const ProfilePoint& ring : kProfile)
        groups.push_back({(ring.z - kGap) * mm, 2 * kOpenHalfX * ring.scale * mm,
                          2 * kOpenHalfY * ring.scale * mm, kOpenRadius * ring.scale * mm});
    return WriteSectionTool(path, groups, false, crlf);
}

bool WritePlug(const std::string& path, bool crlf) {
    constexpr double inch = 0.0254;
    const double tipX = kOpenHalfX * kPlugScale, tipY = kOpenHalfY * kPlugScale;
    const std::vector<std::vector<Vec3>> rings = {
        ChamferedRectangle(tipX, tipY, 0.008, kGap),
        ChamferedRectangle(tipX + 0.005, tipY + 0.005, 0.010, 0.012),
        ChamferedRectangle(tipX + 0.007, tipY + 0.007, 0.010, 0.090)};
    const int perRing = static_cast<int>(rings[0].size());
    std::vector<Vec3> nodes;
    for (const std::vector<Vec3>& ring : rings)
        for (const Vec3& p : ring)
            nodes.push_back({p.x / inch, p.y / inch, p.z / inch});
    auto node = [&](int ring, int corner) { return ring * perRing + corner % perRing + 1; };

    std::vector<std::vector<int>> faces;
    std::vector<int> tip, top;
    for (int v = perRing - 1; v >= 0; --v) // facing down
        tip.push_back(node(0, v));
    faces.push_back(tip);
    for (int r = 0; r + 1 < static_cast<int>(rings.size()); ++r)
        for (int v = 0; v < perRing; ++v)
            faces.push_back({node(r, v), node(r, v + 1), node(r + 1, v + 1), node(r + 1, v)});
    for (int v = 0; v < perRing; ++v)
        top.push_back(node(static_cast<int>(rings.size()) - 1, v));
    faces.push_back(top);
    return WriteNumberedNodeTool(path, nodes, faces, true, 1, crlf);
}

bool WriteClampFrame(const std::string& path, bool crlf) {
    // A rectangular frame pressing the sheet's rim onto the mould's flange.
    const double inX = 0.090, inY = 0.070, outX = 0.110, outY = 0.090;
    const double low = kGap, high = kGap + 0.015;
    const Vec3 inner[4] = {{inX, -inY, 0}, {inX, inY, 0}, {-inX, inY, 0}, {-inX, -inY, 0}};
    const Vec3 outer[4] = {{outX, -outY, 0}, {outX, outY, 0}, {-outX, outY, 0}, {-outX, -outY, 0}};
    auto at = [](const Vec3& p, double z) { return Vec3{p.x, p.y, z}; };
    ShortTool tool;
    tool.crlf = crlf;
    tool.hasRefPoint = true;
    tool.refPoint = {0, 0, high * 1000};
    for (int side = 0; side < 4; ++side) {
        const int next = (side + 1) % 4;
        tool.faces.push_back(
            {at(inner[side], high), at(outer[side], high), at(outer[next], high), at(inner[next], high)});
        tool.faces.push_back(
            {at(inner[side], low), at(inner[next], low), at(outer[next], low), at(outer[side], low)});
        tool.faces.push_back(
            {at(inner[side], low), at(inner[side], high), at(inner[next], high), at(inner[next], low)});
        tool.faces.push_back(
            {at(outer[side], low), at(outer[next], low), at(outer[next], high), at(outer[side], high)});
    }
    return WriteShortTool(path, tool);
}

// The share of the forming (0 flat .. 1 formed) of a record, and the time
// all records take.
double StageOf(int record, int records) {
    return records > 1 ? static_cast<double>(record) / (records - 1) : 0.0;
}
double TotalTime(int records) {
    return kStageTime * (records - 1);
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines, bool crlf) {
    CTextOutput text(crlf);
    for (const std::string& line : lines)
        text.Line(line);
    return text.Save(path);
}

// The record of stage index as formed, spoilt as the options ask.
RecordData CupRecordAsWritten(const CupOptions& options, int index, const CCupForming& forming) {
    RecordData record = forming.Record();
    if (options.nonFinite && index == options.records - 1) {
        if (record.current.size() > 1)
            record.current[1].x = std::numeric_limits<double>::infinity();
        if (record.elements.size() > 3)
            record.elements[3].temperature = -std::numeric_limits<float>::quiet_NaN();
    }
    return record;
}

} // namespace

std::string WriteCupSample(const std::string& folder, const CupOptions& options) {
    if (options.cellsX < 1 || options.cellsY < 1 || options.records < 1 || options.name.empty())
        return "";
    const std::string& name = options.name;
    const std::string base = (folder.empty() ? std::string(".") : folder) + "/";
    auto reference = [&](const std::string& file) {
        if (options.windowsFolder.empty())
            return file;
        const char last = options.windowsFolder.back();
        return options.windowsFolder + (last == '\\' || last == '/' ? "" : "\\") + file;
    };
    const std::string sheetFile = name + ".sht", mouldFile = name + "_mould.tol",
                      plugFile = name + "_plug.tol";
    const std::string clampFile = name + "_clamp.tol", controlFile = name + ".prc",
                      materialFile = name + "_pp.vie";
    const std::string heatFile = name + ".hft", configurationFile = name + ".cfg";
    const bool crlf = options.crlf;

    CCupForming forming(options);
    const int elements = forming.Record().ElementCount(), nodes = forming.Record().NodeCount();

    bool ok = WriteMould(base + mouldFile, crlf) && WritePlug(base + plugFile, crlf) &&
              WriteClampFrame(base + clampFile, crlf);

    std::vector<ToolMotion> motions(10);
    motions[1].direction = {0, 0, -1};
    ok = ok && WriteProcessControl(base + controlFile, motions, crlf);

    ok = ok && WriteLines(base + sheetFile,
                          {"QRELL SHEET", "Sheet width (mm)   : 200", "Sheet length (mm)  : 160",
                           "Thickness (mm)     : 3", "Elements           : " + Integer(elements),
                           "Nodes              : " + Integer(nodes),
                           "Symmetry           : " + forming.Record().symmetryName},
                          crlf);
    ok = ok && WriteLines(base + materialFile,
                          {"QRELL MATERIAL", "Polypropylene homopolymer, viscoelastic",
                           "Density (kg/m3)    : 905", "Forming window (C) : 150 170",
                           "Relaxation terms   : 3", "  1.0e+06  0.01", "  3.5e+05  0.1", "  8.0e+04  1.0"},
                          crlf);
    ok = ok &&
         WriteLines(base + heatFile,
                    {"QRELL HEAT AND FRICTION", "Sheet-mould heat transfer (W/m2K) : 350",
                     "Sheet-plug heat transfer (W/m2K)  : 120", "Sheet-air heat transfer (W/m2K)   : 12",
                     "Sheet-mould friction              : 0.35", "Sheet-plug friction               : 0.25"},
                    crlf);

    ProjectConfiguration configuration;
    configuration.sheet = reference(sheetFile);
    configuration.toolNames = {reference(mouldFile), reference(plugFile), reference(clampFile)};
    configuration.toolNames.resize(10, "None");
    configuration.processControl = reference(controlFile);
    configuration.materialLines = {reference(materialFile), "Unused", "Unused", "Unused", "Unused",
                                   reference(heatFile)};
    configuration.jobNumber = "QM-2041";
    configuration.number = "17";
    configuration.programmer = "samplegen";
    configuration.comments = {"Cup 140 x 100 x 60 mm, plug assisted vacuum forming.",
                              "PP sheet 3 mm, heated to 165 C."};
    configuration.crlf = crlf;
    ok = ok && WriteProjectConfiguration(base + configurationFile, configuration);

    ProjectFile project;
    project.sheet = reference(sheetFile);
    project.toolNames = {reference(mouldFile), reference(plugFile), reference(clampFile)};
    project.processControl = reference(controlFile);
    project.materials = {reference(materialFile)};
    project.heatFriction = reference(heatFile);
    project.configuration = reference(configurationFile);
    project.crlf = crlf;

    const std::string projectPath = base + name + ".tfc";
    for (int k = 0; k < options.records && ok; ++k) {
        const double stage = StageOf(k, options.records);
        forming.Form(stage, TotalTime(options.records));
        ok = WriteRecordFile(RecordFileName(projectPath, k), CupRecordAsWritten(options, k, forming));
        project.records.push_back({kEndPressure * Smoothstep(stage), kStageTime * k, PlugPosition(stage)});
    }
    ok = ok && WriteProjectFile(projectPath, project);
    return ok ? projectPath : "";
}

RecordData CupRecord(const CupOptions& options, int index) {
    // Cooling depends on when the plastic first touched a tool: every stage
    // before the one asked for is formed in turn.
    CCupForming forming(options);
    for (int k = 0; k <= index; ++k)
        forming.Form(StageOf(k, options.records), TotalTime(options.records));
    return CupRecordAsWritten(options, index, forming);
}

MeasurementCsv CupGaugePoints(const CupOptions& options) {
    const RecordData record = CupRecord(options, std::max(options.records, 1) - 1);
    // Node thickness as a post-processor shows it: the mean over the node's
    // elements of initial thickness times flat area over formed area.
    std::vector<double> sum(record.current.size()), count(record.current.size());
    for (const RecordElement& element : record.elements) {
        const size_t a = static_cast<size_t>(element.nodes[0] - 1),
                     b = static_cast<size_t>(element.nodes[1] - 1),
                     c = static_cast<size_t>(element.nodes[2] - 1);
        const double formed = TriangleArea(record.current[a], record.current[b], record.current[c]);
        const double flat = TriangleArea(record.reference[a], record.reference[b], record.reference[c]);
        const double thickness =
            formed > 0 ? element.initialThickness * flat / formed : element.initialThickness;
        for (size_t n : {a, b, c}) {
            sum[n] += thickness;
            count[n] += 1;
        }
    }

    MeasurementCsv file;
    file.comments = {"Wall thickness of the formed cup, ultrasonic gauge, 40 points.",
                     "Positions to 0.1 mm in the mould's frame, thickness to 0.01 mm."};
    file.digits = 9;
    const double pi = 3.14159265358979323846;
    // Rings of the flat sheet: bottom, its edge, the wall, its top and the flange.
    const double rings[] = {0.2, 0.5, 0.75, 0.92, 1.12};
    int index = 0;
    for (int r = 0; r < 5; ++r)
        for (int k = 0; k < 8; ++k) {
            const double angle = 2 * pi * (k + 0.5) / 8;
            const double dx = std::cos(angle), dy = std::sin(angle);
            const double reach = rings[r] / OpeningScale(dx, dy);
            // A quarter model holds the point's mirror image in x, y >= 0.
            const double sx = options.quarter && dx < 0 ? -1 : 1, sy = options.quarter && dy < 0 ? -1 : 1;
            const double x = sx * dx * reach, y = sy * dy * reach;
            for (const RecordElement& element : record.elements) {
                const Vec3& a = record.reference[static_cast<size_t>(element.nodes[0] - 1)];
                const Vec3& b = record.reference[static_cast<size_t>(element.nodes[1] - 1)];
                const Vec3& c = record.reference[static_cast<size_t>(element.nodes[2] - 1)];
                const double d = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
                if (d == 0)
                    continue;
                const double wa = ((b.y - c.y) * (x - c.x) + (c.x - b.x) * (y - c.y)) / d;
                const double wb = ((c.y - a.y) * (x - c.x) + (a.x - c.x) * (y - c.y)) / d;
                const double wc = 1 - wa - wb;
                if (wa < -1e-12 || wb < -1e-12 || wc < -1e-12)
                    continue;
                Vec3 p;
                double thickness = 0;
                const double weights[3] = {wa, wb, wc};
                for (int corner = 0; corner < 3; ++corner) {
                    const size_t n = static_cast<size_t>(element.nodes[corner] - 1);
                    p.x += weights[corner] * record.current[n].x;
                    p.y += weights[corner] * record.current[n].y;
                    p.z += weights[corner] * record.current[n].z;
                    thickness += weights[corner] * sum[n] / count[n];
                }
                // The real part came out a little thicker in the deep
                // corners than simulated, with the gauge's scatter on top.
                const double scatter = 0.004 * ((index * 7 + 3) % 5 - 2);
                thickness *= 1 + 0.05 * (rings[r] - 0.6) * std::cos(2 * angle) + scatter;
                auto round = [](double value, double step) { return std::round(value / step) * step; };
                ++index;
                file.points.push_back({"G" + std::string(index < 10 ? "0" : "") + Integer(index),
                                       {round(sx * p.x, 1e-4), round(sy * p.y, 1e-4), round(p.z, 1e-4)},
                                       round(thickness, 1e-5)});
                break;
            }
        }
    return file;
}

} // namespace samplegen

} // namespace quillmere
