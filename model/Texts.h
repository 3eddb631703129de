// The user-visible texts of the project model, exactly as the program shows
// them. Formats are printf formats; file content only ever fills a %s.
#pragma once

namespace quillmere {

namespace texts {

// Reading files.
constexpr const char* CannotParseFile = "Quillmere can not read %s to parse it!";
constexpr const char* UnableToReadFrom = "Unable to read from the %s file.";
constexpr const char* UnableToReadToolFile = "Unable to read file %s";
constexpr const char* TooManySections =
    "The tool file %s holds %lu sections, more than the %lu a tool may have; it is not read.";
constexpr const char* ToolFileTooLarge =
    "The tool file %s of %.1f GB is larger than this computer's memory can read (%.1f GB); it is not read.";
constexpr const char* ParsingFile = "Parsing %s.";
constexpr const char* LoadingFile = "Loading %s.";
constexpr const char* Ready = "Application is ready to operate.";

// Opening a project.
constexpr const char* IncorrectFormat =
    "Cannot open project for postprocessing.\r\nThe project %s has incorrect "
    "format.\r\nPlease solve the project again.";
constexpr const char* ToolNotLoaded = "Tool named %s was not loaded to the project, this operation canceled!";
constexpr const char* ReadOnlyQuestion = "Some project files are read only. Modify them to be writable?\n";
constexpr const char* UnableToModifyOnDisk =
    "Unable to modify the project files.\nIn case the project files are on "
    "compact disk, please copy them to hard disk.";
constexpr const char* UnableToModify = "Unable to modify the project files.";
constexpr const char* NoRecords = "There are no records of %s";
constexpr const char* MissingRecord = "Missing record file %s";
constexpr const char* ReferencedFileMissing = "The file %s named in the project was not found.";
constexpr const char* UnusableRecord = "The record file %s cannot be used: %s";
constexpr const char* RecordFilesMissing =
    "Record files missing: %s. The project opens with the %d records found, "
    "so its last record is not the final state of the forming.";

// A record with values that are not numbers: the record, what holds them
// ("12 nodes and 3 elements") and the first of each ("node 7 and element 0").
constexpr const char* NonFiniteValues =
    "Record %d holds %s whose values are not numbers (the first: %s). They are drawn grey and left out "
    "of the limits, means and sums.";

// Records and tools.
constexpr const char* UnableToOpenSheet = "Unable to open sheet file";
constexpr const char* ZeroPlaneArea = "Zero plane area.";

// Navigation and animation.
constexpr const char* StopAnimationFirst = "Please stop the animation first.";
constexpr const char* InvalidRecordNumber = "Invalid record number.";

} // namespace texts

} // namespace quillmere
