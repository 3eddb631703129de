// File names as the solver writes them (Windows style, either separator, any
// case) mapped onto this file system.
#pragma once

#include <string>
#include <vector>

namespace quillmere {

// Position of the last '\' or '/' in the name, or npos.
size_t LastSeparator(const std::string& name);

// The name after its last separator (the whole name when it has none).
std::string FileNamePart(const std::string& name);

// The name up to, not including, its last separator ("" when it has none).
std::string FolderPart(const std::string& name);

// Finds an existing regular file for a stored name. Both separators divide
// folders, and every component matches whatever its case. A relative name is
// looked up in baseFolder. A name with a drive letter ("C:\...") or a UNC
// prefix never exists here. Returns "" when nothing is found.
std::string FindExistingFile(const std::string& stored, const std::string& baseFolder);

// The path to open for a stored name: the existing file when one is found,
// otherwise the name with '/' separators (relative to baseFolder).
std::string ResolveFile(const std::string& stored, const std::string& baseFolder);

// Names of the entries of a folder; empty when it cannot be listed.
std::vector<std::string> ListFolder(const std::string& folder);

// Whether path names a regular file, links followed.
bool IsRegularFile(const std::string& path);

// The current working folder, or "" when unknown.
std::string CurrentFolder();

// The names that tell a set of files apart, one per path, for windows and
// captions: the file name alone when no other path of the set has it, else
// the shortest trailing part of the path that no other path of that name
// ends in ("v1/cup.tfc" and "v2/cup.tfc"), or the whole path when every
// part of it is shared. The same path twice is one file. Either separator
// divides folders; the parts shown are joined with '/'.
std::vector<std::string> DisplayNames(const std::vector<std::string>& paths);

} // namespace quillmere
