#include "BatchTool.h"
#include "ProjectFixture.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct BatchRun {
    int status;
    std::string out;
    std::string messages;
};

BatchRun RunCommand(const std::vector<std::string>& arguments, const std::string& configuration) {
    CRecordingMessages messages;
    std::ostringstream out;
    const int status = RunBatch(arguments, configuration, out);
    return {status, out.str(), messages.Texts()};
}

} // namespace

TEST(Batch, ReportsWithUnixLineEnds) {
    CProjectFixture fixture;
    const std::string configuration = fixture.File("Quillmere.cfg");
    const BatchRun project = RunCommand({"report", "project", fixture.ProjectPath()}, configuration);
    EXPECT_EQ(project.status, 0) << project.messages;
    EXPECT_EQ(project.out.find('\r'), std::string::npos);
    EXPECT_NE(project.out.find("\nTool 2: None\n"), std::string::npos) << project.out;

    const BatchRun record = RunCommand({"report", "record", fixture.ProjectPath()}, configuration);
    EXPECT_EQ(record.status, 0);
    EXPECT_NE(record.out.find("Record number 3\n\nInflated X min (mm): -100.000\n"), std::string::npos)
        << record.out;

    const BatchRun document = RunCommand({"report", "document", fixture.ProjectPath()}, configuration);
    EXPECT_EQ(document.out.rfind("Document information: " + fixture.ProjectPath() + "\n\nCreated", 0), 0u);
}

TEST(Batch, UnitsComeFromTheConfigurationUnlessGiven) {
    CProjectFixture fixture;
    const std::string configuration = fixture.File("Quillmere.cfg");
    WriteWholeFile(configuration, "Quillmere CConfiguration File - V2\n\nSystem of units:\t\tUS Customary\n");
    EXPECT_NE(RunCommand({"report", "sheet", fixture.ProjectPath()}, configuration).out.find("X(inch)"),
              std::string::npos);
    const BatchRun si =
        RunCommand({"report", "sheet", fixture.ProjectPath(), "--units", "si"}, configuration);
    EXPECT_NE(si.out.find("X(mm): \t-100.00 ... 100.00\n"), std::string::npos) << si.out;
    EXPECT_NE(si.out.find("Mean temperature: 150.0 °C\n"), std::string::npos);
    EXPECT_EQ(si.out.back(), '\n');
}

TEST(Batch, WrongArgumentsAndUnopenableProjectsGiveStatusTwo) {
    CProjectFixture fixture;
    const std::string configuration = fixture.File("Quillmere.cfg");
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {},
             {"report"},
             {"report", "volume", fixture.ProjectPath()},
             {"report", "sheet", fixture.ProjectPath(), "--units", "imperial"},
             {"report", "sheet", fixture.ProjectPath(), "--extra"},
             {"print", "sheet", fixture.ProjectPath()}}) {
        const BatchRun run = RunCommand(arguments, configuration);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.messages.find("usage: quillmere-batch"), std::string::npos);
    }
    const BatchRun missing = RunCommand({"report", "sheet", fixture.File("missing.tfc")}, configuration);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.messages, "Unable to read from the " + fixture.File("missing.tfc") + " file.");
}
