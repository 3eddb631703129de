#include "batch/MeasureCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "config/CConfiguration.h"
#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "measure/MeasurementFile.h"
#include "measure/MeasurementTable.h"
#include "measure/PointComparison.h"
#include "messages/MessageText.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"
#include "session/CSessionView.h"

namespace quillmere {

namespace {

bool IsTolerance(const std::string& text) {
    Tolerance tolerance;
    return ParseTolerance(text, LengthUnit::Millimetre, tolerance);
}

bool SaveTable(const std::string& path, const std::string& text) {
    // A hidden name made unique when it is created: no file of the user's
    // stands in its way.
    const std::string folder = FolderPart(path);
    return ReplaceFileContent(
        path, (folder.empty() ? "" : folder + "/") + "." + FileNamePart(path) + ".XXXXXX", text);
}

} // namespace

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

int WriteMeasure(const BatchArguments& arguments, BatchProject& project, std::ostream& out) {
    const MeasureArguments& measure = arguments.measure;
    const LengthUnit unit = project.configuration.IsSIMetric() ? LengthUnit::Millimetre : LengthUnit::Inch;
    const MeasurementFile file = ReadMeasurementFile(measure.points, unit);
    if (file.error) {
        ShowMessage(MeasurementRefusal(measure.points, file.error), MessageIcon::Error);
        return BatchFailure;
    }
    const Message badRows = BadRowsMessage(measure.points, file);
    if (badRows)
        ShowMessage(badRows, MessageIcon::Warning);

    MeasureOptions options;
    if (arguments.hasMaxDistance)
        options.maxDistance = arguments.maxDistance * LengthFactor(unit, LengthUnit::Metre);
    if (!measure.tolerance.empty())
        ParseTolerance(measure.tolerance, unit, options.tolerance);
    options.rigidFit = measure.fit == "rigid";
    const CSheetProfile& sheet = *project.view.Sheet();
    // With its mirror images, as the view shows a half or quarter model.
    const CSurfaceSearch search(sheet, SheetImages::Mirrored);
    const MeasurementComparison comparison = CompareMeasurements(sheet, search, file.points, options);
    const std::string table = MeasurementTable(file, comparison, unit);
    const std::string summary = MeasurementSummaryText(file, comparison, options, unit);
    if (!measure.output.empty()) {
        if (!SaveTable(measure.output, table))
            return BatchFail(measure.output + " cannot be written");
        out << summary;
    } else {
        out << table;
        out.flush();
        // The summary's lines end with "\n", which the message adds.
        ShowMessage(summary.substr(0, summary.size() - (!summary.empty() && summary.back() == '\n')),
                    MessageIcon::Information);
    }
    return comparison.summary.missed > 0 ? BatchIncomplete : BatchSuccess;
}

} // namespace quillmere
