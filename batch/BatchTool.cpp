#include "batch/BatchTool.h"
#include "batch/ExportCommand.h"
#include "batch/InputFiles.h"
#include "batch/RenderCommand.h"
#include "batch/StudyCommand.h"
#include "batch/VideoCommand.h"
#include "batch/VtkCommand.h"

#include "config/CConfiguration.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "cut/CCutPlane.h"
#include "cut/CutComputation.h"
#include "cut/ProfileCsv.h"
#include "cut/ProfileGraph.h"
#include "export/PictureExport.h"
#include "export/ProjectExport.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "model/ProjectFile.h"
#include "model/Reports.h"
#include "model/Texts.h"
#include "scale/Comparison.h"
#include "scale/ResultQuantity.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"
#include "scale/SheetColouring.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const char* const Usage =
    "usage: quillmere-batch report sheet|project|record|document PROJECT.tfc [--units si|us] [--record N]\n"
    "       quillmere-batch values PROJECT.tfc --quantity Q [--record N] [--min A --max B] [--minus "
    "REFERENCE.tfc "
    "[--minus-record M]]\n"
    "       quillmere-batch cut PROJECT.tfc --plane x|y|z --position P --quantity Q [--record N] [--units "
    "si|us] "
    "[--graph | --save FILE.csv] [--minus REFERENCE.tfc [--minus-record M]]\n"
    "       quillmere-batch tip PROJECT.tfc (--node N | --element E) [--record N] [--units si|us]\n"
    "       quillmere-batch export PROJECT.tfc --to DIR [--with-solution [--first-last]] [--create]\n"
    "       quillmere-batch render PROJECT.tfc -o FILE [--record N] [--quantity Q] [--view general|xy|xz|yz] "
    "[--size WxH] [--no-name] [--scale] [--minus REFERENCE.tfc [--minus-record M]]\n"
    "       quillmere-batch video PROJECT.tfc -o FILE.avi|FILE.mp4 [--size WxH] [--codec NAME] [--quantity "
    "Q] "
    "[--view general|xy|xz|yz]\n"
    "       quillmere-batch study LIST -o TABLE.csv [--record last|N] [--units si|us] [--jobs N] [--pictures "
    "DIR] [--chart FILE.png] [--task I --of N]\n"
    "       quillmere-batch study --gather PART.csv... -o TABLE.csv\n"
    "       quillmere-batch vtk PROJECT.tfc --to DIR [--records all|last|N[,M...]] [--units si|us]";

struct BatchArguments {
    std::string command; // report, values, cut, tip, export, render, video, study or vtk
    std::string report;  // sheet, project, record or document
    std::string project;
    std::string units; // "", "si" or "us"
    int record = 0;    // 0: the last record
    int quantity = 0;
    bool hasMinimum = false, hasMaximum = false;
    double minimum = 0, maximum = 0;
    int plane = -1;
    double position = 0;
    bool graph = false;
    std::string save;            // cut: the CSV file of the profile, nothing on stdout
    int pickMode = -1;           // tip: NodeMode or ElementMode
    int item = 0;                // tip: the node number or element index
    std::string target;          // export, vtk: the folder, as typed
    std::string records = "all"; // vtk
    bool withSolution = false, firstAndLast = false, create = false;
    RenderArguments render;
    VideoArguments video;
    StudyArguments study;
    std::string minus;   // values, cut, render: the reference project of the difference
    int minusRecord = 0; // its record; 0: the one of --record
};

// Numbers are read in the "C" locale, whatever the user's is.
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

bool IsNumber(const std::string& text) {
    double value = 0;
    return ParseNumber(text, value);
}

bool IsInteger(const std::string& text) {
    int value = 0;
    return ParseInteger(text, value);
}

bool IsQuantity(const std::string& text) {
    int value = 0;
    return ParseInteger(text, value) && value >= 1 && value <= 7;
}

