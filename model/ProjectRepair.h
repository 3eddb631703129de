// Moves the references of a project file whose named files were found to be
// missing into the project's own folder, and writes the file again.
#pragma once

#include "model/ProjectFile.h"

#include <string>
#include <vector>

namespace quillmere {

enum class RepairOutcome {
    Failed,    // opening must fail; any message has been shown
    Replaced,  // the project file was rewritten
    Unchanged, // the project file could not be replaced; it is as it was
};

RepairOutcome RepairProject(const std::string& projectPath, const ProjectFileFields& fields,
                            const std::vector<ProjectLine>& lines);

// Whether a name stored in a project exists, looked up in the project folder.
bool ProjectFileExists(const std::string& name, const std::string& projectFolder);

} // namespace quillmere
