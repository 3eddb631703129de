#include "model/CDataString.h"

#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/Texts.h"

#include <cstring>

bool CDataString::ReadFile(const std::string& path) {
    CFileHandle file(path, "rb");
    if (!file) {
        ShowMessage(FormatText(texts::CannotParseFile, path.c_str()), MessageIcon::Error);
        return false;
    }
    CLineReader reader(file.get());
    std::string line;
    // A longer line arrives in pieces, each tokenized on its own.
    while (reader.Next(line, MaxPiece))
        Tokenize(line);
    return true;
}

void CDataString::Tokenize(const std::string& line) {
    size_t begin = line.find_first_not_of(Separators);
    while (begin != std::string::npos) {
        const size_t end = line.find_first_of(Separators, begin);
        Add(new CBaseString(line.substr(begin, end == std::string::npos ? std::string::npos : end - begin)));
        begin = end == std::string::npos ? end : line.find_first_not_of(Separators, end);
    }
}

void CDataString::ToUpper() {
    for (int i = 0; i < Count(); ++i)
        At(i)->Text() = ::ToUpper(At(i)->Text());
}
