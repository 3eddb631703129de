#include "AtomicFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
