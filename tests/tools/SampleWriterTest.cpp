// What the readers' tests in tests/model cannot see: the exact record layout.
// The project file's record blocks are read back by the record report's
// tests; the cup sample opens and exports whole in the model and batch tests.
#include "tools/SampleWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

using namespace quillmere;

using namespace samplegen;

namespace {

// The little-endian value of type T at offset.
template <typename T> T At(const std::string& bytes, size_t offset) {
    using Bits = std::conditional_t<
        sizeof(T) == 8, uint64_t,
        std::conditional_t<sizeof(T) == 4, uint32_t, std::conditional_t<sizeof(T) == 2, uint16_t, uint8_t>>>;
    Bits bits = 0;
    for (size_t i = sizeof(T); i-- > 0;)
        bits = static_cast<Bits>(bits << 8 | static_cast<uint8_t>(bytes.at(offset + i)));
    T value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Two elements on the first four of n nodes, with extended data, a plane and
// node marks; the second element uses node n.
RecordData TinyRecord(size_t n) {
    RecordData record;
    record.symmetryName = "HALF";
    record.extended = true;
    record.toolPositions[9] = -1.5;
    record.current = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5}, {0, 1, 0}};
    record.current.resize(n);
    record.reference = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    record.contactTool = {0, 1, 255, 9};
    record.nodeCode = {0, 0, 2, 0};
    record.planeIndex = {0, 0, 1, 0};
    record.conditions = {0, 0, 3, 0};
    record.nodeMarks = {0, 1, 0, 2};
    record.planes = {{0, 1, 0, -0.5}};
    RecordElement element;
    element.nodes = {1, 2, 3};
    element.temperature = 150.5f;
    element.initialThickness = 0.003f;
    element.stress3 = 3e6f;
    element.layers[10] = 8.0;
    record.elements = {element, element};
    record.elements[1].nodes = {1, 3, static_cast<int32_t>(n)};
    record.elements[1].id = 102;
    return record;
}

class RecordLayout : public ::testing::TestWithParam<size_t> {};

} // namespace

// 32-byte element records (16-bit node numbers) below 65536 nodes, 36 bytes
// (32-bit) from there on; 88 bytes of layers follow each.
TEST_P(RecordLayout, EveryBlockSitsAtItsOffset) {
    const size_t n = GetParam();
    const bool wide = n >= 65536;
    CTempFolder folder;
    ASSERT_TRUE(WriteRecordFile(folder.File("tiny.000"), TinyRecord(n)));
    const std::string b = ReadWholeFile(folder.File("tiny.000"));
    const size_t element = (wide ? 36 : 32) + 88, second = 376 + element, current = 376 + 2 * element;
    const size_t contact = current + 12 * n, reference = contact + 1 + n, ids = reference + 12 * n;
    const size_t nodeRecords = ids + 2 * 4 + 4, planes = nodeRecords + 8 + 8 * n, marks = planes + 4 + 32;
    ASSERT_EQ(b.size(), marks + 1 + n);

    EXPECT_EQ(At<int32_t>(b, 0), 2);
    EXPECT_EQ(At<int32_t>(b, 4), static_cast<int32_t>(n));
    EXPECT_NE(At<uint8_t>(b, 8), 0);
    EXPECT_EQ(std::string(b.data() + 24), "HALF");
    EXPECT_EQ(At<uint8_t>(b, 47), 'Y');
    EXPECT_EQ(At<int32_t>(b, 48), 410);
    EXPECT_EQ(At<double>(b, 56 + 9 * 8), -1.5);

    EXPECT_EQ(wide ? At<int32_t>(b, second + 4) : At<uint16_t>(b, second + 2), 3);
    EXPECT_EQ(wide ? At<int32_t>(b, second + 8) : At<uint16_t>(b, second + 4), static_cast<int32_t>(n));
    const size_t values = second + (wide ? 12 : 8);
    EXPECT_EQ(At<float>(b, values), 150.5f);
    EXPECT_EQ(At<float>(b, values + 8), 0.003f);
    EXPECT_EQ(At<float>(b, values + 20), 3e6f);
    EXPECT_EQ(At<double>(b, second + element - 8), 8.0);

    EXPECT_EQ(At<float>(b, current + 2 * 12 + 8), 0.5f); // z of node 3
    EXPECT_EQ(At<uint8_t>(b, contact + 2), 1);           // behind one unused byte
    EXPECT_EQ(At<float>(b, reference + 12), 2.0f);       // x of node 2
    EXPECT_EQ(At<int32_t>(b, ids + 4), 102);
    EXPECT_EQ(At<uint8_t>(b, nodeRecords + 3 * 8), 2); // node 3, behind one unused record
    EXPECT_EQ(At<uint8_t>(b, nodeRecords + 3 * 8 + 1), 1);
    EXPECT_EQ(At<int32_t>(b, nodeRecords + 3 * 8 + 4), 3);
    EXPECT_EQ(At<int32_t>(b, planes), 1);
    EXPECT_EQ(At<double>(b, planes + 4 + 8), 1.0);
    EXPECT_EQ(At<double>(b, planes + 4 + 24), -0.5);
    EXPECT_EQ(At<uint8_t>(b, marks + 2), 1);
    EXPECT_EQ(At<uint8_t>(b, marks + 4), 2);
}

INSTANTIATE_TEST_SUITE_P(NodeCounts, RecordLayout, ::testing::Values(4, 65535, 65536));
