// The tokenizer on an arbitrary line and file, and the line reader below it
// against the plain definition of its pieces.
#include "core/TextLines.h"
#include "fuzz/FuzzSupport.h"
#include "model/CDataString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace quillmere;

namespace {

std::vector<std::string> Tokens(const CDataString& tokens) {
    std::vector<std::string> result;
    for (int i = 0; i < tokens.Count(); ++i)
        result.push_back(tokens.TokenAt(i));
    return result;
}

bool IsSeparator(char c) {
    return c != '\0' && std::strchr(CDataString::Separators, c) != nullptr;
}

// The lines of content cut into pieces of at most maxLength characters: a
// line ends at LF, a CR right before it is dropped.
std::vector<std::string> ExpectedPieces(const std::string& content, size_t maxLength) {
    std::vector<std::string> pieces;
    size_t begin = 0;
    while (begin < content.size()) {
        size_t end = content.find('\n', begin);
        const bool ended = end != std::string::npos;
        if (!ended)
            end = content.size();
        std::string line = content.substr(begin, end - begin);
        if (ended && !line.empty() && line.back() == '\r')
            line.pop_back();
        size_t at = 0;
        do {
            pieces.push_back(line.substr(at, maxLength));
            at += maxLength;
        } while (at < line.size());
        begin = ended ? end + 1 : end;
    }
    return pieces;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

    CDataString line(10, 10);
    line.Tokenize(content);
    std::string joined;
    for (const std::string& token : Tokens(line)) {
        if (token.empty())
            fuzz::Fail("an empty token");
        for (char c : token)
            if (IsSeparator(c))
                fuzz::Fail("a separator inside a token");
        joined += token;
    }
    std::string kept;
    for (char c : content)
        if (!IsSeparator(c))
            kept += c;
    if (joined != kept)
        fuzz::Fail("the tokens are not the text between the separators");

    static const std::string path = fuzz::ScratchFolder() + "/tokens.txt";
    fuzz::WriteFile(path, data, size);
    CDataString file(10, 10);
    if (!file.ReadFile(path))
        fuzz::Fail("the file cannot be read");
    if (Tokens(file) != Tokens(line))
        fuzz::Fail("the file gives other tokens than its text");

    const size_t maxLength = size > 0 ? 1 + data[0] % 16 : 1;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream)
        fuzz::Fail("the file cannot be opened");
    CLineReader reader(stream);
    std::vector<std::string> pieces;
    std::string piece;
    while (reader.Next(piece, maxLength))
        pieces.push_back(piece);
    std::fclose(stream);
    if (pieces != ExpectedPieces(content, maxLength))
        fuzz::Fail("the line reader cut the lines wrongly");

    // Whole lines, each under the bound of a line, are the lines as they
    // stand; a CR LF end is told.
    CFileHandle whole(path, "rb");
    if (!whole)
        fuzz::Fail("the file cannot be opened as a regular file");
    CLineReader lineReader(whole.get());
    std::vector<std::string> lines;
    std::string wholeLine;
    bool crlf = false;
    size_t crlfLines = 0;
    while (lineReader.Next(wholeLine, crlf)) {
        lines.push_back(wholeLine);
        crlfLines += crlf;
    }
    if (lineReader.Overlong() || lines != ExpectedPieces(content, std::string::npos))
        fuzz::Fail("the line reader read whole lines wrongly");
    size_t expectedCrlf = 0;
    for (size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2))
        ++expectedCrlf;
    if (crlfLines != expectedCrlf)
        fuzz::Fail("the line reader told CR LF ends wrongly");
    return 0;
}
