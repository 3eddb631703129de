#include "SampleWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace samplegen;

namespace {

uint64_t LittleEndian(const std::string& bytes, size_t offset, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(offset + static_cast<size_t>(i)));
    return value;
}
int32_t Int32At(const std::string& bytes, size_t offset) {
    return static_cast<int32_t>(LittleEndian(bytes, offset, 4));
}
uint16_t Uint16At(const std::string& bytes, size_t offset) {
    return static_cast<uint16_t>(LittleEndian(bytes, offset, 2));
}
uint8_t ByteAt(const std::string& bytes, size_t offset) {
    return static_cast<uint8_t>(bytes.at(offset));
}
float FloatAt(const std::string& bytes, size_t offset) {
    uint32_t bits = static_cast<uint32_t>(LittleEndian(bytes, offset, 4));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
double DoubleAt(const std::string& bytes, size_t offset) {
    uint64_t bits = LittleEndian(bytes, offset, 8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string token;
    for (char c : text) {
        if (std::strchr("\n \t\r\v,", c)) {
            if (!token.empty())
                tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty())
        tokens.push_back(token);
    return tokens;
}

// Lines without their ends; a CR before the LF is dropped.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsNumber(const std::string& token) {
    char* end = nullptr;
    std::strtod(token.c_str(), &end);
    return end != token.c_str() && *end == '\0';
}

bool AllLineEndsAreCrlf(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    return text.find('\n') != std::string::npos;
}

// Sizes of the record blocks as a reader walks them.
constexpr size_t kHeader = 376, kNarrowElement = 32, kWideElement = 36, kLayers = 88;

size_t RecordSize(size_t elements, size_t nodes, size_t elementSize, size_t planes, bool marks) {
    return kHeader + elements * elementSize + nodes * 12 + (nodes + 1) + nodes * 12 + elements * 4 + 4 +
           (nodes + 1) * 8 + 4 + planes * 32 + (marks ? nodes + 1 : 0);
}

RecordData TinyRecord() {
    RecordData record;
    record.symmetryName = "HALF";
    record.extended = true;
    record.version = 410;
    record.toolPositions[0] = 0.25;
    record.toolPositions[9] = -1.5;
    record.current = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5}, {0, 1, 0}};
    record.reference = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    record.contactTool = {0, 1, 255, 9};
    record.nodeCode = {0, 0, 2, 0};
    record.planeIndex = {0, 0, 1, 0};
    record.conditions = {0, 0, 3, 0};
    record.nodeMarks = {0, 1, 0, 2};
    record.planes = {{0, 1, 0, -0.5}};
    RecordElement first;
    first.nodes = {1, 2, 3};
    first.temperature = 150.5f;
    first.initialThickness = 0.003f;
    first.stress1 = 1e6f;
    first.stress2 = 2e6f;
    first.stress3 = 3e6f;
    first.id = 101;
    first.layers.fill(7.0);
    first.layers[10] = 8.0;
    RecordElement second = first;
    second.nodes = {1, 3, 4};
    second.id = 102;
    record.elements = {first, second};
    return record;
}

} // namespace

