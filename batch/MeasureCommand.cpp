#include "batch/MeasureCommand.h"

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

bool SaveTable(const std::string& path, const std::string& text) {
    // A hidden name made unique when it is created: no file of the user's
    // stands in its way.
    const std::string folder = FolderPart(path);
    return ReplaceFileContent(
        path, (folder.empty() ? "" : folder + "/") + "." + FileNamePart(path) + ".XXXXXX", text);
}

} // namespace

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
