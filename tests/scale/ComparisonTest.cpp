// The difference of two variants: fixture A against a variant B whose
// temperature and initial thickness are A's plus a known field per element
// and record, so that A - B at a node is minus the mean of the field over
// the node's elements.
#include "scale/Comparison.h"
#include "config/CConfiguration.h"
#include "config/Units.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/NodalValues.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"
#include "tests/model/ProjectFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

using namespace quillmere;

namespace {

constexpr int Records = 3;

// Kelvin per element and record; the thickness field is this in tenths of
// a millimetre.
double Field(int element, int record) {
    return (element * 7) % 5 + 2.0 * record;
}

// A fixture's project as a comparison names it beside another
// "fixture.tfc": with its folder.
std::string Named(const CProjectFixture& fixture) {
    return FileNamePart(FolderPart(fixture.ProjectPath())) + "/fixture.tfc";
}

void Rewrite(CProjectFixture& fixture, const std::function<void(samplegen::RecordData&, int)>& edit) {
    for (int r = 0; r < Records; ++r) {
        samplegen::RecordData record = fixture.Record(r);
        edit(record, r);
        EXPECT_TRUE(samplegen::WriteRecordFile(fixture.File(FormatText("fixture.%03d", r)), record));
    }
}

class ComparisonTest : public ::testing::Test {
protected:
    ComparisonTest() {
        Rewrite(b, [](samplegen::RecordData& record, int r) {
            for (size_t e = 0; e < record.elements.size(); ++e) {
                record.elements[e].temperature += static_cast<float>(Field(static_cast<int>(e), r));
                record.elements[e].initialThickness +=
                    static_cast<float>(1e-4 * Field(static_cast<int>(e), r));
            }
        });
    }
    void Open(CProjectProfile& project, const CProjectFixture& fixture) {
        ASSERT_TRUE(project.Open(fixture.ProjectPath(), nullptr)) << messages.Texts();
    }
    // A - B at each node of record r: minus the field's mean over the node's
    // elements, worked out from the written record.
    std::vector<double> Expected(int r, double scale) const {
        const samplegen::RecordData record = a.Record(r);
        std::vector<double> sum(static_cast<size_t>(record.NodeCount()) + 1), count(sum.size());
        for (size_t e = 0; e < record.elements.size(); ++e)
            for (int32_t node : record.elements[e].nodes) {
                sum[static_cast<size_t>(node)] -= scale * Field(static_cast<int>(e), r);
                count[static_cast<size_t>(node)] += 1;
            }
        for (size_t n = 1; n < sum.size(); ++n)
            sum[n] /= count[n];
        return sum;
    }