TEST(SampleWriterRecord, NarrowElementsWithLayersAndNodeMarks) {
    CTempFolder folder;
    const std::string path = folder.File("tiny.000");
    ASSERT_TRUE(WriteRecordFile(path, TinyRecord()));
    const std::string bytes = ReadWholeFile(path);
    const size_t element = kNarrowElement + kLayers;
    ASSERT_EQ(bytes.size(), RecordSize(2, 4, element, 1, true));

    EXPECT_EQ(Int32At(bytes, 0), 2);
    EXPECT_EQ(Int32At(bytes, 4), 4);
    EXPECT_NE(ByteAt(bytes, 8), 0);
    EXPECT_EQ(std::string(bytes.data() + 24), "HALF");
    EXPECT_EQ(ByteAt(bytes, 47), 'Y');
    EXPECT_EQ(Int32At(bytes, 48), 410);
    EXPECT_EQ(DoubleAt(bytes, 56), 0.25);
    EXPECT_EQ(DoubleAt(bytes, 56 + 9 * 8), -1.5);

    const size_t second = kHeader + element;
    EXPECT_EQ(Uint16At(bytes, second + 0), 1);
    EXPECT_EQ(Uint16At(bytes, second + 2), 3);
    EXPECT_EQ(Uint16At(bytes, second + 4), 4);
    EXPECT_EQ(FloatAt(bytes, second + 8), 150.5f);
    EXPECT_EQ(FloatAt(bytes, second + 16), 0.003f);
    EXPECT_EQ(FloatAt(bytes, second + 20), 1e6f);
    EXPECT_EQ(FloatAt(bytes, second + 28), 3e6f);
    EXPECT_EQ(DoubleAt(bytes, second + kNarrowElement), 7.0);
    EXPECT_EQ(DoubleAt(bytes, second + kNarrowElement + 80), 8.0);

    const size_t current = kHeader + 2 * element;
    EXPECT_EQ(FloatAt(bytes, current + 2 * 12 + 8), 0.5f); // z of node 3
    const size_t contact = current + 4 * 12;
    EXPECT_GE(ByteAt(bytes, contact), 10); // index 0 means no node
    EXPECT_EQ(ByteAt(bytes, contact + 1), 0);
    EXPECT_EQ(ByteAt(bytes, contact + 2), 1);
    EXPECT_EQ(ByteAt(bytes, contact + 4), 9);
    const size_t reference = contact + 5;
    EXPECT_EQ(FloatAt(bytes, reference + 12), 2.0f); // x of node 2
    const size_t ids = reference + 4 * 12;
    EXPECT_EQ(Int32At(bytes, ids), 101);
    EXPECT_EQ(Int32At(bytes, ids + 4), 102);
    const size_t nodeRecords = ids + 2 * 4 + 4;
    EXPECT_EQ(LittleEndian(bytes, nodeRecords, 8), 0u);
    EXPECT_EQ(ByteAt(bytes, nodeRecords + 3 * 8), 2);
    EXPECT_EQ(ByteAt(bytes, nodeRecords + 3 * 8 + 1), 1);
    EXPECT_EQ(Int32At(bytes, nodeRecords + 3 * 8 + 4), 3);
    const size_t planes = nodeRecords + 5 * 8;
    EXPECT_EQ(Int32At(bytes, planes), 1);
    EXPECT_EQ(DoubleAt(bytes, planes + 4 + 8), 1.0);
    EXPECT_EQ(DoubleAt(bytes, planes + 4 + 24), -0.5);
    const size_t marks = planes + 4 + 32;
    EXPECT_EQ(ByteAt(bytes, marks), 0);
    EXPECT_EQ(ByteAt(bytes, marks + 2), 1);
    EXPECT_EQ(ByteAt(bytes, marks + 4), 2);
}

TEST(SampleWriterRecord, LayersNeedVersion410AndMarksAreOptional) {
    CTempFolder folder;
    RecordData record = TinyRecord();
    record.version = 409;
    record.nodeMarks.clear();
    ASSERT_TRUE(WriteRecordFile(folder.File("old.000"), record));
    const std::string bytes = ReadWholeFile(folder.File("old.000"));
    EXPECT_EQ(bytes.size(), RecordSize(2, 4, kNarrowElement, 1, false));
    EXPECT_EQ(ByteAt(bytes, 8), 0);
    EXPECT_EQ(ByteAt(bytes, 47), 'Y');
    EXPECT_EQ(Uint16At(bytes, kHeader + kNarrowElement + 2), 3);
}

