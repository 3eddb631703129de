#include "export/ProjectExport.h"
#include "core/AtomicFile.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "model/ProjectFile.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillmere;

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> FolderContent(const std::string& folder) {
    std::map<std::string, std::string> content;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        content[entry.path().filename().string()] =
            entry.is_regular_file() ? ReadWholeFile(entry.path().string()) : "<folder>";
    return content;
}

std::vector<std::string> ProjectFiles(const std::string& project) {
    ProjectFileFields fields;
    EXPECT_EQ(ParseProjectFile(project, fields), ProjectParseResult::Ok);
    return ProjectExportFiles(fields, project);
}

struct ExportRun {
    bool ran = false;
    bool complete = false;
    std::vector<std::string> shown;
    std::vector<std::string> asked;
};

ExportRun Export(const std::string& project, const std::string& target, ExportOptions options,
                 bool create = false) {
    ExportRun run;
    run.ran = RunProjectExport(
        project, ProjectFiles(project), target, options,
        [&](const std::string& folder) {
            run.asked.push_back(folder);
            return create;
        },
        [&](const std::string& text) { run.shown.push_back(text); }, run.complete);
    return run;
}

ExportRun Export(const CProjectFixture& fixture, const std::string& target, ExportOptions options,
                 bool create = false) {
    return Export(fixture.ProjectPath(), target, options, create);
}

ExportOptions WithSolution(bool firstAndLast) {
    ExportOptions options;
    options.sourceOnly = false;
    options.firstAndLast = firstAndLast;
    return options;
}

} // namespace

TEST(ProjectExportList, NamesTheProjectsFilesInOrderWithoutEmptySlots) {
    FixtureOptions options;
    options.materials = {"fixture_pp.vie", "Unused", " unused "};
    CProjectFixture fixture(options);
    const std::vector<std::string> expected{"fixture.cfg",        "fixture.sht",    "fixture_mould.tol",
                                            "fixture.prc",        "fixture_pp.vie", "fixture.hft",
                                            fixture.ProjectPath()};
    EXPECT_EQ(ProjectFiles(fixture.ProjectPath()), expected);

    // The open document gives the same list: its eight empty material slots
    // are not files that fail to copy.
    CRecordingMessages messages;
    CProjectProfile project;
    ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
    EXPECT_EQ(ProjectExportFiles(project), expected);
    EXPECT_TRUE(ListsProjectFile(expected));
    EXPECT_FALSE(ListsProjectFile({"a.cfg", "b.TFC.bak"}));
    EXPECT_TRUE(ListsProjectFile({"C:\\jobs\\CUP.TFC"}));
}

TEST(ProjectExport, SourceOnlyCopiesTheListedFilesAndNoRecord) {
    CProjectFixture fixture;
    CTempFolder target;
    const ExportRun run = Export(fixture, "  " + target.Path() + "  ", ExportOptions());
    ASSERT_TRUE(run.ran);
    EXPECT_TRUE(run.complete);
    EXPECT_EQ(MessageText(ExportResultMessage(run.complete)),
              "Results export: Project files were successfully exported.");
    ASSERT_EQ(run.shown.size(), 7u);
    EXPECT_EQ(run.shown[0], fixture.File("fixture.cfg") + " -> " + target.File("fixture.cfg"));
    const std::map<std::string, std::string> copied = FolderContent(target.Path());
    EXPECT_EQ(copied.size(), 7u);
    for (const auto& [name, content] : copied)
        EXPECT_EQ(content, ReadWholeFile(fixture.File(name))) << name;
    EXPECT_EQ(copied.count("fixture.000"), 0u);
}

