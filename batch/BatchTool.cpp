#include "batch/BatchTool.h"

#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "cut/CCutPlane.h"
#include "cut/CutComputation.h"
#include "cut/ProfileGraph.h"
#include "model/CProjectProfile.h"
#include "model/Reports.h"
#include "model/Texts.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"
#include "scale/SheetColouring.h"

#include <cmath>
#include <memory>

namespace {

const char* const Usage =
    "usage: quillmere-batch report sheet|project|record|document PROJECT.tfc [--units si|us] [--record N]\n"
    "       quillmere-batch values PROJECT.tfc --quantity Q [--record N] [--min A --max B]\n"
    "       quillmere-batch cut PROJECT.tfc --plane x|y|z --position P --quantity Q [--record N] [--units "
    "si|us] "
    "[--graph]";

const char* const NoCut = "(No cut found or cut not created)";

struct BatchArguments {
    std::string command; // report, values or cut
    std::string report;  // sheet, project, record or document
    std::string project;
    std::string units; // "", "si" or "us"
    int record = 0;    // 0: the last record
    int quantity = 0;
    bool hasMinimum = false, hasMaximum = false;
    double minimum = 0, maximum = 0;
    int plane = -1;
    bool hasPosition = false;
    double position = 0;
    bool graph = false;
};

bool ParseNumber(const std::string& text, double& value) {
    if (!IsWholeNumber(text.c_str()))
        return false;
    value = ParseDouble(text.c_str());
    return std::isfinite(value);
}

bool ParseInteger(const std::string& text, int& value) {
    double number = 0;
    if (!ParseNumber(text, number) || number != std::floor(number) || std::fabs(number) > 1e9)
        return false;
    value = static_cast<int>(number);
    return true;
}

// Reads the options after the positional arguments; false on anything
// unknown, repeated values are taken as the last one given.
bool ParseOptions(const std::vector<std::string>& arguments, size_t first, BatchArguments& parsed) {
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--graph" && parsed.command == "cut") {
            parsed.graph = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            return false;
        const std::string& value = arguments[++i];
        if (option == "--units" && parsed.command != "values") {
            if (value != "si" && value != "us")
                return false;
            parsed.units = value;
        } else if (option == "--record") {
            // Any integer is taken here; the range is checked once the
            // project is open.
            if (!ParseInteger(value, parsed.record))
                return false;
            if (parsed.record == 0)
                parsed.record = -1;
        } else if (option == "--quantity" && parsed.command != "report") {
            if (!ParseInteger(value, parsed.quantity) || parsed.quantity < 1 || parsed.quantity > 7)
                return false;
        } else if (option == "--min" && parsed.command == "values") {
            parsed.hasMinimum = ParseNumber(value, parsed.minimum);
            if (!parsed.hasMinimum)
                return false;
        } else if (option == "--max" && parsed.command == "values") {
            parsed.hasMaximum = ParseNumber(value, parsed.maximum);
            if (!parsed.hasMaximum)
                return false;
        } else if (option == "--plane" && parsed.command == "cut") {
            if (value != "x" && value != "y" && value != "z")
                return false;
            parsed.plane = value[0] - 'x';
        } else if (option == "--position" && parsed.command == "cut") {
            parsed.hasPosition = ParseNumber(value, parsed.position);
            if (!parsed.hasPosition)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool ParseArguments(const std::vector<std::string>& arguments, BatchArguments& parsed) {
    if (arguments.empty())
        return false;
    parsed.command = arguments[0];
    if (parsed.command == "report") {
        if (arguments.size() < 3)
            return false;
        parsed.report = arguments[1];
        parsed.project = arguments[2];
        return (parsed.report == "sheet" || parsed.report == "project" || parsed.report == "record" ||
                parsed.report == "document") &&
               ParseOptions(arguments, 3, parsed);
    }
    if (parsed.command != "values" && parsed.command != "cut")
        return false;
    if (arguments.size() < 2)
        return false;
    parsed.project = arguments[1];
    if (!ParseOptions(arguments, 2, parsed) || parsed.quantity == 0)
        return false;
    if (parsed.command == "values")
        return parsed.hasMinimum == parsed.hasMaximum;
    return parsed.plane >= 0 && parsed.hasPosition;
}

std::string Number(double value) {
    return FormatText("%.17g", value);
}

int WriteReport(const BatchArguments& arguments, CProjectProfile& project,
                const CConfiguration& configuration, std::ostream& out) {
    std::string text;
    if (arguments.report == "sheet") {
        text = SheetPropertiesReport(project, configuration);
    } else if (arguments.report == "project") {
        const ProjectInformation information = ProjectInformationReport(project);
        if (information.configurationUnreadable)
            ShowMessage(information.text, MessageIcon::Error);
        text = information.text;
    } else if (arguments.report == "record") {
        if (!RecordInformationReport(project, configuration, text))
            return BatchFailure;
    } else {
        text = DocumentInformationReport(project.PathName());
    }
    out << UnixLineEnds(text) << '\n';
    return BatchSuccess;
}

int WriteValues(const BatchArguments& arguments, const CProjectProfile& project, std::ostream& out) {
    ScaleLimits limits;
    if (arguments.hasMinimum) {
        limits.SetFixedMode(arguments.quantity, 1);
        limits.SetFixedMinimum(arguments.quantity, arguments.minimum);
        limits.SetFixedMaximum(arguments.quantity, arguments.maximum);
    }
    const CSheetProfile& sheet = *project.Sheet();
    const ScaleRange range = ComputeScaleRange(sheet, arguments.quantity, limits);
    const NodeColouring colouring = ColourNodes(sheet, arguments.quantity, limits);
    out << "# limits " << Number(range.minimum) << ' ' << Number(range.maximum) << '\n';
    out << "node,value,colour\n";
    for (int node = 1; node <= sheet.NodeCount(); ++node)
        out << node << ',' << Number(colouring.values[static_cast<size_t>(node)]) << ','
            << static_cast<int>(colouring.indices[static_cast<size_t>(node)]) << '\n';
    return BatchSuccess;
}

int WriteCut(const BatchArguments& arguments, CProjectProfile& project, const CConfiguration& configuration,
             std::ostream& out) {
    CSheetProfile& sheet = *project.Sheet();
    const double millimetres = configuration.LengthFromDisplay(arguments.position);
    ComputeCut(sheet, CCutPlane::AtAxis(arguments.plane, millimetres), arguments.quantity);
    const CProfileGraph graph = BuildProfileGraph(sheet.CutSegments(), arguments.quantity, configuration);
    const CCutSegments& cut = sheet.CutSegments();
    if (arguments.graph) {
        if (!graph.Points.empty()) {
            CGraphLimits limits;
            ApplyAutomaticLimits(graph, configuration, limits);
            out << "# limits " << Number(limits.xMin) << ' ' << Number(limits.xMax) << ' '
                << Number(limits.yMin) << ' ' << Number(limits.yMax) << '\n';
        }
        out << "arc,value\n";
        for (const CGraphPoint& point : graph.Points)
            out << Number(point.x) << ',' << Number(point.y) << '\n';
    } else {
        out << "element,x0,y0,z0,x1,y1,z1,arc_start,arc_end,value\n";
        for (int i = 0; i < cut.Count(); ++i) {
            const CAbscisse& piece = *cut.At(i);
            out << piece.ElementNumber << ',' << Number(piece.Start.x) << ',' << Number(piece.Start.y) << ','
                << Number(piece.Start.z) << ',' << Number(piece.End.x) << ',' << Number(piece.End.y) << ','
                << Number(piece.End.z) << ',' << Number(piece.ArcStart) << ',' << Number(piece.ArcEnd) << ','
                << Number(piece.Value) << '\n';
        }
    }
    if (cut.Count() == 0)
        ShowMessage(NoCut, MessageIcon::Information);
    return BatchSuccess;
}

} // namespace

std::string UnixLineEnds(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            result += text[i];
    return result;
}

int RunBatch(const std::vector<std::string>& argumentList, const std::string& configurationPath,
             std::ostream& out) {
    BatchArguments arguments;
    if (!ParseArguments(argumentList, arguments)) {
        ShowMessage(Usage, MessageIcon::Error);
        return BatchFailure;
    }
    CConfiguration configuration(configurationPath);
    if (!arguments.units.empty())
        configuration.SetSIMetric(arguments.units == "si");

    CProjectProfile project;
    if (!project.Open(arguments.project, nullptr))
        return BatchFailure;
    // Other records are reached the way the windows reach them.
    if (arguments.record != 0) {
        if (arguments.record < 1 || arguments.record > project.RecordCount()) {
            ShowMessage(texts::InvalidRecordNumber, MessageIcon::None);
            return BatchFailure;
        }
        if (arguments.record != project.CurrentRecord() && !project.GoToRecord(arguments.record))
            return BatchFailure;
    }
    if (arguments.command == "report")
        return WriteReport(arguments, project, configuration, out);
    if (arguments.command == "values")
        return WriteValues(arguments, project, out);
    return WriteCut(arguments, project, configuration, out);
}