// A check by one of the parsers above; the text itself is kept as given.
CLI::Validator Accepts(bool (*accepts)(const std::string&), const std::string& what) {
    return CLI::Validator(
        [accepts, what](std::string& text) {
            return accepts(text) ? std::string() : text + " is not " + what;
        },
        "");
}

// The raw texts of the options, turned into BatchArguments once CLI11 has
// checked them.
struct OptionTexts {
    std::string record, quantity, minimum, maximum, plane, position, node, element;
    std::string size;      // render: WxH
    std::string videoSize; // video: WxH
    std::string minusRecord;
};

CLI::Option* AddRecord(CLI::App& command, OptionTexts& texts) {
    // Any integer is taken here; the range is checked once the project is
    // open.
    return command
        .add_option("--record", texts.record, "The record, 1 to the number of records; the last by default")
        ->type_name("N")
        ->check(Accepts(IsInteger, "an integer"));
}

CLI::Option* AddUnits(CLI::App& command, BatchArguments& parsed) {
    return command
        .add_option(
            "--units", parsed.units,
            "The system of units: si (SI metric) or us (US customary); the configuration's by default")
        ->type_name("si|us")
        ->check(CLI::IsMember({"si", "us"}));
}

// values and cut need a quantity; render and video colour by thickness
// without one.
CLI::Option* AddQuantity(CLI::App& command, OptionTexts& texts, bool required) {
    std::string help;
    for (int quantity = ThicknessQuantity; quantity < ResultQuantityCount; ++quantity)
        help += FormatText(quantity == ThicknessQuantity ? "%d %s" : ", %d %s", quantity,
                           QuantityOf(quantity).helpWord) +
                (quantity == ThicknessQuantity && !required ? " (the default)" : "");
    CLI::Option* option = command.add_option("--quantity", texts.quantity, help)
                              ->type_name("Q")
                              ->check(Accepts(IsQuantity, "a quantity from 1 to 7"));
    return required ? option->required() : option;
}

bool IsPictureSize(const std::string& text) {
    return ParsePictureSize(text).has_value();
}

CLI::Option* AddSize(CLI::App& command, std::string& text, const std::string& help) {
    return command.add_option("--size", text, help)
        ->type_name("WxH")
        ->check(Accepts(IsPictureSize, "a size WxH with each 100 to 20000"));
}

CLI::Option* AddView(CLI::App& command, std::string& view) {
    return command.add_option("--view", view, "The standard view the scene is seen in; general by default")
        ->type_name("general|xy|xz|yz")
        ->check(CLI::IsMember({"general", "xy", "xz", "yz"}));
}

// values, cut and render of the difference to a reference project.
void AddMinus(CLI::App& command, BatchArguments& parsed, OptionTexts& texts) {
    CLI::Option* minus =
        command
            .add_option(
                "--minus", parsed.minus,
                "The difference to this project, whose mesh must be the same: this one's values minus "
                "its values; a mismatch names an element as tip --element numbers it, from 0")
            ->type_name("B.tfc");
    command
        .add_option(
            "--minus-record", texts.minusRecord,
            "The record of the --minus project, 1 to its number of records; the one of --record (or its "
            "last) by default")
        ->type_name("M")
        ->check(Accepts(IsInteger, "an integer"))
        ->needs(minus);
}

void DescribeRender(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* render = app.add_subcommand(
        "render", "Writes the scene's picture as Save to bitmap does, or its printed page into FILE.pdf");
    render->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    render
        ->add_option("-o,--output", parsed.render.output,
                     "The picture file; its extension gives the format (.png, .jpg, .bmp, ...); .pdf prints "
                     "the page as the Print command does")
        ->type_name("FILE")
        ->required();
    AddRecord(*render, texts);
    AddQuantity(*render, texts, false);
    AddView(*render, parsed.render.view);
    AddSize(*render, texts.size,
            "The picture's size in pixels, each 100 to 20000; 640x480 by default (a PDF page takes the "
            "page's size)");
    render->add_flag("--no-name", parsed.render.noName, "Leaves out the caption with the project's name");
    render->add_flag("--scale", parsed.render.scale, "Draws the colour scale with its five labels");
    AddMinus(*render, parsed, texts);
}

