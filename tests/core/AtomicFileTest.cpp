#include "core/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AtomicFileFault : public ::testing::TestWithParam<CAtomicFile::Step> {
protected:
    void TearDown() override { CAtomicFile::SetFaultHook(nullptr); }
};

} // namespace

TEST(AtomicFile, ReplacesTheContentAndKeepsThePermissions) {
    CTempFolder folder;
    const std::string target = folder.File("a.cfg");
    WriteWholeFile(target, "old");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(ReplaceFileContent(target, target + ".new", "new content"));
    EXPECT_EQ(ReadWholeFile(target), "new content");
    EXPECT_FALSE(PathExists(target + ".new"));
    struct stat info;
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_P(AtomicFileFault, AFailingStepLeavesTheOldFileAndNoTemporary) {
    CTempFolder folder;
    const std::string target = folder.File("a.cfg");
    WriteWholeFile(target, "old");
    const CAtomicFile::Step failing = GetParam();
    CAtomicFile::SetFaultHook([failing](CAtomicFile::Step step) { return step == failing; });
    EXPECT_FALSE(ReplaceFileContent(target, target + ".new", "new"));
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_FALSE(PathExists(target + ".new"));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, AtomicFileFault,
                         ::testing::Values(CAtomicFile::Step::Create, CAtomicFile::Step::Write,
                                           CAtomicFile::Step::Flush, CAtomicFile::Step::Rename),
                         AtomicStepName);

TEST(AtomicFile, AMissingFolderFailsCleanly) {
    CTempFolder folder;
    EXPECT_FALSE(ReplaceFileContent(folder.File("none/a.cfg"), folder.File("none/a.cfg.new"), "x"));
}

TEST(AtomicFile, AReadOnlyFileIsNotReplaced) {
    CTempFolder folder;
    const std::string target = folder.File("a.cfg");
    WriteWholeFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    EXPECT_FALSE(ReplaceFileContent(target, target + ".new", "new"));
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_FALSE(PathExists(target + ".new"));
}

TEST(AtomicFile, AFolderWithoutWritePermissionFailsCleanly) {
    if (RunningAsRoot())
        GTEST_SKIP() << "root writes into any folder; the fault hook covers this as Step::Create";
    CTempFolder folder;
    const std::string target = folder.File("a.cfg");
    WriteWholeFile(target, "old");
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
    EXPECT_FALSE(ReplaceFileContent(target, target + ".new", "new"));
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_FALSE(PathExists(target + ".new"));
}

TEST(AtomicFile, AFullDiskLeavesTheOldFile) {
    CTempFolder folder;
    const std::string target = folder.File("a.cfg");
    WriteWholeFile(target, "old");
    {
        CFileSizeLimit full(16);
        EXPECT_FALSE(ReplaceFileContent(target, target + ".new", std::string(1000, 'n')));
    }
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_FALSE(PathExists(target + ".new"));
}

TEST(AtomicFile, ALinkAtTheTemporaryNameIsNotFollowed) {
    CTempFolder folder;
    const std::string target = folder.File("a.cfg");
    const std::string other = folder.File("other.txt");
    WriteWholeFile(target, "old");
    WriteWholeFile(other, "someone else's");
    ASSERT_EQ(::symlink(other.c_str(), (target + ".new").c_str()), 0);
    EXPECT_TRUE(ReplaceFileContent(target, target + ".new", "new"));
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_EQ(ReadWholeFile(other), "someone else's");
}
