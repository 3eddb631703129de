// The lines of a solved project file: which file each line names, and where.
#pragma once

#include "config/ToolSlots.h"

#include <array>
#include <string>
#include <vector>

namespace quillmere {

// A file named by the project and the 0-based line it was read from (-1 when
// the project has no such line).
struct ProjectReference {
    std::string name;
    int line = -1;
};

struct ProjectFileFields {
    static constexpr int MaterialSlots = 10;

    ProjectReference sheet;
    std::array<ProjectReference, kToolSlots> tools; // "None" for an empty slot
    ProjectReference processControl;
    std::array<ProjectReference, MaterialSlots> materials; // "" for an empty slot
    ProjectReference heatFriction;
    ProjectReference configuration;

    ProjectFileFields();
};

// One line as read, and whether it ended with CR LF.
struct ProjectLine {
    std::string text;
    bool crlf = false;
};

enum class ProjectParseResult { Ok, CannotOpen, WrongFormat };

// Reads the project lines up to the configuration line into fields, and
// every line of the file (for a rewrite) into lines when it is not null.
ProjectParseResult ParseProjectFile(const std::string& path, ProjectFileFields& fields,
                                    std::vector<ProjectLine>* lines = nullptr);

bool IsToolLine(const std::string& line);
bool IsMaterialLine(const std::string& line);
// The name a file named by the project is looked up by: its line without the
// blanks around it, as the line is recognised. The project keeps the line as
// written.
std::string LookupName(const std::string& stored);

// An empty tool slot is exactly "None".
inline bool IsEmptyToolSlot(const std::string& name) {
    return name == "None";
}

} // namespace quillmere