void DescribeVideo(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* video = app.add_subcommand("video", "Writes the video of every record, each shown for 0.2 s, "
                                                  "as Export video... in the File menu does; progress on "
                                                  "stderr when it is a terminal");
    video->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    video
        ->add_option("-o,--output", parsed.video.output,
                     "The video file: .avi gives AVI (msvideo1 by default), .mp4 H.264 in MP4")
        ->type_name("FILE.avi|FILE.mp4")
        ->required();
    AddSize(*video, texts.videoSize,
            "The frame size in pixels, each 100 to 20000; 640x480 by default (padded to the multiple the "
            "encoder needs)");
    video
        ->add_option("--codec", parsed.video.codec,
                     "The encoder by its FFmpeg name (msvideo1, mjpeg, ...; libx264 for MP4); any encoder "
                     "the container takes")
        ->type_name("NAME");
    AddQuantity(*video, texts, false);
    AddView(*video, parsed.video.view);
}

void DescribeVtk(CLI::App& app, BatchArguments& parsed) {
    CLI::App* vtk = app.add_subcommand(
        "vtk",
        "Writes records as VTK unstructured grids, one PROJECT_R.vtu per record, and PROJECT.pvd, "
        "which lists them in their order with their times; the points in metres and the arrays in mm, "
        "degC and MPa, or all of them in inches, degF and psi with --units us; cell i is the element of "
        "tip --element i");
    vtk->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    vtk->add_option("--to", parsed.target,
                    "The folder the files are written into, created when missing; never the project's own "
                    "folder")
        ->type_name("DIR")
        ->required();
    vtk->add_option("--records", parsed.records, "The records: all (the default), the last, or their numbers")
        ->type_name("all|last|N[,M...]")
        ->check(Accepts(IsRecordList, "all, last or a list of record numbers"));
    AddUnits(*vtk, parsed);
}

