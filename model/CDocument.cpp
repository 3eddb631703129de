#include "CDocument.h"

#include "FilePaths.h"

std::string CDocument::Title() const {
    return FileNamePart(pathName);
}
