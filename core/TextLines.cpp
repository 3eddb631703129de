#include "core/TextLines.h"

#include <cstdlib>
#include <cstring>
#include <sys/types.h>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Reads the rest of a line, after the characters already taken from it,
// with its terminator removed; false at end of file when nothing was taken.
// getline keeps NUL bytes, so a damaged file cannot merge or split lines.
bool ReadWholeLine(std::FILE* file, std::string& line, bool& crlf) {
    crlf = false;
    char* buffer = nullptr;
    size_t capacity = 0;
    const ssize_t length = getline(&buffer, &capacity, file);
    if (length < 0) {
        std::free(buffer);
        return !line.empty();
    }
    line.append(buffer, static_cast<size_t>(length));
    std::free(buffer);
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            crlf = true;
        }
    }
    return true;
}

} // namespace

bool CLineReader::Next(std::string& line, bool& crlf) {
    if (pendingValid) {
        line.swap(pending);
        pending.clear();
        pendingValid = false;
        crlf = false;
        return true;
    }
    line.swap(started);
    started.clear();
    return ReadWholeLine(file, line, crlf);
}

bool CLineReader::Next(std::string& line, size_t maxLength) {
    if (maxLength == 0 || maxLength > std::string::npos / 2) {
        bool crlf = false;
        return Next(line, crlf);
    }
    if (pendingValid) {
        line.swap(pending);
        pending.clear();
        pendingValid = false;
        return true;
    }
    return NextPiece(line, maxLength);
}

// A piece is handed out once more than maxLength characters of the line are
// known to follow its start; a CR is only known to belong to the line when
// it is not the last character read, hence the two characters kept back.
bool CLineReader::NextPiece(std::string& line, size_t maxLength) {
    line.swap(started);
    started.clear();
    bool any = !line.empty();
    for (;;) {
        if (line.size() >= maxLength + 2) {
            started.assign(line, maxLength, std::string::npos);
            line.resize(maxLength);
            return true;
        }
        const int c = getc_unlocked(file);
        if (c == EOF) {
            if (!any)
                return false;
            break;
        }
        any = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    if (line.size() > maxLength) {
        pending.assign(line, maxLength, std::string::npos);
        pendingValid = true;
        line.resize(maxLength);
    }
    return true;
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsCSpace(text[begin]))
        ++begin;
    while (end > begin && IsCSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string ToUpper(std::string text) {
    for (char& c : text)
        c = UpperAscii(c);
    return text;
}

std::string ToLower(std::string text) {
    for (char& c : text)
        c = LowerAscii(c);
    return text;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}