// Sets up the commands; every option given twice takes its last value.
void DescribeCommands(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    app.set_version_flag("--version", "quillmere-batch " QUILLMERE_VERSION);
    app.require_subcommand(1);
    // Left-over arguments are kept to name the first of them (see
    // FirstUnexpected).
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

    CLI::App* report = app.add_subcommand("report", "Writes a report of the project");
    report->add_option("kind", parsed.report, "sheet, project, record or document")
        ->required()
        ->check(CLI::IsMember({"sheet", "project", "record", "document"}));
    report->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    AddUnits(*report, parsed);
    AddRecord(*report, texts);

    CLI::App* values = app.add_subcommand(
        "values", "Writes the scale limits and every node's value and colour index (-1 where the value is "
                  "not a number); nodes are numbered from 1, as tip --node takes them");
    values->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    AddQuantity(*values, texts, true);
    AddRecord(*values, texts);
    CLI::Option* minimum = values->add_option("--min", texts.minimum, "Fixed lower scale limit")
                               ->type_name("A")
                               ->check(Accepts(IsNumber, "a number"));
    CLI::Option* maximum = values->add_option("--max", texts.maximum, "Fixed upper scale limit")
                               ->type_name("B")
                               ->check(Accepts(IsNumber, "a number"));
    minimum->needs(maximum);
    maximum->needs(minimum);
    AddMinus(*values, parsed, texts);

    CLI::App* cut = app.add_subcommand(
        "cut",
        "Writes the cut of the sheet by a plane, or its profile graph; the element numbers of the pieces "
        "and of the CSV count from 1, as the cut window's do (tip --element takes the number less one)");
    cut->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    cut->add_option("--plane", texts.plane, "The axis the plane is normal to")
        ->type_name("x|y|z")
        ->required()
        ->check(CLI::IsMember({"x", "y", "z"}));
    cut->add_option("--position", texts.position,
                    "Where the plane meets the axis, in mm (inch with --units us)")
        ->type_name("P")
        ->required()
        ->check(Accepts(IsNumber, "a number"));
    AddQuantity(*cut, texts, true);
    AddRecord(*cut, texts);
    AddUnits(*cut, parsed);
    CLI::Option* graph =
        cut->add_flag("--graph", parsed.graph, "Writes the profile graph instead of the pieces");
    cut->add_option(
           "--save", parsed.save,
           "Writes the profile as CSV into FILE.csv (as the cut window's Save data does) and nothing "
           "to the standard output")
        ->type_name("FILE.csv")
        ->excludes(graph);
    AddMinus(*cut, parsed, texts);

    CLI::App* tip =
        app.add_subcommand("tip", "Writes the data tip's lines of a sheet node or element, one per line");
    tip->add_option("project", parsed.project, "The project file")->type_name("PROJECT.tfc")->required();
    CLI::Option* node =
        tip->add_option("--node", texts.node,
                        "The node picked in node mode, as the tip numbers it: from 1, as values numbers them")
            ->type_name("N")
            ->check(Accepts(IsInteger, "an integer"));
    CLI::Option* element =
        tip->add_option(
               "--element", texts.element,
               "The element picked in element mode, as the tip numbers it: from 0 (the element numbers "
               "of cut count from 1: its element 963 is --element 962)")
            ->type_name("E")
            ->check(Accepts(IsInteger, "an integer"));
    node->excludes(element);
    element->excludes(node);
    AddRecord(*tip, texts);
    AddUnits(*tip, parsed);
    CLI::App* exporting = app.add_subcommand(
        "export", "Copies the project's files into a folder, as the Project export dialog does; prints the "
                  "result on the standard output, status 2 unless every file was copied; files of the same "
                  "names in the folder are replaced, each named on stderr");
    exporting->add_option("project", parsed.project, "The project file")
        ->type_name("PROJECT.tfc")
        ->required();
    exporting
        ->add_option("--to", parsed.target,
                     "The folder the files are copied into; never the project's own folder")
        ->type_name("DIR")
        ->required();
    CLI::Option* withSolution = exporting->add_flag(
        "--with-solution", parsed.withSolution,
        "With the solution: every record file and the project's .teh files beside the source files");
    exporting
        ->add_flag("--first-last", parsed.firstAndLast,
                   "With the solution, only the first and the last record, as records 0 and 1 of the "
                   "exported project")
        ->needs(withSolution);
    exporting->add_flag("--create", parsed.create, "Creates the folder when it does not exist");
    DescribeRender(app, parsed, texts);
    DescribeVideo(app, parsed, texts);
    DescribeStudy(app, parsed.study);
    DescribeVtk(app, parsed);
    // After the commands, which would take it over otherwise.
    app.footer(Usage);
}

// The values CLI11 has checked, in the form the commands use.
void TakeOptionTexts(const OptionTexts& texts, BatchArguments& parsed) {
    if (!texts.record.empty()) {
        ParseInteger(texts.record, parsed.record);
        if (parsed.record == 0)
            parsed.record = -1;
    }
    if (!texts.quantity.empty())
        ParseInteger(texts.quantity, parsed.quantity);
    if (!texts.minusRecord.empty()) {
        ParseInteger(texts.minusRecord, parsed.minusRecord);
        if (parsed.minusRecord == 0)
            parsed.minusRecord = -1;
    }
    parsed.hasMinimum = !texts.minimum.empty() && ParseNumber(texts.minimum, parsed.minimum);
    parsed.hasMaximum = !texts.maximum.empty() && ParseNumber(texts.maximum, parsed.maximum);
    if (!texts.plane.empty())
        parsed.plane = texts.plane[0] - 'x';
    if (!texts.position.empty())
        ParseNumber(texts.position, parsed.position);
    if (const auto size = ParsePictureSize(texts.size)) {
        parsed.render.width = size->first;
        parsed.render.height = size->second;
    }
    if (const auto size = ParsePictureSize(texts.videoSize)) {
        parsed.video.width = size->first;
        parsed.video.height = size->second;
    }
    if (!texts.node.empty()) {
        parsed.pickMode = NodeMode;
        ParseInteger(texts.node, parsed.item);
    } else if (!texts.element.empty()) {
        parsed.pickMode = ElementMode;
        ParseInteger(texts.element, parsed.item);
    }
}