TEST(SampleWriterRecord, WideNodeNumbersFrom65536Nodes) {
    CTempFolder folder;
    RecordData record;
    record.current.assign(65536, Vec3{});
    RecordElement element;
    element.nodes = {65536, 1, 2};
    element.temperature = 20;
    element.initialThickness = 0.002f;
    element.stress3 = -4;
    element.id = 7;
    record.elements = {element};
    ASSERT_TRUE(WriteRecordFile(folder.File("wide.000"), record));
    std::string bytes = ReadWholeFile(folder.File("wide.000"));
    ASSERT_EQ(bytes.size(), RecordSize(1, 65536, kWideElement, 0, false));
    EXPECT_EQ(Int32At(bytes, kHeader), 65536);
    EXPECT_EQ(Int32At(bytes, kHeader + 8), 2);
    EXPECT_EQ(FloatAt(bytes, kHeader + 12), 20.0f);
    EXPECT_EQ(FloatAt(bytes, kHeader + 20), 0.002f);
    EXPECT_EQ(FloatAt(bytes, kHeader + 32), -4.0f);
    const size_t ids = kHeader + kWideElement + 65536 * 12 + 65537 + 65536 * 12;
    EXPECT_EQ(Int32At(bytes, ids), 7);

    // One node fewer keeps the 16-bit node numbers.
    record.current.pop_back();
    record.elements[0].nodes = {65535, 1, 2};
    ASSERT_TRUE(WriteRecordFile(folder.File("narrow.000"), record));
    bytes = ReadWholeFile(folder.File("narrow.000"));
    EXPECT_EQ(bytes.size(), RecordSize(1, 65535, kNarrowElement, 0, false));
    EXPECT_EQ(Uint16At(bytes, kHeader), 65535);
}

TEST(SampleWriterRecord, GridCoversTheSheetOnce) {
    const RecordData grid = MakeGridRecord(3, 2, 0.6, 0.4);
    ASSERT_EQ(grid.NodeCount(), 12);
    ASSERT_EQ(grid.ElementCount(), 12);
    double area = 0;
    for (int e = 0; e < grid.ElementCount(); ++e) {
        const RecordElement& element = grid.elements[static_cast<size_t>(e)];
        EXPECT_EQ(element.id, e + 1);
        const Vec3& a = grid.reference[static_cast<size_t>(element.nodes[0] - 1)];
        const Vec3& b = grid.reference[static_cast<size_t>(element.nodes[1] - 1)];
        const Vec3& c = grid.reference[static_cast<size_t>(element.nodes[2] - 1)];
        const double cross = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        EXPECT_GT(cross, 0) << "element " << e + 1 << " faces down";
        area += cross / 2;
    }
    EXPECT_NEAR(area, 0.6 * 0.4, 1e-12);
    EXPECT_EQ(grid.contactTool.size(), 12u);
    EXPECT_EQ(grid.contactTool[0], 255);
}

TEST(SampleWriterRecord, RecordFileNames) {
    EXPECT_EQ(RecordFileName("/a/cup.tfc", 0), "/a/cup.000");
    EXPECT_EQ(RecordFileName("/a/cup.tfc", 12), "/a/cup.012");
    EXPECT_EQ(RecordFileName("/a.b/cup", 1234), "/a.b/cup.1234");
}

