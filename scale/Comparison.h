// The difference of two variants: a view's sheet against a reference record
// of another project, or of its own, node by node, on a diverging scale.
#pragma once

#include "core/Messages.h"
#include "core/Parallel.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"
#include "scale/ColourRamp.h"
#include "scale/ScaleLabels.h"
#include "scale/ScaleLimits.h"
#include "scale/ScaleRange.h"
#include "scale/SheetColouring.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CProjectProfile;
class CSheetMesh;
class CSheetProfile;
struct Presentation;

// Empty when both sheets have the same node and element counts and every
// element the same three nodes (their states may differ); otherwise the
// message of what differs, e.g. "The meshes differ: 1200 nodes against 1180.".
Message MeshMismatch(const CSheetProfile& sheet, const CSheetProfile& reference);

// The colour index of a difference on the diverging ramp, white (16) at 0
// whatever the limits: two halves, blue (0) at the minimum to white at 0
// and white to red (32) at the maximum, each rounded and clamped as
// RawColourIndex and ClampColourIndex do over the range symmetric to its
// limit, so that symmetric limits give the plain scale's indices. A limit
// on the wrong side of 0 counts as 0: its half has no width, and
// differences on that side take its end colour. A difference that is not
// a finite number has ColourRamp::NoValue.
constexpr int DifferenceCentreIndex = ColourRamp::LastIndex / 2;
int DifferenceColourIndex(double difference, double minimum, double maximum);
// The values beside the five ticks of the bar, where their colours are:
// the maximum, half of it, 0, half the minimum and the minimum (limits on
// the wrong side of 0 counting as 0).
std::array<double, ScaleLabelCount> DifferenceLabelValues(double minimum, double maximum);

// A difference of stored values in the units the user sees: a temperature
// difference in Fahrenheit is 1.8 times the one in Celsius, with no offset.
double DifferenceToDisplay(ResultQuantity quantity, double difference, const CConfiguration& configuration);
// The scale label of a difference, as ScaleValueText writes a value.
std::string DifferenceValueText(ResultQuantity quantity, double difference,
                                const CConfiguration& configuration);
std::array<std::string, ScaleLabelCount> DifferenceLabelTexts(ResultQuantity quantity, double minimum,
                                                              double maximum,
                                                              const CConfiguration& configuration);

// The limits of differences: the fixed pair in fixed mode, otherwise
// symmetric around 0, +-max |difference| over the finite numbers among
// values (index 0 is no node), which is (0, 0) without any.
ScaleRange DifferenceRange(const std::vector<double>& values, ResultQuantity quantity,
                           const ScaleLimits& limits);

// How the reference's values meet the nodes of the view's sheet.
enum class ComparisonMode {
    MatchNodes, // node by node: both sheets must have the same mesh
    // Each node takes the reference's value at its closest point on the
    // reference sheet (with its mirror images), for meshes that differ.
    ByPosition,
};
struct ComparisonRule {
    ComparisonMode mode = ComparisonMode::MatchNodes;
    // By position: a node farther than this from the reference sheet has no
    // reference value (metres).
    double maxDistance = kDefaultMaxDistance;
};

// One side of a comparison, as it stands when the comparison starts.
struct ComparisonSide {
    std::string projectPath;
    std::string title;        // the project's name as shown, "cup.tfc" or "v1/cup.tfc"
    std::string recordPrefix; // a record file's name up to its number
    int recordCount = 0;
};
ComparisonSide ComparisonSideOf(const CProjectProfile& project);

class CComparison {
public:
    // The reference record follows the view's record (the last of the
    // reference when it has fewer), or stays at a fixed record.
    static constexpr int Follow = 0;

    // Holds no pointer to either project: the reference's records are read
    // into a sheet of the comparison's own, and closing a project leaves it
    // whole. The reference project's first contact, when it has been
    // computed, goes with them.
    CComparison(ComparisonSide shown, ComparisonSide reference, int referenceRecord = Follow,
                ComparisonRule rule = {});
    CComparison(const CProjectProfile& shown, const CProjectProfile& reference, int referenceRecord = Follow,
                ComparisonRule rule = {});
    ~CComparison();
    CComparison(const CComparison&) = delete;
    CComparison& operator=(const CComparison&) = delete;