    CRecordingMessages messages;
    FixtureOptions options = [] {
        FixtureOptions o;
        o.records = Records;
        return o;
    }();
    CProjectFixture a{options}, b{options};
};

TEST_F(ComparisonTest, DifferenceIsTheKnownFieldPerNodeAndElementInBothSystemsOfUnits) {
    CProjectProfile first, second;
    Open(first, a);
    Open(second, b);
    CComparison comparison(first, second);
    Message failure;
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), Records, failure)) << failure;
    const std::vector<double> expected = Expected(Records - 1, 1);
    std::vector<double> temperature, thickness;
    comparison.FillDifferences(*first.Sheet(), ResultQuantity::Temperature, temperature);
    comparison.FillDifferences(*first.Sheet(), ResultQuantity::Thickness, thickness);
    ASSERT_EQ(temperature.size(), expected.size());
    CConfiguration si(""), us("");
    us.SetSIMetric(false);
    double largest = 0;
    for (size_t n = 1; n < expected.size(); ++n) {
        EXPECT_NEAR(temperature[n], expected[n], 1e-4) << n;
        EXPECT_NEAR(thickness[n], 1e-4 * expected[n], 1e-9) << n;
        // A temperature difference in Fahrenheit has no offset.
        EXPECT_NEAR(DifferenceToDisplay(ResultQuantity::Temperature, temperature[n], us), 1.8 * expected[n],
                    1e-3);
        EXPECT_NEAR(DifferenceToDisplay(ResultQuantity::Temperature, temperature[n], si), expected[n], 1e-4);
        EXPECT_NEAR(DifferenceToDisplay(ResultQuantity::Thickness, thickness[n], si), 0.1 * expected[n],
                    1e-6);
        EXPECT_NEAR(DifferenceToDisplay(ResultQuantity::Thickness, thickness[n], us),
                    0.1 * expected[n] / 25.4, 1e-6);
        largest = std::max(largest, std::fabs(temperature[n]));
    }
    EXPECT_NEAR(comparison.ElementDifference(*first.Sheet(), 3, ResultQuantity::Temperature),
                -Field(3, Records - 1), 1e-4);
    EXPECT_EQ(DifferenceValueText(ResultQuantity::Temperature, -5, us),
              FormatText("  -9.0 %s", units::Fahrenheit));
    // Both projects are "fixture.tfc": their folders tell them apart.
    PresentationSource inUS;
    inUS.quantity = ResultQuantity::Temperature;
    inUS.units = &us;
    const std::array<std::string, 3> tip = comparison.TipLines(MakePresentation(inUS), 150, 155, Records, us);
    EXPECT_EQ(tip[0], Named(a) + FormatText(":  302.0 %s", units::Fahrenheit));
    EXPECT_EQ(tip[1], Named(b) + FormatText(":  311.0 %s", units::Fahrenheit));
    EXPECT_EQ(tip[2], FormatText("\xce\x94 Temperature:   -9.0 %s", units::Fahrenheit));

    // Symmetric automatic limits, the largest |difference| blue; fixed
    // limits as given.
    NodeColouring colouring;
    ScaleLimits limits;
    comparison.ColourDifferences(*first.Sheet(), ResultQuantity::Temperature, limits, colouring);
    EXPECT_DOUBLE_EQ(colouring.maximum, largest);
    EXPECT_DOUBLE_EQ(colouring.minimum, -largest);
    for (size_t n = 1; n < expected.size(); ++n)
        EXPECT_EQ(colouring.indices[n], DifferenceColourIndex(temperature[n], -largest, largest));
    EXPECT_EQ(*std::min_element(colouring.indices.begin() + 1, colouring.indices.end()), 0);
    limits.SetFixedMode(ResultQuantity::Temperature, 1);
    limits.SetFixedMinimum(ResultQuantity::Temperature, -1);
    limits.SetFixedMaximum(ResultQuantity::Temperature, 3);
    const ScaleRange fixed = DifferenceRange(temperature, ResultQuantity::Temperature, limits);
    EXPECT_EQ(std::make_pair(fixed.minimum, fixed.maximum), std::make_pair(-1.0, 3.0));
}

TEST_F(ComparisonTest, ReferenceFollowsTheViewOrStaysAndIsReadOnlyWhenItsRecordChanges) {
    CProjectProfile first, second;
    Open(first, a);
    Open(second, b);
    ASSERT_TRUE(first.GoToRecord(2));
    CComparison following(first, second);
    Message failure;
    ASSERT_TRUE(following.Prepare(*first.Sheet(), 2, failure)) << failure;
    std::vector<double> values;
    following.FillDifferences(*first.Sheet(), ResultQuantity::Temperature, values);
    EXPECT_NEAR(values[1], Expected(1, 1)[1], 1e-4);
    EXPECT_EQ(second.CurrentRecord(), Records); // the reference project stays

    CComparison fixed(first, second, 1);
    ASSERT_TRUE(fixed.Prepare(*first.Sheet(), 2, failure)) << failure;
    fixed.FillDifferences(*first.Sheet(), ResultQuantity::Temperature, values);
    // A's record 2 against B's record 1: B is A + Field(e, 0).
    EXPECT_NEAR(values[1], Expected(0, 1)[1], 1e-4);
    EXPECT_EQ(fixed.ReferenceRecord(3), 1);
    EXPECT_EQ(following.ReferenceRecord(7), Records);

    // Kept while the record stays: no read of a file that went.
    ASSERT_EQ(std::remove(b.File("fixture.001").c_str()), 0);
    EXPECT_TRUE(following.Prepare(*first.Sheet(), 2, failure));
    EXPECT_TRUE(following.Prepare(*first.Sheet(), 1, failure));
    EXPECT_FALSE(following.Prepare(*first.Sheet(), 2, failure));
    EXPECT_NE(MessageText(failure).find("fixture.001"), std::string::npos) << failure;
}

