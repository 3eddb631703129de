#include "model/ProjectFile.h"

#include "core/TextLines.h"

namespace quillmere {

ProjectFileFields::ProjectFileFields() {
    for (ProjectReference& tool : tools)
        tool.name = "None";
}

std::string LookupName(const std::string& stored) {
    return Trim(stored);
}

bool IsToolLine(const std::string& line) {
    const std::string folded = ToLower(Trim(line));
    return Contains(folded, ".tol") || folded == "none";
}

bool IsMaterialLine(const std::string& line) {
    const std::string folded = ToLower(Trim(line));
    return Contains(folded, ".vie") || folded == "unused";
}

ProjectParseResult ParseProjectFile(const std::string& path, ProjectFileFields& fields,
                                    std::vector<ProjectLine>* lines) {
    CFileHandle file(path, "rb");
    if (!file)
        return ProjectParseResult::CannotOpen;
    CLineReader reader(file.get());
    std::vector<ProjectLine> all;
    ProjectLine line;
    while (reader.Next(line.text, line.crlf))
        all.push_back(line);
    // A line of a megabyte is no project's, and is not kept for a rewrite.
    if (reader.Overlong())
        return ProjectParseResult::WrongFormat;
    if (lines)
        *lines = all;

    if (all.empty() || ToUpper(Trim(all[0].text)) != "QRELL SOLVED PROJECT")
        return ProjectParseResult::WrongFormat;
    int at = 1;
    const int count = static_cast<int>(all.size());
    auto take = [&](ProjectReference& reference) {
        if (at >= count)
            return false;
        reference = {all[static_cast<size_t>(at)].text, at};
        ++at;
        return true;
    };
    if (!take(fields.sheet))
        return ProjectParseResult::WrongFormat;
    for (int slot = 0; at < count && IsToolLine(all[static_cast<size_t>(at)].text); ++slot) {
        // More tool lines than tool positions: not a project we can read.
        if (slot == kToolSlots)
            return ProjectParseResult::WrongFormat;
        take(fields.tools[static_cast<size_t>(slot)]);
    }
    if (!take(fields.processControl))
        return ProjectParseResult::WrongFormat;
    for (int slot = 0; at < count && IsMaterialLine(all[static_cast<size_t>(at)].text); ++slot) {
        if (slot == ProjectFileFields::MaterialSlots)
            return ProjectParseResult::WrongFormat;
        take(fields.materials[static_cast<size_t>(slot)]);
    }
    if (!take(fields.heatFriction) || !take(fields.configuration))
        return ProjectParseResult::WrongFormat;
    return ProjectParseResult::Ok;
}

} // namespace quillmere
