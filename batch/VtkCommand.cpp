#include "batch/VtkCommand.h"

#include "batch/BatchTool.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "export/VtuFile.h"
#include "model/CDataString.h"
#include "model/CProjectProfile.h"
#include "model/Reports.h"
#include "model/Texts.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "scale/SheetColouring.h"

#include <algorithm>
#include <cctype>
#include <cstring>

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
// "l1_l2". Only letters, digits and underscores, so any tool takes it.
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
        add(unit, false);
    }
    return name;
}

std::string QuantityArrayName(int quantity, const CConfiguration& configuration) {
    return ArrayName(QuantityOf(quantity).helpWord, QuantityOf(quantity).In(configuration).unit);
}

// A record's arrays in the file's units and types, worked out in parallel
// before writing; the storage is reused from record to record.
struct RecordValues {
    std::vector<std::vector<double>> nodal = std::vector<std::vector<double>>(ResultQuantityCount - 1);
    std::vector<int64_t> corners; // 0-based, three per element
    std::vector<std::vector<double>> cells = std::vector<std::vector<double>>(5);
    std::vector<std::vector<uint8_t>> flags = std::vector<std::vector<uint8_t>>(3);
    NodeColouring colouring;
    std::vector<uint8_t> nodeFlags; // by node number: kTouches, kClamped, kNoPressure
};

constexpr uint8_t kTouches = 1, kClamped = 2, kNoPressure = 4;
constexpr size_t kGrain = 16384;

void ComputeRecordValues(const CSheetProfile& sheet, const CConfiguration& configuration,
                         RecordValues& values) {
    const size_t nodes = static_cast<size_t>(sheet.NodeCount()),
                 elements = static_cast<size_t>(sheet.ElementCount());
    // The node values the sheet is coloured by, as values prints them.
    for (int quantity = ThicknessQuantity; quantity < ResultQuantityCount; ++quantity) {
        ColourNodes(sheet, quantity, ScaleLimits(), values.colouring);
        const double* stored = values.colouring.values.data() + 1;
        std::vector<double>& shown = values.nodal[static_cast<size_t>(quantity - 1)];
        shown.resize(nodes);
        parallel::ForBlocks(nodes, kGrain, [&](size_t first, size_t last) {
            for (size_t node = first; node < last; ++node)
                shown[node] = QuantityToDisplay(quantity, stored[node], configuration);
        });
    }
    values.nodeFlags.resize(nodes + 1);
    parallel::ForBlocks(nodes, kGrain, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const int node = static_cast<int>(i + 1);
            uint8_t flags = 0;
            for (int tool = 0; tool < kToolSlots; ++tool)
                if (sheet.ContactFlag(node, tool) == 0)
                    flags = kTouches;
            if (sheet.IsClamped(node))
                flags |= kClamped;
            if (sheet.HasNoPressure(node))
                flags |= kNoPressure;
            values.nodeFlags[i + 1] = flags;
        }
    });

    values.corners.resize(3 * elements);
    for (std::vector<double>& column : values.cells)
        column.resize(elements);
    for (std::vector<uint8_t>& column : values.flags)
        column.resize(elements);
    const CElementProfile* list = sheet.Elements().data();
    const uint8_t* nodeFlags = values.nodeFlags.data();
    parallel::ForBlocks(elements, kGrain, [&](size_t first, size_t last) {
        for (size_t i = first; i < last; ++i) {
            const CElementProfile& e = list[i];
            for (size_t corner = 0; corner < 3; ++corner)
                values.corners[3 * i + corner] = static_cast<int64_t>(e.NodeNumbers[corner]) - 1;
            values.cells[0][i] = QuantityToDisplay(ThicknessQuantity, e.Thickness, configuration);
            values.cells[1][i] = QuantityToDisplay(TemperatureQuantity, e.Temperature, configuration);
            // Stored in Pa; shown in MPa in either system.
            values.cells[2][i] = e.PrincipalStress1 * 1e-6;
            values.cells[3][i] = e.PrincipalStress2 * 1e-6;
            values.cells[4][i] = e.ThirdStress * 1e-6;
            // Contact and no pressure when a corner has it; clamped when
            // every corner is, as the clamped statistics count an element.
            const uint8_t a = nodeFlags[e.NodeNumbers[0]], b = nodeFlags[e.NodeNumbers[1]],
                          c = nodeFlags[e.NodeNumbers[2]];
            values.flags[0][i] = ((a | b | c) & kTouches) != 0;
            values.flags[1][i] = (a & b & c & kClamped) != 0;
            values.flags[2][i] = ((a | b | c) & kNoPressure) != 0;
        }
    });
}

