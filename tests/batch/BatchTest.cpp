#include "batch/BatchTool.h"
#include "config/CConfiguration.h"
#include "cut/CutSession.h"
#include "cut/ProfileCsv.h"
#include "inspect/DataTip.h"
#include "inspect/SheetPick.h"
#include "model/CProjectProfile.h"
#include "tests/model/ProjectFixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <tbb/global_control.h>
#include <unistd.h>

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

// A gap in the record files: one warning line on stderr, the output and the
// exit status as without it.
TEST(Batch, AGapInTheRecordFilesIsOneLineOnStderr) {
    FixtureOptions options;
    options.records = 4;
    CProjectFixture fixture(options);
    const std::string configuration = fixture.File("q.cfg");
    const BatchRun complete =
        RunCommand({"values", fixture.ProjectPath(), "--quantity", "1", "--record", "3"}, configuration);
    ASSERT_EQ(complete.status, 0) << complete.messages;
    std::remove(fixture.File("fixture.001").c_str());

    const std::string stderrPath = fixture.File("stderr.txt");
    std::ostringstream out;
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int file = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    ::dup2(file, 2);
    ::close(file);
    const int status = RunBatch({"values", fixture.ProjectPath(), "--quantity", "1"}, configuration, out);
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str(), complete.out);
    EXPECT_EQ(ReadWholeFile(stderrPath),
              "Record files missing: fixture.001. The project opens with the 3 records "
              "found, so its last record is not the final state of the forming.\n");
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

// Wrong arguments: BatchCommandLine.WrongArgumentsNameTheirFaultInOneLineBeforeTheUsage.
TEST(Batch, AnUnopenableProjectGivesStatusTwo) {
    CProjectFixture fixture;
    const std::string configuration = fixture.File("Quillmere.cfg");
    const BatchRun missing = RunCommand({"report", "sheet", fixture.File("missing.tfc")}, configuration);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.messages, "Unable to read from the " + fixture.File("missing.tfc") + " file.");
}

namespace {

std::vector<std::string> OutputLines(const std::string& out) {
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t end; (end = out.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(out.substr(begin, end - begin));
    return lines;
}

class BatchQuantity : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(BatchQuantity, ValuesListEveryNodeWithItsColour) {
    CProjectFixture fixture;
    const std::string quantity = std::to_string(GetParam());
    const BatchRun run =
        RunCommand({"values", fixture.ProjectPath(), "--quantity", quantity}, fixture.File("q.cfg"));
    ASSERT_EQ(run.status, 0) << run.messages;
    const std::vector<std::string> lines = OutputLines(run.out);
    ASSERT_EQ(lines.size(), 2u + 20u); // 5 x 4 nodes
    EXPECT_EQ(lines[0].rfind("# limits ", 0), 0u);
    EXPECT_EQ(lines[1], "node,value,colour");
    EXPECT_EQ(lines[2].rfind("1,", 0), 0u);
    // A flat, undeformed sheet of one thickness and temperature: every
    // quantity is uniform, red for thickness and blue for the others.
    const std::string colour = GetParam() == 1 ? ",0" : ",32";
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(lines[i].size() - colour.size()), colour) << lines[i];

    const BatchRun fixed =
        RunCommand({"values", fixture.ProjectPath(), "--quantity", quantity, "--min", "-1e9", "--max", "1e9"},
                   fixture.File("q.cfg"));
    EXPECT_EQ(OutputLines(fixed.out)[0], "# limits -1000000000 1000000000");
}

INSTANTIATE_TEST_SUITE_P(EveryQuantity, BatchQuantity, ::testing::Range(1, 8));

TEST(Batch, CutsListTheirPiecesOrTheirGraph) {
    CProjectFixture fixture;
    const std::string configuration = fixture.File("q.cfg");
    const BatchRun cut = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "12.5",
                                     "--quantity", "2", "--record", "2"},
                                    configuration);
    ASSERT_EQ(cut.status, 0) << cut.messages;
    std::vector<std::string> lines = OutputLines(cut.out);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "element,x0,y0,z0,x1,y1,z1,arc_start,arc_end,value");
    EXPECT_EQ(lines.size() % 2, 0u); // 2m - 1 pieces and the header
    EXPECT_NE(lines[1].find("5,0.012500000000000001,-0.05000000074505806,0.0099999997764825821,"),
              std::string::npos)
        << lines[1];

    const BatchRun graph = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "0.5",
                                       "--units", "us", "--quantity", "1", "--graph"},
                                      configuration);
    lines = OutputLines(graph.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "# limits 0 5 0 0.20000000000000001");
    EXPECT_EQ(lines[1], "arc,value");

    const BatchRun empty = RunCommand(
        {"cut", fixture.ProjectPath(), "--plane", "z", "--position", "500", "--quantity", "1", "--graph"},
        configuration);
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "arc,value\n");
    EXPECT_EQ(empty.messages, "(No cut found or cut not created)");
}

