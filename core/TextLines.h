// Line-oriented reading of text files that may come from Windows: a line ends
// at LF and a CR right before it is dropped; a lone CR stays in the line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace quillmere {

// The longest line a text file of ours may hold (a CR before its LF aside):
// a file with a longer one is damaged, or no text file at all.
constexpr size_t kMaxTextLine = size_t(1) << 20;

class CLineReader {
public:
    explicit CLineReader(std::FILE* source) : file(source) {}

    // The next line without its end. Lines longer than maxLength arrive in
    // pieces of at most maxLength characters, read from the file one piece
    // at a time: an enormous line costs neither its size in memory nor a
    // copy of its rest per piece. False at the end of the file. Without
    // maxLength, as the other Next.
    bool Next(std::string& line, size_t maxLength = std::string::npos);

    // Like Next, and tells whether the line ended with CR LF. A line longer
    // than kMaxTextLine ends the reading: false, and Overlong tells.
    bool Next(std::string& line, bool& crlf);
    bool Overlong() const { return overlong; }

private:
    bool NextPiece(std::string& line, size_t maxLength);
    std::FILE* file;
    std::string started; // read from the line in progress, not delivered yet (at most 2 characters)
    std::string pending; // last piece of a line whose end has been read
    bool pendingValid = false;
    bool overlong = false;
};

// Opens a file for reading only when it is a regular file (links followed):
// a FIFO, a device or a folder gives -1 with errno EINVAL (EISDIR for a
// folder), and the opening never waits for a writer at the other end.
int OpenRegularFile(const std::string& path);

// Owns a FILE*; closes it when destroyed. A mode that only reads ("r",
// "rb") opens regular files only, as OpenRegularFile.
class CFileHandle {
public:
    CFileHandle() = default;
    CFileHandle(const std::string& path, const char* mode);
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    std::FILE* get() const { return file; }
    explicit operator bool() const { return file != nullptr; }
    int Close() {
        int result = 0;
        if (file)
            result = std::fclose(file);
        file = nullptr;
        return result;
    }

private:
    std::FILE* file = nullptr;
};

// The whole content of a regular file; false when it cannot be opened as one
// or read.
bool ReadRegularFile(const std::string& path, std::string& content);

// Text helpers on ASCII; "white space" is that of the C locale.
std::string Trim(const std::string& text);
std::string ToUpper(std::string text);
std::string ToLower(std::string text);
bool Contains(const std::string& text, const char* part);
bool StartsWith(const std::string& text, const char* prefix);
bool EqualsNoCase(const std::string& a, const std::string& b);

} // namespace quillmere
