// A text file split into one flat list of tokens.
#pragma once

#include "model/CDataBase.h"

#include <cstddef>
#include <functional>
#include <string>

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

// Receives each token in order: its first character and its length. The
// token is NUL-terminated where it lies and lasts until the call returns.
using TokenVisitor = std::function<void(const char* token, size_t length)>;

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

    // The tokens of text in order, without storing them; the separator after
    // each token is overwritten by its terminating NUL.
    static void VisitTokens(std::string& text, const TokenVisitor& visit);
    // The tokens ReadFile would store, in order, without storing them: the
    // memory stays that of one line however long the file. An unreadable
    // file gives ReadFile's message and false.
    static bool VisitFileTokens(const std::string& path, const TokenVisitor& visit);
};