TEST_F(ComparisonTest, ProjectAgainstItselfIsZeroEverywhereWithLimitsZeroAndWhite) {
    CProjectProfile first;
    Open(first, a);
    CComparison comparison(first, first);
    Message failure;
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), Records, failure)) << failure;
    // First contact has none without contact (see FormingQuantitiesTest).
    for (ResultQuantity quantity : ValueQuantities()) {
        if (quantity == ResultQuantity::FirstContact)
            continue;
        NodeColouring colouring;
        comparison.ColourDifferences(*first.Sheet(), quantity, ScaleLimits(), colouring);
        EXPECT_EQ(colouring.minimum, 0);
        EXPECT_EQ(colouring.maximum, 0);
        for (size_t n = 1; n < colouring.values.size(); ++n) {
            EXPECT_EQ(colouring.values[n], 0) << QuantityNumber(quantity);
            EXPECT_EQ(colouring.indices[n], DifferenceCentreIndex);
        }
    }
    EXPECT_EQ(comparison.ScaleTitle(ResultQuantity::Thickness, Records),
              "\xce\x94 Thickness (fixture.tfc Rec. 3 \xe2\x88\x92 fixture.tfc Rec. 3)");
    CProjectProfile second;
    Open(second, b);
    EXPECT_EQ(CComparison(first, second).ScaleTitle(ResultQuantity::Temperature, 3),
              "\xce\x94 Temperature (" + Named(a) + " \xe2\x88\x92 " + Named(b) + ")");
    EXPECT_EQ(CComparison(first, second, 2).Names(3), Named(a) + " \xe2\x88\x92 " + Named(b) + " Rec. 2");
}

// Projects of one name, as the batch tool gets them (relative paths), show
// the folders that tell them apart; names that differ stay as they are.
TEST(ComparisonNames, SameNamesGetTheirFolders) {
    const auto side = [](const char* path, const char* title) {
        ComparisonSide made;
        made.projectPath = path;
        made.title = title;
        made.recordCount = 3;
        return made;
    };
    CComparison variants(side("jobs/v2/cup.tfc", "cup.tfc"), side("jobs/v1/cup.tfc", "cup.tfc"));
    EXPECT_EQ(variants.Names(3), "v2/cup.tfc \xe2\x88\x92 v1/cup.tfc");
    EXPECT_EQ(CComparison(side("v2/cup.tfc", "cup.tfc"), side("cup.tfc", "cup.tfc")).Names(3),
              "v2/cup.tfc \xe2\x88\x92 " + FileNamePart(CurrentFolder()) + "/cup.tfc");
    variants.SetTitles("cup.tfc", "tray.tfc");
    EXPECT_EQ(variants.Names(3), "cup.tfc \xe2\x88\x92 tray.tfc");
    variants.SetTitles("cup.tfc", "cup.tfc");
    EXPECT_EQ(variants.Names(3), "v2/cup.tfc \xe2\x88\x92 v1/cup.tfc");
    CComparison records(side("jobs/v2/cup.tfc", "cup.tfc"), side("jobs/v2/cup.tfc", "cup.tfc"), 1);
    EXPECT_EQ(records.Names(3), "cup.tfc Rec. 3 \xe2\x88\x92 cup.tfc Rec. 1");
}

