#include "batch/Subcommands.h"

#include "batch/BatchOptions.h"
#include "batch/VtkCommand.h"
#include "core/TextFormat.h"
#include "export/PictureExport.h"
#include "measure/PointComparison.h"
#include "scale/ResultQuantity.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <string>

namespace quillmere {

namespace {

bool IsLength(const std::string& text) {
    double value = 0;
    return ParseNumber(text, value) && value >= 0;
}

bool IsThickness(const std::string& text) {
    double value = 0;
    return ParseNumber(text, value) && value > 0;
}

bool IsPictureSize(const std::string& text) {
    return ParsePictureSize(text).has_value();
}

// A check by one of the parsers of BatchOptions.h; the text itself is kept
// as given.
CLI::Validator Accepts(bool (*accepts)(const std::string&), const std::string& what) {
    return CLI::Validator(
        [accepts, what](std::string& text) {
            return accepts(text) ? std::string() : text + " is not " + what;
        },
        "");
}

// The project file, the first argument of a command.
CLI::Option* AddProject(CLI::App& command, BatchArguments& parsed) {
    return command.add_option("project", parsed.project, "The project file")
        ->type_name("PROJECT.tfc")
        ->required();
}

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
    for (ResultQuantity quantity : ValueQuantities())
        help += FormatText(quantity == ResultQuantity::Thickness ? "%d %s" : ", %d %s",
                           QuantityNumber(quantity), QuantityOf(quantity).helpWord) +
                (quantity == ResultQuantity::Thickness && !required ? " (the default)" : "");
    CLI::Option* option =
        command.add_option("--quantity", texts.quantity, help)
            ->type_name("Q")
            ->check(Accepts(IsQuantity, FormatText("a quantity from 1 to %d", QuantityNumber(LastQuantity))));
    return required ? option->required() : option;
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

// How far from the sheet a point may be (a length of 0 or more).
CLI::Option* AddMaxDistance(CLI::App& command, OptionTexts& texts, const std::string& help) {
    return command.add_option("--max-distance", texts.maxDistance, help)
        ->type_name("D")
        ->check(Accepts(IsLength, "a length of 0 or more"));
}

// The minimum wall (a thickness above 0) in the length unit of the system of
// units.
CLI::Option* AddMinimumWall(CLI::App& command, OptionTexts& texts, const std::string& help) {
    return command.add_option("--min-wall", texts.minimumWall, help)
        ->type_name("T")
        ->check(Accepts(IsThickness, "a thickness above 0"));
}

// values, cut and render of the difference to a reference project, node by
// node or by position.
void AddMinus(CLI::App& command, BatchArguments& parsed, OptionTexts& texts) {
    CLI::Option* minus =
        command
            .add_option(
                "--minus", parsed.minus,
                "The difference to this project, whose mesh must be the same unless --by-position: this "
                "one's values minus its values; a mismatch names an element as tip --element numbers it, "
                "from 0")
            ->type_name("B.tfc");
    command
        .add_option(
            "--minus-record", texts.minusRecord,
            "The record of the --minus project, 1 to its number of records; the one of --record (or its "
            "last) by default")
        ->type_name("M")
        ->check(Accepts(IsInteger, "an integer"))
        ->needs(minus);
    CLI::Option* byPosition =
        command
            .add_flag("--by-position", parsed.byPosition,
                      "Compares by position, for meshes that differ: each node takes the --minus project's "
                      "value at its closest point on that sheet (nan beyond --max-distance, counted on "
                      "stderr)")
            ->needs(minus);
    AddMaxDistance(command, texts,
                   "With --by-position: how far a node may be from the --minus project's sheet and still "
                   "take its value, in mm (inch in US units); 5 mm by default")
        ->needs(byPosition);
}

bool IsTolerance(const std::string& text) {
    Tolerance tolerance;
    return ParseTolerance(text, LengthUnit::Millimetre, tolerance);
}

void DescribeReport(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* report = app.add_subcommand("report", "Writes a report of the project");
    report
        ->add_option("kind", parsed.report,
                     "sheet, project, record, document or forming (the forming summary: draw ratio, "
                     "thickness, thinning, first contact over every record)")
        ->required()
        ->check(CLI::IsMember({"sheet", "project", "record", "document", "forming"}));
    AddProject(*report, parsed);
    AddUnits(*report, parsed);
    AddRecord(*report, texts);
    AddMinimumWall(*report, texts,
                   "forming: the share of the area thinner than T, in mm (inch in US units); elements "
                   "counted in the stored model");
}

void DescribeValues(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* values = app.add_subcommand(
        "values", "Writes the scale limits and every node's value and colour index (-1 where the value is "
                  "not a number); nodes are numbered from 1, as tip --node takes them");
    AddProject(*values, parsed);
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
    AddMinimumWall(*values, texts,
                   "Adds the line \"# below minimum wall T mm: N elements, P % of the area\" after the "
                   "limits: the elements thinner than T (mm, inch when the configuration's units are US "
                   "customary, as --max-distance) and their share of the formed area");
    AddMinus(*values, parsed, texts);
}

void DescribeCut(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* cut = app.add_subcommand(
        "cut",
        "Writes the cut of the sheet by a plane, or its profile graph; the element numbers of the pieces "
        "and of the CSV count from 1, as the cut window's do (tip --element takes the number less one)");
    AddProject(*cut, parsed);
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
}

void DescribeTip(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* tip =
        app.add_subcommand("tip", "Writes the data tip's lines of a sheet node or element, one per line");
    AddProject(*tip, parsed);
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
}

void DescribeExport(CLI::App& app, BatchArguments& parsed) {
    CLI::App* exporting = app.add_subcommand(
        "export", "Copies the project's files into a folder, as the Project export dialog does; prints the "
                  "result on the standard output, status 2 unless every file was copied; files of the same "
                  "names in the folder are replaced, each named on stderr");
    AddProject(*exporting, parsed);
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
}

void DescribeStudy(CLI::App& app, StudyArguments& parsed) {
    CLI::App* study = app.add_subcommand(
        "study", "Writes one table row of figures per project of LIST, in LIST's order; status 3 when some "
                 "project gave no figures (its row says why); progress on stderr when it is a terminal");
    study
        ->add_option("list", parsed.list,
                     "A text file with one project path per line; blank lines and lines starting with # are "
                     "skipped, relative paths start at LIST's folder")
        ->type_name("LIST");
    study->add_option("-o,--output", parsed.output, "The table (or the part), a CSV file")
        ->type_name("TABLE.csv")
        ->required();
    study
        ->add_option("--record", parsed.record,
                     "The record of every project: last (the default) or a number from 1")
        ->type_name("last|N")
        ->check(CLI::Validator(
            [](std::string& text) {
                int value = 0;
                return text == "last" || ParseRecordNumber(text, value)
                           ? std::string()
                           : text + " is not last or a record number";
            },
            ""));
    study->add_option("--jobs", parsed.jobs, "Projects read at once; the number of cores by default")
        ->type_name("N")
        ->check(CLI::Range(1, 1024));
    study
        ->add_option("--units", parsed.units,
                     "The table's units: si (mm, degC, MPa; the default) or us (in, "
                     "degF, psi)")
        ->type_name("si|us")
        ->check(CLI::IsMember({"si", "us"}));
    study
        ->add_option(
            "--min-wall", parsed.minimumWall,
            "Fills the column below_min_wall_percent: the share of the formed area thinner than T, in "
            "the table's length unit (mm, or in with --units us)")
        ->type_name("T")
        ->check(CLI::Validator(
            [](std::string& text) {
                double value = 0;
                return ParseWholeNumber(text.c_str(), value) && value > 0 && std::isfinite(value)
                           ? std::string()
                           : text + " is not a thickness above 0";
            },
            ""));
    CLI::Option* task = study
                            ->add_option("--task", parsed.task,
                                         "Only this share: the projects at I, I+N, I+2N, ... of LIST "
                                         "(from 0); SLURM_ARRAY_TASK_ID by default")
                            ->type_name("I")
                            ->check(CLI::NonNegativeNumber);
    CLI::Option* of =
        study->add_option("--of", parsed.tasks, "The number of shares; SLURM_ARRAY_TASK_COUNT by default")
            ->type_name("N")
            ->check(CLI::Range(1, 1000000));
    task->needs(of);
    of->needs(task);
    CLI::Option* gather =
        study
            ->add_option("--gather", parsed.gather,
                         "Merges the parts of a study in shares into the table of the whole study")
            ->type_name("PART.csv...")
            ->excludes(task)
            ->excludes(of);
    study
        ->add_option(
            "--pictures", parsed.pictures,
            "Writes one picture per project (render's defaults) into DIR, named after the project's path "
            "in LIST with _ for its separators (and -LINE, its line in LIST, when an earlier project has "
            "that name), and adds their names to the table as a last column, picture")
        ->type_name("DIR")
        ->excludes(gather);
    study
        ->add_option("--chart", parsed.chart,
                     "Draws the thickness (min, mean, max) of every project as a chart into FILE.png; with "
                     "--gather, of the whole study")
        ->type_name("FILE.png");
}

void DescribeVtk(CLI::App& app, BatchArguments& parsed) {
    CLI::App* vtk = app.add_subcommand(
        "vtk",
        "Writes records as VTK unstructured grids, one PROJECT_R.vtu per record, and PROJECT.pvd, "
        "which lists them in their order with their times; the points in metres and the arrays in mm, "
        "degC and MPa, or all of them in inches, degF and psi with --units us; cell i is the element of "
        "tip --element i");
    AddProject(*vtk, parsed);
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

void DescribeMeasure(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* measure = app.add_subcommand(
        "measure", "Compares measured points with the formed sheet: for each point of a CSV file its closest "
                   "point on the sheet, the distance and the simulated against the measured thickness; the "
                   "table, then a summary (exit status 3 when points miss the sheet)");
    AddProject(*measure, parsed);
    measure
        ->add_option("--points", parsed.measure.points,
                     "The measurement file: CSV with a header naming x, y, z and optionally thickness and "
                     "label; a unit in the header (x_mm, thickness_in) or else that of --units")
        ->type_name("FILE.csv")
        ->required();
    AddRecord(*measure, texts);
    AddUnits(*measure, parsed);
    AddMaxDistance(*measure, texts,
                   "Points farther from the sheet are missed and left out of the summary, in mm (inch with "
                   "--units us); 5 mm by default");
    measure
        ->add_option("--tolerance", parsed.measure.tolerance,
                     "The difference of thickness counted as within: a length in mm (inch with --units us), "
                     "or a percentage of the measured thickness (10%)")
        ->type_name("T")
        ->check(Accepts(IsTolerance, "a length or a percentage of 0 or more"));
    measure
        ->add_option("--fit", parsed.measure.fit,
                     "rigid: fits the points to the sheet first (rotation and translation), for points "
                     "measured in a frame of their own")
        ->type_name("rigid")
        ->check(CLI::IsMember({"rigid"}));
    measure
        ->add_option("-o,--output", parsed.measure.output,
                     "Writes the table into TABLE.csv and the summary to the standard output")
        ->type_name("TABLE.csv");
}

void DescribeGltf(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* gltf = app.add_subcommand(
        "gltf",
        "Writes the 3D model of the record as a glTF 2.0 binary file, as Export 3D model... in the File "
        "menu does: the sheet in the colours of the quantity (mirrored whole when it is a half or "
        "quarter model) with every quantity's node values (_THICKNESS in m, _TEMPERATURE in degC, "
        "_VON_MISES_STRESS in MPa, ...), and the shown tools; metres, +Y up");
    AddProject(*gltf, parsed);
    gltf->add_option("-o,--output", parsed.model, "The model file, .glb")->type_name("FILE.glb")->required();
    AddRecord(*gltf, texts);
    AddQuantity(*gltf, texts, false);
    AddMinimumWall(*gltf, texts,
                   "Draws the elements thinner than T (mm, inch when the configuration's units are US "
                   "customary) in the minimum wall's colour, as the mesh's second primitive");
    AddMinus(*gltf, parsed, texts);
}

void DescribeShare(CLI::App& app, BatchArguments& parsed) {
    CLI::App* share = app.add_subcommand(
        "share", "Writes one web page of the results that a browser opens with nothing else: the sheet in 3D "
                 "coloured by each quantity with its scale, a record slider, the data tip of a click, the "
                 "tools and the sheet report");
    AddProject(*share, parsed);
    share->add_option("-o,--output", parsed.share.output, "The page, an HTML file")
        ->type_name("PAGE.html")
        ->required();
    share
        ->add_option("--records", parsed.records,
                     "The records: all (the default), the last, or their numbers")
        ->type_name("all|last|N[,M...]")
        ->check(Accepts(IsRecordList, "all, last or a list of record numbers"));
    std::string help = "The quantities of the page's list, the first one shown; every quantity by default (";
    for (ResultQuantity quantity : ValueQuantities())
        help += FormatText(quantity == ResultQuantity::Thickness ? "%d %s" : ", %d %s",
                           QuantityNumber(quantity), QuantityOf(quantity).helpWord);
    share->add_option("--quantity", parsed.share.quantities, help + ")")
        ->type_name("Q")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->delimiter(',')
        ->check(Accepts(IsQuantity, FormatText("a quantity from 1 to %d", QuantityNumber(LastQuantity))));
    AddUnits(*share, parsed);
}

// render's and video's options, known to every build: their commands are
// built only where pictures are drawn.
void DescribeRender(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* render = app.add_subcommand(
        "render", "Writes the scene's picture as Save to bitmap does, or its printed page into FILE.pdf");
    AddProject(*render, parsed);
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
    AddUnits(*render, parsed);
    AddMinimumWall(*render, texts,
                   "Draws the elements thinner than T (mm, inch in US units) in the minimum wall's colour, "
                   "with its swatch under the colour scale");
    AddMinus(*render, parsed, texts);
}

void DescribeVideo(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* video = app.add_subcommand("video", "Writes the video of every record, each shown for 0.2 s, "
                                                  "as Export video... in the File menu does; progress on "
                                                  "stderr when it is a terminal");
    AddProject(*video, parsed);
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

} // namespace

// Every option given twice takes its last value.
void DescribeCommands(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    app.set_version_flag("--version", "quillmere-batch " QUILLMERE_VERSION);
    app.require_subcommand(1);
    // Left-over arguments are kept to name the first of them (see
    // FirstUnexpected).
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    DescribeReport(app, parsed, texts);
    DescribeValues(app, parsed, texts);
    DescribeCut(app, parsed, texts);
    DescribeTip(app, parsed, texts);
    DescribeExport(app, parsed);
    DescribeRender(app, parsed, texts);
    DescribeVideo(app, parsed, texts);
    DescribeStudy(app, parsed.study);
    DescribeVtk(app, parsed);
    DescribeMeasure(app, parsed, texts);
    DescribeGltf(app, parsed, texts);
    DescribeShare(app, parsed);
}

} // namespace quillmere
