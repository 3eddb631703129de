#include "core/FilePaths.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quillmere;

TEST(FilePaths, SplitsAtEitherSeparator) {
    EXPECT_EQ(FileNamePart("C:\\jobs\\cup.tol"), "cup.tol");
    EXPECT_EQ(FileNamePart("/a/b\\c.tol"), "c.tol");
    EXPECT_EQ(FolderPart("C:\\jobs\\cup.tol"), "C:\\jobs");
    EXPECT_EQ(FolderPart("cup.tol"), "");
}

TEST(FilePaths, FindsFilesWhateverTheirCaseAndSeparators) {
    CTempFolder folder;
    ::mkdir(folder.File("Sub").c_str(), 0755);
    WriteWholeFile(folder.File("Sub/Cup_Mould.TOL"), "x");
    const std::string expected = folder.File("Sub/Cup_Mould.TOL");
    EXPECT_EQ(FindExistingFile("sub\\cup_mould.tol", folder.Path()), expected);
    EXPECT_EQ(FindExistingFile(folder.Path() + "\\SUB\\cup_mould.tol", ""), expected);
    EXPECT_EQ(FindExistingFile("Sub/Cup_Mould.TOL", folder.Path()), expected);
}

TEST(FilePaths, FoldersDriveLettersAndEmptyNamesAreNotFiles) {
    CTempFolder folder;
    ::mkdir(folder.File("dir.tol").c_str(), 0755);
    EXPECT_EQ(FindExistingFile("dir.tol", folder.Path()), "");
    EXPECT_EQ(FindExistingFile("C:\\jobs\\cup.tol", folder.Path()), "");
    EXPECT_EQ(FindExistingFile("", folder.Path()), "");
    EXPECT_EQ(FindExistingFile("missing.tol", folder.Path()), "");
}

TEST(FilePaths, ResolveFallsBackToTheNameInTheFolder) {
    EXPECT_EQ(ResolveFile("a\\b.tol", "/base"), "/base/a/b.tol");
    EXPECT_EQ(ResolveFile("/abs/b.tol", "/base"), "/abs/b.tol");
}

TEST(DisplayNames, BareNamesUnlessAnotherPathHasTheSameName) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(DisplayNames({}), Names());
    EXPECT_EQ(DisplayNames({"/jobs/v1/cup.tfc", "/jobs/v1/tray.tfc"}), (Names{"cup.tfc", "tray.tfc"}));
    // The same path twice is one project.
    EXPECT_EQ(DisplayNames({"/jobs/v1/cup.tfc", "/jobs/v1/cup.tfc"}), (Names{"cup.tfc", "cup.tfc"}));
    // Only the paths that share a name get folders, as few as tell them apart.
    EXPECT_EQ(DisplayNames({"/jobs/v1/cup.tfc", "/jobs/v2/cup.tfc", "/jobs/v1/tray.tfc"}),
              (Names{"v1/cup.tfc", "v2/cup.tfc", "tray.tfc"}));
    EXPECT_EQ(DisplayNames({"/a/run/cup.tfc", "/b/run/cup.tfc", "/b/old/cup.tfc"}),
              (Names{"a/run/cup.tfc", "b/run/cup.tfc", "old/cup.tfc"}));
    // A path whose every folder another one ends in shows whole.
    EXPECT_EQ(DisplayNames({"/run/cup.tfc", "/jobs/run/cup.tfc"}),
              (Names{"/run/cup.tfc", "jobs/run/cup.tfc"}));
    // Either separator; the parts are joined with '/'. Case tells names apart.
    EXPECT_EQ(DisplayNames({"C:\\v1\\cup.tfc", "C:\\v2\\cup.tfc", "/v3/CUP.tfc"}),
              (Names{"v1/cup.tfc", "v2/cup.tfc", "CUP.tfc"}));
}
