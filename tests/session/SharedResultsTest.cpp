// The web page's data made from a session: each record's numbers as the data
// tip prints them, its colours as the scale panel's presentation gives them,
// the tools' moves, the numbers that print as no number, and the records
// refused. What the browser draws of them is share_page_browser's.
#include "session/SharedResults.h"
#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "messages/MessageText.h"
#include "model/CSheetProfile.h"
#include "scale/Presentation.h"
#include "session/CSession.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

using namespace quillmere;

namespace {

// A record's block as the page holds it, sized for sheet, to unpack.
ShareBlock RecordBlock(const CSheetProfile& sheet, int quantity) {
    const size_t nodes = static_cast<size_t>(sheet.NodeCount()),
                 elements = static_cast<size_t>(sheet.ElementCount());
    auto ints = [](const char* name, size_t count, int stride) {
        return ShareArray{name, ShareCoding::IntDeltas, stride, {}, std::vector<int32_t>(count)};
    };
    auto bytes = [](const std::string& name, size_t count) {
        return ShareArray{name, ShareCoding::ByteDeltas, 1, std::vector<uint8_t>(count), {}};
    };
    return {"",
            {ints("positions", 3 * nodes, 3), ints("nodeThickness", nodes, 1),
             ints("nodeTemperature", nodes, 1), ints("elementThickness", elements, 1),
             ints("elementTemperature", elements, 1), ints("stretch1", elements, 1),
             ints("stretch2", elements, 1), bytes("nodeFlags", nodes),
             bytes(FormatText("colours%d", quantity), nodes)}};
}

} // namespace

TEST(SharedResults, EachRecordCarriesWhatTheTipPrintsAndThePanelsColours) {
    CProjectFixture fixture;
    CSession session;
    ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr));
    CConfiguration configuration("");
    configuration.SetSIMetric(false);
    SharePage page;
    ASSERT_TRUE(MakeSharedResults(session, {{1, 3}, {ResultQuantity::Temperature}, ScaleLimits()},
                                  configuration, page));
    ASSERT_EQ(page.blocks.size(), 4u);
    EXPECT_EQ(page.blocks[3].id, "record-1");
    EXPECT_NE(page.view.find("\"number\":3,\"caption\":\"fixture.tfc: Rec. 3 / 3.\""), std::string::npos);
    // The tool moves 10 mm a record: 20 mm from record 1 to 3, in inches.
    EXPECT_NE(page.view.find(FormatText("\"tools\":[[0.000000,0.000000,%.6f]", 20 / 25.4)), std::string::npos)
        << page.view;
    ASSERT_EQ(page.tables.size(), 2u);
    EXPECT_EQ(page.tables[0].title, "Sheet properties, record 3");
    // The forming summary of the same record, with the first contact read over every record.
    EXPECT_EQ(page.tables[1].title, "Forming summary, record 3");
    const auto& summary = page.tables[1].rows;
    EXPECT_NE(std::find(summary.begin(), summary.end(),
                        std::make_pair(std::string("Areal draw ratio"), std::string("1.0000"))),
              summary.end());
    EXPECT_TRUE(std::any_of(summary.begin(), summary.end(),
                            [](const auto& row) { return row.first == "First contact"; }));

    // The session was left at the list's last record, which the last block holds.
    const CSheetProfile& sheet = *session.Sheet();
    ASSERT_EQ(session.Project().CurrentRecord(), 3);
    ShareBlock block = RecordBlock(sheet, 2);
    ASSERT_TRUE(UnpackBlock(page.blocks[3], block));
    const Presentation shown =
        MakePresentation({&sheet, ResultQuantity::Temperature, ScaleLimits(), nullptr, 3, &configuration});
    NodeColouring colouring;
    ColourPresented(sheet, shown, colouring);
    for (int node = 1; node <= sheet.NodeCount(); ++node) {
        const size_t i = static_cast<size_t>(node - 1);
        // Thousandths of an inch, the digits of "%.3lf".
        const CCoordinate& point = sheet.CurrentCoordinate(node);
        EXPECT_EQ(block.arrays[0].ints[3 * i + 2], std::lround(point.z * 1000 / 25.4 * 1000)) << node;
        EXPECT_EQ(block.arrays[8].bytes[i], colouring.indices[static_cast<size_t>(node)]) << node;
    }
}

