#include "core/Memory.h"
#include "model/CSheetProfile.h"
#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using samplegen::RecordData;

class SheetRecord : public ::testing::Test {
protected:
    std::unique_ptr<CSheetProfile> Read(const RecordData& record, IProgressSink* progress = nullptr) {
        const std::string path = folder.File("sheet.000");
        EXPECT_TRUE(samplegen::WriteRecordFile(path, record));
        return std::make_unique<CSheetProfile>(path, 0, progress);
    }
    CTempFolder folder;
};

// A check of the file at path finds what the full read finds.
void ExpectCheckAgrees(const std::string& path, const CSheetProfile& read) {
    const auto checked = CSheetProfile::Check(path, 0, nullptr, true);
    EXPECT_EQ(checked->ReadFailed(), read.ReadFailed());
    EXPECT_EQ(checked->FailureReason(), read.FailureReason());
}

} // namespace

// What the read derives from the values; the values themselves read back
// as written in every generated project.
TEST_F(SheetRecord, DerivesFlagsStressAndSizesFromTheValues) {
    RecordData record = samplegen::MakeGridRecord(3, 2, 0.3, 0.2, 0.002, 140);
    record.elements[1].stress1 = 2e6f;
    record.elements[1].stress2 = -1e6f;
    record.CompleteNodeData();
    record.conditions[0] = 3;
    record.planes.push_back({1, 0, 0, 0});
    const auto sheet = Read(record);
    ASSERT_FALSE(sheet->ReadFailed()) << sheet->FailureReason();
    const CElementProfile& element = sheet->Elements()[1];
    EXPECT_DOUBLE_EQ(sheet->LayerValue(1, 10), element.Temperature); // no extended data
    EXPECT_NEAR(element.VonMisesStress(), std::sqrt(0.5 * (9 + 4 + 1)), 1e-9);
    EXPECT_TRUE(sheet->IsClamped(1));
    EXPECT_TRUE(sheet->HasNoPressure(1));
    EXPECT_EQ(sheet->SymmetryPlaneCount(), 1);
    EXPECT_NEAR(sheet->BoundingBox()[1] - sheet->BoundingBox()[0], 0.3, 1e-7);
    EXPECT_NEAR(sheet->SheetSize(), 0.3, 1e-7);
    EXPECT_NEAR(sheet->MaxInitialThickness(), 0.002, 1e-9);
    EXPECT_FALSE(sheet->HasNodeMarks());
}

// Stretches of a flat sheet moved as a whole: along the undeformed axes,
// whatever the tilt, and the thickness shrinks by the area's growth.
TEST_F(SheetRecord, StretchesOfUniformlyMovedSheets) {
    // x and y scaled by the stretches, then tilted about x.
    const struct { double extensionX, extensionY, tilt; } cases[] = {{1, 1, 0}, {2, 1, 0}, {1, 1.5, 0.3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.extensionX << " x " << c.extensionY << ", tilt " << c.tilt);
        RecordData record = samplegen::MakeGridRecord(4, 3, 0.1, 0.1);
        for (samplegen::Vec3& node : record.current)
            node = {c.extensionX * node.x, c.extensionY * node.y * std::cos(c.tilt),
                    c.extensionY * node.y * std::sin(c.tilt)};
        const auto sheet = Read(record);
        const double area = c.extensionX * c.extensionY;
        for (const CElementProfile& e : sheet->Elements()) {
            EXPECT_NEAR(e.ExtensionX, c.extensionX, 1e-6);
            EXPECT_NEAR(e.ExtensionY, c.extensionY, 1e-6);
            EXPECT_NEAR(e.PlanarExtension, std::sqrt(area), 1e-6);
            EXPECT_NEAR(e.StretchRatio, std::max(c.extensionX, c.extensionY), 1e-6);
            EXPECT_NEAR(e.Thickness, e.InitialThickness / area, 1e-9);
            EXPECT_NEAR(std::fabs(e.Normal.z), std::cos(c.tilt), 1e-6);
        }
    }
}