TEST_F(ComparisonTest, OtherMeshesAreRefusedWithWhatDiffers) {
    CProjectProfile first;
    Open(first, a);
    auto refusal = [&](const std::function<void(samplegen::RecordData&, int)>& edit, FixtureOptions other) {
        other.records = Records;
        CProjectFixture variant(other);
        Rewrite(variant, edit);
        CProjectProfile second;
        EXPECT_TRUE(second.Open(variant.ProjectPath(), nullptr)) << messages.Texts();
        CComparison comparison(first, second);
        Message failure;
        EXPECT_FALSE(comparison.Prepare(*first.Sheet(), Records, failure));
        EXPECT_EQ(MessageText(failure), MessageText(MeshMismatch(*first.Sheet(), *second.Sheet())));
        return MessageText(failure);
    };
    const auto same = [](samplegen::RecordData&, int) {};
    FixtureOptions wider = options;
    wider.cellsX = 5;
    EXPECT_EQ(refusal(same, wider), "The meshes differ: 20 nodes against 24, 24 elements against 30.");
    // The first diagonal the mirror turns is in element 4.
    FixtureOptions mirrored = options;
    mirrored.sheet = FixtureSheet::MirroredGrid;
    EXPECT_EQ(refusal(same, mirrored), "The meshes differ: element 4 has nodes 3, 4, 9 against 3, 4, 8.");
    const auto swapped = [](samplegen::RecordData& record, int) {
        std::swap(record.elements[4], record.elements[5]);
    };
    EXPECT_EQ(refusal(swapped, options), "The meshes differ: element 4 has nodes 3, 4, 9 against 3, 9, 8.");
}

// By position, each node takes the reference's value where it lies on the
// reference sheet. On the same mesh that is the comparison node by node; on
// a finer mesh whose nodes include the view's, it is the reference's value
// at the node in the same place, record after record as the sheets rise.
TEST_F(ComparisonTest, ByPositionOnTheSameMeshMatchesNodes) {
    CProjectProfile first, second;
    Open(first, a);
    Open(second, b);
    const ComparisonRule byPosition{ComparisonMode::ByPosition, kDefaultMaxDistance};
    CComparison nodes(first, second);
    const auto shared = std::make_shared<CComparison>(first, second, CComparison::Follow, byPosition);
    CComparison& positions = *shared;
    Message failure;
    for (int record : {Records, 1}) {
        ASSERT_TRUE(first.GoToRecord(record));
        ASSERT_TRUE(nodes.Prepare(*first.Sheet(), record, failure)) << failure;
        ASSERT_TRUE(positions.Prepare(*first.Sheet(), record, failure)) << failure;
        for (ResultQuantity quantity : {ResultQuantity::Thickness, ResultQuantity::Temperature}) {
            std::vector<double> expected, values;
            nodes.FillDifferences(*first.Sheet(), quantity, expected);
            positions.FillDifferences(*first.Sheet(), quantity, values);
            ASSERT_EQ(values.size(), expected.size());
            for (size_t n = 1; n < values.size(); ++n)
                EXPECT_NEAR(values[n], expected[n], 1e-12) << record << " " << n;
            EXPECT_EQ(positions.BeyondNodes(), 0);
            for (int e = 0; e < first.Sheet()->ElementCount(); ++e)
                EXPECT_NEAR(positions.ElementDifference(*first.Sheet(), e, quantity),
                            nodes.ElementDifference(*first.Sheet(), e, quantity), 1e-12)
                    << e;
        }
    }
    // The panel's title and the data tip say so.
    CConfiguration si("");
    PresentationSource source;
    source.sheet = first.Sheet();
    source.quantity = ResultQuantity::Temperature;
    source.comparison = shared;
    source.record = 1;
    source.units = &si;
    const Presentation presented = MakePresentation(source);
    EXPECT_EQ(presented.title,
              "\xce\x94 Temperature by position (" + Named(a) + " \xe2\x88\x92 " + Named(b) + ")");
    EXPECT_EQ(positions.TipLines(presented, 150, 155, 1, si)[2],
              FormatText("\xce\x94 Temperature by position:   -5.0 %s", units::Celsius));
}

