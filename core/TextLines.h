// Line-oriented reading of text files that may come from Windows: a line ends
// at LF and a CR right before it is dropped; a lone CR stays in the line.
#pragma once

#include <cstdio>
#include <string>

class CLineReader {
public:
    explicit CLineReader(std::FILE* source) : file(source) {}

    // The next line without its end. Lines longer than maxLength arrive in
    // pieces of at most maxLength characters, read from the file one piece
    // at a time: an enormous line costs neither its size in memory nor a
    // copy of its rest per piece. False at the end of the file.
    bool Next(std::string& line, size_t maxLength = std::string::npos);

    // Like Next, and tells whether the line ended with CR LF.
    bool Next(std::string& line, bool& crlf);

private:
    bool NextPiece(std::string& line, size_t maxLength);
    std::FILE* file;
    std::string started; // read from the line in progress, not delivered yet (at most 2 characters)
    std::string pending; // last piece of a line whose end has been read
    bool pendingValid = false;
};

// Owns a FILE* opened with fopen; closes it when destroyed.
class CFileHandle {
public:
    CFileHandle() = default;
    CFileHandle(const std::string& path, const char* mode) : file(std::fopen(path.c_str(), mode)) {}
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

// Text helpers on ASCII; "white space" is that of the C locale.
std::string Trim(const std::string& text);
std::string ToUpper(std::string text);
std::string ToLower(std::string text);
bool Contains(const std::string& text, const char* part);
bool StartsWith(const std::string& text, const char* prefix);
bool EqualsNoCase(const std::string& a, const std::string& b);