TEST(Batch, CutSaveWritesTheWindowsCsvAndNothingOnStdout) {
    CProjectFixture fixture;
    const std::string configurationPath = fixture.File("q.cfg");
    const std::string saved = fixture.File("profile.csv");
    const BatchRun run = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "0.5",
                                     "--units", "us", "--quantity", "2", "--record", "2", "--save", saved},
                                    configurationPath);
    ASSERT_EQ(run.status, 0) << run.messages;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.messages, "");

    // The cut window's way to the same file: its session on record 2.
    CProjectProfile project;
    ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr));
    ASSERT_TRUE(project.GoToRecord(2));
    CConfiguration configuration(configurationPath);
    configuration.SetSIMetric(false);
    CCutSession session;
    session.Position = 0.5;
    session.ProfileQuantity = 1;
    session.Cut(*project.Sheet(), configuration);
    const std::string expected =
        ProfileCsv(project.Sheet()->CutSegments(), session.Quantity(), configuration);
    EXPECT_EQ(ReadWholeFile(saved), expected);

    // No cut: the header alone, the usual message on stderr.
    const BatchRun empty = RunCommand({"cut", fixture.ProjectPath(), "--plane", "z", "--position", "500",
                                       "--quantity", "1", "--save", saved},
                                      configurationPath);
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.messages, "(No cut found or cut not created)");
    EXPECT_EQ(ReadWholeFile(saved), "arc_mm,value_mm,x_mm,y_mm,z_mm,element\n");

    const BatchRun unwritable = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "0.5",
                                            "--quantity", "1", "--save", fixture.File("none/profile.csv")},
                                           configurationPath);
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(unwritable.messages,
              "quillmere-batch: " + fixture.File("none/profile.csv") + " cannot be written");

    const BatchRun both = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "0.5",
                                      "--quantity", "1", "--graph", "--save", saved},
                                     configurationPath);
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.out, "");
    EXPECT_EQ(both.messages.rfind("quillmere-batch: --graph excludes --save\nusage:", 0), 0u)
        << both.messages;
}

namespace {

// The lines the data tip shows for a sheet item of a record of the project.
std::string TipLines(const std::string& projectPath, int record, int mode, int item, bool si) {
    CProjectProfile project;
    EXPECT_TRUE(project.Open(projectPath, nullptr));
    if (record != project.CurrentRecord()) {
        EXPECT_TRUE(project.GoToRecord(record));
    }
    CTempFolder folder;
    CConfiguration configuration(folder.File("tip.cfg"));
    configuration.SetSIMetric(si);
    CDataDisplay pick;
    EXPECT_TRUE(PickSheetItem(*project.Sheet(), mode, item, pick));
    std::string text;
    for (const std::string& line : DataTipLines(pick, configuration))
        text += line + "\n";
    return text;
}

} // namespace

