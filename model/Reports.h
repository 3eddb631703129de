// The texts of the sheet properties, project information, record information
// and document information reports, in the configured system of units.
#pragma once

#include <string>

namespace quillmere {

class CConfiguration;
class CDataString;
class CProjectProfile;

std::string SheetPropertiesReport(const CProjectProfile& project, const CConfiguration& configuration);

struct ProjectInformation {
    std::string text;
    // The project configuration file could not be read: the text says so and
    // is shown with an error icon first.
    bool configurationUnreadable = false;
};
ProjectInformation ProjectInformationReport(const CProjectProfile& project);

// The pressure and time (in seconds) of a record's data block, recordIndex
// from 0, in the project file's tokens; false when the block is missing or
// shorter than five tokens.
bool RecordBlock(const CDataString& tokens, int recordIndex, double& pressure, double& time);

// The report of the project's current record; false (after the message)
// when the project file cannot be read.
bool RecordInformationReport(const CProjectProfile& project, const CConfiguration& configuration,
                             std::string& text);

std::string DocumentInformationReport(const std::string& pathName);

} // namespace quillmere
