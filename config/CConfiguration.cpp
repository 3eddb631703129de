#include "config/CConfiguration.h"

#include "config/Units.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace quillmere {

namespace {

constexpr const char* kHeader = "Quillmere CConfiguration File";
constexpr const char* kVersion = "- V2";

// The fields follow a keyword of fixed length; a line that holds nothing
// after it has no fields.
std::string After(const std::string& line, size_t keywordLength) {
    return keywordLength < line.size() ? line.substr(keywordLength) : std::string();
}

// The keyword of each line of display settings; the fields follow it after a
// space, a tool's after its slot.
struct LineKeyword {
    DisplayLine line;
    const char* keyword;
};
constexpr LineKeyword kLineKeywords[] = {{DisplayLine::Tool, "DISPLAY - TOOL:"},
                                         {DisplayLine::Grid, "DISPLAY - GRID:"},
                                         {DisplayLine::Background, "DISPLAY BACKGROUND:"}};

// Reads the fields of one line in their order, up to the first it cannot.
void ScanFields(const char* text, DisplayLine line, int slot, DisplaySettings& settings) {
    for (const DisplayField& field : DisplayFields()) {
        if (field.line != line || field.slot != slot)
            continue;
        int used = 0;
        int number = 0;
        const int read = field.real ? ScanText(text, "%lf%n", &field.real(settings), &used)
                                    : ScanText(text, "%i%n", &number, &used);
        if (read != 1)
            return;
        if (!field.real)
            field.setInteger(settings, number);
        text += used;
    }
}

std::string FieldsText(DisplayLine line, int slot, DisplaySettings& settings) {
    std::string text;
    for (const DisplayField& field : DisplayFields())
        if (field.line == line && field.slot == slot)
            text += field.real ? FormatText(" %lf", field.real(settings))
                               : FormatText(" %i", field.integer(settings));
    return text;
}

// A file that is replaced because it cannot be read stays beside the new
// one as Quillmere.cfg.bad, for the user to look into. Only a regular file
// that would be replaced is moved; false when it could not be.
bool KeepAside(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0)
        return true;
    return std::rename(path.c_str(), (path + ".bad").c_str()) == 0;
}

// Relative paths in XDG variables are to be ignored.
std::string ProfileConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return std::string(home) + "/.config";
    return std::string();
}

} // namespace

CConfiguration::CConfiguration(std::string path) : filePath(std::move(path)) {
    Read();
}

// A profile folder whose folders cannot be made (a file stands in their
// place) still holds the path: writing there fails and says so, where the
// program's folder would take the file silently.
std::string CConfiguration::DefaultFilePath(const std::string& programFolder) {
    const std::string base = ProfileConfigFolder();
    if (base.empty())
        return programFolder + "/Quillmere.cfg";
    const std::string folder = base + "/Veltrane/Quillmere";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder + "/Quillmere.cfg";
}

void CConfiguration::Read() {
    // Only a regular file is read: a FIFO or a device there would block or
    // never end.
    CFileHandle file(filePath, "r");
    if (!file) {
        // No file, or a file where one of its folders belongs: a first start.
        if (errno == ENOENT || errno == ENOTDIR)
            Write();
        else
            Replace();
        return;
    }
    CLineReader reader(file.get());
    std::string line;
    if (!reader.Next(line)) {
        if (reader.Overlong())
            Replace();
        return;
    }
    if (!Contains(line, kHeader)) {
        file.Close();
        Replace();
        return;
    }
    // An older file is left as it is, for the older program that wrote it.
    if (!Contains(line, kVersion))
        return;
    while (reader.Next(line))
        ReadLine(ToUpper(Trim(line)));
    if (reader.Overlong())
        Replace();
}

// The file cannot be read as a configuration: the current values replace
// it, and it is kept beside them.
void CConfiguration::Replace() {
    ShowMessage(MessageId::CannotOpenConfiguration, MessageIcon::Error);
    if (!KeepAside(filePath)) {
        ShowMessage(MessageId::CannotWriteConfiguration, MessageIcon::Error);
        return;
    }
    Write();
}

// Each line stops at the first field it cannot read; the fields after it
// keep their values. One line may match several keywords.
void CConfiguration::ReadLine(const std::string& line) {
    if (Contains(line, "SYSTEM OF UNITS"))
        siMetric = Contains(line, "SI METRIC");
    for (const LineKeyword& key : kLineKeywords) {
        if (!Contains(line, key.keyword))
            continue;
        const std::string fields = After(line, std::strlen(key.keyword) + 1);
        const char* text = fields.c_str();
        int slot = -1;
        if (key.line == DisplayLine::Tool) {
            int used = 0;
            if (ScanText(text, "%i%n", &slot, &used) != 1 || slot < 0 || slot >= kToolSlots)
                continue;
            text += used;
        }
        ScanFields(text, key.line, slot, settings);
    }
}

std::string CConfiguration::Content() const {
    DisplaySettings s = settings;
    std::string text = "Quillmere CConfiguration File - V2\n\n";
    text += siMetric ? "System of units:\t\tSI Metric\n" : "System of units:\t\tUS Customary\n";
    for (const LineKeyword& key : kLineKeywords) {
        const bool tool = key.line == DisplayLine::Tool;
        for (int slot = tool ? 0 : -1; slot < (tool ? kToolSlots : 0); ++slot)
            text += key.keyword + (tool ? FormatText(" %i", slot) : std::string()) +
                    FieldsText(key.line, slot, s) + "\n";
    }
    return text;
}

// Written beside the old file and renamed over it, so a failure part-way
// keeps the old configuration. A link in the file's place, even one to
// nowhere, is neither replaced nor written through to wherever it points.
bool CConfiguration::Write() {
    struct stat info;
    const bool link = ::lstat(filePath.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    if (!link && ReplaceFileContent(filePath, filePath + ".new", Content()))
        return true;
    ShowMessage(MessageId::CannotWriteConfiguration, MessageIcon::Error);
    return false;
}

double CConfiguration::LengthToDisplay(double mm) const {
    return siMetric ? mm : mm * kInchPerMm;
}

double CConfiguration::LengthFromDisplay(double value) const {
    return siMetric ? value : value * kMmPerInch;
}

std::array<double, 3> CConfiguration::PointFromDisplay(const std::array<double, 3>& point) const {
    return {LengthFromDisplay(point[0]), LengthFromDisplay(point[1]), LengthFromDisplay(point[2])};
}

double CConfiguration::TemperatureToDisplay(double celsius) const {
    return siMetric ? celsius : celsius * 1.8 + 32.0;
}

double CConfiguration::TemperatureFromDisplay(double value) const {
    return siMetric ? value : (value - 32.0) * 0.5555555555555556;
}

double CConfiguration::PressureToDisplay(double si) const {
    return siMetric ? si : si * kPsiPerPascal;
}

double CConfiguration::PressureFromDisplay(double value) const {
    return siMetric ? value : value * kPascalPerPsi;
}

const char* CConfiguration::LengthUnit() const {
    return siMetric ? units::Millimetre : units::Inch;
}

const char* CConfiguration::TemperatureUnit() const {
    return siMetric ? units::Celsius : units::Fahrenheit;
}

const char* CConfiguration::PressureUnit() const {
    return siMetric ? units::Kilopascal : units::Psi;
}

const char* CConfiguration::VolumeUnit() const {
    return siMetric ? units::Litre : units::CubicInch;
}

} // namespace quillmere