TEST(Batch, TipPrintsTheLinesOfTheDataTip) {
    CProjectFixture fixture;
    // Node 1 of the last record is clamped, fixed and without pressure and
    // touches the tool of slot 3.
    samplegen::RecordData last = fixture.Record(2);
    last.CompleteNodeData();
    last.conditions[0] = 3;
    last.nodeCode[0] = 3;
    last.contactTool[0] = 2;
    ASSERT_TRUE(samplegen::WriteRecordFile(fixture.File("fixture.002"), last));
    const std::string configuration = fixture.File("q.cfg");
    const std::string project = fixture.ProjectPath();

    const BatchRun node = RunCommand({"tip", project, "--node", "1", "--units", "si"}, configuration);
    ASSERT_EQ(node.status, 0) << node.messages;
    EXPECT_TRUE(node.messages.empty()) << node.messages;
    EXPECT_EQ(node.out, TipLines(project, 3, NodeMode, 1, true));
    EXPECT_EQ(node.out, "Sheet - Node: 1\n"
                        "-100.000 -50.000 20.000 (mm)\n"
                        "Thickness:  3.000 mm\n"
                        "Temperature:  150.0 \xC2\xB0"
                        "C\n"
                        "Node flags: [Clamped] [Fixed] [No pressure] \n"
                        "Tool in contact: [T3]\n");

    const BatchRun first =
        RunCommand({"tip", project, "--node", "20", "--record", "1", "--units", "us"}, configuration);
    ASSERT_EQ(first.status, 0) << first.messages;
    EXPECT_EQ(first.out, TipLines(project, 1, NodeMode, 20, false));
    EXPECT_NE(first.out.find("Node flags: \nTool in contact: [None]\n"), std::string::npos) << first.out;

    const BatchRun element = RunCommand({"tip", project, "--element", "23"}, configuration);
    ASSERT_EQ(element.status, 0) << element.messages;
    EXPECT_EQ(element.out, TipLines(project, 3, ElementMode, 23, true));
    EXPECT_EQ(element.out.rfind("Sheet - Element: 23\nThickness:", 0), 0u) << element.out;

    // 20 nodes and 24 elements.
    const std::pair<std::vector<std::string>, std::string> missing[] = {
        {{"tip", project, "--node", "21"}, "There is no node 21: the sheet has nodes 1 to 20."},
        {{"tip", project, "--node", "0"}, "There is no node 0: the sheet has nodes 1 to 20."},
        {{"tip", project, "--element", "24"}, "There is no element 24: the sheet has elements 0 to 23."},
        {{"tip", project, "--element", "-1"}, "There is no element -1: the sheet has elements 0 to 23."}};
    for (const auto& [arguments, message] : missing) {
        const BatchRun run = RunCommand(arguments, configuration);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.messages, message);
    }
}

TEST(Batch, RecordsOutsideTheProjectAreRefused) {
    CProjectFixture fixture;
    for (const char* record : {"0", "4", "-1"}) {
        const BatchRun run =
            RunCommand({"report", "sheet", fixture.ProjectPath(), "--record", record}, fixture.File("q.cfg"));
        EXPECT_EQ(run.status, 2) << record;
        EXPECT_EQ(run.messages, "Invalid record number.");
    }
    const BatchRun first =
        RunCommand({"report", "record", fixture.ProjectPath(), "--record", "1"}, fixture.File("q.cfg"));
    EXPECT_NE(first.out.find("Record number 1\n"), std::string::npos);
    EXPECT_NE(first.out.find("Inflated Z min (mm): 0.000"), std::string::npos) << first.out;
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"report"},
             {"values", fixture.ProjectPath()},
             {"values", fixture.ProjectPath(), "--quantity", "8"},
             {"values", fixture.ProjectPath(), "--quantity", "1", "--min", "0"},
             {"cut", fixture.ProjectPath(), "--quantity", "1", "--plane", "x"},
             {"cut", fixture.ProjectPath(), "--quantity", "1", "--plane", "w", "--position", "1"}})
        EXPECT_EQ(RunCommand(wrong, fixture.File("q.cfg")).status, 2);
}