    // The sides' names change as the open projects do. Two projects of one
    // name keep the folders that tell them apart.
    void SetTitles(const std::string& shownTitle, const std::string& referenceTitle);
    // The reference project's first contact, computed after the comparison
    // started: the reference sheet takes it, and what was read ahead or
    // computed without it goes.
    void SetReferenceFirstContact(std::shared_ptr<const FirstContactRecords> records);

    const ComparisonSide& Shown() const { return shown; }
    const ComparisonSide& ReferenceSide() const { return referenceSide; }
    // Follow, or the fixed 1-based record.
    int ReferenceSetting() const { return referenceRecord; }
    bool SameProject() const;
    const ComparisonRule& Rule() const { return rule; }
    bool ByPosition() const { return rule.mode == ComparisonMode::ByPosition; }
    // The reference's record compared with the view's record.
    int ReferenceRecord(int viewRecord) const;

    // Makes the reference sheet hold ReferenceRecord(viewRecord), reading it
    // only when that record changed, and checks its mesh against sheet.
    // False, with the message in failure, when the record cannot be read or
    // the meshes differ (when it matches nodes). Safe to call from several threads. Records are read
    // by jobs, never on the calling thread (the interface thread): a record
    // not read ahead is waited for.
    bool Prepare(const CSheetProfile& sheet, int viewRecord, Message& failure);
    // Starts reading the reference record for viewRecord ahead, with its
    // nodal values of quantity, as a view about to show viewRecord asks (the
    // load of a navigation command); waits only for a record read ahead for
    // another step. Nothing before the first Prepare.
    void ReadAheadFor(int viewRecord, ResultQuantity quantity);
    // A following reference that reads ahead reads the record after the one
    // it prepared (after the last, the first) on another thread, as the
    // animation and "next record" ask for it; a view's comparison does, a
    // single answer needs not. The reading starts once the differences of
    // the prepared record are coloured (or filled, for a quantity without
    // colours): it takes the time the view shows them, not the time it
    // takes to build them.
    void SetReadAhead(bool on) { readsAhead = on; }
    // Waits for the record read ahead, as the time a view shows its record
    // gives it.
    void AwaitReadAhead();
    // The reference sheet as last prepared; null before.
    const CSheetProfile* Reference() const { return reference.get(); }
    int PreparedRecord() const { return preparedRecord; }
    // Called on the reading job with each reference record it is about to
    // read, for the tests; set it before the first Prepare.
    void SetReadObserver(std::function<void(int record)> observer) { readObserver = std::move(observer); }

    // Per node (index 0 is no node), value(sheet) - value(reference) of the
    // quantity's nodal values (by position: the reference's value at the
    // node's closest point); NaN where either has none. Needs Prepare.
    void FillDifferences(const CSheetProfile& sheet, ResultQuantity quantity, std::vector<double>& values);
    // DifferenceRange of those values, without a copy of them.
    ScaleRange DifferenceLimits(const CSheetProfile& sheet, ResultQuantity quantity,
                                const ScaleLimits& limits);
    // By position: the nodes of the last differences that are farther than
    // the maximum distance from the reference sheet, and so have no value;
    // 0 when matching nodes.
    int BeyondNodes() const { return beyondNodes; }
    // The differences of the nodes with their colour indices and the limits
    // they span, as ColourNodes gives the plain values.
    void ColourDifferences(const CSheetProfile& sheet, ResultQuantity quantity, const ScaleLimits& limits,
                           NodeColouring& colouring);
    // The difference of the quantity in an element (0-based index).
    double ElementDifference(const CSheetProfile& sheet, int element, ResultQuantity quantity) const;
    // The reference's value of the quantity at a node and in an element of
    // sheet: by position, its value at the node's closest point and that of
    // its element nearest to the element's centre; NaN beyond the maximum
    // distance.
    double ReferenceNodeValue(const CSheetProfile& sheet, int node, ResultQuantity quantity);
    double ReferenceElementValue(const CSheetProfile& sheet, int element, ResultQuantity quantity) const;

