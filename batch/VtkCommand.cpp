#include "batch/VtkCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "batch/ExportCommand.h"
#include "batch/InputFiles.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "export/VtuFile.h"
#include "messages/MessageText.h"
#include "model/CDataString.h"
#include "model/CProjectProfile.h"
#include "model/Reports.h"
#include "scale/AllRecordLimits.h"
#include "scale/NodalValues.h"
#include "scale/ResultQuantity.h"
#include "session/CSession.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace quillmere {

namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool IsRecordNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An array name with its unit: "thickness_mm", "von_mises_stress_MPa",
// "l1_l2", "thinning_percent". Only letters, digits and underscores, so any
// tool takes it.
std::string ArrayName(const std::string& words, const char* unit) {
    std::string name;
    auto add = [&name](const std::string& text, bool lower) {
        for (unsigned char c : text) {
            if (std::isalnum(c))
                name += static_cast<char>(lower ? std::tolower(c) : c);
            else if (c < 0x80 && !name.empty() && name.back() != '_')
                name += '_';
        }
        while (!name.empty() && name.back() == '_')
            name.pop_back();
    };
    add(words, true);
    if (unit) {
        name += '_';
        add(std::strcmp(unit, "%") == 0 ? "percent" : unit, false);
    }
    return name;
}

// Every array in the units of the system in force: stresses in MPa or psi
// (as the profile CSV gives them), not in MPa under both as the data tip.
const char* StressUnit(const CConfiguration& configuration) {
    return QuantityOf(ResultQuantity::VonMises).In(configuration).csvUnit;
}

double StressFromMegapascals(double megapascals, const CConfiguration& configuration) {
    return configuration.IsSIMetric() ? megapascals : configuration.PressureToDisplay(megapascals * 1e6);
}

std::string QuantityArrayName(ResultQuantity quantity, const CConfiguration& configuration) {
    return ArrayName(QuantityOf(quantity).helpWord, QuantityOf(quantity).unit == QuantityUnit::Stress
                                                        ? StressUnit(configuration)
                                                        : QuantityOf(quantity).In(configuration).unit);
}

double ToVtk(ResultQuantity quantity, double stored, const CConfiguration& configuration) {
    const double shown = QuantityToDisplay(quantity, stored, configuration);
    return QuantityOf(quantity).unit == QuantityUnit::Stress ? StressFromMegapascals(shown, configuration)
                                                             : shown;
}

constexpr uint8_t kTouches = 1, kClamped = 2, kNoPressure = 4;
constexpr size_t kGrain = 16384;

// By node number: kTouches, kClamped, kNoPressure.
void FillNodeFlags(const CSheetProfile& sheet, std::vector<uint8_t>& nodeFlags) {
    nodeFlags.resize(static_cast<size_t>(sheet.NodeCount()) + 1);
    parallel::ForBlocks(nodeFlags.size() - 1, kGrain, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const int node = static_cast<int>(i + 1);
            uint8_t flags = 0;
            for (int tool = 0; tool < kToolSlots; ++tool)
                if (sheet.Values().ContactFlag(node, tool) == 0)
                    flags = kTouches;
            if (sheet.Values().IsClamped(node))
                flags |= kClamped;
            if (sheet.Values().HasNoPressure(node))
                flags |= kNoPressure;
            nodeFlags[i + 1] = flags;
        }
    });
}

// A cell array of value(element index) in type T, computed as the file is
// written.
template <typename T, typename Value>
VtuArray ElementArray(const std::string& name, VtuType type, const CSheetProfile& sheet, const Value& value) {
    return {name, type, 1, static_cast<size_t>(sheet.ElementCount()),
            [value](size_t first, size_t count, void* out) {
                for (size_t i = 0; i < count; ++i)
                    VtuStore(out, i, static_cast<T>(value(first + i)));
            }};
}