TEST(Batch, VideosOfAnExtensionNotWrittenAreRefused) {
    CProjectFixture fixture;
    for (const char* name : {"x.mkv", "x"}) {
        const BatchRun run =
            RunCommand({"video", fixture.ProjectPath(), "-o", fixture.File(name)}, fixture.File("q.cfg"));
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.messages.find('\n'), std::string::npos) << run.messages;
        EXPECT_FALSE(PathExists(fixture.File(name)));
    }
}

TEST(BatchCommandLine, HelpListsEveryCommandAndItsOptions) {
    const BatchRun help = RunCommand({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.messages.empty()) << help.messages;
    for (const char* command : {"report", "values", "cut", "tip", "--version", "usage: quillmere-batch"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;

    struct CommandHelp {
        std::vector<std::string> start; // the command and a project
        std::vector<std::string> names;
    };
    const std::vector<CommandHelp> commands{
        {{"report", "sheet", "missing.tfc"}, {"kind", "project", "--units", "--record", "--help"}},
        {{"values", "missing.tfc"}, {"project", "--quantity", "--record", "--min", "--max", "--help"}},
        {{"cut", "missing.tfc"},
         {"project", "--plane", "--position", "--quantity", "--record", "--units", "--graph", "--help"}},
        {{"tip", "missing.tfc"}, {"project", "--node", "--element", "--record", "--units", "--help"}}};
    for (const CommandHelp& command : commands) {
        // Help is given whatever else the command line holds.
        std::vector<std::string> started = command.start;
        started.push_back("-h");
        for (const std::vector<std::string>& arguments :
             std::vector<std::vector<std::string>>{{command.start[0], "--help"}, started}) {
            const BatchRun run = RunCommand(arguments, "");
            EXPECT_EQ(run.status, 0) << arguments.size();
            EXPECT_TRUE(run.messages.empty()) << run.messages;
            EXPECT_EQ(run.out.rfind("Writes ", 0), 0u) << run.out;
            for (const std::string& name : command.names)
                EXPECT_NE(run.out.find(name), std::string::npos) << command.start[0] << ' ' << name;
        }
    }
    EXPECT_EQ(RunCommand({"values", "--help"}, "").out.find("--units"), std::string::npos);
    EXPECT_EQ(RunCommand({"report", "--help"}, "").out.find("--graph"), std::string::npos);
}

TEST(BatchCommandLine, VersionIsTheProjectVersion) {
    const BatchRun version = RunCommand({"--version"}, "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quillmere-batch " QUILLMERE_VERSION "\n");
    EXPECT_TRUE(version.messages.empty());
}

TEST(BatchCommandLine, WrongArgumentsNameTheirFaultInOneLineBeforeTheUsage) {
    CProjectFixture fixture;
    const std::string project = fixture.ProjectPath();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{}, "a command is needed: report, values, cut, tip, export, render or video"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"print", "sheet", project},
         "print is not a command: report, values, cut, tip, export, render or video"},
        {{"report", "sheet", project, "--graph"}, "--graph is not an option of report"},
        {{"values", project, "--quantity", "1", "--units", "si"}, "--units is not an option of values"},
        {{"cut", project, "--plane", "x", "--position", "0", "--quantity", "1", "--min", "0", "--max", "1"},
         "--min is not an option of cut"},
        {{"report", "sheet", project, "extra"}, "unexpected argument extra"},
        // A misspelt option is named rather than the one it should have been.
        {{"values", project, "--quantty", "1"}, "--quantty is not an option of values"},
        {{"report", "volume", project}, "kind: volume not in {sheet,project,record,document}"},
        {{"report", "sheet", project, "--units", "imperial"}, "--units: imperial not in {si,us}"},
        {{"report", "sheet", project, "--record", "1.5"}, "--record: 1.5 is not an integer"},
        {{"report", "sheet", project, "--record"}, "--record"},
        {{"values", project, "--quantity", "0"}, "--quantity: 0 is not a quantity from 1 to 7"},
        {{"values", project, "--quantity", "1", "--min", "1,5", "--max", "2"}, "--min: 1,5 is not a number"},
        {{"values", project, "--quantity", "1", "--max", "2"}, "--max requires --min"},
        {{"cut", project, "--plane", "x", "--position", "inf", "--quantity", "1"},
         "--position: inf is not a number"},
        {{"cut", project, "--plane", "X", "--position", "1", "--quantity", "1"}, "--plane: X not in {x,y,z}"},
        {{"cut", project, "--position", "1", "--quantity", "1"}, "--plane is required"},
        {{"tip", project}, "tip needs --node N or --element E"},
        {{"tip", project, "--node", "1", "--element", "1"}, "--node excludes --element"},
        {{"tip", project, "--node", "x"}, "--node: x is not an integer"},
        {{"tip", project, "--element", "1", "--quantity", "1"}, "--quantity is not an option of tip"}};
    for (const auto& [arguments, reason] : cases) {
        const BatchRun run = RunCommand(arguments, fixture.File("q.cfg"));
        EXPECT_EQ(run.status, 2) << reason;
        EXPECT_TRUE(run.out.empty()) << reason;
        const size_t lineEnd = run.messages.find('\n');
        ASSERT_NE(lineEnd, std::string::npos) << run.messages;
        EXPECT_EQ(run.messages.substr(0, lineEnd).find("quillmere-batch: " + reason), 0u) << run.messages;
        EXPECT_EQ(run.messages.find("usage: quillmere-batch", lineEnd), lineEnd + 1) << run.messages;
    }
}