TEST_F(ComparisonTest, ByPositionTakesTheValueWhereTheNodeLiesOnAnotherMesh) {
    FixtureOptions finer = options;
    finer.cellsX = 8;
    finer.cellsY = 6;
    finer.sheet = FixtureSheet::MirroredGrid;
    CProjectFixture fine(finer);
    Rewrite(fine, [](samplegen::RecordData& record, int r) {
        for (size_t e = 0; e < record.elements.size(); ++e)
            record.elements[e].temperature += static_cast<float>(Field(static_cast<int>(e), r));
    });
    CProjectProfile first, second;
    Open(first, a);
    Open(second, fine);
    Message failure;
    EXPECT_FALSE(CComparison(first, second).Prepare(*first.Sheet(), Records, failure));
    CComparison comparison(first, second, CComparison::Follow, {ComparisonMode::ByPosition, 0.001});
    for (int record : {Records, 2}) {
        ASSERT_TRUE(first.GoToRecord(record));
        ASSERT_TRUE(second.GoToRecord(record));
        ASSERT_TRUE(comparison.Prepare(*first.Sheet(), record, failure)) << failure;
        std::vector<double> values;
        comparison.FillDifferences(*first.Sheet(), ResultQuantity::Temperature, values);
        EXPECT_EQ(comparison.BeyondNodes(), 0);
        const std::vector<double> mine = NodalValues(*first.Sheet(), ResultQuantity::Temperature);
        const std::vector<double> theirs = NodalValues(*second.Sheet(), ResultQuantity::Temperature);
        for (int n = 1; n <= first.Sheet()->NodeCount(); ++n) {
            // The reference's node in the same place.
            int same = 0;
            for (int m = 1; m <= second.Sheet()->NodeCount(); ++m)
                if (Norm(second.Sheet()->CurrentCoordinate(m) - first.Sheet()->CurrentCoordinate(n)) < 1e-9)
                    same = m;
            ASSERT_NE(same, 0) << n;
            EXPECT_NEAR(values[static_cast<size_t>(n)],
                        mine[static_cast<size_t>(n)] - theirs[static_cast<size_t>(same)], 1e-9)
                << record << " " << n;
            EXPECT_NEAR(comparison.ReferenceNodeValue(*first.Sheet(), n, ResultQuantity::Temperature),
                        theirs[static_cast<size_t>(same)], 1e-9);
        }
    }
}

// Nodes of an L farther than the maximum distance from the strip it is
// compared with have no value, and are counted.
TEST_F(ComparisonTest, ByPositionLeavesNodesBeyondTheMaximumDistanceWithoutValue) {
    FixtureOptions shape = options;
    shape.sheet = FixtureSheet::LShape;
    CProjectFixture l(shape);
    CProjectProfile first, second;
    Open(first, l);
    Open(second, a);
    CComparison comparison(first, second, CComparison::Follow, {ComparisonMode::ByPosition, 0.005});
    Message failure;
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), Records, failure)) << failure;
    NodeColouring colouring;
    comparison.ColourDifferences(*first.Sheet(), ResultQuantity::Temperature, ScaleLimits(), colouring);
    int beyond = 0;
    for (int n = 1; n <= first.Sheet()->NodeCount(); ++n) {
        // The strip spans |y| <= 0.05 m, and the whole L in x.
        const bool far = std::fabs(first.Sheet()->CurrentCoordinate(n).y) > 0.055;
        beyond += far;
        EXPECT_EQ(std::isnan(colouring.values[static_cast<size_t>(n)]), far) << n;
        EXPECT_EQ(colouring.indices[static_cast<size_t>(n)] == ColourRamp::NoValue, far) << n;
        EXPECT_EQ(std::isnan(comparison.ReferenceNodeValue(*first.Sheet(), n, ResultQuantity::Temperature)),
                  far)
            << n;
    }
    // Two rows of 9 nodes below the strip, two of 5 above it.
    EXPECT_EQ(beyond, 28);
    EXPECT_EQ(comparison.BeyondNodes(), beyond);
}