// The points of the record's grid, its triangles and its node arrays, in
// the configuration's units, computed from the sheet while the file is
// written.
void SetPointArrays(VtuGrid& grid, const CSheetProfile& sheet, const CConfiguration& configuration) {
    static_assert(sizeof(CCoordinate) == 3 * sizeof(double), "coordinates are three packed doubles");
    const size_t nodes = static_cast<size_t>(sheet.NodeCount());
    const ElementNodes* corners = sheet.Mesh().NodeArray();
    // Metres as the solver writes them, or inches under US customary units,
    // as every length of the file.
    const bool si = configuration.IsSIMetric();
    grid.points = {"", VtuType::Float64, 3, nodes,
                   [&sheet, &configuration, si](size_t first, size_t count, void* out) {
                       const CCoordinate* points = sheet.CurrentCoordinateArray() + first + 1;
                       if (si) {
                           std::memcpy(out, points, count * sizeof(CCoordinate));
                           return;
                       }
                       for (size_t i = 0; i < count; ++i) {
                           VtuStore(out, 3 * i, configuration.LengthToDisplay(points[i].x * 1000));
                           VtuStore(out, 3 * i + 1, configuration.LengthToDisplay(points[i].y * 1000));
                           VtuStore(out, 3 * i + 2, configuration.LengthToDisplay(points[i].z * 1000));
                       }
                   }};
    // Node numbers are 32-bit already.
    grid.triangles = {"", VtuType::Int32, 3, static_cast<size_t>(sheet.ElementCount()),
                      [corners](size_t first, size_t count, void* out) {
                          for (size_t i = 0; i < count; ++i)
                              for (size_t corner = 0; corner < 3; ++corner)
                                  VtuStore(out, 3 * i + corner, corners[first + i][corner] - 1);
                      }};
    // The node values the sheet is coloured by, as values prints them, every
    // quantity from one pass over a node's elements.
    for (ResultQuantity quantity : ValueQuantities())
        grid.pointData.push_back(
            {QuantityArrayName(quantity, configuration), VtuType::Float64, 1, nodes, nullptr});
    // A reader colours by the thickness first, as the view does.
    grid.pointScalars = grid.pointData.front().name;
    grid.pointDataFill = [&sheet, &configuration](size_t first, size_t count, void* const* outs) {
        EveryQuantity columns;
        for (size_t column = 0; column < columns.size(); ++column)
            columns[column] = static_cast<double*>(outs[column]);
        FillEveryQuantity(sheet, first + 1, first + count + 1, columns);
        for (size_t column = 0; column < columns.size(); ++column)
            for (size_t i = 0; i < count; ++i)
                columns[column][i] = ToVtk(ValueQuantities()[column], columns[column][i], configuration);
    };
}

// The element arrays of the record's grid: its thickness, temperature and
// stresses in the configuration's units, and its contact flags from
// nodeFlags (FillNodeFlags's).
std::vector<VtuArray> CellArrays(const CSheetProfile& sheet, const CConfiguration& configuration,
                                 const std::vector<uint8_t>& nodeFlags) {
    const ElementNodes* corners = sheet.Mesh().NodeArray();
    const CElementValues* values = sheet.Values().elements.data();
    const CElementDerived* derived = sheet.Derived().elements.data();
    const char* stressUnit = StressUnit(configuration);
    std::vector<VtuArray> cells = {
        ElementArray<double>(
            QuantityArrayName(ResultQuantity::Thickness, configuration), VtuType::Float64, sheet,
            [&configuration, derived](size_t e) {
                return QuantityToDisplay(ResultQuantity::Thickness, derived[e].Thickness, configuration);
            }),
        ElementArray<double>(
            QuantityArrayName(ResultQuantity::Temperature, configuration), VtuType::Float64, sheet,
            [&configuration, values](size_t e) {
                return QuantityToDisplay(ResultQuantity::Temperature, values[e].Temperature, configuration);
            }),
        // Stored in Pa.
        ElementArray<double>(ArrayName("stress 1", stressUnit), VtuType::Float64, sheet,
                             [&configuration, values](size_t e) {
                                 return StressFromMegapascals(values[e].PrincipalStress1 * 1e-6,
                                                              configuration);
                             }),
        ElementArray<double>(ArrayName("stress 2", stressUnit), VtuType::Float64, sheet,
                             [&configuration, values](size_t e) {
                                 return StressFromMegapascals(values[e].PrincipalStress2 * 1e-6,
                                                              configuration);
                             }),
        ElementArray<double>(ArrayName("stress 3", stressUnit), VtuType::Float64, sheet,
                             [&configuration, values](size_t e) {
                                 return StressFromMegapascals(values[e].ThirdStress * 1e-6, configuration);
                             })};
    // Contact and no pressure when a corner has it; clamped when every corner
    // is, as the clamped statistics count an element.
    struct Flag {
        const char* name;
        uint8_t bit;
        bool everyCorner;
    };
    const uint8_t* flags = nodeFlags.data();
    for (const Flag& flag : {Flag{"contact", kTouches, false}, Flag{"clamped", kClamped, true},
                             Flag{"no_pressure", kNoPressure, false}})
        cells.push_back(
            ElementArray<uint8_t>(flag.name, VtuType::UInt8, sheet, [flags, flag, corners](size_t e) {
                const uint8_t a = flags[corners[e][0]], b = flags[corners[e][1]], c = flags[corners[e][2]];
                return ((flag.everyCorner ? a & b & c : a | b | c) & flag.bit) != 0;
            }));
    return cells;
}