TEST(BatchCommandLine, OptionsComeInAnyOrderAndTheLastOfTwoWins) {
    CProjectFixture fixture;
    const std::string configuration = fixture.File("q.cfg");
    const BatchRun once = RunCommand({"cut", fixture.ProjectPath(), "--plane", "x", "--position", "0.5",
                                      "--units", "us", "--quantity", "1", "--graph"},
                                     configuration);
    ASSERT_EQ(once.status, 0) << once.messages;
    const BatchRun shuffled =
        RunCommand({"cut", fixture.ProjectPath(), "--graph", "--quantity", "3", "--units", "si", "--position",
                    "0.5", "--quantity", "1", "--plane", "y", "--units", "us", "--plane", "x"},
                   configuration);
    EXPECT_EQ(shuffled.status, 0) << shuffled.messages;
    EXPECT_EQ(shuffled.out, once.out);

    const BatchRun fixed = RunCommand(
        {"values", fixture.ProjectPath(), "--max", "5", "--quantity", "2", "--min", "-1e9", "--min", "-3"},
        configuration);
    EXPECT_EQ(OutputLines(fixed.out)[0], "# limits -3 5");
}

namespace {

// Permission bits bind root too while its file-system identity is another
// user's (this thread's only).
class CFileAccessAsNobody {
public:
    CFileAccessAsNobody() : previous(RunningAsRoot() ? ::setfsuid(65534) : -1) {}
    ~CFileAccessAsNobody() {
        if (previous >= 0)
            ::setfsuid(static_cast<uid_t>(previous));
    }
    CFileAccessAsNobody(const CFileAccessAsNobody&) = delete;
    CFileAccessAsNobody& operator=(const CFileAccessAsNobody&) = delete;

private:
    int previous;
};

bool CanOpen(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0)
        ::close(descriptor);
    return descriptor >= 0;
}

} // namespace