TEST(SampleWriterProject, RecordBlocksTokenizeAsReadersExpect) {
    CTempFolder folder;
    ProjectFile project;
    project.sheet = "s.sht";
    project.toolNames = {"m.tol"};
    project.processControl = "p.prc";
    project.materials = {"pp.vie"};
    project.heatFriction = "h.hft";
    project.configuration = "c.cfg";
    project.records = {{0, 0, 0.5}, {12345.5, 0.2, -2.25}, {80000, 0.4, 1e-7}};
    ASSERT_TRUE(WriteProjectFile(folder.File("p.tfc"), project));
    const std::string text = ReadWholeFile(folder.File("p.tfc"));
    EXPECT_EQ(text.find('\r'), std::string::npos);

    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 16u + 3 * 4);
    EXPECT_EQ(lines[2], "m.tol");
    for (int i = 3; i <= 11; ++i)
        EXPECT_EQ(lines[static_cast<size_t>(i)], "None");
    EXPECT_EQ(lines[12], "p.prc");
    EXPECT_EQ(lines[15], "c.cfg");
    for (size_t r = 0; r < 3; ++r) {
        // A record header is its number once the dashes are gone.
        std::string header;
        for (char c : lines[16 + 4 * r])
            if (c != '-' && c != ' ')
                header += c;
        EXPECT_EQ(header, std::to_string(r));
    }

    const std::vector<std::string> tokens = Tokens(text);
    std::vector<size_t> blocks;
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].compare(0, 4, "----") == 0)
            blocks.push_back(i);
    ASSERT_EQ(blocks.size(), 3u);
    for (size_t r = 0; r < 3; ++r) {
        ASSERT_LT(blocks[r] + 5, tokens.size());
        EXPECT_EQ(std::strtod(tokens[blocks[r] + 1].c_str(), nullptr), project.records[r].pressure);
        EXPECT_EQ(std::strtod(tokens[blocks[r] + 3].c_str(), nullptr), project.records[r].time);
        EXPECT_EQ(std::strtod(tokens[blocks[r] + 5].c_str(), nullptr), project.records[r].third);
    }
}

TEST(SampleWriterProject, CrlfAndNonCanonicalToolLines) {
    CTempFolder folder;
    ProjectFile project;
    project.toolNames = {"a.tol", "b.tol"};
    project.canonical = false;
    project.materials = {"x.vie", "Unused"};
    project.records = {{1, 2, 3}};
    project.crlf = true;
    ASSERT_TRUE(WriteProjectFile(folder.File("p.tfc"), project));
    const std::string text = ReadWholeFile(folder.File("p.tfc"));
    EXPECT_TRUE(AllLineEndsAreCrlf(text));
    EXPECT_EQ(Lines(text).size(), 1u + 1 + 2 + 1 + 2 + 1 + 1 + 4);
}

TEST(SampleWriterProject, ConfigurationFieldsSitAtTheirFixedColumns) {
    CTempFolder folder;
    ProjectConfiguration configuration;
    configuration.sheet = "s.sht";
    configuration.toolNames = {"m.tol", "None"};
    configuration.processControl = "p.prc";
    configuration.materialLines = {"pp.vie", "Unused", "Unused", "Unused", "Unused", "h.hft"};
    configuration.jobNumber = "J-7";
    configuration.number = "42";
    configuration.programmer = "someone";
    configuration.comments = {"first", "second"};
    ASSERT_TRUE(WriteProjectConfiguration(folder.File("c.cfg"), configuration));
    const std::vector<std::string> lines = Lines(ReadWholeFile(folder.File("c.cfg")));
    // header, sheet, 2 tools, process control, 6 further lines
    const size_t job = 1 + 1 + 2 + 1 + 6;
    ASSERT_EQ(lines.size(), job + 3 + 1 + 2 + 1);
    EXPECT_EQ(lines[4], "p.prc");
    EXPECT_EQ(lines[job].substr(10), "J-7");
    EXPECT_EQ(lines[job + 1].substr(7), "42");
    EXPECT_EQ(lines[job + 2].substr(11), "someone");
    EXPECT_EQ(lines[job + 4], "first");
    EXPECT_EQ(lines.back(), "Comments End");
}

