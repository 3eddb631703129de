#include "config/CConfiguration.h"

#include "config/Units.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr const char* kCannotOpen =
    "Can not open configuration file Quillmere.cfg, default configuration values "
    "will be used and new configuration file will be created.";
constexpr const char* kCannotWrite = "Can not write to the Quillmere configuration file.";

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
        const int read = field.real ? ScanText(text, "%lf%n", &field.real(settings), &used)
                                    : ScanText(text, "%i%n", &field.integer(settings), &used);
        if (read != 1)
            return;
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

std::string CConfiguration::DefaultFilePath(const std::string& programFolder) {
    const std::string fallback = programFolder + "/Quillmere.cfg";
    const std::string base = ProfileConfigFolder();
    if (base.empty())
        return fallback;
    const std::string folder = base + "/Veltrane/Quillmere";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error))
        return fallback;
    return folder + "/Quillmere.cfg";
}

void CConfiguration::Read() {
    CFileHandle file(filePath, "r");
    // fopen opens a folder for reading; only reading it fails.
    struct stat info;
    if (file && ::fstat(::fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        file.Close();
        errno = EISDIR;
    }
    if (!file) {
        if (errno != ENOENT)
            ShowMessage(kCannotOpen, MessageIcon::Error);
        Write();
        return;
    }
    CLineReader reader(file.get());
    std::string line;
    if (!reader.Next(line))
        return;
    if (!Contains(line, kHeader)) {
        file.Close();
        ShowMessage(kCannotOpen, MessageIcon::Error);
        Write();
        return;
    }
    // An older file is left as it is, for the older program that wrote it.
    if (!Contains(line, kVersion))
        return;
    while (reader.Next(line))
        ReadLine(ToUpper(Trim(line)));
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
// keeps the old configuration.
bool CConfiguration::Write() {
    if (ReplaceFileContent(filePath, filePath + ".new", Content()))
        return true;
    ShowMessage(kCannotWrite, MessageIcon::Error);
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