// A reference of the view's mesh shares it: the same sheet as the full
// derivation, a mesh object of its own only where the file's mesh differs
// beyond its elements (then with the view's node lists), and nothing taken
// from a mesh of other elements.
TEST_F(ComparisonTest, ReferenceOnTheViewsMeshIsDerivedAsInFull) {
    CProjectProfile first;
    Open(first, a);
    const std::shared_ptr<const CSheetMesh>& view = first.Sheet()->SharedMesh();
    const auto onView = [&](const std::string& path, bool& sameElements) {
        return OpenSheetOnMesh(ReadRecordFile(path, 1, nullptr), view, sameElements);
    };
    const auto expectDerivedAsInFull = [](const CSheetProfile& fast, const std::string& path) {
        const std::unique_ptr<CSheetProfile> full = ReadSheet(path, 1, nullptr);
        ASSERT_TRUE(full);
        const BigArray<CElementDerived>& mine = fast.Derived().elements;
        ASSERT_EQ(mine.size(), full->Derived().elements.size());
        EXPECT_EQ(
            std::memcmp(mine.data(), full->Derived().elements.data(), mine.size() * sizeof(CElementDerived)),
            0);
        for (int node = 0; node <= full->NodeCount(); ++node) {
            const ElementIndexRange lists = fast.NodeElements(node), theirs = full->NodeElements(node);
            EXPECT_TRUE(std::equal(lists.begin(), lists.end(), theirs.begin(), theirs.end())) << node;
        }
        EXPECT_EQ(fast.BoundingBox(), full->BoundingBox());
        EXPECT_EQ(fast.MaxInitialThickness(), full->MaxInitialThickness());
    };
    bool sameElements = false;
    const std::unique_ptr<CSheetProfile> shared = onView(b.File("fixture.001"), sameElements);
    ASSERT_TRUE(shared && sameElements);
    EXPECT_EQ(shared->SharedMesh(), view);
    expectDerivedAsInFull(*shared, b.File("fixture.001"));

    // Another undeformed sheet on the same elements.
    samplegen::RecordData moved = b.Record(1);
    for (samplegen::Vec3& node : moved.reference)
        node.x *= 1.5;
    ASSERT_TRUE(samplegen::WriteRecordFile(b.File("moved.001"), moved));
    const std::unique_ptr<CSheetProfile> own = onView(b.File("moved.001"), sameElements);
    ASSERT_TRUE(own && sameElements);
    EXPECT_NE(own->SharedMesh(), view);
    EXPECT_EQ(own->Mesh().NodeElementLists(), view->NodeElementLists());
    expectDerivedAsInFull(*own, b.File("moved.001"));

    FixtureOptions mirrored = options;
    mirrored.sheet = FixtureSheet::MirroredGrid;
    CProjectFixture other(mirrored);
    const std::unique_ptr<CSheetProfile> apart = onView(other.File("fixture.001"), sameElements);
    ASSERT_TRUE(apart);
    EXPECT_FALSE(sameElements);
    EXPECT_NE(apart->Mesh().NodeElementLists(), view->NodeElementLists());
}

// The records of a project and those of a reference of the same mesh show
// on one mesh object, made once.
TEST_F(ComparisonTest, RecordsAndTheirReferenceShareOneMesh) {
    CProjectProfile first, second;
    Open(first, a);
    Open(second, b);
    const CSheetMesh* mesh = &first.Sheet()->Mesh();
    CComparison comparison(first, second);
    Message failure;
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), Records, failure)) << failure;
    EXPECT_EQ(&comparison.Reference()->Mesh(), mesh);
    ASSERT_TRUE(first.GoToRecord(1)) << messages.Texts();
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), 1, failure)) << failure;
    EXPECT_EQ(comparison.PreparedRecord(), 1);
    EXPECT_EQ(&first.Sheet()->Mesh(), mesh);
    EXPECT_EQ(&comparison.Reference()->Mesh(), mesh);
    // The reference project's own sheet has a mesh of its own, opened apart.
    EXPECT_NE(&second.Sheet()->Mesh(), mesh);
}

