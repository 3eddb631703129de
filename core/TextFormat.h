// Numbers in files and texts are always written and read in the "C" locale,
// whatever locale the user runs the program in.
#pragma once

#include <string>

namespace quillmere {

// printf into a string, in the "C" locale. The format is always one of the
// program's own texts; file content only ever goes in as an argument.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// sscanf in the "C" locale; returns what sscanf returns.
int ScanText(const char* text, const char* format, ...) __attribute__((format(scanf, 2, 3)));

// strtod in the "C" locale. Sets *end like strtod when end is not null.
double ParseDouble(const char* text, const char** end = nullptr);

// True when the whole text is a decimal floating-point number that strtod
// consumes completely (leading blanks are part of what strtod skips).
bool IsWholeNumber(const char* text);

// IsWholeNumber and ParseDouble at once: true, with the value, when the
// whole text is a number. Plain decimals such as "-12.375" of at most 15
// digits are converted without strtod, to the same double.
bool ParseWholeNumber(const char* text, double& value);

// A double in 17 significant digits: read back, the same double, except
// that -0 is written "0" and a NaN "nan" whatever its sign.
std::string ExactNumber(double value);

// FormatText of one number (format: one double conversion), except that a
// number shown as zero is never shown with a minus sign: -0 and -0.001
// under "%6.2lf" are "  0.00", as +0 is. A NaN is "nan" whatever its sign.
std::string FormatNumber(const char* format, double value);
// The value FormatNumber formats: +0 where the format shows value as zero,
// a NaN without its sign; otherwise value itself. For formats of several
// numbers, each number passed through it with its own conversion.
double ShownValue(const char* format, double value);

// True when text is one or more of the digits 0 to 9.
bool IsAllDigits(const std::string& text);

// strtol-like leading integer ("12abc" gives 12, text that starts with no
// number gives 0), clamped to the int range.
int ParseLeadingInt(const char* text);

// Makes the "C" locale current on this thread for the lifetime of the object.
class CCLocaleScope {
public:
    CCLocaleScope();
    ~CCLocaleScope();
    CCLocaleScope(const CCLocaleScope&) = delete;
    CCLocaleScope& operator=(const CCLocaleScope&) = delete;

private:
    void* previous;
};

} // namespace quillmere
