// The files a command reads, known by device and inode with links followed,
// so that none of its outputs replaces one of them.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <utility>

namespace quillmere {

class CProjectProfile;

class CInputFiles {
public:
    // A path where no file stands is no input.
    void Add(const std::string& path);
    // The project file, the files it names and its record files.
    void AddProject(const CProjectProfile& project);
    // The same of a project that has not been opened; only the path itself
    // when it is not a regular file that reads as a project.
    void AddProjectFile(const std::string& path);

    // The input that writing to output would replace, as it was added; ""
    // when there is none (a path where no file stands yet replaces nothing).
    std::string Replaced(const std::string& output) const;
    // False, after one line on stderr, when output is an input.
    bool Accepts(const std::string& output) const;

private:
    void AddNamed(const std::string& stored, const std::string& folder);
    void AddRecords(const std::string& projectPath);
    std::map<std::pair<dev_t, ino_t>, std::string> inputs;
};

} // namespace quillmere
