#include "batch/VtkCommand.h"

#include "batch/BatchTool.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
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

// The record's mesh and values; the grid's storage is reused.
void FillGrid(const CSheetProfile& sheet, const CConfiguration& configuration, VtuGrid& grid) {
    const int nodes = sheet.NodeCount(), elements = sheet.ElementCount();
    grid.points.resize(3 * static_cast<size_t>(nodes));
    for (int node = 1; node <= nodes; ++node) {
        const CCoordinate& p = sheet.CurrentCoordinate(node);
        double* point = &grid.points[3 * static_cast<size_t>(node - 1)];
        point[0] = p.x;
        point[1] = p.y;
        point[2] = p.z;
    }
    grid.connectivity.resize(3 * static_cast<size_t>(elements));
    const auto& list = sheet.Elements();
    for (int i = 0; i < elements; ++i)
        for (int corner = 0; corner < 3; ++corner)
            grid.connectivity[3 * static_cast<size_t>(i) + static_cast<size_t>(corner)] =
                list[static_cast<size_t>(i)].NodeNumbers[corner] - 1;

    // The node values the sheet is coloured by, as values prints them.
    grid.pointData.resize(ResultQuantityCount - 1);
    NodeColouring colouring;
    for (int quantity = ThicknessQuantity; quantity < ResultQuantityCount; ++quantity) {
        ColourNodes(sheet, quantity, ScaleLimits(), colouring);
        VtuArray& array = grid.pointData[static_cast<size_t>(quantity - 1)];
        array.name = QuantityArrayName(quantity, configuration);
        array.values.resize(static_cast<size_t>(nodes));
        for (int node = 1; node <= nodes; ++node)
            array.values[static_cast<size_t>(node - 1)] =
                QuantityToDisplay(quantity, colouring.values[static_cast<size_t>(node)], configuration);
    }

    const char* stressUnit = QuantityOf(VonMisesQuantity).In(configuration).unit;
    grid.cellData = {{QuantityArrayName(ThicknessQuantity, configuration), {}},
                     {QuantityArrayName(TemperatureQuantity, configuration), {}},
                     {ArrayName("stress 1", stressUnit), {}},
                     {ArrayName("stress 2", stressUnit), {}},
                     {ArrayName("stress 3", stressUnit), {}}};
    for (VtuArray& array : grid.cellData)
        array.values.resize(static_cast<size_t>(elements));
    grid.cellFlags = {{"contact", {}}, {"clamped", {}}, {"no_pressure", {}}};
    for (VtuFlags& flags : grid.cellFlags)
        flags.values.assign(static_cast<size_t>(elements), 0);
    for (int i = 0; i < elements; ++i) {
        const size_t at = static_cast<size_t>(i);
        const CElementProfile& e = list[at];
        grid.cellData[0].values[at] = QuantityToDisplay(ThicknessQuantity, e.Thickness, configuration);
        grid.cellData[1].values[at] = QuantityToDisplay(TemperatureQuantity, e.Temperature, configuration);
        // Stored in Pa; shown in MPa in either system.
        grid.cellData[2].values[at] = e.PrincipalStress1 * 1e-6;
        grid.cellData[3].values[at] = e.PrincipalStress2 * 1e-6;
        grid.cellData[4].values[at] = e.ThirdStress * 1e-6;
        // Contact and no pressure when a corner has it; clamped when every
        // corner is, as the clamped statistics count an element.
        bool contact = false, clamped = true, noPressure = false;
        for (int corner = 0; corner < 3; ++corner) {
            const int node = e.NodeNumbers[corner];
            for (int tool = 0; tool < kToolSlots; ++tool)
                contact = contact || sheet.ContactFlag(node, tool) == 0;
            clamped = clamped && sheet.IsClamped(node);
            noPressure = noPressure || sheet.HasNoPressure(node);
        }
        grid.cellFlags[0].values[at] = contact;
        grid.cellFlags[1].values[at] = clamped;
        grid.cellFlags[2].values[at] = noPressure;
    }
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
    VtuGrid grid;
    for (int record : list) {
        if (record != project.CurrentRecord() && !project.GoToRecord(record))
            return BatchFailure; // the loader has said why
        double pressure = 0, time = record;
        if (!RecordBlock(tokens, record - 1, pressure, time))
            time = record;
        FillGrid(*project.Sheet(), configuration, grid);
        grid.fieldData = {{"record", {static_cast<double>(record)}}, {"TimeValue", {time}}};
        const std::string file = FormatText("%s_%0*d.vtu", name.c_str(), digits, record);
        if (!WriteVtuFile(prefix + file, grid))
            return Fail(prefix + file + " cannot be written");
        entries.push_back({time, file});
    }
    if (!WritePvdFile(prefix + name + ".pvd", entries))
        return Fail(prefix + name + ".pvd cannot be written");
    return BatchSuccess;
}