// A view steps on while the next reference record is read with its nodal
// values of the quantity shown; another quantity is taken afresh.
TEST_F(ComparisonTest, RecordsReadAheadCarryTheValuesOfTheirOwnRecordAndQuantity) {
    CProjectProfile first, second;
    Open(first, a);
    Open(second, b);
    CComparison comparison(first, second);
    comparison.SetReadAhead(true);
    Message failure;
    std::vector<double> values;
    const auto step = [&](int record, ResultQuantity quantity) {
        ASSERT_TRUE(first.GoToRecord(record));
        comparison.AwaitReadAhead();
        ASSERT_TRUE(comparison.Prepare(*first.Sheet(), record, failure)) << failure;
        NodeColouring colouring;
        comparison.ColourDifferences(*first.Sheet(), quantity, ScaleLimits(), colouring);
        comparison.FillDifferences(*first.Sheet(), quantity, values);
        const double scale = quantity == ResultQuantity::Thickness ? 1e-4 : 1;
        const std::vector<double> expected = Expected(record - 1, scale);
        ASSERT_EQ(values.size(), expected.size());
        for (size_t n = 1; n < expected.size(); ++n)
            EXPECT_NEAR(values[n], expected[n], 1e-4 * scale) << record << " " << n;
        EXPECT_NEAR(comparison.ReferenceNodeValue(*first.Sheet(), 1, quantity) + values[1],
                    NodalValues(*first.Sheet(), quantity)[1], 1e-4 * scale);
    };
    step(1, ResultQuantity::Temperature);
    step(2, ResultQuantity::Temperature);
    step(3, ResultQuantity::Thickness); // read ahead with the temperatures
    step(1, ResultQuantity::Thickness);
    step(2, ResultQuantity::Temperature);

    // The next record is read once the differences of one are coloured,
    // not while they are made.
    CComparison later(first, second);
    later.SetReadAhead(true);
    ASSERT_TRUE(later.Prepare(*first.Sheet(), 1, failure)) << failure;
    NodeColouring colouring;
    later.ColourDifferences(*first.Sheet(), ResultQuantity::Thickness, ScaleLimits(), colouring);
    later.AwaitReadAhead();
    ASSERT_EQ(std::remove(b.File("fixture.001").c_str()), 0);
    ASSERT_TRUE(later.Prepare(*first.Sheet(), 2, failure)) << failure;
    later.AwaitReadAhead();
    ASSERT_EQ(std::remove(b.File("fixture.002").c_str()), 0);
    EXPECT_FALSE(later.Prepare(*first.Sheet(), 3, failure));
    EXPECT_NE(MessageText(failure).find("fixture.002"), std::string::npos) << failure;
}

// The thread that prepares (the interface thread) never reads a reference
// record: the first one, one asked for out of turn, the next one read once
// the colours are made and one asked for ahead of a view's step are read by
// jobs. The step then only takes the record read for it.
TEST_F(ComparisonTest, ReferenceRecordsAreReadOffTheThreadThatPrepares) {
    CProjectProfile first, second;
    Open(first, a);
    Open(second, b);
    CComparison comparison(first, second);
    comparison.SetReadAhead(true);
    std::mutex mutex;
    std::vector<int> reads;
    std::vector<std::thread::id> readers;
    comparison.SetReadObserver([&](int record) {
        const std::lock_guard<std::mutex> lock(mutex);
        reads.push_back(record);
        readers.push_back(std::this_thread::get_id());
    });
    Message failure;
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), Records, failure)) << failure;
    ASSERT_TRUE(first.GoToRecord(1));
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), 1, failure)) << failure;
    NodeColouring colouring;
    comparison.ColourDifferences(*first.Sheet(), ResultQuantity::Temperature, ScaleLimits(), colouring);
    comparison.ReadAheadFor(3, ResultQuantity::Temperature);
    comparison.AwaitReadAhead();
    ASSERT_TRUE(first.GoToRecord(3));
    ASSERT_TRUE(comparison.Prepare(*first.Sheet(), 3, failure)) << failure;
    std::vector<double> values;
    comparison.FillDifferences(*first.Sheet(), ResultQuantity::Temperature, values);
    EXPECT_NEAR(values[1], Expected(2, 1)[1], 1e-4);
    const std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(reads, (std::vector<int>{Records, 1, 2, 3}));
    for (const std::thread::id& reader : readers)
        EXPECT_NE(reader, std::this_thread::get_id());
}

