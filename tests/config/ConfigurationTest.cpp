#include "config/CConfiguration.h"
#include "tests/support/TestSupport.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

using namespace quillmere;

namespace {

const std::string kV2 = "Quillmere CConfiguration File - V2\n";
const std::string kUS = "System of units:\t\tUS Customary\n";
const std::string kCannotOpen =
    "Can not open configuration file Quillmere.cfg, default configuration values will "
    "be used and new configuration file will be created.";

// Every stored field a different value, so a swapped pair shows; the lines
// follow each other in a written file.
const std::string kDistinctLines = "DISPLAY - TOOL: 9 31 32 33 34 35 36 0.375000\n"
                                   "DISPLAY - GRID: 11 12 13 14 15 16 17 18 19 20 21 0.250000 23 24 25\n"
                                   "DISPLAY BACKGROUND: 41 42 43 44 45 46 47 48\n";

void ExpectDistinctValues(const DisplaySettings& s) {
    const ToolDisplay& t = s.tools[9];
    EXPECT_EQ((std::vector<double>{31, 32, 33, 34, 35, 36, 0.375, 41, 42, 43, 44, 45, 46, 47, 48}),
              (std::vector<double>{double(t.mode), double(t.shown), double(t.contactMarking),
                                   double(t.surfaceColour), double(t.contactColour), double(t.wireColour),
                                   t.opacity, double(s.backgroundScheme), double(s.backgroundColour),
                                   double(s.backgroundTop), double(s.backgroundBottom),
                                   double(s.backgroundCorners[0]), double(s.backgroundCorners[1]),
                                   double(s.backgroundCorners[2]), double(s.backgroundCorners[3])}));
    EXPECT_EQ((std::vector<double>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0.25, 23, 24, 25}),
              (std::vector<double>{
                  double(s.sheetShown), double(int(s.sheetDisplayMode)), double(s.fixedNodesShown),
                  double(s.clampedNodesShown), double(s.boundaryNodesShown), double(s.fixedNodeColour),
                  double(s.clampedNodeColour), double(s.boundaryNodeColour), double(s.sheetEdgeColour),
                  double(s.sheetColour), double(s.noPressureNodesShown), s.sheetOpacity,
                  double(s.nodeDotsShown), double(s.distanceMeasurement), double(s.continualRotation)}));
}

class ConfigurationTest : public ::testing::Test {
protected:
    CConfiguration Load(const std::string& content) {
        WriteWholeFile(path, content);
        return CConfiguration(path);
    }
    // What a first start writes, made in a folder of its own.
    static std::string Defaults() {
        CTempFolder other;
        return ReadWholeFile(CConfiguration(other.File("Quillmere.cfg")).FilePath());
    }

    CTempFolder folder;
    std::string path = folder.File("Quillmere.cfg");
    CRecordingMessages messages;
};

TEST_F(ConfigurationTest, FirstStartWritesDefaultsSilently) {
    CConfiguration config(path);
    EXPECT_TRUE(config.IsSIMetric());
    EXPECT_EQ(0u,
              ReadWholeFile(path).find(kV2 + "\nSystem of units:\t\tSI Metric\n"
                                             "DISPLAY - TOOL: 0 0 1 1 16777215 16711680 8453888 0.900000\n"));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(PathExists(path + ".new"));
}

// A file, the system of units it leaves and whether message 474 replaces it
// by the defaults.
struct FileCase {
    std::string content;
    bool si;
    bool rewritten;
};

class FileTest : public ConfigurationTest, public ::testing::WithParamInterface<FileCase> {};

// A file that is replaced stays beside the new one for the user to look into.
TEST_P(FileTest, DecidesBetweenReadingKeepingAndRewriting) {
    CConfiguration config = Load(GetParam().content);
    EXPECT_EQ(GetParam().si, config.IsSIMetric());
    EXPECT_EQ(GetParam().rewritten ? Defaults() : GetParam().content, ReadWholeFile(path));
    EXPECT_EQ(GetParam().rewritten ? kCannotOpen : "", messages.Texts());
    if (GetParam().rewritten)
        EXPECT_EQ(ReadWholeFile(path + ".bad"), GetParam().content);
    else
        EXPECT_FALSE(PathExists(path + ".bad"));
}