// The derivation runs in blocks on every core; on a mesh of many blocks
// (and adjacency parts) in shuffled element order it must give the bits of
// plain loops, and a record step must give those of a fresh read.
TEST_F(SheetRecord, DerivationInBlocksGivesTheSerialResults) {
    RecordData record = samplegen::MakeGridRecord(400, 330, 2, 1.5, 0.002);
    std::mt19937 random(7);
    std::shuffle(record.elements.begin(), record.elements.end(), random);
    record.elements[1000].nodes[2] = record.elements[1000].nodes[1]; // no area
    for (size_t e = 0; e < record.elements.size(); ++e)
        record.elements[e].initialThickness = 0.001f + 1e-9f * static_cast<float>(e % 9973);
    record.elements[5].initialThickness = std::nanf("");
    for (samplegen::Vec3& node : record.current) {
        node.z = 0.1 * std::sin(3 * node.x) * std::cos(2 * node.y);
        node.x *= 1 + 0.2 * node.y;
    }
    const auto sheet = Read(record);
    const BigArray<CElementProfile>& elements = sheet->Elements();
    // The node normals weigh by the areas the derivation keeps.
    auto expectNormalsByCurrentArea = [&sheet]() {
        for (int node = 1; node <= sheet->NodeCount(); ++node) {
            CCoordinate sum;
            for (int32_t e : sheet->NodeElements(node)) {
                const CElementProfile& element = sheet->Elements()[static_cast<size_t>(e)];
                sum = sum + element.Normal * sheet->CurrentArea(element);
            }
            const CCoordinate normal = sheet->NodeNormal(node), expected = sum * (1 / Norm(sum));
            ASSERT_EQ(std::memcmp(&normal, &expected, sizeof normal), 0) << node;
        }
    };
    expectNormalsByCurrentArea();

    std::vector<std::vector<int32_t>> lists(static_cast<size_t>(sheet->NodeCount()) + 1);
    double largest = 0;
    NonFiniteItems nonFinite;
    std::array<double, 6> box = {1e30, -1e30, 1e30, -1e30, 1e30, -1e30};
    for (size_t i = 0; i < elements.size(); ++i) {
        CElementProfile element = elements[i];
        CCoordinate current[3], reference[3];
        for (int c = 0; c < 3; ++c) {
            lists[static_cast<size_t>(element.NodeNumbers[c])].push_back(static_cast<int32_t>(i));
            current[c] = sheet->CurrentCorner(element, c);
            reference[c] = sheet->ReferenceCorner(element, c);
        }
        DeriveElementValues(element, current, reference);
        ASSERT_EQ(std::memcmp(&element, &elements[i], sizeof element), 0) << "element " << i;
        largest = std::max(largest, element.InitialThickness);
        if (HasNonFiniteValue(element))
            nonFinite.Add(static_cast<int>(i));
    }
    for (int node = 1; node <= sheet->NodeCount(); ++node) {
        const ElementIndexRange range = sheet->NodeElements(node);
        ASSERT_EQ(std::vector<int32_t>(range.begin(), range.end()), lists[static_cast<size_t>(node)]) << node;
        const CCoordinate& p = sheet->CurrentCoordinate(node);
        box = {std::min(box[0], p.x), std::max(box[1], p.x), std::min(box[2], p.y),
               std::max(box[3], p.y), std::min(box[4], p.z), std::max(box[5], p.z)};
    }
    // The neighbours: the elements of the three nodes in turn, each once.
    for (size_t i = 0; i < elements.size(); ++i) {
        std::vector<int32_t> expected;
        for (int32_t node : elements[i].NodeNumbers)
            for (int32_t other : lists[static_cast<size_t>(node)])
                if (other != static_cast<int32_t>(i) &&
                    std::find(expected.begin(), expected.end(), other) == expected.end())
                    expected.push_back(other);
        const CNeighbourRange range = sheet->ElementNeighbours(static_cast<int32_t>(i));
        ASSERT_EQ(std::vector<int32_t>(range.begin(), range.end()), expected) << "element " << i;
    }
    EXPECT_EQ(sheet->MaxInitialThickness(), largest);
    EXPECT_EQ(sheet->BoundingBox(), box);
    // The elements without numbers: the one without area, the NaN and their
    // first counted in element order.
    EXPECT_GE(nonFinite.count, 2);
    EXPECT_EQ(std::make_pair(sheet->NonFinite().elements.count, sheet->NonFinite().elements.first),
              std::make_pair(nonFinite.count, nonFinite.first));

    // Another record of the mesh, stepped to and read afresh.
    for (samplegen::Vec3& node : record.current)
        node = {1.25 * node.x, node.y, -1.5 * node.z};
    record.elements[7].initialThickness = 0.01f;
    const std::string second = folder.File("sheet.001");
    ASSERT_TRUE(samplegen::WriteRecordFile(second, record));
    const CSheetProfile fresh(second, 1, nullptr);
    CSheetProfile prepared(second, 1, nullptr, {false, true});
    ASSERT_TRUE(sheet->HasSameMesh(prepared));
    const int32_t* adjacency = sheet->NodeElements(1).begin();
    prepared.PrepareRecordValues(*sheet);
    sheet->SwapRecordValues(prepared);
    EXPECT_EQ(sheet->NodeElements(1).begin(), adjacency); // kept, not built again
    expectNormalsByCurrentArea();
    EXPECT_EQ(std::memcmp(elements.data(), fresh.Elements().data(), elements.size() * sizeof elements[0]), 0);
    EXPECT_EQ(sheet->MaxInitialThickness(), fresh.MaxInitialThickness());
    EXPECT_EQ(sheet->BoundingBox(), fresh.BoundingBox());
    EXPECT_EQ(std::make_pair(sheet->NonFinite().elements.count, sheet->NonFinite().elements.first),
              std::make_pair(fresh.NonFinite().elements.count, fresh.NonFinite().elements.first));
    EXPECT_EQ(std::make_pair(sheet->SheetSize(), sheet->SizeX()),
              std::make_pair(fresh.SheetSize(), fresh.SizeX()));
    record.elements[9].nodes[0] = record.elements[9].nodes[1];
    ASSERT_TRUE(samplegen::WriteRecordFile(second, record));
    EXPECT_FALSE(sheet->HasSameMesh(CSheetProfile(second, 1, nullptr, {false, true})));
}

