#include "core/TextLines.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace quillmere {

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

} // namespace

int OpenRegularFile(const std::string& path) {
    // Opening a FIFO for reading waits for a writer unless it is asked not
    // to; what was opened is then looked at through the descriptor, so
    // nothing can be swapped in between.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    struct stat info;
    int reason = 0;
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (::fstat(descriptor, &info) != 0)
        reason = errno;
    else if (!S_ISREG(info.st_mode))
        reason = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    else if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0)
        reason = errno;
    if (reason != 0) {
        ::close(descriptor);
        errno = reason;
        return -1;
    }
    return descriptor;
}

CFileHandle::CFileHandle(const std::string& path, const char* mode) {
    if (mode[0] != 'r' || std::strchr(mode, '+')) {
        file = std::fopen(path.c_str(), mode);
        return;
    }
    const int descriptor = OpenRegularFile(path);
    if (descriptor < 0)
        return;
    file = ::fdopen(descriptor, mode);
    if (!file) {
        const int reason = errno;
        ::close(descriptor);
        errno = reason;
    }
}

bool ReadRegularFile(const std::string& path, std::string& content) {
    content.clear();
    CFileHandle file(path, "rb");
    if (!file)
        return false;
    char block[1 << 16];
    size_t read;
    while ((read = std::fread(block, 1, sizeof block, file.get())) > 0)
        content.append(block, read);
    return !std::ferror(file.get());
}

// Character by character, so that NUL bytes stay in their line and a line
// without end stops at the bound instead of filling the memory.
bool CLineReader::Next(std::string& line, bool& crlf) {
    crlf = false;
    if (pendingValid) {
        line.swap(pending);
        pending.clear();
        pendingValid = false;
        return true;
    }
    if (overlong)
        return false;
    line.swap(started);
    started.clear();
    bool any = !line.empty();
    for (;;) {
        const int c = getc_unlocked(file);
        if (c == EOF) {
            if (!any)
                return false;
            break;
        }
        any = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
                crlf = true;
            }
            break;
        }
        // One more for a CR that a LF may follow.
        if (line.size() > kMaxTextLine) {
            overlong = true;
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    if (line.size() > kMaxTextLine)
        overlong = true;
    if (overlong) {
        line.clear();
        line.shrink_to_fit();
        return false;
    }
    return true;
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

} // namespace quillmere