TEST(DifferenceScale, DivergingRampAndIndicesRoundAsThePlainScale) {
    const ColourRamp& ramp = CComparison::Ramp();
    const auto rgb = [&](int i) {
        const RgbColour c = ramp.Entry(i);
        return std::vector<int>{c.red, c.green, c.blue};
    };
    EXPECT_EQ(rgb(0), (std::vector<int>{15, 15, 255}));
    EXPECT_EQ(rgb(15), (std::vector<int>{240, 240, 255}));
    EXPECT_EQ(rgb(16), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(rgb(17), (std::vector<int>{255, 240, 240}));
    EXPECT_EQ(rgb(32), (std::vector<int>{255, 15, 15}));
    // 32 t = 15.5 gives 16; beyond the limits clamps; no width is white.
    EXPECT_EQ(DifferenceColourIndex(-0.5 / 32, -1, 1), 16);
    EXPECT_EQ(DifferenceColourIndex(-1.0 / 32 - 1e-9, -1, 1), 15);
    EXPECT_EQ(DifferenceColourIndex(-4, -1, 1), 0);
    EXPECT_EQ(DifferenceColourIndex(4, -1, 1), 32);
    EXPECT_EQ(DifferenceColourIndex(0, -0.0, 0.0), 16);
}

// A difference that is not a number is grey, never the white of "no
// difference", whatever its sign; nor does an infinite one widen the
// automatic limits.
TEST(DifferenceScale, DifferencesThatAreNotNumbersAreGrey) {
    for (const double difference : {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL})
        for (const auto& limits : {std::make_pair(-1.0, 1.0), std::make_pair(0.0, 0.0)})
            EXPECT_EQ(DifferenceColourIndex(difference, limits.first, limits.second), ColourRamp::NoValue)
                << difference;
    const ScaleRange range = DifferenceRange({std::nan(""), 0.5, -HUGE_VAL, -2, std::nan("")},
                                             ResultQuantity::Temperature, ScaleLimits());
    EXPECT_EQ(std::make_pair(range.minimum, range.maximum), std::make_pair(-2.0, 2.0));
}

// White stays at 0 whatever the limits: two halves, blue at the minimum to
// white at 0 and white to red at the maximum, and the five labels stand
// beside the colours of their values. A limit on the wrong side of 0 leaves
// its half without width.
TEST(DifferenceScale, UnevenLimitsKeepWhiteAtZeroAndTheLabelsBesideTheirColours) {
    EXPECT_EQ(DifferenceColourIndex(0, -0.5, 1), 16);
    EXPECT_EQ(DifferenceColourIndex(-0.5, -0.5, 1), 0);
    EXPECT_EQ(DifferenceColourIndex(-0.25, -0.5, 1), 8);
    EXPECT_EQ(DifferenceColourIndex(0.5, -0.5, 1), 24);
    EXPECT_EQ(DifferenceColourIndex(1, -0.5, 1), 32);
    EXPECT_EQ(DifferenceColourIndex(-3, -0.5, 1), 0);
    EXPECT_EQ(DifferenceColourIndex(3, -0.5, 1), 32);
    EXPECT_EQ(DifferenceColourIndex(0, 0.2, 1), 16);
    EXPECT_EQ(DifferenceColourIndex(-0.1, 0.2, 1), 0);
    EXPECT_EQ(DifferenceColourIndex(0.5, 0.2, 1), 24);
    EXPECT_EQ(DifferenceColourIndex(0.1, -1, -0.2), 32);

    CConfiguration si("");
    const std::array<std::string, ScaleLabelCount> texts =
        DifferenceLabelTexts(ResultQuantity::Temperature, -1, 2, si);
    const std::array<const char*, ScaleLabelCount> expected = {"   2.0", "   1.0", "   0.0", "  -0.5",
                                                               "  -1.0"};
    // The bar's ticks, top to bottom, stand at bands 32, 24, 16, 8 and 0.
    const std::array<double, ScaleLabelCount> values = DifferenceLabelValues(-1, 2);
    for (size_t k = 0; k < texts.size(); ++k) {
        EXPECT_EQ(texts[k], FormatText("%s %s", expected[k], units::Celsius)) << k;
        EXPECT_EQ(DifferenceColourIndex(values[k], -1, 2), 32 - 8 * static_cast<int>(k)) << k;
    }
    CConfiguration us("");
    us.SetSIMetric(false);
    EXPECT_EQ(DifferenceLabelTexts(ResultQuantity::Thickness, -0.011 * 0.0254, 0.001, us)[4], "-0.011 inch");
}

} // namespace