// The first argument of list but "--", which ends the options (and which
// CLI11 lists among the arguments it did not take).
std::string FirstOf(const std::vector<std::string>& list) {
    for (const std::string& argument : list)
        if (argument != "--")
            return argument;
    return "";
}

// The first argument that no command took. CLI11 keeps those of the command
// (unknown options) apart from those it handed back (surplus values): the
// unknown option names the fault best.
std::string FirstUnexpected(const CLI::App& app) {
    for (const CLI::App* command : app.get_subcommands())
        if (!FirstOf(command->remaining()).empty())
            return FirstOf(command->remaining());
    return FirstOf(app.remaining());
}

// Why a command line is wrong, in one line.
std::string Reason(const std::string& error, const CLI::App& app, const std::vector<std::string>& arguments) {
    const std::string unexpected = FirstUnexpected(app);
    if (arguments.empty())
        return "a command is needed: report, values, cut, tip, export, render, video, study or vtk";
    if (app.get_subcommands().empty() && !arguments.empty() && !arguments[0].empty() &&
        arguments[0][0] != '-')
        return arguments[0] +
               " is not a command: report, values, cut, tip, export, render, video, study or vtk";
    if (!unexpected.empty() && unexpected[0] == '-' && !app.get_subcommands().empty())
        return unexpected + " is not an option of " + app.get_subcommands().front()->get_name();
    if (!unexpected.empty())
        return (unexpected[0] == '-' ? "unknown option " : "unexpected argument ") + unexpected;
    std::string reason = error;
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    return reason;
}

enum class ParseOutcome { Run, Done, Wrong };

// Help and version go to out; a wrong command line is shown with its reason
// and the usage.
ParseOutcome ParseArguments(const std::vector<std::string>& arguments, BatchArguments& parsed,
                            std::ostream& out) {
    CLI::App app("Reports, node values, cuts and data tips of solved projects", "quillmere-batch");
    OptionTexts texts;
    DescribeCommands(app, parsed, texts);
    std::string reason;
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
        if (!FirstUnexpected(app).empty())
            reason = Reason("", app, arguments);
        else if (app.got_subcommand("tip") && texts.node.empty() && texts.element.empty())
            reason = "tip needs --node N or --element E";
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return ParseOutcome::Done;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return ParseOutcome::Done;
    } catch (const CLI::ParseError& error) {
        reason = Reason(error.what(), app, arguments);
    }
    if (!reason.empty()) {
        ShowMessage(FormatText("quillmere-batch: %s\n%s", reason.c_str(), Usage), MessageIcon::Error);
        return ParseOutcome::Wrong;
    }
    parsed.command = app.get_subcommands().front()->get_name();
    TakeOptionTexts(texts, parsed);
    return ParseOutcome::Run;
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

int WriteValues(const BatchArguments& arguments, const CProjectProfile& project, CComparison* comparison,
                std::ostream& out) {
    ScaleLimits limits;
    if (arguments.hasMinimum) {
        limits.SetFixedMode(arguments.quantity, 1);
        limits.SetFixedMinimum(arguments.quantity, arguments.minimum);
        limits.SetFixedMaximum(arguments.quantity, arguments.maximum);
    }
    const CSheetProfile& sheet = *project.Sheet();
    NodeColouring colouring;
    ScaleRange range;
    if (comparison) {
        comparison->ColourDifferences(sheet, arguments.quantity, limits, colouring);
        range = {colouring.minimum, colouring.maximum};
    } else {
        range = ComputeScaleRange(sheet, arguments.quantity, limits);
        ColourNodes(sheet, arguments.quantity, limits, colouring);
    }
    out << "# limits " << ExactNumber(range.minimum) << ' ' << ExactNumber(range.maximum) << '\n';
    out << "node,value,colour\n";
    for (int node = 1; node <= sheet.NodeCount(); ++node) {
        // The grey of a value that is not a number is no index of the ramp.
        const int index = colouring.indices[static_cast<size_t>(node)];
        out << node << ',' << ExactNumber(colouring.values[static_cast<size_t>(node)]) << ','
            << (index == ColourRamp::NoValue ? -1 : index) << '\n';
    }
    return BatchSuccess;
}