INSTANTIATE_TEST_SUITE_P(
    FirstLinesAndUnits, FileTest,
    ::testing::Values(FileCase{"# Quillmere CConfiguration File - V2 (edited)\n" + kUS, false, false},
                      FileCase{"Quillmere CConfiguration File - V1\n" + kUS, true, false},
                      FileCase{"QUILLMERE CCONFIGURATION FILE - V2\n" + kUS, true, true},
                      FileCase{"Some other program's settings\n" + kUS, true, true},
                      FileCase{"\n" + kUS, true, true},
                      // From US, or from SI where a line should select US, so a line not read shows.
                      FileCase{kV2 + kUS + "   system of units: si metric  \n", true, false},
                      FileCase{kV2 + kUS + "old SYSTEM OF UNITS was si metric\n", true, false},
                      FileCase{kV2 + "System of units: metric\n", false, false},
                      FileCase{kV2 + "SYSTEM OF UNITS\n", false, false},
                      FileCase{kV2 + "DISPLAY - GRID: 0 2 SYSTEM OF UNITS\n", false, false}));

// Lower-case, indented lines with Windows line ends.
TEST_F(ConfigurationTest, ReadsEveryFieldOfLooseLinesAndWritesItBack) {
    std::string messy = "\t";
    for (char c : kDistinctLines)
        messy += c == '\n' ? "\r\n  " : std::string(1, static_cast<char>(std::tolower(c)));
    CConfiguration source = Load(kV2 + kUS + messy);
    ExpectDistinctValues(source.Settings());
    WriteWholeFile(path, "");
    ASSERT_TRUE(source.Write());
    const std::string written = ReadWholeFile(path);
    EXPECT_NE(std::string::npos, written.find("\n" + kUS));
    EXPECT_NE(std::string::npos, written.find("\n" + kDistinctLines)) << written;
    CConfiguration again(path);
    EXPECT_FALSE(again.IsSIMetric());
    ExpectDistinctValues(again.Settings());
}

TEST_F(ConfigurationTest, ToolIndexOutsideTheSlotsIsIgnored) {
    CConfiguration config =
        Load(kV2 + "DISPLAY - TOOL: 10 2 0 0 1 1 1 0.1\nDISPLAY - TOOL: -1 2 0 0 1 1 1 0.1\n"
                   "DISPLAY - TOOL: 2.5\n");
    WriteWholeFile(path, "");
    config.Write();
    EXPECT_EQ(Defaults(), ReadWholeFile(path));
}

TEST_F(ConfigurationTest, MalformedLinesChangeOnlyFieldsBeforeTheFault) {
    // Keywords cut right after their blank or their tool index change
    // nothing.
    CConfiguration config = Load(kV2 + "DISPLAY - GRID: 0 2 0 x 0 7\nDISPLAY - TOOL: 4 1 0\n"
                                       "DISPLAY - TOOL:\nDISPLAY - GRID:\nDISPLAY BACKGROUND:\n"
                                       "DISPLAY - TOOL: 3\nxDISPLAY - GRID:\n");
    const DisplaySettings& s = config.Settings();
    const ToolDisplay& t = s.tools[4];
    EXPECT_EQ((std::vector<int>{0, 2, 0, 1, 1, 255}),
              (std::vector<int>{s.sheetShown, int(s.sheetDisplayMode), s.fixedNodesShown, s.clampedNodesShown,
                                s.boundaryNodesShown, s.fixedNodeColour}));
    EXPECT_EQ((std::vector<int>{1, 0, 1, 16744448}),
              (std::vector<int>{t.mode, t.shown, t.contactMarking, t.contactColour}));
    EXPECT_EQ(1, s.backgroundScheme);
    EXPECT_EQ(s.tools[3].mode, DisplaySettings().tools[3].mode);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}

TEST_F(ConfigurationTest, NumbersUseTheCLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    CConfiguration config = Load(kV2 + "DISPLAY - TOOL: 1 0 1 1 1 1 1 0.5\n");
    config.Write();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(0.5, config.Settings().tools[1].opacity);
    EXPECT_NE(std::string::npos, ReadWholeFile(path).find("DISPLAY - TOOL: 1 0 1 1 1 1 1 0.500000\n"));
}

