#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "tests/support/TestSupport.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace quillmere;

namespace {

std::vector<std::string> LinesOf(const std::string& content, size_t maxLength = std::string::npos) {
    CTempFolder folder;
    WriteWholeFile(folder.File("f.txt"), content);
    CFileHandle file(folder.File("f.txt"), "rb");
    CLineReader reader(file.get());
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line, maxLength))
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(LineReader, DropsOnlyTheCarriageReturnBeforeALineFeed) {
    EXPECT_EQ(LinesOf("a\r\nb\nc\rd\r\n\r\nlast"), (std::vector<std::string>{"a", "b", "c\rd", "", "last"}));
    EXPECT_TRUE(LinesOf("").empty());
}

TEST(LineReader, KeepsNulBytesInsideTheirLine) {
    const std::vector<std::string> lines = LinesOf(std::string("ab\0cd\nef\n", 9));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string("ab\0cd", 5));
    EXPECT_EQ(lines[1], "ef");
}

TEST(LineReader, DeliversLongLinesInPieces) {
    EXPECT_EQ(LinesOf("abcdefg\nhi\n", 3), (std::vector<std::string>{"abc", "def", "g", "hi"}));
    // A CR LF right after a full piece ends the line; it is no piece of its own.
    EXPECT_EQ(LinesOf("abc\r\nabcd\r\nab\rc\n", 2),
              (std::vector<std::string>{"ab", "c", "ab", "cd", "ab", "\rc"}));
    EXPECT_EQ(LinesOf("abc\r", 3), (std::vector<std::string>{"abc", "\r"}));
}

TEST(LineReader, ReadsAnEnormousLineOnePieceAtATime) {
    // A hostile tool file of one endless line must cost neither its size in
    // memory nor a copy of its rest for every piece.
    CTempFolder folder;
    const std::string line(1 << 20, 'x');
    WriteWholeFile(folder.File("f.txt"), line + "\r\nend\n");
    CFileHandle file(folder.File("f.txt"), "rb");
    CLineReader reader(file.get());
    std::string piece;
    ASSERT_TRUE(reader.Next(piece, 10));
    EXPECT_EQ(piece, "xxxxxxxxxx");
    EXPECT_LE(std::ftell(file.get()), 12);
    size_t total = piece.size();
    size_t pieces = 1;
    while (reader.Next(piece, 10) && piece != "end") {
        total += piece.size();
        ++pieces;
    }
    EXPECT_EQ(total, line.size());
    EXPECT_EQ(pieces, (line.size() + 9) / 10);
    EXPECT_EQ(piece, "end");
}

TEST(LineReader, AWholeLineAfterAPieceIsTheRestOfThatLine) {
    CTempFolder folder;
    WriteWholeFile(folder.File("f.txt"), "abcdef\r\nnext\n");
    CFileHandle file(folder.File("f.txt"), "rb");
    CLineReader reader(file.get());
    std::string line;
    bool crlf = false;
    ASSERT_TRUE(reader.Next(line, 2));
    ASSERT_TRUE(reader.Next(line, crlf));
    EXPECT_EQ(line, "cdef");
    EXPECT_TRUE(crlf);
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "next");
    EXPECT_FALSE(reader.Next(line));
}

// A whole line is at most kMaxTextLine characters (and a CR before its LF);
// a longer one ends the reading instead of growing with the file.
TEST(LineReader, AWholeLineBeyondTheBoundEndsTheReading) {
    CTempFolder folder;
    const std::string longest(kMaxTextLine, 'x');
    WriteWholeFile(folder.File("f.txt"), "a\n" + longest + "\r\n" + longest + "y\nz\n");
    CFileHandle file(folder.File("f.txt"), "rb");
    CLineReader reader(file.get());
    std::string line;
    bool crlf = false;
    ASSERT_TRUE(reader.Next(line, crlf));
    ASSERT_TRUE(reader.Next(line, crlf));
    EXPECT_EQ(line.size(), kMaxTextLine);
    EXPECT_TRUE(crlf);
    EXPECT_FALSE(reader.Overlong());
    EXPECT_FALSE(reader.Next(line));
    EXPECT_TRUE(reader.Overlong());
    EXPECT_LE(std::ftell(file.get()), long(2 * kMaxTextLine + 8)); // the rest is not read
    EXPECT_FALSE(reader.Next(line));
}

// Reading files opens regular ones only, and never waits on a FIFO.
TEST(FileHandle, ReadsRegularFilesOnly) {
    CTempFolder folder;
    WriteWholeFile(folder.File("f.txt"), "text");
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", folder.File("zero").c_str()), 0);
    EXPECT_TRUE(CFileHandle(folder.File("f.txt"), "rb"));
    for (const char* name : {"fifo", "zero"}) {
        errno = 0;
        EXPECT_FALSE(CFileHandle(folder.File(name), "rb")) << name;
        EXPECT_EQ(errno, EINVAL) << name;
    }
    errno = 0;
    EXPECT_FALSE(CFileHandle(folder.Path(), "r"));
    EXPECT_EQ(errno, EISDIR);
    std::string content;
    EXPECT_TRUE(ReadRegularFile(folder.File("f.txt"), content));
    EXPECT_EQ(content, "text");
    EXPECT_FALSE(ReadRegularFile(folder.File("fifo"), content));
}