TEST(ProjectExport, WithSolutionCopiesEveryRecordAndTheHeatFiles) {
    FixtureOptions options;
    options.records = 4;
    CProjectFixture fixture(options);
    WriteWholeFile(fixture.File("fixture.teh"), "heat exchange\n");
    WriteWholeFile(fixture.File("fixture.bak"), "not exported\n");
    WriteWholeFile(fixture.File("other.001"), "another project\n");
    CTempFolder target;
    const ExportRun run = Export(fixture, target.Path(), WithSolution(false));
    EXPECT_TRUE(run.complete);
    const std::map<std::string, std::string> copied = FolderContent(target.Path());
    EXPECT_EQ(copied.size(), 7u + 4u + 1u);
    for (const char* name : {"fixture.000", "fixture.003", "fixture.teh", "fixture.tfc"})
        EXPECT_EQ(copied.at(name), ReadWholeFile(fixture.File(name))) << name;
    EXPECT_EQ(copied.count("fixture.bak") + copied.count("other.001"), 0u);
}

TEST(ProjectExport, FirstAndLastGivesRecordsZeroAndOneThatOpen) {
    FixtureOptions options;
    options.records = 58;
    CProjectFixture fixture(options);
    WriteWholeFile(fixture.File("fixture.teh"), "heat exchange\n");
    CTempFolder target;
    const ExportRun run = Export(fixture, target.Path(), WithSolution(true));
    EXPECT_TRUE(run.complete);
    const std::map<std::string, std::string> copied = FolderContent(target.Path());
    EXPECT_EQ(copied.size(), 7u + 2u);
    EXPECT_EQ(copied.at("fixture.000"), ReadWholeFile(fixture.File("fixture.000")));
    EXPECT_EQ(copied.at("fixture.001"), ReadWholeFile(fixture.File("fixture.057")));
    EXPECT_EQ(copied.count("fixture.teh"), 0u);

    // The copy's record table keeps records 0 and the last as 1 (the rule is
    // RecordTableRewrite's).
    const std::string original = ReadWholeFile(fixture.ProjectPath());
    EXPECT_EQ(copied.at("fixture.tfc"), RewriteRecordTable(original));
    // The project's own files are untouched.
    EXPECT_EQ(ReadWholeFile(fixture.ProjectPath()), original);

    CRecordingMessages messages;
    CProjectProfile project;
    ASSERT_TRUE(project.Open(target.File("fixture.tfc"), nullptr)) << messages.Texts();
    EXPECT_EQ(project.RecordCount(), 2);
}

TEST(ProjectExport, FirstAndLastOfASingleRecordCopiesItUnchanged) {
    FixtureOptions options;
    options.records = 1;
    CProjectFixture fixture(options);
    CTempFolder target;
    EXPECT_TRUE(Export(fixture, target.Path(), WithSolution(true)).complete);
    const std::map<std::string, std::string> copied = FolderContent(target.Path());
    EXPECT_EQ(copied.count("fixture.001"), 0u);
    EXPECT_EQ(copied.at("fixture.000"), ReadWholeFile(fixture.File("fixture.000")));
    EXPECT_EQ(copied.at("fixture.tfc"), ReadWholeFile(fixture.ProjectPath()));
}

