#include "core/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace quillmere;

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

// The fault hook's failures for real: the old file stays, no temporary.
TEST(AtomicFile, ARealFailureLeavesTheOldFileAndNoTemporary) {
    enum Failure { ReadOnlyFile, ReadOnlyFolder, FullDisk };
    for (const Failure failure : {ReadOnlyFile, ReadOnlyFolder, FullDisk}) {
        SCOPED_TRACE(failure);
        if (failure == ReadOnlyFolder && RunningAsRoot())
            continue; // root writes into any folder; the hook's Step::Create stands in
        CTempFolder folder;
        const std::string target = folder.File("a.cfg");
        WriteWholeFile(target, "old");
        const std::string locked = failure == ReadOnlyFile ? target : folder.Path();
        ASSERT_EQ(failure == FullDisk ? 0 : ::chmod(locked.c_str(), failure == ReadOnlyFile ? 0444 : 0555),
                  0);
        {
            std::optional<CFileSizeLimit> full;
            if (failure == FullDisk)
                full.emplace(16);
            EXPECT_FALSE(ReplaceFileContent(target, target + ".new", std::string(1000, 'n')));
        }
        EXPECT_EQ(ReadWholeFile(target), "old");
        EXPECT_FALSE(PathExists(target + ".new"));
    }
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

// A large file filled part by part at its places, in any order and from two
// threads at once; a failing part fails the commit and leaves the old file.
TEST(AtomicFile, PartsWrittenAtTheirPlacesInAnyOrder) {
    CTempFolder folder;
    const std::string target = folder.File("grid.vtu");
    WriteWholeFile(target, "old");
    std::string content(300001, ' ');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>('a' + i * 7 % 26);
    const size_t part = 4099, parts = (content.size() + part - 1) / part;
    for (const bool failing : {true, false}) {
        CAtomicFile::SetFaultHook(
            [failing](CAtomicFile::Step step) { return failing && step == CAtomicFile::Step::Write; });
        CAtomicFile file(target, target + ".XXXXXX");
        ASSERT_TRUE(file.Open());
        file.Reserve(content.size());
        std::atomic<size_t> written{0};
        auto writeParts = [&](size_t odd) {
            for (size_t i = parts - 1 - odd; i < parts; i -= 2) {
                const size_t size = std::min(part, content.size() - i * part);
                written += file.WriteAt(i * part, content.data() + i * part, size);
                file.StartSync(i * part, size);
            }
        };
        std::thread other(writeParts, 1);
        writeParts(0);
        other.join();
        EXPECT_EQ(written, failing ? 0 : parts);
        EXPECT_EQ(file.Commit(), !failing);
        EXPECT_TRUE(ReadWholeFile(target) == (failing ? "old" : content));
        CAtomicFile::SetFaultHook(nullptr);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}