TEST(SampleWriterTools, FirstLinesAndTokens) {
    CTempFolder folder;
    ASSERT_TRUE(
        WriteNumberedNodeTool(folder.File("n.tol"), {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{1, 2, 3}}, true, 3));
    const std::vector<std::string> numbered = Lines(ReadWholeFile(folder.File("n.tol")));
    ASSERT_GE(numbered.size(), 3u);
    for (const std::string& token : Tokens(numbered[0]))
        EXPECT_FALSE(IsNumber(token)) << token;
    EXPECT_NE(numbered[0].find("NSTRIPES_3"), std::string::npos);
    EXPECT_NE(numbered[0].find("(INCHES)"), std::string::npos);
    EXPECT_EQ(Tokens(numbered[1]), (std::vector<std::string>{"3", "1", "2", "3"}));
    EXPECT_EQ(numbered[2], "0");

    ShortTool tool;
    tool.faces = {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}};
    tool.hasRefPoint = true;
    tool.refPoint = {1, 2, 3};
    tool.inches = true;
    tool.crlf = true;
    ASSERT_TRUE(WriteShortTool(folder.File("s.tol"), tool));
    const std::string shortText = ReadWholeFile(folder.File("s.tol"));
    EXPECT_TRUE(AllLineEndsAreCrlf(shortText));
    const std::vector<std::string> shortTokens = Tokens(shortText);
    EXPECT_EQ(shortTokens.at(0), "shortm");
    size_t separators = 0, hex = 0, numbers = 0, inches = 0, refPoint = 0;
    for (size_t i = 0; i < shortTokens.size(); ++i) {
        separators += shortTokens[i] == "||";
        hex += shortTokens[i][0] == '#';
        numbers += IsNumber(shortTokens[i]);
        if (shortTokens[i] == "(INCHES)")
            inches = i;
        if (shortTokens[i] == "RefPoint")
            refPoint = i;
    }
    EXPECT_EQ(separators, 2u);
    EXPECT_GE(hex, 1u);
    EXPECT_EQ(numbers, 3u + 9 + 12);
    ASSERT_GT(refPoint, inches); // the reference point is read in inches too
    EXPECT_EQ(shortTokens.at(refPoint + 1), "1");
    EXPECT_EQ(shortTokens.at(refPoint + 3), "3");

    ASSERT_TRUE(WriteSectionTool(folder.File("q.tol"), {{0, 100, 50, 10}, {80, 100, 50, 10}}, false));
    const std::vector<std::string> section = Tokens(ReadWholeFile(folder.File("q.tol")));
    EXPECT_EQ(section,
              (std::vector<std::string>{"QRELL", "Tool", "0", "100", "50", "10", "80", "100", "50", "10"}));
}

TEST(SampleWriterTools, ProcessControlMotionLinesFollowTheMarker) {
    CTempFolder folder;
    std::vector<ToolMotion> motions(2);
    motions[1].direction = {0.5, 0, -1};
    motions[1].code1 = 4;
    motions[1].code2 = 7;
    ASSERT_TRUE(WriteProcessControl(folder.File("p.prc"), motions));
    const std::vector<std::string> lines = Lines(ReadWholeFile(folder.File("p.prc")));
    size_t marker = 0;
    while (marker < lines.size() && lines[marker] != "/v")
        ++marker;
    ASSERT_GT(marker, 0u);
    ASSERT_EQ(lines.size(), marker + 3);
    double x, y, z;
    int code1, code2;
    ASSERT_EQ(std::sscanf(lines[marker + 2].c_str(), "%lf %lf %lf %d %d", &x, &y, &z, &code1, &code2), 5);
    EXPECT_EQ(x, 0.5);
    EXPECT_EQ(z, -1);
    EXPECT_EQ(code2, 7);
}

