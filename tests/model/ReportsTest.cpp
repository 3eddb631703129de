#include "model/Reports.h"
#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>
#include <regex>

using namespace quillmere;

namespace {

class Reports : public ::testing::Test {
protected:
    Reports() : configuration(folder.File("Quillmere.cfg")) {}

    CProjectProfile& Open(CProjectFixture& fixture) {
        project = std::make_unique<CProjectProfile>();
        EXPECT_TRUE(project->Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
        return *project;
    }

    CTempFolder folder;
    CRecordingMessages messages;
    CConfiguration configuration;
    std::unique_ptr<CProjectProfile> project;
};

} // namespace

TEST_F(Reports, TenInchesOfSheetShowAsTenInches) {
    CProjectFixture fixture;
    samplegen::RecordData record = samplegen::MakeGridRecord(2, 2, 0.254, 0.1);
    for (samplegen::Vec3& node : record.current)
        node.x += 0.127;
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), record));
    configuration.SetSIMetric(false);
    const std::string text = SheetPropertiesReport(Open(fixture), configuration);
    EXPECT_NE(text.find("X(inch): \t0.000 ... 10.000\n"), std::string::npos) << text;
}

// What the report lists the batch tool's project report shows; the window
// takes it with Windows line ends, which the batch tool turns into Unix ones.
TEST_F(Reports, ProjectInformationEndsItsLinesTheWindowsWay) {
    CProjectFixture fixture;
    const ProjectInformation information = ProjectInformationReport(Open(fixture));
    EXPECT_FALSE(information.configurationUnreadable);
    const std::string& text = information.text;
    EXPECT_EQ(
        text.rfind("Information about the project configuration " + fixture.ProjectPath() + ":\r\n\r\n", 0),
        0u);
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_EQ(text[at - 1], '\r') << text.substr(0, at);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_F(Reports, ProjectInformationWithoutItsConfigurationFile) {
    CProjectFixture fixture;
    CProjectProfile& opened = Open(fixture);
    std::remove(fixture.File("fixture.cfg").c_str());
    const ProjectInformation information = ProjectInformationReport(opened);
    EXPECT_TRUE(information.configurationUnreadable);
    const std::string tail =
        "Heat and friction: fixture.hft\r\n\r\nUnable to read from the fixture.cfg file.";
    ASSERT_GE(information.text.size(), tail.size());
    EXPECT_EQ(information.text.substr(information.text.size() - tail.size()), tail);
}

TEST_F(Reports, RecordInformationTakesTheRecordsDataBlock) {
    FixtureOptions options;
    options.records = 2;
    CProjectFixture fixture(options);
    CProjectProfile& opened = Open(fixture);
    std::string text;
    ASSERT_TRUE(RecordInformationReport(opened, configuration, text));
    EXPECT_EQ(text,
              "Record information:\nProject " + fixture.ProjectPath() +
                  "\nRecord number 2\n\r\nInflated X min (mm): -100.000\r\nInflated X max (mm): 100.000"
                  "\r\nInflated Y min (mm): -50.000\r\nInflated Y max (mm): 50.000\r\nInflated Z min (mm): "
                  "10.000\r\nInflated Z max (mm): 10.000\r\n\r\nTime (ms): 500\r\nPressure (kPa): 2\r\n"
                  "Inflated volume (l): 0.2\r\n\r\nAverage thickness (mm): 3\r\nThickness nonuniformity "
                  "factor: 0");
    configuration.SetSIMetric(false);
    ASSERT_TRUE(RecordInformationReport(opened, configuration, text));
    EXPECT_NE(text.find("\r\nInflated X min (inch): -3.9370\r\n"), std::string::npos) << text;
    EXPECT_NE(
        text.find("\r\nTime (ms): 500\r\nPressure (psi): 0.290065\r\nInflated volume (inch^3): 12.2047\r\n"
                  "\r\nAverage thickness (inch): 0.11811\r\n"),
        std::string::npos)
        << text;
}

// Without a free element the clamped-sheet figures are all 0.
TEST_F(Reports, EveryElementClamped) {
    CProjectFixture fixture;
    samplegen::RecordData record = fixture.Record(2);
    record.CompleteNodeData();
    record.conditions.assign(record.conditions.size(), 1);
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), record));
    CProjectProfile& opened = Open(fixture);
    const std::string sheet = SheetPropertiesReport(opened, configuration);
    EXPECT_NE(
        sheet.find(
            "\nMean thickness (whole grid): 3.00 mm\nMean thickness (excluded clamped elements): 0.00 mm"),
        std::string::npos)
        << sheet;
    std::string text;
    ASSERT_TRUE(RecordInformationReport(opened, configuration, text));
    EXPECT_NE(text.find("\r\nAverage thickness (mm): 0\r\nThickness nonuniformity factor: 0"),
              std::string::npos)
        << text;
}

TEST_F(Reports, RecordInformationWithoutADataBlock) {
    FixtureOptions options;
    options.records = 2;
    CProjectFixture fixture(options);
    fixture.Project().records.resize(1);
    fixture.WriteProject();
    std::string text;
    ASSERT_TRUE(RecordInformationReport(Open(fixture), configuration, text));
    EXPECT_EQ(text.find("Time"), std::string::npos);
    EXPECT_NE(text.find("Inflated volume (l): 0.2"), std::string::npos);

    std::remove(fixture.ProjectPath().c_str());
    EXPECT_FALSE(RecordInformationReport(*project, configuration, text));
    EXPECT_EQ(messages.Texts(), "Unable to read from the " + fixture.ProjectPath() + " file.");
}

TEST_F(Reports, DocumentInformation) {
    EXPECT_EQ(DocumentInformationReport(""), "This document has not been saved yet.");
    EXPECT_EQ(DocumentInformationReport(folder.File("none.tfc")),
              "Cannot get information about this document.");
    WriteWholeFile(folder.File("a.tfc"), "12345");
    const std::string text = DocumentInformationReport(folder.File("a.tfc"));
    EXPECT_TRUE(
        std::regex_match(text, std::regex("Document information: " + folder.File("a.tfc") +
                                          "\r\n\r\nCreated    \t.*\r\nModified   \t.+\r\nAccessed \t.+"
                                          "\r\n\r\nSize\t\t5 bytes")))
        << text;
}