// Values that are not numbers, infinite ones included, and an element
// without undeformed area (a node repeated): counted with the first of each,
// and kept out of the box, the largest initial thickness, the means and the
// sums, which are those of the rest of the sheet.
TEST_F(SheetRecord, ValuesThatAreNotNumbersAreCountedAndLeftOut) {
    const RecordData clean = samplegen::MakeGridRecord(4, 3, 0.4, 0.3, 0.003, 150);
    RecordData record = clean;
    record.current[7].x = std::numeric_limits<double>::infinity(); // node 8, inside the sheet
    record.elements[20].temperature = -std::nanf("");
    record.elements[5].initialThickness = std::numeric_limits<float>::infinity();
    record.elements[2].nodes[2] = record.elements[2].nodes[1];
    const auto sheet = Read(record);
    ASSERT_FALSE(sheet->ReadFailed()) << sheet->FailureReason();

    std::set<int> spoilt = {2, 5, 20};
    for (size_t e = 0; e < record.elements.size(); ++e)
        for (int32_t node : record.elements[e].nodes)
            if (node == 8)
                spoilt.insert(static_cast<int>(e));
    const CSheetProfile::NonFiniteValues& found = sheet->NonFinite();
    EXPECT_EQ(std::make_pair(found.nodes.count, found.nodes.first), std::make_pair(1, 8));
    EXPECT_EQ(std::make_pair(found.elements.count, found.elements.first),
              std::make_pair(static_cast<int>(spoilt.size()), *spoilt.begin()));
    for (int e = 0; e < sheet->ElementCount(); ++e)
        EXPECT_EQ(HasNonFiniteValue(sheet->Elements()[static_cast<size_t>(e)]), spoilt.count(e) == 1) << e;

    // No stretches from dividing by no area: none at all.
    const CElementProfile& flat = sheet->Elements()[2];
    for (double value :
         {flat.Thickness, flat.ExtensionX, flat.ExtensionY, flat.PlanarExtension, flat.StretchRatio})
        EXPECT_TRUE(std::isnan(value)) << value;

    const auto whole = Read(clean);
    EXPECT_EQ(sheet->BoundingBox(), whole->BoundingBox());
    EXPECT_EQ(sheet->SheetSize(), whole->SheetSize());
    EXPECT_EQ(sheet->MaxInitialThickness(), whole->MaxInitialThickness());
    EXPECT_NEAR(sheet->MeanThickness(), 0.003, 1e-9);
    EXPECT_NEAR(sheet->MeanTemperature(), 150, 1e-9);
    EXPECT_EQ(sheet->InflatedVolume(), 0);
    const ClampedStatisticsResult statistics = sheet->ClampedStatistics();
    EXPECT_NEAR(statistics.meanThickness, 0.003, 1e-9);
    EXPECT_NEAR(statistics.nonuniformity, 0, 1e-12);
    EXPECT_EQ(statistics.elementCount, sheet->ElementCount() - static_cast<int>(spoilt.size()) + 1)
        << "element 20 has a thickness";
    EXPECT_NEAR(sheet->ThicknessRange()[1], 0.003, 1e-9);

    // Without a single number: an empty box and means of nothing.
    for (samplegen::Vec3& node : record.current)
        node.y = std::nan("");
    const auto none = Read(record);
    EXPECT_EQ(none->NonFinite().nodes.count, none->NodeCount());
    EXPECT_EQ(none->NonFinite().elements.count, none->ElementCount());
    EXPECT_EQ(none->BoundingBox(), (std::array<double, 6>{}));
    EXPECT_EQ(std::make_pair(none->MeanThickness(), none->SheetSize()), std::make_pair(0.0, 0.0));
    EXPECT_EQ(whole->NonFinite().Any(), false);
}