// A failure shown to the user is worded for the user, never with the
// standard library's names for it.
TEST(Messages, FailuresOfTheStandardLibraryAreWordedForTheUser) {
    const auto shown = [](const std::function<void()>& failing) {
        try {
            failing();
        } catch (const std::exception& error) {
            return FailureText(error);
        }
        return std::string("nothing failed");
    };
    EXPECT_EQ(shown([] { throw std::bad_alloc(); }), "there is not enough memory");
    EXPECT_EQ(shown([] { std::vector<double>().reserve(std::vector<double>().max_size() + 1); }),
              "there is not enough memory");
    EXPECT_EQ(shown([] { (void)std::stoi("x"); }), "the program failed inside");
    EXPECT_EQ(shown([] { throw std::runtime_error("the disk is full"); }), "the disk is full");
}

TEST(TextFormat, NumbersIgnoreTheUserLocale) {
    const char* previous = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!previous)
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(FormatText("%1.2lf", 2.5), "2.50");
    double value = 0;
    EXPECT_EQ(ScanText("0.25", "%lf", &value), 1);
    EXPECT_DOUBLE_EQ(value, 0.25);
    EXPECT_DOUBLE_EQ(ParseDouble("1.5"), 1.5);
    std::setlocale(LC_ALL, "C");
}

TEST(TextFormat, WholeNumbersAreWhatStrtodConsumesCompletely) {
    for (const char* number : {"1", "-2.5", "+3e2", "1e-3", ".5", "0x10"})
        EXPECT_TRUE(IsWholeNumber(number)) << number;
    for (const char* text : {"", "1.0.0", "12a", "(INCHES)", "NSTRIPES_1", "||", "#1A"})
        EXPECT_FALSE(IsWholeNumber(text)) << text;
}

// The plain decimals taken without strtod give strtod's very bits; the rest
// goes to strtod.
TEST(TextFormat, ParsedWholeNumbersHaveStrtodsBits) {
    for (const char* number : {"0",
                               "-0",
                               "7",
                               "-12.375",
                               "0.1",
                               "123456.789012345",
                               "999999999999999",
                               "5.",
                               ".5",
                               "-.25",
                               "0.000000000000001",
                               "1234567890.12345",
                               "1e3",
                               "+3",
                               "0x10",
                               "1234567890123456789",
                               "2.2250738585072014e-308",
                               "1.7976931348623157e308",
                               "inf",
                               "nan",
                               "\f12",
                               "00012.50000"}) {
        double parsed = 0;
        ASSERT_TRUE(ParseWholeNumber(number, parsed)) << number;
        const double expected = std::strtod(number, nullptr);
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(parsed)) << number;
        else
            EXPECT_EQ(std::memcmp(&parsed, &expected, sizeof parsed), 0) << number << " " << parsed;
    }
    for (const char* text : {"", "-", ".", "-.", "1.0.0", "12a", "1-2", "||", "#1A", "1 "}) {
        double parsed = 42;
        EXPECT_FALSE(ParseWholeNumber(text, parsed)) << text;
        EXPECT_EQ(parsed, 42) << text;
    }
}

TEST(TextFormat, LongResultsAreNotCut) {
    const std::string long_text(1000, 'x');
    EXPECT_EQ(FormatText("<%s>", long_text.c_str()).size(), 1002u);
    EXPECT_EQ(FormatText("%%s"), "%s");
}

// A zero is written without a sign however it came about, and a NaN
// without the sign its bits happen to carry; any other negative number
// keeps its one minus.
TEST(TextFormat, NumbersShownAsZeroHaveNoSign) {
    EXPECT_EQ(ExactNumber(-0.0), "0");
    EXPECT_EQ(ExactNumber(-std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(ExactNumber(-1e-300), "-1e-300");
    EXPECT_EQ(FormatNumber("%6.2lf", -0.001), "  0.00");
    EXPECT_EQ(FormatNumber("%.3lf", -0.0), "0.000");
    EXPECT_EQ(FormatNumber("%6.3lg", -2.7755575615628914e-17), "-2.78e-17");
    EXPECT_EQ(FormatNumber("%6.3lf", -0.011), "-0.011");
    EXPECT_EQ(FormatNumber("%4.2lf", -12.5), "-12.50");
    EXPECT_EQ(FormatNumber("%7.4lf", -std::numeric_limits<double>::quiet_NaN()), "    nan");
    EXPECT_EQ(ShownValue("%.2lf", -0.004), 0.0);
    EXPECT_FALSE(std::signbit(ShownValue("%.2lf", -0.004)));
    EXPECT_EQ(ShownValue("%.2lf", -0.006), -0.006);
}

TEST(TextFormat, LeadingIntegers) {
    EXPECT_EQ(ParseLeadingInt("12abc"), 12);
    EXPECT_EQ(ParseLeadingInt("-3"), -3);
    EXPECT_EQ(ParseLeadingInt("text"), 0);
    EXPECT_EQ(ParseLeadingInt("99999999999"), 2147483647);
}

TEST(TextHelpers, TrimAndCase) {
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(ToUpper("Quarter_1"), "QUARTER_1");
    EXPECT_TRUE(EqualsNoCase("ShortM", "shortm"));
    EXPECT_FALSE(EqualsNoCase("short", "shortm"));
}
