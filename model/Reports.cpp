#include "model/Reports.h"

#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/CDataString.h"
#include "model/CProjectProfile.h"
#include "model/SheetMeans.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace quillmere {

namespace {

// The report's line for a configuration file it cannot read.
constexpr const char* kUnreadableFile = "Unable to read from the %s file.";

// Millimetres in the display unit.
double Millimetres(const CConfiguration& configuration, double metres) {
    return configuration.LengthToDisplay(metres * 1000);
}

// A value written with digits decimals (2 to 4), without the sign of a
// zero: "-0.00" reads as a negative zero.
double Shown(double value, int digits) {
    static const char* const formats[] = {"%.2lf", "%.3lf", "%.4lf"};
    return ShownValue(formats[std::min(std::max(digits, 2), 4) - 2], value);
}

// Text after the first count characters of a line.
std::string After(const std::string& line, size_t count) {
    return line.size() > count ? line.substr(count) : "";
}

std::string LocalTimeText(const struct statx_timestamp& stamp, bool known) {
    if (!known)
        return "";
    const time_t seconds = static_cast<time_t>(stamp.tv_sec);
    struct tm local;
    char buffer[256];
    if (!localtime_r(&seconds, &local) || std::strftime(buffer, sizeof buffer, "%c", &local) == 0)
        return "";
    return buffer;
}

} // namespace

std::string SheetPropertiesReport(const CProjectProfile& project, const CConfiguration& configuration) {
    const CSheetProfile& sheet = *project.Sheet();
    const auto& box = sheet.BoundingBox();
    const bool si = configuration.IsSIMetric();
    double shown[6];
    for (int i = 0; i < 6; ++i)
        shown[i] = Shown(Millimetres(configuration, box[static_cast<size_t>(i)]), si ? 2 : 3);
    std::string text =
        FormatText("Properties of deformed sheet in the project:\n%s\n\n", project.PathName().c_str());
    const char* length = configuration.LengthUnit();
    const int digits = si ? 2 : 3;
    text += FormatText("Number of elements: %d\n", sheet.ElementCount());
    for (int axis = 0; axis < 3; ++axis)
        text += FormatText("\n%c(%s): \t%1.*lf ... %1.*lf", "XYZ"[axis], length, digits, shown[2 * axis],
                           digits, shown[2 * axis + 1]);
    const double clampedMean = ClampedStatistics(sheet).meanThickness;
    text +=
        FormatText("\n\nMean temperature: %1.1lf %s\nMean thickness (whole grid): %1.*lf %s\nMean "
                   "thickness (excluded clamped elements): %1.*lf %s",
                   configuration.TemperatureToDisplay(MeanTemperature(sheet)),
                   configuration.TemperatureUnit(), digits, Millimetres(configuration, MeanThickness(sheet)),
                   length, digits, Millimetres(configuration, clampedMean), length);
    return text;
}

ProjectInformation ProjectInformationReport(const CProjectProfile& project) {
    ProjectInformation report;
    std::string& text = report.text;
    text = FormatText("Information about the project configuration %s:\r\n\r\n", project.PathName().c_str());
    text += FormatText("Sheet file: %s\r\n", project.SheetFileName().c_str());
    for (int slot = 0; slot < kToolSlots; ++slot)
        text += FormatText("Tool %d: %s\r\n", slot + 1, project.ToolFileName(slot).c_str());
    text += FormatText("Process control: %s\r\n", project.ProcessControlFileName().c_str());
    for (int slot = 0; slot < 5; ++slot) {
        const std::string& name = project.MaterialFileName(slot);
        text += FormatText("Material %d: %s\r\n", slot + 1, name.empty() ? "Unused" : name.c_str());
    }
    text += FormatText("Heat and friction: %s\r\n", project.HeatFrictionFileName().c_str());
    text += "\r\n";

    const std::string& name = project.ConfigurationFileName();
    CFileHandle file(ResolveFile(LookupName(name), project.ProjectFolder()), "rb");
    if (!file) {
        text += FormatText(kUnreadableFile, name.c_str());
        report.configurationUnreadable = true;
        return report;
    }
    CLineReader reader(file.get());
    std::string line;
    // Header and sheet line, the tool lines, the process control line and
    // six lines of materials and heat and friction come first.
    if (!reader.Next(line) || !reader.Next(line))
        return report;
    bool more = reader.Next(line);
    while (more && IsToolLine(line))
        more = reader.Next(line);
    for (int skip = 0; more && skip < 6; ++skip)
        more = reader.Next(line);
    if (!more || !reader.Next(line))
        return report;
    text += FormatText("Job number: %s\r\n", After(line, 10).c_str());
    if (!reader.Next(line))
        return report;
    text += FormatText("Number: %s\r\n", After(line, 7).c_str());
    if (!reader.Next(line))
        return report;
    text += FormatText("Programmer: %s\r\n", After(line, 11).c_str());
    if (!reader.Next(line))
        return report;
    while (reader.Next(line) && line != "Comments End")
        text += line + "\r\n";
    return report;
}