TEST_F(ConfigurationTest, USCustomaryConvertsAndSIPassesThrough) {
    CConfiguration config(path);
    for (bool si : {true, false}) {
        config.SetSIMetric(si);
        const auto expect = [si](double us, double value) { return si ? value : us; };
        EXPECT_NEAR(expect(1.0, 25.4), config.LengthToDisplay(25.4), 1e-12);
        EXPECT_NEAR(expect(25.4, 1.0), config.LengthFromDisplay(1.0), 1e-12);
        EXPECT_EQ((std::array<double, 3>{expect(25.4, 1), expect(-50.8, -2), 0}),
                  config.PointFromDisplay({1, -2, 0}));
        EXPECT_NEAR(expect(212.0, 100.0), config.TemperatureToDisplay(100.0), 1e-12);
        EXPECT_NEAR(expect(100.0, 212.0), config.TemperatureFromDisplay(212.0), 1e-12);
        EXPECT_NEAR(expect(1.0, 6895.0), config.PressureToDisplay(6895.0), 1e-9);
        EXPECT_NEAR(expect(6895.0, 1.0), config.PressureFromDisplay(1.0), 1e-9);
        EXPECT_STREQ(si ? "mm" : "inch", config.LengthUnit());
        EXPECT_EQ(std::string("\xC2\xB0") + (si ? "C" : "F"), config.TemperatureUnit());
        EXPECT_STREQ(si ? "kPa" : "psi", config.PressureUnit());
        EXPECT_STREQ(si ? "l" : "inch^3", config.VolumeUnit());
    }
}

// Restores an environment variable when the test ends.
struct CSavedVariable {
    explicit CSavedVariable(const char* variable) : name(variable), had(std::getenv(name) != nullptr) {
        old = had ? std::getenv(name) : "";
    }
    ~CSavedVariable() { had ? ::setenv(name, old.c_str(), 1) : ::unsetenv(name); }
    const char* name;
    bool had;
    std::string old;
};

// The view's own display commands each flip or step one field and leave
// every other as it was; a slot outside the tools changes nothing.
TEST(DisplayCommands, FlipOrStepTheirOwnFieldOnly) {
    DisplaySettings edited;
    ToggleSheetShown(edited);
    ToggleNodeDots(edited);
    ToggleDistanceMeasurement(edited);
    ToggleToolShown(edited, 3);
    ToggleToolShown(edited, kToolSlots);
    for (int step = 0; step < 4; ++step)
        StepToolDisplayMode(edited, 5);
    StepToolDisplayMode(edited, -1);
    DisplaySettings expected;
    expected.sheetShown = 0;
    expected.nodeDotsShown = 1;
    expected.distanceMeasurement = 1;
    expected.tools[3].shown = 0;
    expected.tools[5].mode = 1; // shaded, wire frame, both, shaded, wire frame
    for (const DisplayField& field : DisplayFields()) {
        if (field.integer) {
            EXPECT_EQ(field.integer(edited), field.integer(expected)) << field.name;
        }
    }
}

TEST(DefaultFilePath, CreatesTheFoldersUnderTheProfileOrFallsBackToTheProgramFolder) {
    CTempFolder folder;
    CSavedVariable xdg("XDG_CONFIG_HOME");
    CSavedVariable home("HOME");
    const std::string base = folder.File("deep/config");
    ::setenv("XDG_CONFIG_HOME", base.c_str(), 1);
    EXPECT_EQ(base + "/Veltrane/Quillmere/Quillmere.cfg", CConfiguration::DefaultFilePath("/program"));
    EXPECT_TRUE(std::filesystem::is_directory(base + "/Veltrane/Quillmere"));

    // Only without any profile folder does the program's folder take it.
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ("/program/Quillmere.cfg", CConfiguration::DefaultFilePath("/program"));
}

// A file where the folder belongs: the configuration cannot be written
// there, and says so once, instead of going elsewhere without a word.
TEST(DefaultFilePath, AFileInPlaceOfTheFolderMakesTheWriteFailAloud) {
    CTempFolder folder;
    CSavedVariable xdg("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
    ASSERT_TRUE(std::filesystem::create_directories(folder.File("Veltrane")));
    WriteWholeFile(folder.File("Veltrane/Quillmere"), "a file where the folder belongs");
    const std::string program = folder.File("program");
    ASSERT_TRUE(std::filesystem::create_directories(program));
    CRecordingMessages messages;
    CConfiguration configuration(CConfiguration::DefaultFilePath(program));
    EXPECT_EQ(messages.Texts(), "Can not write to the Quillmere configuration file.");
    EXPECT_TRUE(configuration.IsSIMetric());
    EXPECT_FALSE(PathExists(program + "/Quillmere.cfg"));
    EXPECT_EQ(ReadWholeFile(folder.File("Veltrane/Quillmere")), "a file where the folder belongs");
}

} // namespace