// Files of the exported names in the target: listed before anything is
// copied (not the exported files themselves, reached through a link), asked
// about once, kept when the answer is no, and named once replaced.
TEST(ProjectExport, FilesOfTheSameNamesAreAskedAboutOnceAndNamed) {
    FixtureOptions options;
    options.records = 3;
    CProjectFixture fixture(options);
    const std::vector<std::string> files = ProjectFiles(fixture.ProjectPath());
    CTempFolder target;
    WriteWholeFile(target.File("fixture.sht"), "older sheet\n");
    WriteWholeFile(target.File("fixture.001"), "older record\n");
    fs::create_symlink(fixture.ProjectPath(), target.File("fixture.tfc"));
    const std::vector<std::string> both{target.File("fixture.sht"), target.File("fixture.001")};
    EXPECT_EQ(ExportReplaces(fixture.ProjectPath(), files, target.Path(), WithSolution(true)), both);
    EXPECT_EQ(ExportReplaces(fixture.ProjectPath(), files, target.Path(), ExportOptions()),
              std::vector<std::string>{target.File("fixture.sht")});

    std::vector<std::vector<std::string>> asked;
    const auto run = [&](bool answer) {
        bool complete = false;
        return RunProjectExport(fixture.ProjectPath(), files, target.Path(), WithSolution(true), nullptr,
                                nullptr, complete, [&](const std::vector<std::string>& existing) {
                                    asked.push_back(existing);
                                    return answer;
                                });
    };
    EXPECT_FALSE(run(false));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], both);
    EXPECT_EQ(ReadWholeFile(target.File("fixture.sht")), "older sheet\n");
    EXPECT_FALSE(PathExists(target.File("fixture.000")));
    EXPECT_TRUE(run(true));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(ReadWholeFile(target.File("fixture.sht")), ReadWholeFile(fixture.File("fixture.sht")));
    EXPECT_EQ(ReadWholeFile(target.File("fixture.001")), ReadWholeFile(fixture.File("fixture.002")));

    // Every listed file is there now: all of them but the project itself are
    // replaced, and named.
    std::vector<std::string> replaced, expected;
    for (size_t k = 0; k + 1 < files.size(); ++k)
        expected.push_back(target.File(files[k]));
    EXPECT_FALSE(
        ExportProjectFiles(fixture.ProjectPath(), files, target.Path(), ExportOptions(), nullptr, &replaced));
    EXPECT_EQ(replaced, expected);
}

// The project's own folder however spelled, with every option: refused before
// anything is written.
TEST(ProjectExportRefusal, TheProjectsOwnFolderInAnySpelling) {
    CProjectFixture fixture;
    fs::create_directory(fixture.File("sub"));
    CTempFolder elsewhere;
    const std::string link = elsewhere.File("link");
    fs::create_directory_symlink(fixture.Folder(), link);
    const std::map<std::string, std::string> before = FolderContent(fixture.Folder());
    const std::string relative = fs::relative(fixture.Folder()).string();
    for (const std::string& spelling :
         {fixture.Folder(), fixture.Folder() + "/", fixture.Folder() + "//", fixture.Folder() + "/.",
          fixture.File("sub/.."), fixture.File("sub/../"), link, link + "/", relative,
          " " + relative + "/ "}) {
        for (const ExportOptions& options : {ExportOptions(), WithSolution(false), WithSolution(true)}) {
            CRecordingMessages messages;
            const ExportRun run = Export(fixture, spelling, options, true);
            EXPECT_FALSE(run.ran) << spelling;
            EXPECT_TRUE(run.shown.empty());
            ASSERT_EQ(messages.messages.size(), 1u) << spelling;
            EXPECT_EQ(messages.messages[0].text,
                      "You can not export data to the project directory including TFF file. Please, change "
                      "the target directory and export required data!");
            EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
        }
    }
    EXPECT_EQ(FolderContent(fixture.Folder()), before);
    EXPECT_FALSE(IsSameFolder(fixture.Folder(), fixture.File("sub")));
}

// Opened through a folder of links to its files, the project's real folder
// is its own folder too: the export would cut its record table and put the
// last record in place of record 1.
TEST(ProjectExportRefusal, TheRealFolderOfAProjectOpenedThroughLinks) {
    CProjectFixture fixture;
    const std::map<std::string, std::string> before = FolderContent(fixture.Folder());
    CTempFolder links;
    for (const auto& entry : before)
        fs::create_symlink(fixture.File(entry.first), links.File(entry.first));
    CRecordingMessages messages;
    CProjectProfile project;
    ASSERT_TRUE(project.Open(links.File("fixture.tfc"), nullptr)) << messages.Texts();
    for (const ExportOptions& options : {ExportOptions(), WithSolution(false), WithSolution(true)}) {
        messages.messages.clear();
        const ExportRun run = Export(project.ProjectPathName(), fixture.Folder(), options);
        EXPECT_FALSE(run.ran);
        EXPECT_EQ(messages.Texts(), MessageText(MessageId::ExportToProjectFolder));
    }
    EXPECT_EQ(FolderContent(fixture.Folder()), before);
}

