#include "core/Memory.h"
#include "model/CSheetProfile.h"
#include "model/SheetMeans.h"
#include "model/SheetReading.h"
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
#include <tuple>
#include <unistd.h>

using namespace quillmere;

namespace {

using samplegen::RecordData;

class SheetRecord : public ::testing::Test {
protected:
    std::unique_ptr<CSheetProfile> Read(const RecordData& record, IProgressSink* progress = nullptr) {
        const std::string path = folder.File("sheet.000");
        EXPECT_TRUE(samplegen::WriteRecordFile(path, record));
        RecordError error;
        std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, progress, &error);
        EXPECT_TRUE(sheet) << MessageText(RecordErrorMessage(error));
        return sheet;
    }
    CTempFolder folder;
};

// The error of the file at path, which a check finds as the full read does.
RecordError ErrorOf(const std::string& path) {
    const RecordError read = ReadRecordFile(path, 0, nullptr).error;
    const RecordError checked = CheckRecordFile(path, nullptr);
    EXPECT_EQ(checked.fault, read.fault);
    EXPECT_EQ(MessageText(RecordErrorMessage(checked)), MessageText(RecordErrorMessage(read)));
    return read;
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
    ASSERT_TRUE(sheet);
    const CRecordValues& values = sheet->Values();
    const CElementValues& element = values.elements[1];
    EXPECT_DOUBLE_EQ(values.LayerValue(1, 10), element.Temperature); // no extended data
    EXPECT_NEAR(element.VonMisesStress(), std::sqrt(0.5 * (9 + 4 + 1)), 1e-9);
    EXPECT_TRUE(values.IsClamped(1));
    EXPECT_TRUE(values.HasNoPressure(1));
    EXPECT_EQ(sheet->Mesh().SymmetryPlaneCount(), 1);
    EXPECT_NEAR(sheet->BoundingBox()[1] - sheet->BoundingBox()[0], 0.3, 1e-7);
    EXPECT_NEAR(sheet->SheetSize(), 0.3, 1e-7);
    EXPECT_NEAR(sheet->MaxInitialThickness(), 0.002, 1e-9);
    EXPECT_FALSE(sheet->Mesh().HasNodeMarks());
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
        for (size_t i = 0; i < sheet->Derived().elements.size(); ++i) {
            const CElementDerived& e = sheet->Derived().elements[i];
            EXPECT_NEAR(e.ExtensionX, c.extensionX, 1e-6);
            EXPECT_NEAR(e.ExtensionY, c.extensionY, 1e-6);
            EXPECT_NEAR(e.PlanarExtension, std::sqrt(area), 1e-6);
            EXPECT_NEAR(e.StretchRatio, std::max(c.extensionX, c.extensionY), 1e-6);
            EXPECT_NEAR(e.Thickness, sheet->Values().elements[i].InitialThickness / area, 1e-9);
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
    ASSERT_TRUE(sheet);
    const CSheetMesh& mesh = sheet->Mesh();
    const CSheetDerived& derived = sheet->Derived();
    // The node normals weigh by the current areas, which the derivation keeps.
    auto expectNormalsByCurrentArea = [&sheet]() {
        for (int node = 1; node <= sheet->NodeCount(); ++node) {
            CCoordinate sum;
            for (int32_t e : sheet->NodeElements(node)) {
                const size_t i = static_cast<size_t>(e);
                const double area = TriangleArea(sheet->CurrentCorner(i, 0), sheet->CurrentCorner(i, 1),
                                                 sheet->CurrentCorner(i, 2));
                sum = sum + sheet->Derived().elements[i].Normal * area;
            }
            const CCoordinate normal = NodeNormal(*sheet, node), expected = sum * (1 / Norm(sum));
            ASSERT_EQ(std::memcmp(&normal, &expected, sizeof normal), 0) << node;
        }
    };
    expectNormalsByCurrentArea();

    std::vector<std::vector<int32_t>> lists(static_cast<size_t>(sheet->NodeCount()) + 1);
    double largest = 0;
    NonFiniteItems nonFinite;
    std::array<double, 6> box = {1e30, -1e30, 1e30, -1e30, 1e30, -1e30};
    for (size_t i = 0; i < derived.elements.size(); ++i) {
        const CElementValues& values = sheet->Values().elements[i];
        CElementDerived element;
        CCoordinate current[3], reference[3];
        for (int c = 0; c < 3; ++c) {
            lists[static_cast<size_t>(mesh.Nodes(i)[static_cast<size_t>(c)])].push_back(
                static_cast<int32_t>(i));
            current[c] = sheet->CurrentCorner(i, c);
            reference[c] = sheet->ReferenceCorner(i, c);
        }
        double referenceArea = 0;
        const double area = DeriveElementValues(element, referenceArea, values, current, reference);
        ASSERT_EQ(std::memcmp(&element, &derived.elements[i], sizeof element), 0) << "element " << i;
        ASSERT_EQ(std::memcmp(&area, &derived.currentAreas[i], sizeof area), 0) << "element " << i;
        const double meshArea = mesh.ReferenceArea(i);
        ASSERT_EQ(std::memcmp(&referenceArea, &meshArea, sizeof meshArea), 0) << "element " << i;
        largest = std::max(largest, values.InitialThickness);
        if (HasNonFiniteValue(values, element))
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
    for (size_t i = 0; i < derived.elements.size(); ++i) {
        std::vector<int32_t> expected;
        for (int32_t node : mesh.Nodes(i))
            for (int32_t other : lists[static_cast<size_t>(node)])
                if (other != static_cast<int32_t>(i) &&
                    std::find(expected.begin(), expected.end(), other) == expected.end())
                    expected.push_back(other);
        const CNeighbourRange range = mesh.ElementNeighbours(static_cast<int32_t>(i));
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
    const std::unique_ptr<CSheetProfile> fresh = ReadSheet(second, 1, nullptr);
    ASSERT_TRUE(fresh);
    std::unique_ptr<CSheetProfile> prepared =
        PrepareRecord(sheet->SharedMesh(), ReadRecordFile(second, 1, nullptr));
    ASSERT_TRUE(prepared);
    EXPECT_EQ(&prepared->Mesh(), &mesh); // the mesh and its lists are not made again
    sheet->SwapRecordValues(*prepared);
    expectNormalsByCurrentArea();
    const CSheetDerived& afresh = fresh->Derived();
    EXPECT_EQ(std::memcmp(derived.elements.data(), afresh.elements.data(),
                          derived.elements.size() * sizeof derived.elements[0]),
              0);
    EXPECT_EQ(std::memcmp(derived.currentAreas.data(), afresh.currentAreas.data(),
                          derived.currentAreas.size() * sizeof(double)),
              0);
    EXPECT_EQ(sheet->MaxInitialThickness(), fresh->MaxInitialThickness());
    EXPECT_EQ(sheet->BoundingBox(), fresh->BoundingBox());
    EXPECT_EQ(std::make_pair(sheet->NonFinite().elements.count, sheet->NonFinite().elements.first),
              std::make_pair(fresh->NonFinite().elements.count, fresh->NonFinite().elements.first));
    EXPECT_EQ(std::make_pair(sheet->SheetSize(), derived.sizeX),
              std::make_pair(fresh->SheetSize(), afresh.sizeX));
    record.elements[9].nodes[0] = record.elements[9].nodes[1];
    ASSERT_TRUE(samplegen::WriteRecordFile(second, record));
    EXPECT_FALSE(PrepareRecord(sheet->SharedMesh(), ReadRecordFile(second, 1, nullptr)));
}

// A record derived in memory that another record's derivation left behind
// (the big arrays are kept for the next sheet): every element is written
// afresh, and a triangle without area has no normal, not the other's.
TEST_F(SheetRecord, DerivationWritesEveryElementOverWhatTheMemoryHeld) {
    RecordData record = samplegen::MakeGridRecord(300, 200, 2, 1.5, 0.002);
    ASSERT_TRUE(Read(record)); // its normals are (0, 0, 1)
    record.elements[77].nodes[2] = record.elements[77].nodes[1];
    const auto sheet = Read(record);
    ASSERT_TRUE(sheet);
    const CCoordinate& normal = sheet->Derived().elements[77].Normal;
    EXPECT_EQ(std::make_tuple(normal.x, normal.y, normal.z), std::make_tuple(0.0, 0.0, 0.0));
    EXPECT_TRUE(std::isnan(sheet->Derived().elements[77].Thickness));
    EXPECT_EQ(sheet->Derived().elements[78].Normal.z, 1.0);
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
    ASSERT_TRUE(sheet);

    std::set<int> spoilt = {2, 5, 20};
    for (size_t e = 0; e < record.elements.size(); ++e)
        for (int32_t node : record.elements[e].nodes)
            if (node == 8)
                spoilt.insert(static_cast<int>(e));
    const NonFiniteValues& found = sheet->NonFinite();
    EXPECT_EQ(std::make_pair(found.nodes.count, found.nodes.first), std::make_pair(1, 8));
    EXPECT_EQ(std::make_pair(found.elements.count, found.elements.first),
              std::make_pair(static_cast<int>(spoilt.size()), *spoilt.begin()));
    for (size_t e = 0; e < static_cast<size_t>(sheet->ElementCount()); ++e)
        EXPECT_EQ(HasNonFiniteValue(sheet->Values().elements[e], sheet->Derived().elements[e]),
                  spoilt.count(static_cast<int>(e)) == 1)
            << e;

    // No stretches from dividing by no area: none at all.
    const CElementDerived& flat = sheet->Derived().elements[2];
    for (double value :
         {flat.Thickness, flat.ExtensionX, flat.ExtensionY, flat.PlanarExtension, flat.StretchRatio})
        EXPECT_TRUE(std::isnan(value)) << value;

    const auto whole = Read(clean);
    EXPECT_EQ(sheet->BoundingBox(), whole->BoundingBox());
    EXPECT_EQ(sheet->SheetSize(), whole->SheetSize());
    EXPECT_EQ(sheet->MaxInitialThickness(), whole->MaxInitialThickness());
    EXPECT_NEAR(MeanThickness(*sheet), 0.003, 1e-9);
    EXPECT_NEAR(MeanTemperature(*sheet), 150, 1e-9);
    EXPECT_EQ(InflatedVolume(*sheet), 0);
    const ClampedStatisticsResult statistics = ClampedStatistics(*sheet);
    EXPECT_NEAR(statistics.meanThickness, 0.003, 1e-9);
    EXPECT_NEAR(statistics.nonuniformity, 0, 1e-12);
    EXPECT_EQ(statistics.elementCount, sheet->ElementCount() - static_cast<int>(spoilt.size()) + 1)
        << "element 20 has a thickness";
    EXPECT_NEAR(statistics.thicknessMaximum, 0.003, 1e-9);

    // Without a single number: an empty box and means of nothing.
    for (samplegen::Vec3& node : record.current)
        node.y = std::nan("");
    const auto none = Read(record);
    EXPECT_EQ(none->NonFinite().nodes.count, none->NodeCount());
    EXPECT_EQ(none->NonFinite().elements.count, none->ElementCount());
    EXPECT_EQ(none->BoundingBox(), (std::array<double, 6>{}));
    EXPECT_EQ(std::make_pair(MeanThickness(*none), none->SheetSize()), std::make_pair(0.0, 0.0));
    EXPECT_EQ(whole->NonFinite().Any(), false);
}

TEST_F(SheetRecord, ContactBytesClearOneFlag) {
    RecordData record = samplegen::MakeGridRecord(1, 1, 0.1, 0.1);
    record.contactTool = {3, 255, 9, 10};
    const auto sheet = Read(record);
    const CRecordValues& values = sheet->Values();
    for (int tool = 0; tool < 10; ++tool) {
        EXPECT_EQ(values.ContactFlag(1, tool), tool == 3 ? 0 : 1);
        EXPECT_EQ(values.ContactFlag(2, tool), 1);
        EXPECT_EQ(values.ContactFlag(3, tool), tool == 9 ? 0 : 1);
        EXPECT_EQ(values.ContactFlag(4, tool), 1);
    }
}

TEST_F(SheetRecord, ExtendedDataNeedsVersion410) {
    RecordData record = samplegen::MakeGridRecord(1, 1, 0.1, 0.1, 0.003, 120);
    record.extended = true;
    for (auto& element : record.elements)
        element.layers.fill(42.5);
    record.version = 410;
    EXPECT_DOUBLE_EQ(Read(record)->Values().LayerValue(0, 7), 42.5);
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
    const std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, nullptr);
    ASSERT_TRUE(sheet);
    EXPECT_DOUBLE_EQ(sheet->Values().LayerValue(0, 7), 120);
}

// Exactly 65536 nodes take the wide element records (read back in every
// generated project); the node marks reach the last node too.
TEST_F(SheetRecord, NodeMarksOf65536Nodes) {
    RecordData record = samplegen::MakeGridRecord(255, 255, 1, 1); // 256 x 256 nodes
    record.nodeMarks.assign(static_cast<size_t>(record.NodeCount()), 0);
    record.nodeMarks.back() = 5;
    const auto sheet = Read(record);
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->NodeCount(), 65536);
    EXPECT_TRUE(sheet->Mesh().HasNodeMarks());
    EXPECT_EQ(sheet->Mesh().NodeMark(65536), 5);
    EXPECT_EQ(sheet->Mesh().NodeMark(65535), 0);
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
        EXPECT_EQ(sheet->Mesh().Symmetry(), symmetry) << name;
        EXPECT_NEAR(std::fabs(InflatedVolume(*sheet)), 0.5 * factor, 1e-6) << name;
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
    const CCoordinate onPlane = NodeNormal(*sheet, 1);
    EXPECT_NEAR(onPlane.x, 0, 1e-12);
    EXPECT_NEAR(Norm(onPlane), 1, 1e-12);
    const CCoordinate free = NodeNormal(*sheet, 2);
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

// A damaged record is refused with its error, and never read outside the
// file.
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
    const RecordError error = ErrorOf(path);
    EXPECT_NE(error.fault, RecordFault::None);
    EXPECT_FALSE(MessageText(RecordErrorMessage(error)).empty());
    EXPECT_FALSE(ReadSheet(path, 0, nullptr));
}

// Cuts inside the header, the elements, each node block, the planes and the
// node marks of the record above.
INSTANTIATE_TEST_SUITE_P(AtEveryBlock, DamagedRecord,
                         ::testing::Values(0, 100, 375, 376, 951, 1143, 1160, 1352, 1424, 1428, 1564, 1568,
                                           1600, 1617));

// Each kind of damage is told by an error value of its own, whose text
// speaks the user's words; a check finds the same as the read.
TEST_F(SheetRecord, EachKindOfDamageHasItsErrorAndItsWords) {
    RecordData record = samplegen::MakeGridRecord(2, 2, 0.1, 0.1);
    const std::string path = folder.File("bad.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, record));
    const std::string good = ReadWholeFile(path);
    auto with = [&](size_t offset, int32_t value) {
        std::string bytes = good;
        std::memcpy(&bytes[offset], &value, 4);
        WriteWholeFile(path, bytes);
        return ErrorOf(path);
    };
    const size_t planeCount = good.size() - 4;
    const std::vector<std::tuple<RecordError, RecordFault, std::string>> cases = {
        {with(0, 0), RecordFault::NoElementsOrNodes, "its header gives 0 elements and 9 nodes"},
        {with(4, -1), RecordFault::NoElementsOrNodes, "its header gives 8 elements and -1 nodes"},
        {with(0, 2091), RecordFault::ShorterThanCounts,
         "the file is shorter than its 2091 elements and 9 nodes need"},
        {with(4, 0x7fffffff), RecordFault::ShorterThanCounts,
         "the file is shorter than its 8 elements and 2147483647 nodes need"},
        {with(planeCount, 1000000), RecordFault::TooManyPlanes,
         "it gives 1000000 symmetry planes, where a sheet has at most 10"},
        {with(planeCount, -1), RecordFault::TooManyPlanes,
         "it gives -1 symmetry planes, where a sheet has at most 10"},
        {with(376, 0), RecordFault::NodeOutOfRange, "element 1 uses node 0, outside 1 ... 9"},
        {with(376, 10), RecordFault::NodeOutOfRange, "element 1 uses node 10, outside 1 ... 9"},
    };
    for (const auto& [error, fault, text] : cases) {
        EXPECT_EQ(error.fault, fault) << text;
        EXPECT_EQ(MessageText(RecordErrorMessage(error)), text);
    }
    EXPECT_EQ(with(0, -1).fault, RecordFault::NoElementsOrNodes);
    EXPECT_EQ(with(0, 0x7fffffff).fault, RecordFault::ShorterThanCounts);
    EXPECT_EQ(with(planeCount, 11).fault, RecordFault::TooManyPlanes);
    EXPECT_NE(with(4, 3).fault, RecordFault::None); // node numbers above 3 are used
    std::string marked = good;
    marked[8] = 1; // node marks announced, and missing
    WriteWholeFile(path, marked);
    EXPECT_EQ(ErrorOf(path).fault, RecordFault::EndsBeforePlanesOrMarks);
    EXPECT_EQ(MessageText(RecordErrorMessage(ErrorOf(path))),
              "the file ends before its symmetry planes or node marks");
    WriteWholeFile(path, good.substr(0, 100));
    EXPECT_EQ(ErrorOf(path).fault, RecordFault::ShorterThanHeader);
    EXPECT_EQ(MessageText(RecordErrorMessage(ErrorOf(path))), "the file is shorter than a record header");
    EXPECT_EQ(ErrorOf(folder.File("none.000")).fault, RecordFault::CannotOpen);
    EXPECT_EQ(MessageText(RecordErrorMessage(ErrorOf(folder.File("none.000")))), "the file cannot be opened");
    // A good record passes.
    WriteWholeFile(path, good);
    EXPECT_EQ(ErrorOf(path).fault, RecordFault::None);
    EXPECT_EQ(MessageText(RecordErrorMessage(ErrorOf(path))), "");
}

// A file as long as its header asks may still be sparse and cost nothing on
// disk: counts beyond the machine's memory are refused before anything is
// allocated.
TEST_F(SheetRecord, CountsBeyondTheMemoryAreRefusedUnread) {
    const int32_t elements = 0x7fffffff;
    // A mesh, a record's values and what is derived take this much an element.
    const uint64_t perElement =
        sizeof(ElementNodes) + 4 + 8 + sizeof(CElementValues) + sizeof(CElementDerived);
    if (uint64_t(elements) * perElement < PhysicalMemoryBytes())
        GTEST_SKIP() << "this computer holds the largest record";
    const RecordData record = samplegen::MakeGridRecord(2, 2, 0.1, 0.1);
    const std::string path = folder.File("sparse.000");
    ASSERT_TRUE(samplegen::WriteRecordFile(path, record));
    std::string header = ReadWholeFile(path).substr(0, 376);
    std::memcpy(&header[0], &elements, 4);
    WriteWholeFile(path, header);
    ASSERT_EQ(::truncate(path.c_str(), off_t(elements) * 40 + (1 << 20)), 0);
    const RecordError error = ErrorOf(path);
    EXPECT_EQ(error.fault, RecordFault::BeyondMemory);
    const std::string text = MessageText(RecordErrorMessage(error));
    EXPECT_NE(text.find("2147483647 elements and 9 nodes need"), std::string::npos) << text;
    EXPECT_NE(text.find("GB of memory, more than this computer has"), std::string::npos) << text;
}

// A FIFO in a record's place is not opened to wait for a writer; neither it
// nor a missing file ends the program from the reader, whose callers decide.
TEST_F(SheetRecord, AFifoIsNoRecordFile) {
    const std::string path = folder.File("fifo.000");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    CRecordingMessages messages;
    EXPECT_EQ(ErrorOf(path).fault, RecordFault::CannotOpen);
    EXPECT_EQ(ErrorOf("/nonexistent/cup.000").fault, RecordFault::CannotOpen);
    EXPECT_TRUE(messages.messages.empty()) << messages.Texts();
}
