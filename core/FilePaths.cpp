#include "core/FilePaths.h"

#include "core/TextLines.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmere {

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool HasWindowsRoot(const std::string& name) {
    const bool drive = name.size() >= 2 && name[1] == ':' &&
                       ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
    const bool unc = name.size() >= 2 && name[0] == '\\' && name[1] == '\\';
    return drive || unc;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// The entry of folder whose name equals part whatever its case; an exact
// match wins, then the first in name order.
std::string MatchEntry(const std::string& folder, const std::string& part) {
    const std::string exact = folder + (folder == "/" ? "" : "/") + part;
    struct stat info;
    if (::lstat(exact.c_str(), &info) == 0)
        return part;
    if (part == "." || part == "..")
        return "";
    std::vector<std::string> names = ListFolder(folder);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names)
        if (EqualsNoCase(name, part))
            return name;
    return "";
}

} // namespace

size_t LastSeparator(const std::string& name) {
    return name.find_last_of("\\/");
}

std::string FileNamePart(const std::string& name) {
    const size_t at = LastSeparator(name);
    return at == std::string::npos ? name : name.substr(at + 1);
}

std::string FolderPart(const std::string& name) {
    const size_t at = LastSeparator(name);
    return at == std::string::npos ? std::string() : name.substr(0, at);
}

std::string FindExistingFile(const std::string& stored, const std::string& baseFolder) {
    if (stored.empty() || HasWindowsRoot(stored))
        return "";
    const bool absolute = stored[0] == '/' || stored[0] == '\\';
    std::string path = absolute ? "/" : (baseFolder.empty() ? CurrentFolder() : baseFolder);
    if (path.empty())
        return "";
    for (const std::string& part : SplitComponents(stored)) {
        const std::string match = MatchEntry(path, part);
        if (match.empty())
            return "";
        path += (path == "/" ? "" : "/") + match;
    }
    return IsRegularFile(path) ? path : "";
}

std::string ResolveFile(const std::string& stored, const std::string& baseFolder) {
    std::string found = FindExistingFile(stored, baseFolder);
    if (!found.empty())
        return found;
    std::string path = stored;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] != '/' && !baseFolder.empty())
        path = baseFolder + "/" + path;
    return path;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (!IsFolder(folder))
        return names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

std::string CurrentFolder() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::vector<std::string> DisplayNames(const std::vector<std::string>& paths) {
    std::vector<std::vector<std::string>> parts;
    for (const std::string& path : paths)
        parts.push_back(SplitComponents(path));
    // The last count parts of a path, joined.
    const auto tail = [](const std::vector<std::string>& of, size_t count) {
        std::string joined;
        for (size_t k = of.size() - std::min(count, of.size()); k < of.size(); ++k)
            joined += (joined.empty() ? "" : "/") + of[k];
        return joined;
    };
    std::vector<std::string> names;
    for (size_t i = 0; i < paths.size(); ++i) {
        std::vector<size_t> namesakes;
        for (size_t j = 0; j < paths.size(); ++j)
            if (paths[j] != paths[i] && !parts[i].empty() && !parts[j].empty() &&
                parts[j].back() == parts[i].back())
                namesakes.push_back(j);
        size_t count = 1;
        const auto apart = [&] {
            return std::none_of(namesakes.begin(), namesakes.end(),
                                [&](size_t j) { return tail(parts[j], count) == tail(parts[i], count); });
        };
        while (count < parts[i].size() && !apart())
            ++count;
        names.push_back(apart() ? tail(parts[i], count) : paths[i]);
    }
    return names;
}

} // namespace quillmere
