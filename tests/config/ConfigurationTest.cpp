#include "AtomicFile.h"
#include "CConfiguration.h"
#include "TestSupport.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

const std::string kV2 = "Quillmere CConfiguration File - V2\n";

const std::string kDefaultFile =
    "Quillmere CConfiguration File - V2\n"
    "\n"
    "System of units:\t\tSI Metric\n"
    "DISPLAY - TOOL: 0 0 1 1 16777215 16711680 8453888 0.900000\n"
    "DISPLAY - TOOL: 1 0 1 1 16777215 65280 8453888 0.900000\n"
    "DISPLAY - TOOL: 2 0 1 1 16777215 16711808 8453888 0.900000\n"
    "DISPLAY - TOOL: 3 0 1 1 16777215 65408 8453888 0.900000\n"
    "DISPLAY - TOOL: 4 0 1 1 16777215 16744448 8453888 0.900000\n"
    "DISPLAY - TOOL: 5 0 1 1 16777215 8453888 8453888 0.900000\n"
    "DISPLAY - TOOL: 6 0 1 1 16777215 16711680 8453888 0.900000\n"
    "DISPLAY - TOOL: 7 0 1 1 16777215 16711680 8453888 0.900000\n"
    "DISPLAY - TOOL: 8 0 1 1 16777215 16711680 8453888 0.900000\n"
    "DISPLAY - TOOL: 9 0 1 1 16777215 16711680 8453888 0.900000\n"
    "DISPLAY - GRID: 1 1 1 1 1 255 8421631 16711935 51 12895232 1 0.900000 0 0 0\n"
    "DISPLAY BACKGROUND: 1 16777215 16755370 13500416 16777215 16745054 16745054 "
    "16711680\n";

const std::string kCannotOpen =
    "Can not open configuration file Quillmere.cfg, default configuration values will "
    "be used and new configuration file will be created.";

// Every stored field a different value, so a swapped pair shows.
const std::string kDistinctLines = "DISPLAY - TOOL: 7 31 32 33 34 35 36 0.375000\n"
                                   "DISPLAY - GRID: 11 12 13 14 15 16 17 18 19 20 21 0.250000 23 24 25\n"
                                   "DISPLAY BACKGROUND: 41 42 43 44 45 46 47 48\n";

void ExpectDistinctValues(const DisplaySettings& s) {
    const ToolDisplay& t = s.tools[7];
    EXPECT_EQ((std::vector<double>{31, 32, 33, 34, 35, 36, 0.375}),
              (std::vector<double>{double(t.mode), double(t.shown), double(t.contactMarking),
                                   double(t.surfaceColour), double(t.contactColour), double(t.wireColour),
                                   t.opacity}));
    EXPECT_EQ((std::vector<double>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0.25, 23, 24, 25}),
              (std::vector<double>{
                  double(s.sheetShown), double(s.sheetDisplayMode), double(s.fixedNodesShown),
                  double(s.clampedNodesShown), double(s.boundaryNodesShown), double(s.fixedNodeColour),
                  double(s.clampedNodeColour), double(s.boundaryNodeColour), double(s.sheetEdgeColour),
                  double(s.sheetColour), double(s.noPressureNodesShown), s.sheetOpacity,
                  double(s.nodeDotsShown), double(s.distanceMeasurement), double(s.continualRotation)}));
    EXPECT_EQ((std::vector<int>{41, 42, 43, 44, 45, 46, 47, 48}),
              (std::vector<int>{s.backgroundScheme, s.backgroundColour, s.backgroundTop, s.backgroundBottom,
                                s.backgroundCorners[0], s.backgroundCorners[1], s.backgroundCorners[2],
                                s.backgroundCorners[3]}));
}

class ConfigurationTest : public ::testing::Test {
protected:
    CConfiguration Load(const std::string& content) {
        WriteWholeFile(path, content);
        return CConfiguration(path);
    }

    CTempFolder folder;
    std::string path = folder.File("Quillmere.cfg");
    CRecordingMessages messages;
};

TEST_F(ConfigurationTest, FirstStartWritesDefaultsSilently) {
    CConfiguration config(path);
    EXPECT_TRUE(config.IsSIMetric());
    EXPECT_EQ(kDefaultFile, ReadWholeFile(path));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(PathExists(path + ".new"));
}

TEST_F(ConfigurationTest, UnopenablePathWarnsAndStillTriesToWrite) {
    std::filesystem::create_directory(path);
    CConfiguration config(path);
    ASSERT_EQ(2u, messages.messages.size());
    EXPECT_EQ(kCannotOpen, messages.messages[0].text);
    EXPECT_EQ(MessageIcon::Error, messages.messages[0].icon);
    EXPECT_EQ("Can not write to the Quillmere configuration file.", messages.messages[1].text);
}