int WriteCut(const BatchArguments& arguments, CProjectProfile& project, const CConfiguration& configuration,
             const CComparison* comparison, std::ostream& out) {
    const CSheetProfile& sheet = *project.Sheet();
    const double millimetres = configuration.LengthFromDisplay(arguments.position);
    CCutSegments cut = ComputeCut(sheet, CCutPlane::AtAxis(arguments.plane, millimetres), arguments.quantity);
    if (comparison)
        TakeCutDifferences(cut, *comparison, arguments.quantity);
    const bool difference = comparison != nullptr;
    const CProfileGraph graph = BuildProfileGraph(cut, arguments.quantity, configuration, difference);
    if (!arguments.save.empty()) {
        if (!SaveProfileCsv(arguments.save, ProfileCsv(cut, arguments.quantity, configuration, difference))) {
            ShowMessage("quillmere-batch: " + arguments.save + " cannot be written", MessageIcon::Error);
            return BatchFailure;
        }
    } else if (arguments.graph) {
        if (!graph.Points.empty()) {
            CGraphLimits limits;
            ApplyAutomaticLimits(graph, configuration, limits);
            out << "# limits " << ExactNumber(limits.xMin) << ' ' << ExactNumber(limits.xMax) << ' '
                << ExactNumber(limits.yMin) << ' ' << ExactNumber(limits.yMax) << '\n';
        }
        out << "arc,value\n";
        for (const CGraphPoint& point : graph.Points)
            out << ExactNumber(point.x) << ',' << ExactNumber(point.y) << '\n';
    } else {
        out << "element,x0,y0,z0,x1,y1,z1,arc_start,arc_end,value\n";
        for (const CAbscisse& piece : cut) {
            out << piece.ElementNumber << ',' << ExactNumber(piece.Start.x) << ','
                << ExactNumber(piece.Start.y) << ',' << ExactNumber(piece.Start.z) << ','
                << ExactNumber(piece.End.x) << ',' << ExactNumber(piece.End.y) << ','
                << ExactNumber(piece.End.z) << ',' << ExactNumber(piece.ArcStart) << ','
                << ExactNumber(piece.ArcEnd) << ',' << ExactNumber(piece.Value) << '\n';
        }
    }
    if (cut.empty())
        ShowMessage(NoCutText, MessageIcon::Information);
    return BatchSuccess;
}

// The lines of the data tip that picking the item fills.
int WriteTip(const BatchArguments& arguments, const CProjectProfile& project,
             const CConfiguration& configuration, std::ostream& out) {
    const CSheetProfile& sheet = *project.Sheet();
    CDataDisplay record;
    if (!PickSheetItem(sheet, arguments.pickMode, arguments.item, record)) {
        ShowMessage(arguments.pickMode == NodeMode
                        ? FormatText("There is no node %d: the sheet has nodes 1 to %d.", arguments.item,
                                     sheet.NodeCount())
                        : FormatText("There is no element %d: the sheet has elements 0 to %d.",
                                     arguments.item, sheet.ElementCount() - 1),
                    MessageIcon::Error);
        return BatchFailure;
    }
    for (const std::string& line : DataTipLines(record, configuration))
        out << line << '\n';
    return BatchSuccess;
}