bool RecordBlock(const CDataString& tokens, int recordIndex, double& pressure, double& time) {
    int dashes = -1;
    for (int i = 0; i < tokens.Count(); ++i) {
        if (!StartsWith(tokens.TokenAt(i), "----") || ++dashes < recordIndex)
            continue;
        if (i + 5 >= tokens.Count())
            return false;
        // The third value of the block is not shown.
        return ScanText(tokens.TokenAt(i + 1).c_str(), "%lg", &pressure) == 1 &&
               ScanText(tokens.TokenAt(i + 3).c_str(), "%lg", &time) == 1;
    }
    return false;
}

bool RecordInformationReport(const CProjectProfile& project, const CConfiguration& configuration,
                             std::string& text) {
    CDataString tokens(10, 10);
    {
        CFileHandle probe(project.PathName(), "rb");
        if (!probe) {
            ShowMessage(Message(MessageId::UnableToReadFrom, project.PathName()), MessageIcon::Error);
            return false;
        }
    }
    tokens.ReadFile(project.PathName());
    double pressure = 0;
    double time = 0;
    const bool block = RecordBlock(tokens, project.CurrentRecord() - 1, pressure, time);

    const CSheetProfile& sheet = *project.Sheet();
    const auto& box = sheet.BoundingBox();
    const bool si = configuration.IsSIMetric();
    const double volume = std::fabs(InflatedVolume(sheet));
    const ClampedStatisticsResult clamped = ClampedStatistics(sheet);
    const char* length = configuration.LengthUnit();
    text = FormatText("Record information:\nProject %s\nRecord number %d\n", project.PathName().c_str(),
                      project.CurrentRecord());
    for (int i = 0; i < 6; ++i)
        text += FormatText("\r\nInflated %c %s (%s): %.*lf", "XYZ"[i / 2], i % 2 ? "max" : "min", length,
                           si ? 3 : 4,
                           Shown(Millimetres(configuration, box[static_cast<size_t>(i)]), si ? 3 : 4));
    text += "\r\n";
    // Without its data block in the project file a record has no time and
    // pressure to show.
    if (block) {
        text += FormatText("\r\nTime (ms): %lg", time * 1000);
        text += FormatText("\r\nPressure (%s): %lg", configuration.PressureUnit(),
                           si ? pressure * 0.001 : configuration.PressureToDisplay(pressure));
    }
    // Litres, or the cube of the displayed length.
    const double shownVolume = si ? volume * 1000
                                  : configuration.LengthToDisplay(configuration.LengthToDisplay(
                                        configuration.LengthToDisplay(volume * 1e9)));
    text += FormatText("\r\nInflated volume (%s): %lg\r\n", configuration.VolumeUnit(), shownVolume);
    text += FormatText("\r\nAverage thickness (%s): %lg", length,
                       Millimetres(configuration, clamped.meanThickness));
    text += FormatText("\r\nThickness nonuniformity factor: %lg", clamped.nonuniformity);
    return true;
}

std::string DocumentInformationReport(const std::string& pathName) {
    if (pathName.empty())
        return "This document has not been saved yet.";
    struct statx info;
    if (::statx(AT_FDCWD, pathName.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        return "Cannot get information about this document.";
    std::string text = FormatText("Document information: %s\r\n\r\n", pathName.c_str());
    text += "Created    \t" + LocalTimeText(info.stx_btime, (info.stx_mask & STATX_BTIME) != 0) + "\r\n";
    text += "Modified   \t" + LocalTimeText(info.stx_mtime, (info.stx_mask & STATX_MTIME) != 0) + "\r\n";
    text += "Accessed \t" + LocalTimeText(info.stx_atime, (info.stx_mask & STATX_ATIME) != 0) + "\r\n\r\n";
    text += FormatText("Size\t\t%lld bytes", static_cast<long long>(info.stx_size));
    return text;
}

} // namespace quillmere