TEST(SharedResults, NumbersThatPrintAsNoNumberTravelAsTheirText) {
    CTempFolder folder;
    samplegen::CupOptions options;
    options.cellsX = 6;
    options.cellsY = 5;
    options.records = 2;
    options.nonFinite = true; // node 2 at x = infinity, element 3's temperature a NaN
    const std::string path = samplegen::WriteCupSample(folder.Path(), options);
    CSession session;
    ASSERT_TRUE(session.Open(path, nullptr));
    CConfiguration configuration("");
    SharePage page;
    ASSERT_TRUE(
        MakeSharedResults(session, {{2}, {ResultQuantity::Thickness}, ScaleLimits()}, configuration, page));
    EXPECT_NE(page.view.find("\"positions\":[[3,\"inf\"]]"), std::string::npos) << page.view;
    EXPECT_NE(page.view.find("\"elementTemperature\":[[3,\"   nan\"]]"), std::string::npos) << page.view;
}

TEST(SharedResults, ARecordOutsideTheProjectIsRefused) {
    CProjectFixture fixture;
    CSession session;
    ASSERT_TRUE(session.Open(fixture.ProjectPath(), nullptr));
    const CConfiguration configuration("");
    CRecordingMessages messages;
    SharePage page;
    EXPECT_FALSE(MakeSharedResults(session, {{1, 4}, {ResultQuantity::Thickness}, ScaleLimits()},
                                   configuration, page));
    EXPECT_EQ(messages.Texts(), MessageText(MessageId::InvalidRecordNumber));
}

TEST(SharedResults, TipNumbersKeepTheDigitsTheTipPrints) {
    // The digits of FormatNumber's text, which the page prints back.
    auto printed = [](const char* format, double value) {
        std::string digits;
        for (char c : FormatNumber(format, value))
            if (c == '-' || (c >= '0' && c <= '9'))
                digits += c;
        return digits;
    };
    std::vector<double> values = {0.0005,    0.0015, 1.0005, -0.0005, -0.0004, 2.5e-4, 0.1235,
                                  1234.5675, -0.0,   123.45, 0.05,    0.15,    0.25};
    uint64_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        values.push_back((unit - 0.5) * std::pow(10.0, static_cast<double>(i % 9) - 3));
        // Halves of the last digit, the ties printf settles on the exact value.
        values.push_back(std::round(values.back() * 1000) / 1000 + 0.0005);
    }
    for (const char* format : {"%.3lf", "%6.1lf", "%7.4lf"})
        for (double value : values) {
            int32_t digits = 0;
            ASSERT_TRUE(PrintedDigits(format, value, digits)) << format << ' ' << value;
            const std::string text = printed(format, value);
            EXPECT_EQ(std::to_string(digits),
                      text == "-0" || text.find_first_not_of("-0") == std::string::npos
                          ? "0"
                          : text.substr(0, text[0] == '-' ? 1 : 0) +
                                text.substr(text.find_first_not_of("-0")))
                << format << ' ' << ExactNumber(value);
        }
    int32_t digits = 0;
    // Thousandths of a unit to 2 km and back.
    EXPECT_TRUE(PrintedDigits("%.3lf", -2147483.647, digits));
    EXPECT_EQ(digits, -2147483647);
    EXPECT_FALSE(PrintedDigits("%.3lf", 2147483.648, digits));
    EXPECT_FALSE(PrintedDigits("%.3lf", std::nan(""), digits));
    EXPECT_FALSE(PrintedDigits("%.3lf", -INFINITY, digits));
}
