#include "core/FilePaths.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