TEST_F(ConfigurationTest, EmptyFileChangesNothing) {
    CConfiguration config = Load("");
    EXPECT_EQ("", ReadWholeFile(path));
    EXPECT_TRUE(messages.messages.empty());
}

// First line, then whether the body is read, and whether the file is
// replaced by the defaults after message 474.
struct HeaderCase {
    const char* firstLine;
    bool read;
    bool rewritten;
};

class HeaderTest : public ConfigurationTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderTest, DecidesBetweenReadingKeepingAndRewriting) {
    const std::string content = std::string(GetParam().firstLine) + "\nSystem of units:\t\tUS Customary\n";
    CConfiguration config = Load(content);
    EXPECT_EQ(!GetParam().read, config.IsSIMetric());
    EXPECT_EQ(GetParam().rewritten ? kDefaultFile : content, ReadWholeFile(path));
    EXPECT_EQ(GetParam().rewritten ? kCannotOpen : "", messages.Texts());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderTest,
    ::testing::Values(HeaderCase{"Quillmere CConfiguration File - V2", true, false},
                      HeaderCase{"# Quillmere CConfiguration File - V2 (edited)", true, false},
                      HeaderCase{"Quillmere CConfiguration File - V1", false, false},
                      HeaderCase{"Quillmere CConfiguration File", false, false},
                      HeaderCase{"QUILLMERE CCONFIGURATION FILE - V2", false, true},
                      HeaderCase{"Some other program's settings", false, true}, HeaderCase{"", false, true}));

struct UnitsCase {
    const char* line;
    bool si;
};

class UnitsLineTest : public ConfigurationTest, public ::testing::WithParamInterface<UnitsCase> {};

// Starts from the other system, so a line that is not read shows.
TEST_P(UnitsLineTest, SelectsSIOnlyWithSIMetric) {
    const char* start =
        GetParam().si ? "System of units:\t\tUS Customary\n" : "System of units:\t\tSI Metric\n";
    EXPECT_EQ(GetParam().si, Load(kV2 + start + GetParam().line + "\n").IsSIMetric());
}

INSTANTIATE_TEST_SUITE_P(Lines, UnitsLineTest,
                         ::testing::Values(UnitsCase{"System of units:\t\tSI Metric", true},
                                           UnitsCase{"   system of units: si metric  ", true},
                                           UnitsCase{"old SYSTEM OF UNITS was si metric", true},
                                           UnitsCase{"System of units:\t\tUS Customary", false},
                                           UnitsCase{"System of units: metric", false},
                                           UnitsCase{"SYSTEM OF UNITS", false}));

TEST_F(ConfigurationTest, ReadsEveryFieldIntoItsPlace) {
    CConfiguration config = Load(kV2 + kDistinctLines);
    ExpectDistinctValues(config.Settings());
    EXPECT_EQ(1000000, config.Settings().reducedDrawingThreshold);
    EXPECT_EQ(4227268, config.Settings().noPressureNodeColour);
}

TEST_F(ConfigurationTest, WritesWhatItReads) {
    CConfiguration source = Load(kV2 + "System of units: US\n" + kDistinctLines);
    WriteWholeFile(path, "");
    ASSERT_TRUE(source.Write());
    const std::string written = ReadWholeFile(path);
    EXPECT_NE(std::string::npos, written.find("\nSystem of units:\t\tUS Customary\n"));
    for (size_t start = 0, end; (end = kDistinctLines.find('\n', start)) != std::string::npos;
         start = end + 1)
        EXPECT_NE(std::string::npos, written.find("\n" + kDistinctLines.substr(start, end + 1 - start)));
    CConfiguration again(path);
    EXPECT_FALSE(again.IsSIMetric());
    ExpectDistinctValues(again.Settings());
}

TEST_F(ConfigurationTest, LowerCaseIndentedAndCRLFLinesAreRead) {
    CConfiguration config = Load("Quillmere CConfiguration File - V2\r\n\r\n"
                                 "  display - tool: 0x3 2 0 0 11 12 13 0.5\r\n"
                                 "\tdisplay - grid: 0 2\r\n"
                                 "display background: 0 7\r\n");
    const DisplaySettings& s = config.Settings();
    EXPECT_EQ(2, s.tools[3].mode);
    EXPECT_EQ(13, s.tools[3].wireColour);
    EXPECT_EQ(0.5, s.tools[3].opacity);
    EXPECT_EQ(2, s.sheetDisplayMode);
    EXPECT_EQ(7, s.backgroundColour);
}

TEST_F(ConfigurationTest, ToolIndexOutsideTheSlotsIsIgnored) {
    CConfiguration config =
        Load(kV2 + "DISPLAY - TOOL: 10 2 0 0 1 1 1 0.1\nDISPLAY - TOOL: -1 2 0 0 1 1 1 0.1\n"
                   "DISPLAY - TOOL: 2.5\n");
    WriteWholeFile(path, "");
    config.Write();
    EXPECT_EQ(kDefaultFile, ReadWholeFile(path));
}

