// The document side of the document/view layer: a path name and a title.
#pragma once

#include <string>

class CDocument {
public:
    virtual ~CDocument() = default;

    const std::string& PathName() const { return pathName; }
    void SetPathName(const std::string& path) { pathName = path; }
    // The file name without its folder.
    std::string Title() const;

private:
    std::string pathName;
};
