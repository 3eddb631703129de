// The per-user configuration: the system of units every value is shown and
// entered in, and the display settings each new view starts from. Values are
// always held in SI; the conversions below are the only way to and from the
// units the user sees.
#pragma once

#include "config/DisplaySettings.h"

#include <array>
#include <string>

namespace quillmere {

class CConfiguration {
public:
    // Starts from SI and the default settings, then reads the file.
    explicit CConfiguration(std::string path);

    // "$XDG_CONFIG_HOME/Veltrane/Quillmere/Quillmere.cfg", creating the
    // folders on the way; "Quillmere.cfg" in programFolder when there is no
    // profile folder ($XDG_CONFIG_HOME, $HOME).
    static std::string DefaultFilePath(const std::string& programFolder);

    // Updates the units and settings from the file; writes a new file when
    // there is none or it is not a configuration file (which is kept as
    // Quillmere.cfg.bad).
    void Read();
    // Replaces the whole file; false (after telling the user) on failure.
    // A link at the file's place is left as it is, and the write fails.
    bool Write();

    const std::string& FilePath() const { return filePath; }
    bool IsSIMetric() const { return siMetric; }
    void SetSIMetric(bool si) { siMetric = si; }
    DisplaySettings& Settings() { return settings; }
    const DisplaySettings& Settings() const { return settings; }

    // Each conversion looks at the units at the moment of the call.
    double LengthToDisplay(double mm) const;
    double LengthFromDisplay(double value) const;
    std::array<double, 3> PointFromDisplay(const std::array<double, 3>& point) const;
    double TemperatureToDisplay(double celsius) const;
    double TemperatureFromDisplay(double value) const;
    double PressureToDisplay(double si) const;
    double PressureFromDisplay(double value) const;

    // UTF-8 unit words of the current system.
    const char* LengthUnit() const;
    const char* TemperatureUnit() const;
    const char* PressureUnit() const;
    const char* VolumeUnit() const;

private:
    void ReadLine(const std::string& line);
    void Replace();
    std::string Content() const;

    std::string filePath;
    bool siMetric = true;
    DisplaySettings settings;
};

} // namespace quillmere