// The record that the opening has just found cannot be opened: the reader
// gives up, the tool reports and ends with its own status.
TEST(BatchCommandLine, ARecordThatCannotBeOpenedIsCritical) {
    CProjectFixture fixture;
    // A first run writes the configuration file.
    ASSERT_EQ(RunCommand({"report", "sheet", fixture.ProjectPath()}, fixture.File("q.cfg")).status, 0);
    const std::string record = fixture.File("fixture.000");
    ASSERT_EQ(::chmod(fixture.Folder().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(record.c_str(), 0), 0);
    CFileAccessAsNobody nobody;
    if (CanOpen(record))
        GTEST_SKIP() << "permission bits do not bind here";
    ASSERT_TRUE(CanOpen(fixture.ProjectPath()));
    // The file identity set above binds this thread only, not the threads
    // that read beside it.
    const tbb::global_control oneThread(tbb::global_control::max_allowed_parallelism, 1);

    const BatchRun run = RunCommand({"report", "sheet", fixture.ProjectPath()}, fixture.File("q.cfg"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.messages, "Critical error: Unable to open sheet file");
}

TEST(BatchExport, CopiesAsTheDialogDoesAndPrintsTheResult) {
    FixtureOptions options;
    options.records = 5;
    CProjectFixture fixture(options);
    CTempFolder target;
    const BatchRun all = RunCommand({"export", fixture.ProjectPath(), "--to", target.Path()}, "");
    EXPECT_EQ(all.status, 0) << all.messages;
    EXPECT_EQ(all.out, "Results export: Project files were successfully exported.\n");
    EXPECT_TRUE(PathExists(target.File("fixture.hft")));
    EXPECT_FALSE(PathExists(target.File("fixture.000")));

    const BatchRun firstLast = RunCommand(
        {"export", fixture.ProjectPath(), "--first-last", "--to", target.Path() + "/", "--with-solution"},
        "");
    EXPECT_EQ(firstLast.status, 0) << firstLast.messages;
    EXPECT_EQ(ReadWholeFile(target.File("fixture.001")), ReadWholeFile(fixture.File("fixture.004")));
    EXPECT_FALSE(PathExists(target.File("fixture.002")));

    // A file that is not there: the export goes on and says so.
    std::remove(fixture.File("fixture.prc").c_str());
    CTempFolder other;
    const BatchRun incomplete =
        RunCommand({"export", fixture.ProjectPath(), "--to", other.Path(), "--with-solution"}, "");
    EXPECT_EQ(incomplete.status, 2);
    EXPECT_EQ(incomplete.out,
              "Result export: Some project files were not exported.\nPossible cause: Files do "
              "not exist or the target disk is full.\n");
    EXPECT_TRUE(PathExists(other.File("fixture.004")));
}

TEST(BatchExport, RefusalsCopyNothing) {
    CProjectFixture fixture;
    CTempFolder parent;
    const std::string missing = parent.File("new");
    struct Refusal {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Refusal> refusals{
        {{"export", fixture.ProjectPath(), "--to", fixture.Folder() + "/."},
         "You can not export data to the project directory including TFF file. Please, change the target "
         "directory and export required data!"},
        {{"export", fixture.ProjectPath(), "--to", "  "},
         "No export folder specified.\nPlease specify a folder."},
        {{"export", fixture.ProjectPath(), "--to", missing}, "Folder " + missing + " does not exists."},
        {{"export", fixture.File("missing.tfc"), "--to", missing, "--create"},
         "Unable to read from the " + fixture.File("missing.tfc") + " file."}};
    for (const Refusal& refusal : refusals) {
        const BatchRun run = RunCommand(refusal.arguments, "");
        EXPECT_EQ(run.status, 2) << refusal.message;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.messages, refusal.message);
    }
    EXPECT_FALSE(PathExists(missing));

    const BatchRun created = RunCommand({"export", fixture.ProjectPath(), "--to", missing, "--create"}, "");
    EXPECT_EQ(created.status, 0) << created.messages;
    EXPECT_TRUE(PathExists(missing + "/fixture.tfc"));

    // First and last goes only with the solution; the folder is required.
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"export", fixture.ProjectPath(), "--to", missing, "--first-last"},
             {"export", fixture.ProjectPath()}}) {
        const BatchRun run = RunCommand(wrong, "");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.messages.find("usage: quillmere-batch"), std::string::npos);
    }
    const BatchRun help = RunCommand({"export", "--help"}, "");
    EXPECT_EQ(help.status, 0);
    for (const char* name : {"project", "--to", "--with-solution", "--first-last", "--create", "--help"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    EXPECT_NE(RunCommand({"--help"}, "").out.find("quillmere-batch export PROJECT.tfc --to DIR"),
              std::string::npos);
}