TEST_F(ConfigurationTest, MalformedLinesChangeOnlyFieldsBeforeTheFault) {
    CConfiguration config = Load(kV2 + "DISPLAY - GRID: 0 2 0 x 0 7\nDISPLAY - TOOL: 4 1 0\n"
                                       "DISPLAY - TOOL:\nDISPLAY - GRID:\nDISPLAY BACKGROUND:\n");
    const DisplaySettings& s = config.Settings();
    const ToolDisplay& t = s.tools[4];
    EXPECT_EQ((std::vector<int>{0, 2, 0, 1, 1, 255}),
              (std::vector<int>{s.sheetShown, s.sheetDisplayMode, s.fixedNodesShown, s.clampedNodesShown,
                                s.boundaryNodesShown, s.fixedNodeColour}));
    EXPECT_EQ((std::vector<int>{1, 0, 1, 16744448}),
              (std::vector<int>{t.mode, t.shown, t.contactMarking, t.contactColour}));
    EXPECT_EQ(1, s.backgroundScheme);
}

TEST_F(ConfigurationTest, OneLineMayMatchSeveralKeywords) {
    CConfiguration config = Load(kV2 + "DISPLAY - GRID: 0 2 SYSTEM OF UNITS\n");
    EXPECT_FALSE(config.IsSIMetric());
    EXPECT_EQ(2, config.Settings().sheetDisplayMode);
}

TEST_F(ConfigurationTest, ReadingAgainRestoresTheStoredUnits) {
    CConfiguration config(path);
    config.SetSIMetric(false);
    config.Read();
    EXPECT_TRUE(config.IsSIMetric());
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

class FailingWriteTest : public ConfigurationTest, public ::testing::WithParamInterface<CAtomicFile::Step> {
protected:
    ~FailingWriteTest() override { CAtomicFile::SetFaultHook(nullptr); }
};

TEST_P(FailingWriteTest, KeepsTheOldFile) {
    const std::string old = kV2 + "System of units:\t\tUS Customary\n";
    CConfiguration config = Load(old);
    config.Settings().sheetColour = 5;
    CAtomicFile::SetFaultHook([](CAtomicFile::Step step) { return step == GetParam(); });
    EXPECT_FALSE(config.Write());
    EXPECT_EQ(old, ReadWholeFile(path));
    EXPECT_FALSE(PathExists(path + ".new"));
    ASSERT_EQ(1u, messages.messages.size());
    EXPECT_EQ("Can not write to the Quillmere configuration file.", messages.messages[0].text);
    EXPECT_EQ(MessageIcon::Error, messages.messages[0].icon);
    EXPECT_EQ(5, config.Settings().sheetColour);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingWriteTest,
                         ::testing::Values(CAtomicFile::Step::Create, CAtomicFile::Step::Write,
                                           CAtomicFile::Step::Flush, CAtomicFile::Step::Rename));

TEST(Conversions, USCustomaryConvertsAndSIPassesThrough) {
    CTempFolder folder;
    CConfiguration config(folder.File("Quillmere.cfg"));
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

// Sets environment variables for one test and restores them afterwards.
class CScopedEnvironment {
public:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~CScopedEnvironment() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it)
            it->second ? ::setenv(it->first, it->second->c_str(), 1) : ::unsetenv(it->first);
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

TEST(DefaultFilePath, CreatesTheFoldersUnderTheProfile) {
    CTempFolder folder;
    CScopedEnvironment environment;
    const std::string base = folder.File("deep/config");
    environment.Set("XDG_CONFIG_HOME", base.c_str());
    EXPECT_EQ(base + "/Veltrane/Quillmere/Quillmere.cfg", CConfiguration::DefaultFilePath("/program"));
    EXPECT_TRUE(std::filesystem::is_directory(base + "/Veltrane/Quillmere"));

    environment.Set("XDG_CONFIG_HOME", "");
    environment.Set("HOME", folder.Path().c_str());
    EXPECT_EQ(folder.File(".config/Veltrane/Quillmere/Quillmere.cfg"),
              CConfiguration::DefaultFilePath("/program"));
}

TEST(DefaultFilePath, FallsBackToTheProgramFolder) {
    CTempFolder folder;
    CScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", nullptr);
    environment.Set("HOME", nullptr);
    EXPECT_EQ("/program/Quillmere.cfg", CConfiguration::DefaultFilePath("/program"));

    WriteWholeFile(folder.File("Veltrane"), "a file where the folder belongs");
    environment.Set("XDG_CONFIG_HOME", folder.Path().c_str());
    EXPECT_EQ("/program/Quillmere.cfg", CConfiguration::DefaultFilePath("/program"));
}

} // namespace