TEST_F(SheetRecord, ContactBytesClearOneFlag) {
    RecordData record = samplegen::MakeGridRecord(1, 1, 0.1, 0.1);
    record.contactTool = {3, 255, 9, 10};
    const auto sheet = Read(record);
    for (int tool = 0; tool < 10; ++tool) {
        EXPECT_EQ(sheet->ContactFlag(1, tool), tool == 3 ? 0 : 1);
        EXPECT_EQ(sheet->ContactFlag(2, tool), 1);
        EXPECT_EQ(sheet->ContactFlag(3, tool), tool == 9 ? 0 : 1);
        EXPECT_EQ(sheet->ContactFlag(4, tool), 1);
    }
}

TEST_F(SheetRecord, ExtendedDataNeedsVersion410) {
    RecordData record = samplegen::MakeGridRecord(1, 1, 0.1, 0.1, 0.003, 120);
    record.extended = true;
    for (auto& element : record.elements)
        element.layers.fill(42.5);
    record.version = 410;
    EXPECT_DOUBLE_EQ(Read(record)->LayerValue(0, 7), 42.5);
    record.version = 409;
    // Version 409 does not carry the 88 bytes: the writer leaves them out
    // only when told, so the reader must not look for them.
    RecordData old = record;
    old.extended = false;
    std::string path = folder.File("old.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, old));
    std::string bytes = ReadWholeFile(path);
    bytes[47] = 'Y';
    WriteWholeFile(path, bytes);
    CSheetProfile sheet(path, 0, nullptr);
    ASSERT_FALSE(sheet.ReadFailed());
    EXPECT_DOUBLE_EQ(sheet.LayerValue(0, 7), 120);
}

// Exactly 65536 nodes take the wide element records (read back in every
// generated project); the node marks reach the last node too.
TEST_F(SheetRecord, NodeMarksOf65536Nodes) {
    RecordData record = samplegen::MakeGridRecord(255, 255, 1, 1); // 256 x 256 nodes
    record.nodeMarks.assign(static_cast<size_t>(record.NodeCount()), 0);
    record.nodeMarks.back() = 5;
    const auto sheet = Read(record);
    ASSERT_EQ(sheet->NodeCount(), 65536) << sheet->FailureReason();
    EXPECT_TRUE(sheet->HasNodeMarks());
    EXPECT_EQ(sheet->NodeMark(65536), 5);
    EXPECT_EQ(sheet->NodeMark(65535), 0);
}

TEST_F(SheetRecord, SymmetryNamesAndTheInflatedVolume) {
    RecordData record = samplegen::MakeGridRecord(2, 2, 1, 1);
    for (samplegen::Vec3& node : record.current)
        node.z = 0.5;
    for (const auto& [name, symmetry, factor] :
         std::vector<std::tuple<std::string, SymmetryType, double>>{{"FULL", FULL, 1},
                                                                    {"HALF", HALF, 2},
                                                                    {"half", HALF, 1},
                                                                    {"QUARTER", QUARTER, 4},
                                                                    {"ONE_STRIPE", ONE_STRIPE, 28},
                                                                    {"AXIAL", OTHER_SYMMETRY, 1}}) {
        record.symmetryName = name;
        const auto sheet = Read(record);
        EXPECT_EQ(sheet->Symmetry(), symmetry) << name;
        EXPECT_NEAR(std::fabs(sheet->InflatedVolume()), 0.5 * factor, 1e-6) << name;
    }
}

TEST_F(SheetRecord, NodeNormalsStayInTheirSymmetryPlane) {
    RecordData record = samplegen::MakeGridRecord(2, 2, 1, 1);
    for (samplegen::Vec3& node : record.current)
        node.z = 0.3 * node.x; // tilted about y: normals lean in x
    record.CompleteNodeData();
    record.nodeCode[0] = 2;
    record.planeIndex[0] = 1;
    record.nodeCode[1] = 1;
    record.planeIndex[1] = 7; // no such plane: left as it is
    record.planes.push_back({1, 0, 0, 0});
    const auto sheet = Read(record);
    const CCoordinate onPlane = sheet->NodeNormal(1);
    EXPECT_NEAR(onPlane.x, 0, 1e-12);
    EXPECT_NEAR(Norm(onPlane), 1, 1e-12);
    const CCoordinate free = sheet->NodeNormal(2);
    EXPECT_NEAR(std::fabs(free.x), 0.3 / std::sqrt(1.09), 1e-6);
}

TEST_F(SheetRecord, ProgressIsReportedOncePerPercentReached) {
    CRecordingProgress few;
    (void)Read(samplegen::MakeGridRecord(2, 1, 1, 1), &few); // four elements
    EXPECT_EQ(few.positions, (std::vector<int>{25, 50, 75, 0}));
    CRecordingProgress progress;
    const auto sheet = Read(samplegen::MakeGridRecord(30, 30, 1, 1), &progress);
    std::vector<int> everyPercent(99);
    std::iota(everyPercent.begin(), everyPercent.end(), 1);
    everyPercent.push_back(0); // ready again
    EXPECT_EQ(progress.positions, everyPercent);
    ASSERT_GE(progress.texts.size(), 2u);
    EXPECT_EQ(progress.texts.front(), "Loading " + folder.File("sheet.000") + ".");
    EXPECT_EQ(progress.texts.back(), "Application is ready to operate.");
}

// A damaged record sets ReadFailed and never reads outside the file.
class DamagedRecord : public SheetRecord, public ::testing::WithParamInterface<size_t> {};

TEST_P(DamagedRecord, ATruncatedRecordIsRefused) {
    RecordData record = samplegen::MakeGridRecord(3, 3, 0.1, 0.1);
    record.nodeMarks.assign(16, 1);
    record.planes.push_back({0, 1, 0, 0});
    const std::string path = folder.File("cut.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, record));
    std::string bytes = ReadWholeFile(path);
    ASSERT_LT(GetParam(), bytes.size());
    WriteWholeFile(path, bytes.substr(0, GetParam()));
    CSheetProfile sheet(path, 0, nullptr);
    EXPECT_TRUE(sheet.ReadFailed());
    EXPECT_FALSE(sheet.FailureReason().empty());
    ExpectCheckAgrees(path, sheet);
}

// Cuts inside the header, the elements, each node block, the planes and the
// node marks of the record above.
INSTANTIATE_TEST_SUITE_P(AtEveryBlock, DamagedRecord,
                         ::testing::Values(0, 100, 375, 376, 951, 1143, 1160, 1352, 1424, 1428, 1564, 1568,
                                           1600, 1617));

TEST_F(SheetRecord, HostileHeadersAreRefused) {
    const RecordData record = samplegen::MakeGridRecord(2, 2, 0.1, 0.1);
    const std::string path = folder.File("bad.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, record));
    const std::string good = ReadWholeFile(path);
    auto withInt = [&](size_t offset, int32_t value) {
        std::string bytes = good;
        std::memcpy(&bytes[offset], &value, 4);
        WriteWholeFile(path, bytes);
        auto sheet = std::make_unique<CSheetProfile>(path, 0, nullptr);
        ExpectCheckAgrees(path, *sheet);
        return sheet;
    };
    EXPECT_TRUE(withInt(0, -1)->ReadFailed());
    EXPECT_TRUE(withInt(0, 0x7fffffff)->ReadFailed());
    EXPECT_TRUE(withInt(4, 0x7fffffff)->ReadFailed());
    EXPECT_TRUE(withInt(4, 0)->ReadFailed());
    EXPECT_TRUE(withInt(4, 3)->ReadFailed()); // node numbers above 3 are used
    // Node number 0 in the first element.
    std::string bytes = good;
    bytes[376] = 0;
    bytes[377] = 0;
    WriteWholeFile(path, bytes);
    EXPECT_TRUE(CSheetProfile(path, 0, nullptr).ReadFailed());
    ExpectCheckAgrees(path, CSheetProfile(path, 0, nullptr));
    // A good record passes.
    WriteWholeFile(path, good);
    ExpectCheckAgrees(path, CSheetProfile(path, 0, nullptr));
    // Eleven symmetry planes.
    const size_t planeCount = good.size() - 4;
    EXPECT_TRUE(withInt(planeCount, 11)->ReadFailed());
    EXPECT_TRUE(withInt(planeCount, -1)->ReadFailed());
}

// The reason of a refusal is shown to the user as it stands.
TEST_F(SheetRecord, ReasonsOfARefusalSpeakTheUsersWords) {
    const RecordData record = samplegen::MakeGridRecord(2, 2, 0.1, 0.1);
    const std::string path = folder.File("bad.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, record));
    const std::string good = ReadWholeFile(path);
    auto reasonWith = [&](size_t offset, int32_t value) {
        std::string bytes = good;
        std::memcpy(&bytes[offset], &value, 4);
        WriteWholeFile(path, bytes);
        return CSheetProfile(path, 0, nullptr).FailureReason();
    };
    EXPECT_EQ(reasonWith(0, 0), "its header gives 0 elements and 9 nodes");
    EXPECT_EQ(reasonWith(0, 2091), "the file is shorter than its 2091 elements and 9 nodes need");
    EXPECT_EQ(reasonWith(good.size() - 4, 1000000),
              "it gives 1000000 symmetry planes, where a sheet has at most 10");
    std::string marked = good;
    marked[8] = 1; // node marks announced, and missing
    WriteWholeFile(path, marked);
    EXPECT_EQ(CSheetProfile(path, 0, nullptr).FailureReason(),
              "the file ends before its symmetry planes or node marks");
}

// A file as long as its header asks may still be sparse and cost nothing on
// disk: counts beyond the machine's memory are refused before anything is
// allocated.
TEST_F(SheetRecord, CountsBeyondTheMemoryAreRefusedUnread) {
    const int32_t elements = 0x7fffffff;
    if (uint64_t(elements) * sizeof(CElementProfile) < PhysicalMemoryBytes())
        GTEST_SKIP() << "this computer holds the largest record";
    const RecordData record = samplegen::MakeGridRecord(2, 2, 0.1, 0.1);
    const std::string path = folder.File("sparse.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, record));
    std::string header = ReadWholeFile(path).substr(0, 376);
    std::memcpy(&header[0], &elements, 4);
    WriteWholeFile(path, header);
    ASSERT_EQ(::truncate(path.c_str(), off_t(elements) * 40 + (1 << 20)), 0);
    const CSheetProfile sheet(path, 0, nullptr);
    EXPECT_TRUE(sheet.ReadFailed());
    EXPECT_NE(sheet.FailureReason().find("2147483647 elements and 9 nodes need"), std::string::npos)
        << sheet.FailureReason();
    EXPECT_NE(sheet.FailureReason().find("GB of memory, more than this computer has"), std::string::npos);
    ExpectCheckAgrees(path, sheet);
}

// A FIFO in a record's place is not opened to wait for a writer.
TEST_F(SheetRecord, AFifoIsNoRecordFile) {
    const std::string path = folder.File("fifo.000");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_TRUE(CSheetProfile::Check(path, 0, nullptr, false)->OpenFailed());
    CRecordingMessages messages;
    EXPECT_THROW(CSheetProfile(path, 0, nullptr), CCriticalError);
}

TEST_F(SheetRecord, AMissingRecordFileIsACriticalError) {
    CRecordingMessages messages;
    EXPECT_THROW(CSheetProfile("/nonexistent/cup.000", 0, nullptr), CCriticalError);
    EXPECT_EQ(messages.Texts(), "Critical error: Unable to open sheet file");
    EXPECT_THROW(CSheetProfile::Check("/nonexistent/cup.000", 0, nullptr, true), CCriticalError);
    EXPECT_TRUE(CSheetProfile::Check("/nonexistent/cup.000", 0, nullptr, false)->OpenFailed());
}
