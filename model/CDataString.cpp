#include "model/CDataString.h"

#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quillmere {

bool CDataString::VisitFilePieces(const std::string& path, const PieceVisitor& visit) {
    CFileHandle file(path, "rb");
    if (!file) {
        ShowMessage(Message(MessageId::CannotParseFile, path), MessageIcon::Error);
        return false;
    }
    // A line, or each piece of MaxPiece characters of a longer one, is
    // tokenized on its own. The file is read in blocks and each piece copied
    // once: character by character reading costs more than the tokens.
    std::string piece;
    char block[1 << 16];
    size_t read;
    while ((read = std::fread(block, 1, sizeof block, file.get())) > 0) {
        const char* at = block;
        const char* const end = block + read;
        while (at < end) {
            const char* const stop = at + std::min(static_cast<size_t>(end - at), MaxPiece - piece.size());
            const char* const newline =
                static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(stop - at)));
            piece.append(at, newline ? newline : stop);
            at = newline ? newline + 1 : stop;
            if (newline || piece.size() == MaxPiece) {
                visit(piece);
                piece.clear();
            }
        }
    }
    if (!piece.empty())
        visit(piece);
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

} // namespace quillmere