TEST(ProjectExportRefusal, BlankMissingAndUncreatableFolders) {
    CProjectFixture fixture;
    {
        CRecordingMessages messages;
        EXPECT_FALSE(Export(fixture, " \t ", ExportOptions()).ran);
        EXPECT_EQ(messages.Texts(), "No export folder specified.\r\nPlease specify a folder.");
    }
    CTempFolder parent;
    const std::string missing = parent.File("new/deeper");
    {
        // Declined: nothing is created.
        CRecordingMessages messages;
        const ExportRun run = Export(fixture, missing + " ", ExportOptions(), false);
        EXPECT_FALSE(run.ran);
        EXPECT_EQ(run.asked, std::vector<std::string>{missing});
        EXPECT_FALSE(PathExists(parent.File("new")));
        EXPECT_TRUE(messages.messages.empty());
    }
    {
        const ExportRun run = Export(fixture, missing, ExportOptions(), true);
        EXPECT_TRUE(run.ran);
        EXPECT_TRUE(run.complete);
        EXPECT_TRUE(PathExists(missing + "/fixture.tfc"));
    }
    {
        WriteWholeFile(parent.File("plain"), "a file\n");
        CRecordingMessages messages;
        EXPECT_FALSE(Export(fixture, parent.File("plain/inside"), ExportOptions(), true).ran);
        EXPECT_EQ(messages.Texts(), "Unable to create the folder " + parent.File("plain/inside") +
                                        ".\r\nPlease try another folder.");
    }
}

// A copy that fails leaves no half-written file under a project file's name
// and the export goes on with the other files.
TEST(ProjectExportFailures, AFailedCopyLeavesNoHalfFile) {
    FixtureOptions options;
    options.records = 3;
    options.cellsX = 40;
    options.cellsY = 30;
    CProjectFixture fixture(options);
    CTempFolder target;
    const size_t recordSize = ReadWholeFile(fixture.File("fixture.000")).size();
    ExportRun run;
    {
        // A full disk: no file may grow to a record's size.
        CFileSizeLimit limit(static_cast<unsigned long>(recordSize / 2));
        run = Export(fixture, target.Path(), WithSolution(false));
    }
    EXPECT_TRUE(run.ran);
    EXPECT_FALSE(run.complete);
    EXPECT_EQ(
        MessageText(ExportResultMessage(run.complete)),
        "Result export: Some project files were not exported.\r\nPossible cause: Files do not exist or the "
        "target disk is full.");
    const std::map<std::string, std::string> copied = FolderContent(target.Path());
    EXPECT_EQ(copied.size(), 7u); // the small files only, no leftovers
    EXPECT_EQ(copied.count("fixture.000"), 0u);
    EXPECT_EQ(copied.at("fixture.tfc"), ReadWholeFile(fixture.ProjectPath()));
}

// A file its owner may not write is not replaced, even by root.
TEST(ProjectExportFailures, AnUnwritableTargetFileStaysAsItWas) {
    CProjectFixture fixture;
    CTempFolder target;
    WriteWholeFile(target.File("fixture.sht"), "older sheet\n");
    ASSERT_EQ(::chmod(target.File("fixture.sht").c_str(), 0444), 0);
    const ExportRun run = Export(fixture, target.Path(), ExportOptions());
    EXPECT_FALSE(run.complete);
    EXPECT_EQ(run.shown.size(), 7u);
    EXPECT_EQ(ReadWholeFile(target.File("fixture.sht")), "older sheet\n");
    EXPECT_EQ(FolderContent(target.Path()).size(), 7u);
}

TEST(ProjectExportFailures, AMissingListedFileMakesTheExportIncomplete) {
    CProjectFixture fixture;
    fs::remove(fixture.File("fixture.hft"));
    CTempFolder target;
    const ExportRun run = Export(fixture, target.Path(), ExportOptions());
    EXPECT_FALSE(run.complete);
    EXPECT_EQ(FolderContent(target.Path()).size(), 6u);
}

