// The web page's file: the blocks' coding, gzip and base64 as the browser
// reads them, the JSON texts that must not end their script element, the
// report rows, and the page written through a temporary file.
#include "export/SharePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>

using namespace quillmere;

namespace {

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(SharePage, BlocksComeBackFromTheirGzipAsTheyWent) {
    // Deltas wrap in 32 and 8 bits, as the viewer adds them back.
    ShareBlock block{
        "record-0",
        {{"positions", ShareCoding::IntDeltas, 3, {}, {INT_MIN, 5, -7, INT_MAX, 6, -8, -1, 0, 1}},
         {"colours1", ShareCoding::ByteDeltas, 1, {255, 0, 1, 33, 32, 255}, {}},
         {"marks", ShareCoding::Bytes, 1, {3, 0, 2}, {}}}};
    const PackedBlock packed = PackBlock(block);
    ASSERT_GE(packed.data.size(), 2u);
    EXPECT_EQ(packed.data[0], 0x1f); // gzip, which DecompressionStream("gzip") takes
    EXPECT_EQ(packed.data[1], 0x8b);
    EXPECT_EQ(packed.layout, "[{\"name\":\"positions\",\"coding\":\"intdelta\",\"stride\":3,\"count\":9},"
                             "{\"name\":\"colours1\",\"coding\":\"bytedelta\",\"stride\":1,\"count\":6},"
                             "{\"name\":\"marks\",\"coding\":\"bytes\",\"stride\":1,\"count\":3}]");
    ShareBlock back = block;
    for (ShareArray& array : back.arrays) {
        std::fill(array.ints.begin(), array.ints.end(), 0);
        std::fill(array.bytes.begin(), array.bytes.end(), 0);
    }
    ASSERT_TRUE(UnpackBlock(packed, back));
    for (size_t i = 0; i < block.arrays.size(); ++i) {
        EXPECT_EQ(back.arrays[i].ints, block.arrays[i].ints) << block.arrays[i].name;
        EXPECT_EQ(back.arrays[i].bytes, block.arrays[i].bytes) << block.arrays[i].name;
    }
    // Data of other sizes is refused.
    back.arrays[2].bytes.push_back(0);
    EXPECT_FALSE(UnpackBlock(packed, back));
}

TEST(SharePage, SmoothFieldsPackSmall) {
    // A node field on a mesh numbered row by row: its deltas repeat.
    ShareBlock block{"record-0", {{"positions", ShareCoding::IntDeltas, 3, {}, {}}}};
    for (int row = 0; row < 200; ++row)
        for (int column = 0; column < 200; ++column)
            for (int value : {column * 4000 - 400000, row * 4000 - 400000, -(row * row + column * column)})
                block.arrays[0].ints.push_back(value);
    EXPECT_LT(PackBlock(block).data.size(), block.arrays[0].ints.size() * 4 / 10);
}

TEST(SharePage, Base64AsTheBrowsersAtobReadsIt) {
    const std::string text = "foobar";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const char* expected[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
    for (size_t size = 0; size <= text.size(); ++size)
        EXPECT_EQ(Base64(bytes, size), expected[size]);
    const uint8_t high[] = {0xff, 0xfe, 0x00};
    EXPECT_EQ(Base64(high, 3), "//4A");
}

TEST(SharePage, JsonTextsNeverEndTheirScript) {
    EXPECT_EQ(JsonText("a</script><b>\"\\\n\t"), "\"a\\u003c/script>\\u003cb>\\\"\\\\\\u000a\\u0009\"");
    EXPECT_EQ(JsonText("Temperature:  110.2 \xc2\xb0"
                       "C"),
              "\"Temperature:  110.2 \xc2\xb0"
              "C\"");
}

TEST(SharePage, ReportLinesBecomeRows) {
    const auto rows = ReportRows("Properties of deformed sheet in the project:\n/jobs/cup.tfc\n\n"
                                 "Number of elements: 4000\r\nX(mm): \t-100.00 ... 100.00\nJob No.  12  \n");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Properties of deformed sheet in the project", ""},
        {"/jobs/cup.tfc", ""},
        {"Number of elements", "4000"},
        {"X(mm)", "-100.00 ... 100.00"},
        {"Job No.", "12"}};
    EXPECT_EQ(rows, expected);
}

TEST(SharePage, ThePageHoldsTheViewerTheDataAndTheTitle) {
    CTempFolder folder;
    SharePage page;
    page.title = "a<b&c.tfc";
    page.view = "{\"project\":" + JsonText("a<b&c.tfc") + "}";
    page.tables = {{"Sheet properties", {{"Number of elements", "4000"}}}};
    page.blocks = {PackBlock({"mesh", {{"marks", ShareCoding::Bytes, 1, {1, 2, 3}, {}}}})};
    const std::string path = folder.File("page.html");
    ASSERT_TRUE(WriteSharePage(path, page));
    const std::string html = Content(path);
    EXPECT_NE(html.find("<title>a&lt;b&amp;c.tfc</title>"), std::string::npos);
    EXPECT_EQ(html.find("QUILLMERE:"), std::string::npos) << "every marker replaced";
    EXPECT_NE(html.find("<script type=\"application/json\" id=\"quillmere-view\">{\"view\":{\"project\":"
                        "\"a\\u003cb&c.tfc\"},\"tables\":[{\"title\":\"Sheet properties\",\"rows\":"
                        "[[\"Number of elements\",\"4000\"]]}],\"blocks\":[{\"id\":\"mesh\",\"arrays\":"),
              std::string::npos);
    EXPECT_NE(html.find("id=\"quillmere-block-0\">" +
                        Base64(page.blocks[0].data.data(), page.blocks[0].data.size()) + "</script>"),
              std::string::npos);
    // Nothing outside the file: no address the browser would fetch.
    EXPECT_EQ(html.find(" src="), std::string::npos);
    EXPECT_EQ(html.find("http:"), std::string::npos);
    EXPECT_EQ(html.find("https:"), std::string::npos);
    EXPECT_NE(html.find("default-src 'none'"), std::string::npos);

    EXPECT_FALSE(WriteSharePage(folder.File("missing/page.html"), page));
}
