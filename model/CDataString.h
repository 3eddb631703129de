// A text file split into one flat list of tokens.
#pragma once

#include "model/CDataBase.h"

#include <cstddef>
#include <functional>
#include <string>

namespace quillmere {

// One token.
class CBaseString {
public:
    explicit CBaseString(std::string token) : text(std::move(token)) {}
    virtual ~CBaseString() = default;
    const std::string& Text() const { return text; }
    std::string& Text() { return text; }

private:
    std::string text;
};

// Receives each piece of a file in order; it may change the piece.
using PieceVisitor = std::function<void(std::string& piece)>;

class CDataString : public CDataBase<CBaseString> {
public:
    // The separators between tokens.
    static constexpr const char* Separators = "\n \t\r\v,";
    // Longer lines are tokenized in pieces of at most this many characters.
    static constexpr size_t MaxPiece = 999999;

    CDataString(int initialCapacity, int growthStep) : CDataBase<CBaseString>(initialCapacity, growthStep) {}

    // Tokenizes the whole file; an unreadable file gives a message and no
    // tokens. False when the file could not be opened.
    bool ReadFile(const std::string& path);
    void Tokenize(const std::string& line);
    const std::string& TokenAt(int index) const { return At(index)->Text(); }

    // The tokens of text in order, without storing them: visit(token,
    // length) gets each token NUL-terminated where it lies (the separator
    // after it is overwritten), lasting until the call returns. A template:
    // files have millions of tokens, each worth no more than a plain call.
    template <class Visit> static void VisitTokens(std::string& text, Visit&& visit) {
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
            visit(static_cast<const char*>(first), static_cast<size_t>(at - first));
            ++at;
        }
    }
    // The tokens ReadFile would store, in order, without storing them: the
    // memory stays that of one line however long the file. An unreadable
    // file gives ReadFile's message and false.
    template <class Visit> static bool VisitFileTokens(const std::string& path, Visit&& visit) {
        return VisitFilePieces(path, [&visit](std::string& piece) { VisitTokens(piece, visit); });
    }

private:
    static bool IsSeparator(char c) {
        return c == '\n' || c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == ',';
    }
    // Each line of the file, or each piece of MaxPiece characters of a
    // longer one; false, with ReadFile's message, when it cannot be opened.
    static bool VisitFilePieces(const std::string& path, const PieceVisitor& visit);
};

} // namespace quillmere
