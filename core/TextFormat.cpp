#include "core/TextFormat.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

CCLocaleScope::CCLocaleScope() : previous(uselocale(CLocale())) {}

CCLocaleScope::~CCLocaleScope() {
    uselocale(static_cast<locale_t>(previous));
}

std::string FormatText(const char* format, ...) {
    CCLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    char small[256];
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string result;
    if (length < 0) {
        va_end(copy);
        return result;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        result.assign(small, static_cast<size_t>(length));
    } else {
        result.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&result[0], result.size(), format, copy);
        result.resize(static_cast<size_t>(length));
    }
    va_end(copy);
    return result;
}

int ScanText(const char* text, const char* format, ...) {
    CCLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    const int result = std::vsscanf(text, format, args);
    va_end(args);
    return result;
}

double ParseDouble(const char* text, const char** end) {
    char* stop = nullptr;
    const double value = strtod_l(text, &stop, CLocale());
    if (end)
        *end = stop;
    return value;
}

bool IsWholeNumber(const char* text) {
    const char* end = nullptr;
    ParseDouble(text, &end);
    return end != text && *end == '\0';
}

int ParseLeadingInt(const char* text) {
    char* stop = nullptr;
    errno = 0;
    const long long value = strtoll_l(text, &stop, 10, CLocale());
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