TEST(SampleWriterCup, WritesEveryReferencedFileAndAllRecords) {
    CTempFolder folder;
    const std::string project = WriteCupSample(folder.Path(), CupOptions());
    ASSERT_EQ(project, folder.File("cup.tfc"));
    const std::vector<std::string> lines = Lines(ReadWholeFile(project));
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[0], "QRELL SOLVED PROJECT");
    int tools = 0;
    for (size_t i = 1; i < 16; ++i) {
        if (lines[i] == "None")
            continue;
        tools += i >= 2 && i <= 11;
        EXPECT_TRUE(PathExists(folder.File(lines[i]))) << lines[i];
    }
    EXPECT_EQ(tools, 3);
    for (int r = 0; r < 15; ++r)
        EXPECT_TRUE(PathExists(RecordFileName(project, r))) << r;
    EXPECT_FALSE(PathExists(RecordFileName(project, 15)));

    size_t blocks = 0;
    for (const std::string& token : Tokens(ReadWholeFile(project)))
        blocks += token.compare(0, 4, "----") == 0;
    EXPECT_EQ(blocks, 15u);

    const std::string last = ReadWholeFile(RecordFileName(project, 14));
    EXPECT_EQ(Int32At(last, 0), 4000);
    EXPECT_EQ(Int32At(last, 4), 2091);
    EXPECT_EQ(last.size(), RecordSize(4000, 2091, kNarrowElement, 0, false));
    EXPECT_GT(DoubleAt(last, 56 + 8), 0.04); // the plug has come down
}

TEST(SampleWriterCup, QuarterModelWithWindowsReferencesAndCrlf) {
    CTempFolder folder;
    CupOptions options;
    options.name = "q";
    options.quarter = true;
    options.crlf = true;
    options.records = 3;
    options.windowsFolder = "C:\\jobs\\cup";
    const std::string project = WriteCupSample(folder.Path(), options);
    ASSERT_FALSE(project.empty());
    const std::string text = ReadWholeFile(project);
    EXPECT_TRUE(AllLineEndsAreCrlf(text));
    const std::vector<std::string> lines = Lines(text);
    EXPECT_EQ(lines.at(2), "C:\\jobs\\cup\\q_mould.tol");
    for (const char* file : {"q_mould.tol", "q_plug.tol", "q_clamp.tol", "q.prc", "q.cfg", "q.sht"}) {
        EXPECT_TRUE(PathExists(folder.File(file))) << file;
        EXPECT_TRUE(AllLineEndsAreCrlf(ReadWholeFile(folder.File(file)))) << file;
    }

    const std::string first = ReadWholeFile(RecordFileName(project, 0));
    EXPECT_EQ(std::string(first.data() + 24), "QUARTER");
    const size_t elements = static_cast<size_t>(Int32At(first, 0));
    const size_t nodes = static_cast<size_t>(Int32At(first, 4));
    EXPECT_EQ(elements, 2u * 25 * 20);
    EXPECT_EQ(nodes, 26u * 21);
    ASSERT_EQ(first.size(), RecordSize(elements, nodes, kNarrowElement, 2, false));
    const size_t planes = first.size() - 4 - 2 * 32;
    EXPECT_EQ(Int32At(first, planes), 2);
    EXPECT_EQ(DoubleAt(first, planes + 4), 1.0);      // x = 0
    EXPECT_EQ(DoubleAt(first, planes + 4 + 40), 1.0); // y = 0
}

TEST(SampleWriterVtu, AppendedBlocksMatchTheHeader) {
    CTempFolder folder;
    ASSERT_TRUE(WriteVtu(folder.File("g.vtu"), MakeGridRecord(2, 1, 1, 1)));
    const std::string text = ReadWholeFile(folder.File("g.vtu"));
    EXPECT_NE(text.find("type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\" "
                        "header_type=\"UInt64\""),
              std::string::npos);
    EXPECT_NE(text.find("NumberOfPoints=\"6\" NumberOfCells=\"4\""), std::string::npos);
    const size_t data = text.find('_', text.find("<AppendedData")) + 1;
    // Four Float32 cell fields, Float32 points, Int64 connectivity and
    // offsets, UInt8 types, each behind a UInt64 byte count.
    const size_t expected = 4 * (8 + 4 * 4) + (8 + 6 * 12) + (8 + 4 * 24) + (8 + 4 * 8) + (8 + 4);
    const size_t end = text.find("</AppendedData>", data);
    ASSERT_NE(end, std::string::npos);
    EXPECT_GE(end - data, expected);
    EXPECT_EQ(LittleEndian(text, data, 8), 16u);
    EXPECT_EQ(text.substr(data + expected, 1), "\n");
}
