// The configuration file against a disk that refuses the new file: the
// values in memory and the file on disk stay usable whatever happens.
#include "config/CConfiguration.h"
#include "core/AtomicFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