// An array copied from one of the columns.
template <typename T>
VtuArray Column(const std::string& name, VtuType type, int components, const std::vector<T>& column) {
    const size_t width = static_cast<size_t>(components);
    return {name, type, components, column.size() / width,
            [&column, width](size_t first, size_t count, void* out) {
                std::memcpy(out, column.data() + first * width, count * width * sizeof(T));
            }};
}

// The record's grid, reading the sheet and values while it is written.
VtuGrid RecordGrid(const CSheetProfile& sheet, const CConfiguration& configuration,
                   const RecordValues& values) {
    static_assert(sizeof(CCoordinate) == 3 * sizeof(double), "coordinates are three packed doubles");
    VtuGrid grid;
    grid.points = {"", VtuType::Float64, 3, static_cast<size_t>(sheet.NodeCount()),
                   [&sheet](size_t first, size_t count, void* out) {
                       std::memcpy(out, sheet.CurrentCoordinateArray() + first + 1,
                                   count * sizeof(CCoordinate));
                   }};
    grid.triangles = Column("", VtuType::Int64, 3, values.corners);
    for (int quantity = ThicknessQuantity; quantity < ResultQuantityCount; ++quantity)
        grid.pointData.push_back(Column(QuantityArrayName(quantity, configuration), VtuType::Float64, 1,
                                        values.nodal[static_cast<size_t>(quantity - 1)]));
    const char* stressUnit = QuantityOf(VonMisesQuantity).In(configuration).unit;
    const std::string names[] = {QuantityArrayName(ThicknessQuantity, configuration),
                                 QuantityArrayName(TemperatureQuantity, configuration),
                                 ArrayName("stress 1", stressUnit), ArrayName("stress 2", stressUnit),
                                 ArrayName("stress 3", stressUnit)};
    for (size_t i = 0; i < values.cells.size(); ++i)
        grid.cellData.push_back(Column(names[i], VtuType::Float64, 1, values.cells[i]));
    const char* flagNames[] = {"contact", "clamped", "no_pressure"};
    for (size_t i = 0; i < values.flags.size(); ++i)
        grid.cellData.push_back(Column(flagNames[i], VtuType::UInt8, 1, values.flags[i]));
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

int VtkProject(CProjectProfile& project, const CConfiguration& configuration, const std::string& records,
               const std::string& folder) {
    const std::vector<int> list = RecordsOfList(records, project.RecordCount());
    if (list.empty()) {
        ShowMessage(texts::InvalidRecordNumber, MessageIcon::None);
        return BatchFailure;
    }
    std::string name = FileNamePart(project.PathName());
    if (const size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    const std::string prefix = folder + (folder.empty() || folder.back() == '/' ? "" : "/");
    const int digits = static_cast<int>(std::to_string(project.RecordCount()).size());

    // The times stand in the project file's record blocks; a record without
    // one takes its number, so that the series keeps its order.
    CDataString tokens(10, 10);
    tokens.ReadFile(project.PathName());
    std::vector<PvdEntry> entries;
    RecordValues values;
    for (int record : list) {
        if (record != project.CurrentRecord() && !project.GoToRecord(record))
            return BatchFailure; // the loader has said why
        double pressure = 0, time = record;
        if (!RecordBlock(tokens, record - 1, pressure, time))
            time = record;
        ComputeRecordValues(*project.Sheet(), configuration, values);
        VtuGrid grid = RecordGrid(*project.Sheet(), configuration, values);
        grid.fieldData = {VtuNumber("record", record), VtuNumber("TimeValue", time)};
        const std::string file = FormatText("%s_%0*d.vtu", name.c_str(), digits, record);
        if (!WriteVtuFile(prefix + file, grid))
            return Fail(prefix + file + " cannot be written");
        entries.push_back({time, file});
    }
    if (!WritePvdFile(prefix + name + ".pvd", entries))
        return Fail(prefix + name + ".pvd cannot be written");
    return BatchSuccess;
}
