// The configuration file against a disk that refuses the new file, and
// against what may stand in the file's place (links, FIFOs, devices, endless
// lines): the values in memory and the file on disk stay usable whatever
// happens, and nothing blocks.
#include "config/CConfiguration.h"
#include "core/AtomicFile.h"
#include "core/TextLines.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillmere;

namespace {

const std::string kUSFile = "Quillmere CConfiguration File - V2\nSystem of units:\t\tUS Customary\n"
                            "DISPLAY - GRID: 0 2\n";
const std::string kCannotWrite = "Can not write to the Quillmere configuration file.";

class ConfigurationWriteRefused : public ::testing::Test {
protected:
    void SetUp() override { WriteWholeFile(path, kUSFile); }
    void TearDown() override { CAtomicFile::SetFaultHook(nullptr); }

    // Writes changed values and expects the refusal to be reported and the
    // old file to be kept; the values in memory stay as they were changed.
    void ExpectRefusedWrite() {
        CConfiguration configuration(path);
        ASSERT_FALSE(configuration.IsSIMetric());
        messages.messages.clear();
        configuration.SetSIMetric(true);
        configuration.Settings().sheetColour = 5;
        EXPECT_FALSE(configuration.Write());
        ASSERT_EQ(messages.messages.size(), 1u) << messages.Texts();
        EXPECT_EQ(messages.messages[0].text, kCannotWrite);
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(configuration.IsSIMetric());
        EXPECT_EQ(configuration.Settings().sheetColour, 5);
        ExpectFileKept();
    }

    void ExpectFileKept() {
        EXPECT_EQ(ReadWholeFile(path), kUSFile);
        EXPECT_FALSE(PathExists(path + ".new"));
    }

    CTempFolder folder;
    std::string path = folder.File("Quillmere.cfg");
    CRecordingMessages messages;
};

} // namespace

TEST_F(ConfigurationWriteRefused, AReadOnlyFileIsKept) {
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ExpectRefusedWrite();
}

TEST_F(ConfigurationWriteRefused, AReadOnlyFileOfAnotherKindIsKeptToo) {
    // Reading a file that is no configuration rewrites it, unless it is
    // read-only.
    const std::string other = "Some notes of the user\n";
    WriteWholeFile(path, other);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    CConfiguration configuration(path);
    ASSERT_EQ(messages.messages.size(), 2u) << messages.Texts();
    EXPECT_EQ(messages.messages[1].text, kCannotWrite);
    EXPECT_EQ(ReadWholeFile(path), other);
}

TEST_F(ConfigurationWriteRefused, AFolderWithoutWritePermissionKeepsTheFile) {
    if (RunningAsRoot())
        GTEST_SKIP() << "root writes into any folder; the fault hook stands in below";
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
    ExpectRefusedWrite();
}

class ConfigurationStepFails : public ConfigurationWriteRefused,
                               public ::testing::WithParamInterface<CAtomicFile::Step> {};

TEST_P(ConfigurationStepFails, KeepsTheFile) {
    const CAtomicFile::Step failing = GetParam();
    CAtomicFile::SetFaultHook([failing](CAtomicFile::Step step) { return step == failing; });
    ExpectRefusedWrite();
}

INSTANTIATE_TEST_SUITE_P(EachStep, ConfigurationStepFails,
                         ::testing::Values(CAtomicFile::Step::Create, CAtomicFile::Step::Write,
                                           CAtomicFile::Step::Flush, CAtomicFile::Step::Rename),
                         AtomicStepName);

TEST_F(ConfigurationWriteRefused, AFullDiskKeepsTheFile) {
    const CFileSizeLimit full(64);
    ExpectRefusedWrite();
}

namespace {

const std::string kCannotOpen =
    "Can not open configuration file Quillmere.cfg, default configuration values will "
    "be used and new configuration file will be created.";

class ConfigurationInPlace : public ::testing::Test {
protected:
    CTempFolder folder;
    std::string path = folder.File("Quillmere.cfg");
    CRecordingMessages messages;
};

} // namespace

// A link in the file's place is never replaced, nor written through to
// wherever it points: the write fails aloud.
TEST_F(ConfigurationInPlace, ALinkIsNeitherReplacedNorWrittenThrough) {
    const std::string nowhere = folder.File("elsewhere/none.cfg");
    ASSERT_EQ(::symlink(nowhere.c_str(), path.c_str()), 0);
    CConfiguration dangling(path);
    EXPECT_EQ(messages.Texts(), kCannotWrite);
    EXPECT_FALSE(PathExists(nowhere));

    // A link to a configuration is read, and left as it is.
    ::unlink(path.c_str());
    const std::string target = folder.File("dotfiles.cfg");
    WriteWholeFile(target, kUSFile);
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    messages.messages.clear();
    CConfiguration linked(path);
    EXPECT_FALSE(linked.IsSIMetric());
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
    linked.SetSIMetric(true);
    EXPECT_FALSE(linked.Write());
    EXPECT_EQ(messages.Texts(), kCannotWrite);
    EXPECT_EQ(ReadWholeFile(target), kUSFile);
    struct stat info;
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// Only a regular file is read: a FIFO with no writer would block the start,
// and a device never ends. A line of more than a megabyte is no
// configuration's either; that file is kept beside the new one.
TEST_F(ConfigurationInPlace, WhatIsNoRegularFileOrHasAnEndlessLineIsNotRead) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    CConfiguration fifo(path);
    EXPECT_EQ(messages.Texts(), kCannotOpen);
    EXPECT_TRUE(CConfiguration(path).IsSIMetric()); // a configuration now

    ::unlink(path.c_str());
    ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0);
    messages.messages.clear();
    CConfiguration zero(path);
    EXPECT_EQ(messages.Texts(), kCannotOpen + "|" + kCannotWrite);

    ::unlink(path.c_str());
    const std::string overlong = kUSFile + std::string(kMaxTextLine + 1, 'x') + "\nDISPLAY - GRID: 0 2\n";
    WriteWholeFile(path, overlong);
    messages.messages.clear();
    CConfiguration endless(path);
    EXPECT_EQ(messages.Texts(), kCannotOpen);
    EXPECT_FALSE(endless.IsSIMetric()); // the lines before it were read
    EXPECT_EQ(ReadWholeFile(path + ".bad"), overlong);
    EXPECT_FALSE(CConfiguration(path).IsSIMetric());
}
