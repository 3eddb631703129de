// The measurement file reader: the header's columns and units, the rows it
// leaves out and why, and files made to hurt.
#include "measure/MeasurementFile.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sys/stat.h>

using namespace quillmere;

namespace {

class MeasurementFileTest : public ::testing::Test {
protected:
    MeasurementFile Read(const std::string& content, LengthUnit unit = LengthUnit::Millimetre) {
        WriteWholeFile(Path(), content);
        return ReadMeasurementFile(Path(), unit);
    }
    std::string Path() const { return folder.File("points.csv"); }
    CTempFolder folder;
};

} // namespace

TEST_F(MeasurementFileTest, ColumnsInAnyOrderWithUnitsOfTheirOwn) {
    // A spreadsheet's export: byte order mark, CR LF, semicolons and decimal
    // commas, quoted cells, comments and blank lines, a column of its own.
    const MeasurementFile file = Read("\xEF\xBB\xBF# gauge run 3\r\n"
                                      "\r\n"
                                      "Thickness_in; \"Label\";Z [mm];y(m); note ;X\r\n"
                                      "0,125;\"P;1\";-60,5;0,01;left;12\r\n"
                                      "  # the operator's remark\r\n"
                                      " 0,1 ; P2 ;1e1;-0,02;;-3,25\r\n");
    ASSERT_FALSE(file.error) << MessageText(MeasurementErrorMessage(file.error));
    EXPECT_TRUE(file.hasThickness);
    EXPECT_TRUE(file.hasLabels);
    EXPECT_EQ(file.badRowCount, 0);
    ASSERT_EQ(file.points.size(), 2u);
    const MeasuredPoint& first = file.points[0];
    EXPECT_EQ(first.label, "P;1");
    EXPECT_EQ(first.line, 4);
    EXPECT_DOUBLE_EQ(first.position.x, 0.012);
    EXPECT_DOUBLE_EQ(first.position.y, 0.01);
    EXPECT_DOUBLE_EQ(first.position.z, -0.0605);
    EXPECT_DOUBLE_EQ(first.thickness, 0.125 * 0.0254);
    EXPECT_EQ(first.given.x, 12);
    EXPECT_EQ(first.given.z, -60.5);
    EXPECT_EQ(first.givenThickness, 0.125);
    EXPECT_EQ(file.units[ColumnX], LengthUnit::Millimetre);
    EXPECT_EQ(file.units[ColumnY], LengthUnit::Metre);
    EXPECT_EQ(file.units[ColumnThickness], LengthUnit::Inch);
    EXPECT_EQ(file.points[1].label, "P2");
    EXPECT_EQ(file.points[1].line, 6);
    EXPECT_DOUBLE_EQ(file.points[1].position.x, -0.00325);
    EXPECT_DOUBLE_EQ(file.points[1].position.z, 0.01);
}

TEST_F(MeasurementFileTest, ColumnsWithoutUnitAreInTheSystemsUnit) {
    const MeasurementFile inches = Read("x,y,z\n1,2,-0.5\n", LengthUnit::Inch);
    ASSERT_EQ(inches.points.size(), 1u);
    EXPECT_DOUBLE_EQ(inches.points[0].position.y, 0.0508);
    EXPECT_DOUBLE_EQ(inches.points[0].position.z, -0.0127);
    EXPECT_FALSE(inches.hasThickness);
    EXPECT_FALSE(inches.points[0].HasThickness());
    EXPECT_EQ(inches.points[0].label, "");
    // The sample writer's files read back as written.
    samplegen::MeasurementCsv written;
    written.unit = "inch";
    written.separator = ';';
    written.points = {{"A", {0.01, -0.02, 0.03}, 0.0021}, {"B", {0.1, 0.2, 0.3}, -1}};
    ASSERT_TRUE(samplegen::WriteMeasurementFile(Path(), written));
    const MeasurementFile read = ReadMeasurementFile(Path(), LengthUnit::Millimetre);
    ASSERT_EQ(read.points.size(), 2u);
    EXPECT_DOUBLE_EQ(read.points[0].position.y, -0.02);
    EXPECT_DOUBLE_EQ(read.points[0].thickness, 0.0021);
    EXPECT_FALSE(read.points[1].HasThickness());
}

TEST_F(MeasurementFileTest, BadRowsAreNamedAndTheOthersUsed) {
    const MeasurementFile file = Read("label,x,y,z,thickness\n"
                                      "a,1,2,3,2.5\n"
                                      "b,1,2\n"
                                      "c,1,two,3,2.5\n"
                                      "d,1,2,nan,2.5\n"
                                      "e,1,2,3,-inf\n"
                                      "f,1,2,3,0\n"
                                      "g,1e300,2,3,2\n"
                                      "\"h,1,2,3,2\n"
                                      "i,1,2,3,\n"
                                      ",,,,\n");
    ASSERT_FALSE(file.error);
    ASSERT_EQ(file.points.size(), 2u);
    EXPECT_EQ(file.points[0].label, "a");
    EXPECT_EQ(file.points[1].label, "i");
    EXPECT_FALSE(file.points[1].HasThickness());
    EXPECT_EQ(file.badRowCount, 7);
    EXPECT_EQ(
        MessageText(BadRowsMessage("p.csv", file)),
        "The measurement file p.csv has rows that are not used: line 3 (too few fields), line 4 (y is not a "
        "number), line 5 (z is not a finite number), line 6 (thickness is not a finite number), line 7 "
        "(thickness is not above 0), line 8 (x is out of range) and line 9 (a quote is not closed).");
    const MeasurementFile one = Read("x;y;z\n1;2\n3;4;5\n");
    EXPECT_EQ(MessageText(BadRowsMessage("p.csv", one)),
              "The measurement file p.csv has a row that is not used: line 2 (too few fields).");
}