// The record's grid in the configuration's units, its arrays computed from
// the sheet while the file is written. nodeFlags is FillNodeFlags's.
VtuGrid RecordGrid(const CSheetProfile& sheet, const CConfiguration& configuration,
                   const std::vector<uint8_t>& nodeFlags) {
    VtuGrid grid;
    SetPointArrays(grid, sheet, configuration);
    grid.cellData = CellArrays(sheet, configuration, nodeFlags);
    return grid;
}

int Fail(const std::string& text) {
    ShowMessage("quillmere-batch: " + text, MessageIcon::Error);
    return BatchFailure;
}

} // namespace

bool IsRecordList(const std::string& text) {
    if (text == "all" || text == "last")
        return true;
    const std::vector<std::string> parts = Split(text);
    return std::all_of(parts.begin(), parts.end(), IsRecordNumber);
}

std::vector<int> RecordsOfList(const std::string& text, int count) {
    std::vector<int> records;
    if (text == "all") {
        for (int record = 1; record <= count; ++record)
            records.push_back(record);
    } else if (text == "last") {
        records.push_back(count);
    } else {
        for (const std::string& part : Split(text)) {
            const int record = std::stoi(part);
            if (record < 1 || record > count)
                return {};
            if (std::find(records.begin(), records.end(), record) == records.end())
                records.push_back(record);
        }
    }
    return records;
}

int VtkProject(CSession& session, const CConfiguration& configuration, const std::string& records,
               const std::string& folder, const CInputFiles* inputs) {
    const CProjectProfile& project = session.Project();
    std::vector<int> list = RecordsOfList(records, project.RecordCount());
    if (list.empty()) {
        ShowMessage(MessageId::InvalidRecordNumber, MessageIcon::None);
        return BatchFailure;
    }
    // The series in the order of the forming, whatever the list's.
    std::sort(list.begin(), list.end());
    std::string name = FileNamePart(project.PathName());
    if (const size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    const std::string prefix = folder + (folder.empty() || folder.back() == '/' ? "" : "/");
    const int digits = static_cast<int>(std::to_string(project.RecordCount()).size());
    const auto vtuName = [&](int record) { return FormatText("%s_%0*d.vtu", name.c_str(), digits, record); };
    if (inputs) {
        if (!inputs->Accepts(prefix + name + ".pvd"))
            return BatchFailure;
        for (int record : list)
            if (!inputs->Accepts(prefix + vtuName(record)))
                return BatchFailure;
    }

    // The times stand in the project file's record blocks. When a record has
    // none, or one that is not a number, every record is numbered instead,
    // so that the series keeps its order.
    CDataString tokens(10, 10);
    tokens.ReadFile(project.PathName());
    std::vector<double> times;
    for (int record : list) {
        double pressure = 0, time = 0;
        if (!RecordBlock(tokens, record - 1, pressure, time) || !std::isfinite(time)) {
            ShowMessage(FormatText("quillmere-batch: record %d has no time: the series is numbered by record",
                                   record),
                        MessageIcon::Warning);
            times.clear();
            break;
        }
        times.push_back(time);
    }
    // First contact comes from every record. When one cannot be used, the
    // others still have their files, first contact all nan.
    Message failure;
    if (!EnsureFirstContact(project, failure))
        ShowMessage("quillmere-batch: first contact has no values: " +
                        (failure ? MessageText(failure) : std::string("a record cannot be used")),
                    MessageIcon::Warning);
    std::vector<PvdEntry> entries;
    std::vector<uint8_t> nodeFlags;
    for (size_t i = 0; i < list.size(); ++i) {
        const int record = list[i];
        if (!session.ShowRecord(record))
            return BatchFailure; // the loader has said why
        const double time = times.empty() ? record : times[i];
        FillNodeFlags(*project.Sheet(), nodeFlags);
        VtuGrid grid = RecordGrid(*project.Sheet(), configuration, nodeFlags);
        grid.fieldData = {VtuNumber("record", record), VtuNumber("TimeValue", time)};
        const std::string file = vtuName(record);
        if (!WriteVtuFile(prefix + file, grid))
            return Fail(prefix + file + " cannot be written");
        entries.push_back({time, file});
    }
    if (!WritePvdFile(prefix + name + ".pvd", entries))
        return Fail(prefix + name + ".pvd cannot be written");
    return BatchSuccess;
}

int WriteVtk(const BatchArguments& arguments, BatchProject& project) {
    const std::string target = Trim(arguments.target);
    if (!AcceptTarget(project.session.Project().PathName(), target, true))
        return BatchFailure;
    return VtkProject(project.session, project.configuration, arguments.records, target, &project.inputs);
}

} // namespace quillmere
