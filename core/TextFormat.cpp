#include "core/TextFormat.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace quillmere {

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

namespace {

// Powers of ten that are exact doubles.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// [-]digits[.digits] with at most 15 digits and nothing after them: the
// digits as an integer are exact, and so is the power of ten, so the one
// division rounds correctly, to strtod's result. False for anything else.
bool ParsePlainDecimal(const char* text, double& value) {
    const bool negative = *text == '-';
    if (negative)
        ++text;
    long long digits = 0;
    int count = 0;
    int fraction = -1; // digits after the point, once there is one
    for (;; ++text) {
        const char c = *text;
        if (c >= '0' && c <= '9') {
            if (++count > 15)
                return false;
            digits = 10 * digits + (c - '0');
            if (fraction >= 0)
                ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else if (c == '\0') {
            break;
        } else {
            return false;
        }
    }
    if (count == 0)
        return false;
    const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[fraction > 0 ? fraction : 0];
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

bool ParseWholeNumber(const char* text, double& value) {
    if (ParsePlainDecimal(text, value))
        return true;
    const char* end = nullptr;
    const double parsed = ParseDouble(text, &end);
    if (end == text || *end != '\0')
        return false;
    value = parsed;
    return true;
}

std::string ExactNumber(double value) {
    // 17 digits show every number other than zero as one.
    if (value == 0 || std::isnan(value))
        return FormatText("%.17g", std::fabs(value));
    return FormatText("%.17g", value);
}

double ShownValue(const char* format, double value) {
    if (std::isnan(value))
        return std::fabs(value);
    // Only a negative number below 1 can be shown as zero; the rest is
    // left as it is without formatting it twice.
    if (!std::signbit(value) || value <= -1)
        return value;
    const std::string text = FormatText(format, value);
    const char* number = text.c_str();
    while (*number == ' ')
        ++number;
    return ParseDouble(number) == 0 ? 0.0 : value;
}

std::string FormatNumber(const char* format, double value) {
    return FormatText(format, ShownValue(format, value));
}

bool IsAllDigits(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
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

} // namespace quillmere