// The same file reached by two names (a hard link or a link in the target,
// a listed file in the target named through a linked folder) is never
// copied onto itself: it counts as not exported, and a project file that
// was not copied keeps its record table.
TEST(ProjectExportFailures, AFileIsNeverCopiedOntoItself) {
    CProjectFixture fixture;
    CTempFolder target, elsewhere;
    fs::create_hard_link(fixture.File("fixture.sht"), target.File("fixture.sht"));
    fs::create_symlink(fixture.ProjectPath(), target.File("fixture.tfc"));
    WriteWholeFile(target.File("shared.vie"), "shared material\n");
    fs::create_directory_symlink(target.Path(), elsewhere.File("shared"));
    fixture.Project().materials = {elsewhere.File("shared/shared.vie")};
    fixture.WriteProject();
    const std::string project = ReadWholeFile(fixture.ProjectPath());
    const ExportRun run = Export(fixture, target.Path(), WithSolution(true));
    EXPECT_TRUE(run.ran);
    EXPECT_FALSE(run.complete);
    EXPECT_TRUE(fs::equivalent(target.File("fixture.sht"), fixture.File("fixture.sht")));
    EXPECT_TRUE(fs::is_symlink(target.File("fixture.tfc")));
    EXPECT_EQ(ReadWholeFile(fixture.ProjectPath()), project);
    EXPECT_EQ(ReadWholeFile(target.File("shared.vie")), "shared material\n");
    EXPECT_EQ(ReadWholeFile(target.File("fixture.001")), ReadWholeFile(fixture.File("fixture.002")));
}

// The project file's copy fails: whatever stood under its name in the target
// keeps its record table.
TEST(ProjectExportFailures, TheTableIsCutOnlyInACopyThatSucceeded) {
    CProjectFixture fixture, other;
    CTempFolder target;
    const std::string older = ReadWholeFile(other.ProjectPath());
    WriteWholeFile(target.File("fixture.tfc"), older);
    int opened = 0; // the project file is the seventh file copied
    CAtomicFile::SetFaultHook(
        [&](CAtomicFile::Step step) { return step == CAtomicFile::Step::Create && ++opened == 7; });
    const ExportRun run = Export(fixture, target.Path(), WithSolution(true));
    CAtomicFile::SetFaultHook(nullptr);
    EXPECT_FALSE(run.complete);
    EXPECT_EQ(ReadWholeFile(target.File("fixture.tfc")), older);
    EXPECT_EQ(ReadWholeFile(target.File("fixture.001")), ReadWholeFile(fixture.File("fixture.002")));
}

// Two listed files of one name from different folders: the second is not
// exported rather than replacing the first. The same file listed twice is
// copied once.
TEST(ProjectExportFailures, ASecondFileOfTheSameNameIsNotExported) {
    FixtureOptions options;
    options.materials = {"fixture_pp.vie", "fixture_pp.vie"};
    CProjectFixture fixture(options);
    CTempFolder target;
    EXPECT_TRUE(Export(fixture, target.Path(), ExportOptions()).complete);

    fs::create_directory(fixture.File("sub"));
    WriteWholeFile(fixture.File("sub/fixture_pp.vie"), "another material\n");
    fixture.Project().materials = {"fixture_pp.vie", "sub/fixture_pp.vie"};
    fixture.WriteProject();
    CTempFolder second;
    const ExportRun run = Export(fixture, second.Path(), ExportOptions());
    EXPECT_FALSE(run.complete);
    EXPECT_EQ(run.shown.size(), 8u);
    EXPECT_EQ(ReadWholeFile(second.File("fixture_pp.vie")), "material\n");
}