// The command once its arguments are known.
int RunCommand(const BatchArguments& arguments, const std::string& configurationPath, std::ostream& out) {
    // The export copies files; it reads no record and no configuration.
    if (arguments.command == "export")
        return ExportFiles(arguments.project, arguments.target, arguments.withSolution,
                           arguments.firstAndLast, arguments.create, out);
    if (arguments.command == "study")
        return RunStudyCommand(arguments.study, configurationPath);

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
    // No output may replace a file the command reads.
    CInputFiles inputs;
    inputs.AddProject(project);
    if (arguments.command == "vtk") {
        const std::string target = Trim(arguments.target);
        if (!AcceptTarget(project.PathName(), target, true))
            return BatchFailure;
        return VtkProject(project, configuration, arguments.records, target, &inputs);
    }
    if (arguments.command == "report")
        return WriteReport(arguments, project, configuration, out);
    // The difference to another project (or another record of this one).
    std::shared_ptr<CComparison> comparison;
    if (!arguments.minus.empty()) {
        CProjectProfile reference;
        if (!reference.Open(arguments.minus, nullptr))
            return BatchFailure;
        inputs.AddProject(reference);
        if (arguments.minusRecord != 0 &&
            (arguments.minusRecord < 1 || arguments.minusRecord > reference.RecordCount())) {
            ShowMessage(texts::InvalidRecordNumber, MessageIcon::None);
            return BatchFailure;
        }
        comparison = std::make_shared<CComparison>(project, reference, arguments.minusRecord);
        std::string failure;
        if (!comparison->Prepare(*project.Sheet(), project.Player().ShownRecord(), failure)) {
            ShowMessage("quillmere-batch: " + failure, MessageIcon::Error);
            return BatchFailure;
        }
    }
    if (arguments.command == "values")
        return WriteValues(arguments, project, comparison.get(), out);
    if (arguments.command == "tip")
        return WriteTip(arguments, project, configuration, out);
    const std::string output = arguments.command == "render"  ? arguments.render.output
                               : arguments.command == "video" ? arguments.video.output
                                                              : arguments.save;
    if (!inputs.Accepts(output))
        return BatchFailure;
    if (arguments.command == "render") {
#ifdef QUILLMERE_BATCH_RENDER
        return RenderProject(arguments.render, project, configuration,
                             arguments.quantity != 0 ? arguments.quantity : ThicknessQuantity, comparison);
#else
        ShowMessage("quillmere-batch: this build draws no pictures (built without Qt)", MessageIcon::Error);
        return BatchFailure;
#endif
    }
    if (arguments.command == "video") {
#ifdef QUILLMERE_BATCH_RENDER
        return VideoProject(arguments.video, project, configuration,
                            arguments.quantity != 0 ? arguments.quantity : ThicknessQuantity);
#else
        ShowMessage("quillmere-batch: this build draws no videos (built without Qt)", MessageIcon::Error);
        return BatchFailure;
#endif
    }
    return WriteCut(arguments, project, configuration, comparison.get(), out);
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

namespace {

// A full disk or a closed file under the standard output must not pass for
// a complete output.
int CheckOutput(std::ostream& out, int status) {
    out.flush();
    if (out)
        return status;
    ShowMessage("quillmere-batch: the standard output cannot be written", MessageIcon::Error);
    return status == BatchCritical ? status : BatchFailure;
}

} // namespace

int RunBatch(const std::vector<std::string>& argumentList, const std::string& configurationPath,
             std::ostream& out) {
    BatchArguments arguments;
    switch (ParseArguments(argumentList, arguments, out)) {
    case ParseOutcome::Done:
        return CheckOutput(out, BatchSuccess);
    case ParseOutcome::Wrong:
        return BatchFailure;
    case ParseOutcome::Run:
        break;
    }
    int status = BatchCritical;
    try {
        status = RunCommand(arguments, configurationPath, out);
    } catch (const CCriticalError&) {
        // The message has been shown where the error arose.
    }
    return CheckOutput(out, status);
}
