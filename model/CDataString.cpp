#include "model/CDataString.h"

#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/Texts.h"

namespace {

bool IsSeparator(char c) {
    return c == '\n' || c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == ',';
}

} // namespace

void CDataString::VisitTokens(std::string& text, const TokenVisitor& visit) {
    char* at = &text[0];
    char* const end = at + text.size(); // the string's own NUL follows
    while (at < end) {
        while (at < end && IsSeparator(*at))
            ++at;
        if (at == end)
            return;
        char* const first = at;
        while (at < end && !IsSeparator(*at))
            ++at;
        *at = '\0';
        visit(first, static_cast<size_t>(at - first));
        ++at;
    }
}

bool CDataString::VisitFileTokens(const std::string& path, const TokenVisitor& visit) {
    CFileHandle file(path, "rb");
    if (!file) {
        ShowMessage(FormatText(texts::CannotParseFile, path.c_str()), MessageIcon::Error);
        return false;
    }
    CLineReader reader(file.get());
    std::string line;
    // A longer line arrives in pieces, each tokenized on its own.
    while (reader.Next(line, MaxPiece))
        VisitTokens(line, visit);
    return true;
}

bool CDataString::ReadFile(const std::string& path) {
    return VisitFileTokens(
        path, [this](const char* token, size_t length) { Add(new CBaseString(std::string(token, length))); });
}

void CDataString::Tokenize(const std::string& line) {
    std::string text = line;
    VisitTokens(
        text, [this](const char* token, size_t length) { Add(new CBaseString(std::string(token, length))); });
}