// Copies keep their source's permission bits and modification time, and
// their temporary names never take the place of a file of the user's.
TEST(ProjectExport, CopiesKeepTheirAttributesAndLeaveTheUsersFiles) {
    CProjectFixture fixture;
    ASSERT_EQ(::chmod(fixture.File("fixture.sht").c_str(), 0640), 0);
    ASSERT_EQ(::chmod(fixture.File("fixture.000").c_str(), 0604), 0);
    const struct timespec past[2] = {{1000000000, 0}, {1000000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, fixture.File("fixture.000").c_str(), past, 0), 0);
    CTempFolder target;
    std::map<std::string, std::string> users;
    for (const char* name : {".fixture.tfc.partial", ".fixture.000.partial", ".fixture.sht.partial"}) {
        users[name] = std::string("kept ") + name;
        WriteWholeFile(target.File(name), users[name]);
    }
    EXPECT_TRUE(Export(fixture, target.Path(), WithSolution(false)).complete);
    const std::map<std::string, std::string> copied = FolderContent(target.Path());
    EXPECT_EQ(copied.size(), users.size() + 7u + 3u);
    for (const auto& [name, content] : users)
        EXPECT_EQ(copied.at(name), content);
    for (const char* name : {"fixture.sht", "fixture.000", "fixture.002", "fixture.tfc"}) {
        struct stat source, copy;
        ASSERT_EQ(::stat(fixture.File(name).c_str(), &source), 0);
        ASSERT_EQ(::stat(target.File(name).c_str(), &copy), 0);
        EXPECT_EQ(copy.st_mode, source.st_mode) << name;
        EXPECT_EQ(copy.st_mtim.tv_sec, source.st_mtim.tv_sec) << name;
        EXPECT_EQ(copy.st_mtim.tv_nsec, source.st_mtim.tv_nsec) << name;
    }
}

TEST(RecordTableRewrite, KeepsRecordZeroAndTheLastAsOne) {
    const std::string head = "QRELL SOLVED PROJECT\ncup.sht\nNone\n";
    const std::string table = "  0  ------------------------\n  1\n  s\n  1\n"
                              "  1  ------------------------\n  2\n  s\n  2\n"
                              "  2  ------------------------\n  3\n  s\n  3\n";
    EXPECT_EQ(RewriteRecordTable(head + table), head + "  0  ------------------------\n  1\n  s\n  1\n"
                                                       "  1  ------------------------\n  3\n  s\n  3\n");
    // Windows line ends stay; a last line without its end gets one.
    EXPECT_EQ(
        RewriteRecordTable("h\r\n0 ----\r\na\r\nb\r\nc\r\n1 ----\r\nd\r\ne\r\nf\r\n7 -----\r\nx\r\ny\r\nz"),
        "h\r\n0 ----\r\na\r\nb\r\nc\r\n  1  ------------------------\r\nx\r\ny\r\nz\r\n");
}

TEST(RecordTableRewrite, FindsRecordOneOnlyAmongHeaderLines) {
    // Lines that read "1" without their dashes but are no headers: a value
    // line, a bare run of dashes after a number in the text.
    const std::string text = "QRELL SOLVED PROJECT\n1\n-1-\n  0  ------------------------\n  1\n  1 s\n  1\n";
    EXPECT_EQ(RewriteRecordTable(text), text);
    // A single record stays as it is; so do a file without headers and an
    // empty one.
    const std::string single = "QRELL SOLVED PROJECT\n  0  ------------------------\n  5\n  s\n  1";
    EXPECT_EQ(RewriteRecordTable(single), single);
    EXPECT_EQ(RewriteRecordTable(""), "");
    EXPECT_EQ(RewriteRecordTable("1 -- 2 ----\n"), "1 -- 2 ----\n");
    // A last header with fewer than three lines after it.
    EXPECT_EQ(RewriteRecordTable("0 ----\na\n01 ----\nb\n2 ----\n"),
              "0 ----\na\n  1  ------------------------\n");
}

TEST(ReportFile, IsTheProjectWithTheExtensionHtm) {
    EXPECT_EQ(ReportFilePath("/jobs/cup.tfc"), "/jobs/cup.htm");
    EXPECT_EQ(ReportFilePath("/jobs.v2/cup"), "/jobs.v2/cup.htm");
    EXPECT_EQ(ReportFilePath("/jobs/cup.v2.TFC"), "/jobs/cup.v2.htm");
}