    // "Δ Thickness (b.tfc − a.tfc)"; with records named when both sides are
    // one project: "Δ Thickness (cup.tfc Rec. 15 − cup.tfc Rec. 3)"; by
    // position "Δ Thickness by position (b.tfc − a.tfc)".
    std::string ScaleTitle(ResultQuantity quantity, int viewRecord) const;
    // "b.tfc − a.tfc", or with the records of one project.
    std::string Names(int viewRecord) const;

    // The data tip's three lines of a compared node or element of the
    // quantity shown: this side's value, the reference's and their
    // difference, each in the quantity's tip format and the presentation's
    // unit, as "cup.tfc:  1.234 mm", "other.tfc:  1.100 mm", "Δ Thickness:
    // 0.134 mm" (records named as in Names; "Δ Thickness by position:" by
    // position).
    std::array<std::string, 3> TipLines(const Presentation& presented, double value, double referenceValue,
                                        int viewRecord, const CConfiguration& configuration) const;

    // Blue below 0, white at the centre, red above.
    static const ColourRamp& Ramp();

private:
    struct RecordRead {
        std::unique_ptr<CSheetProfile> values;
        Message failure;
        bool meshChecked = false; // found to be the view's mesh
        // The record's nodal values of the quantity, or none.
        std::vector<double> nodalValues;
        std::optional<ResultQuantity> nodalQuantity;
        // By position: the search over the record's sheet.
        std::unique_ptr<CSurfaceSearch> search;
    };
    // Reads a record of the reference: prepared on referenceMesh, the
    // reference sheet's, when given (see PrepareRecord), with its nodal
    // values of quantity when there is one; otherwise the first record,
    // on viewMesh (the view's sheet's) as far as it is that mesh.
    RecordRead ReadRecord(int record, const std::shared_ptr<const CSheetMesh>& viewMesh,
                          const std::shared_ptr<const CSheetMesh>& referenceMesh,
                          std::optional<ResultQuantity> quantity,
                          std::shared_ptr<const FirstContactRecords> firstContact) const;
    // The differences of FillDifferences, kept in shownValues. Called with
    // the mutex held.
    const std::vector<double>& Differences(const CSheetProfile& sheet, ResultQuantity quantity);
    // Two projects shown under one name get the folders that tell them apart.
    void TellApart();
    // The reference's nodal values of the quantity, kept while its record
    // and the quantity stay.
    const std::vector<double>& ReferenceNodalValues(ResultQuantity quantity);
    // Starts reading ahead, with the nodal values of quantity (if any),
    // unless it need not or has already started. Called with the
    // mutex held.
    void StartReadAhead(std::optional<ResultQuantity> quantity);
    // Starts a job reading record as ReadRecord does.
    parallel::Job<RecordRead> StartRead(int record, std::shared_ptr<const CSheetMesh> viewMesh,
                                        std::shared_ptr<const CSheetMesh> referenceMesh,
                                        std::optional<ResultQuantity> quantity) const;

    // "Δ Thickness", or "Δ Thickness by position".
    std::string DeltaName(ResultQuantity quantity) const;

    ComparisonSide shown;
    ComparisonSide referenceSide;
    int referenceRecord;
    ComparisonRule rule;
    std::mutex mutex;
    std::unique_ptr<CSheetProfile> reference;
    std::unique_ptr<CSurfaceSearch> search; // by position: over the reference sheet
    std::shared_ptr<const FirstContactRecords> referenceFirstContact;
    int preparedRecord = 0;
    bool meshChecked = false;
    std::vector<double> referenceValues;
    uint64_t referenceValuesGeneration = 0;
    std::optional<ResultQuantity> referenceValuesQuantity;
    // The last differences, kept while neither side's values nor the
    // quantity change.
    std::vector<double> shownValues;
    uint64_t shownGeneration = 0, shownReferenceGeneration = 0;
    std::optional<ResultQuantity> shownQuantity;
    int beyondNodes = 0;
    std::function<void(int)> readObserver;
    // The record read ahead; after reference and the observer, which it
    // uses, so that it is waited for before they go.
    parallel::Job<RecordRead> ahead;
    int aheadRecord = 0;
    bool readsAhead = false;
};

} // namespace quillmere