TEST_F(MeasurementFileTest, ManyBadRowsAreCounted) {
    std::string content = "x,y,z\n";
    for (int i = 0; i < 25; ++i)
        content += "1,2,x\n";
    content += "1,2,3\n";
    const MeasurementFile file = Read(content);
    EXPECT_EQ(file.points.size(), 1u);
    EXPECT_EQ(file.badRowCount, 25);
    EXPECT_EQ(file.badRows.size(), kListedBadRows);
    EXPECT_NE(MessageText(BadRowsMessage("p.csv", file)).find("line 11 (z is not a number) and 15 more."),
              std::string::npos);
}

TEST_F(MeasurementFileTest, HeadersThatCannotBeUsed) {
    auto refusal = [&](const std::string& content) {
        const MeasurementFile file = Read(content);
        EXPECT_TRUE(file.points.empty());
        return MessageText(MeasurementRefusal("p.csv", file.error));
    };
    EXPECT_EQ(
        refusal("x,y,thickness\n1,2,3\n"),
        "The measurement file p.csv cannot be used: the header on line 1 names no z column (x, y and z are "
        "needed).");
    EXPECT_EQ(
        refusal("# no header\n1,2,3\n"),
        "The measurement file p.csv cannot be used: the header on line 2 names no x, y and z columns (x, y "
        "and z are needed).");
    EXPECT_EQ(refusal("x,y,z,X_mm\n"),
              "The measurement file p.csv cannot be used: the header on line 1 names the x column twice.");
    EXPECT_EQ(refusal("x_ft,y,z\n"),
              "The measurement file p.csv cannot be used: the header on line 1 gives the "
              "column \"x_ft\" a unit other than mm, m, in and inch.");
    EXPECT_NE(refusal("x,y,z,thickness [um]\n").find("column \"thickness [um]\" a unit"), std::string::npos);
}

TEST_F(MeasurementFileTest, HostileFilesGetAMessageNeverACrash) {
    auto fault = [&](const std::string& content) { return Read(content).error.fault; };
    EXPECT_EQ(fault(""), MeasurementFault::NoHeader);
    EXPECT_EQ(fault("# only\n\n   \n"), MeasurementFault::NoHeader);
    EXPECT_EQ(fault("x,y,z\n"), MeasurementFault::NoUsableRow);
    const MeasurementFile notANumber = Read("x,y,z\nnan,1,2\n1,inf,2\n");
    EXPECT_EQ(notANumber.error.fault, MeasurementFault::NoUsableRow);
    EXPECT_EQ(notANumber.badRowCount, 2);
    EXPECT_EQ(MessageText(MeasurementRefusal("p.csv", notANumber.error)),
              "The measurement file p.csv cannot be used: it has no row of numbers that can be used.");

    std::string huge = "x,y,z\n1,2,3\n" + std::string(3 << 20, '7') + "\n1,2,3\n";
    const MeasurementFile overlong = Read(huge);
    EXPECT_EQ(overlong.error.fault, MeasurementFault::LineTooLong);
    EXPECT_EQ(overlong.error.line, 3);
    EXPECT_TRUE(overlong.points.empty());

    std::mt19937 random(11);
    std::string binary(1 << 16, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    EXPECT_NE(fault(binary), MeasurementFault::None);
    EXPECT_NE(fault("x,y,z\n" + binary), MeasurementFault::None);

    EXPECT_EQ(ReadMeasurementFile(folder.File("missing.csv"), LengthUnit::Millimetre).error.fault,
              MeasurementFault::CannotOpen);
    EXPECT_EQ(ReadMeasurementFile(folder.Path(), LengthUnit::Millimetre).error.fault,
              MeasurementFault::CannotOpen);
    ASSERT_EQ(::mkfifo(folder.File("fifo.csv").c_str(), 0600), 0);
    EXPECT_EQ(ReadMeasurementFile(folder.File("fifo.csv"), LengthUnit::Millimetre).error.fault,
              MeasurementFault::CannotOpen);
}

TEST_F(MeasurementFileTest, AMillionRowsAreRead) {
    std::string content = "label,x,y,z,thickness\n";
    content.reserve(30 << 20);
    for (int i = 0; i < 1000000; ++i)
        content += "p,1.5,-2.25,3,2.75\n";
    content += "p,1.5,-2.25\n";
    const MeasurementFile file = Read(content);
    ASSERT_FALSE(file.error);
    EXPECT_EQ(file.points.size(), 1000000u);
    EXPECT_EQ(file.points.back().line, 1000001);
    EXPECT_EQ(file.badRowCount, 1);
    EXPECT_EQ(file.badRows[0].line, 1000002);
}

TEST_F(MeasurementFileTest, MoreRowsThanAnyMeasurementAreRefused) {
    std::string content = "x,y,z\n";
    for (int i = 0; i <= kMaxMeasurementRows; ++i)
        content += "1,2,3\n";
    const MeasurementFile file = Read(content);
    EXPECT_EQ(file.error.fault, MeasurementFault::TooManyRows);
    EXPECT_TRUE(file.points.empty());
    EXPECT_EQ(MessageText(MeasurementErrorMessage(file.error)),
              "it has more than 2000000 rows, more than a measurement gives");
}
