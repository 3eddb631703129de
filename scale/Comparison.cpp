#include "scale/Comparison.h"

#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "model/SheetReading.h"
#include "scale/ByPosition.h"
#include "scale/NodalValues.h"
#include "scale/Presentation.h"
#include "scale/ResultQuantity.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace quillmere {

namespace {

constexpr size_t NodeGrain = 16384;
constexpr const char* Minus = "\xe2\x88\x92"; // U+2212

std::string RecordName(const std::string& title, int record) {
    return FormatText("%s Rec. %d", title.c_str(), record);
}

} // namespace

Message MeshMismatch(const CSheetProfile& sheet, const CSheetProfile& reference) {
    const bool nodes = sheet.NodeCount() != reference.NodeCount();
    const bool elements = sheet.ElementCount() != reference.ElementCount();
    if (nodes && elements)
        return Message(MessageId::MeshCountsDiffer, sheet.NodeCount(), reference.NodeCount(),
                       sheet.ElementCount(), reference.ElementCount());
    if (nodes)
        return Message(MessageId::MeshNodesDiffer, sheet.NodeCount(), reference.NodeCount());
    if (elements)
        return Message(MessageId::MeshElementsDiffer, sheet.ElementCount(), reference.ElementCount());
    const CSheetMesh& mine = sheet.Mesh();
    const CSheetMesh& theirs = reference.Mesh();
    if (&mine == &theirs ||
        mine.HasElementNodes(theirs.NodeArray(), static_cast<size_t>(theirs.ElementCount())))
        return Message();
    for (size_t i = 0; i < static_cast<size_t>(mine.ElementCount()); ++i) {
        const ElementNodes& a = mine.Nodes(i);
        const ElementNodes& b = theirs.Nodes(i);
        if (a != b)
            return Message(MessageId::MeshElementNodesDiffer, static_cast<int>(i), a[0], a[1], a[2], b[0],
                           b[1], b[2]);
    }
    return Message();
}

int DifferenceColourIndex(double difference, double minimum, double maximum) {
    if (!std::isfinite(difference))
        return ColourRamp::NoValue;
    if (difference == 0)
        return DifferenceCentreIndex;
    // The size of the limit on the difference's side of 0.
    const double limit = difference < 0 ? -std::min(minimum, 0.0) : std::max(maximum, 0.0);
    if (!(limit > 0))
        return difference < 0 ? 0 : ColourRamp::LastIndex;
    return ClampColourIndex(RawColourIndex(difference, -limit, limit));
}

std::array<double, ScaleLabelCount> DifferenceLabelValues(double minimum, double maximum) {
    const double low = std::min(minimum, 0.0), high = std::max(maximum, 0.0);
    return {high, high * 0.5, 0.0, low * 0.5, low};
}

double DifferenceToDisplay(ResultQuantity quantity, double difference, const CConfiguration& configuration) {
    return QuantityToDisplay(quantity, difference, configuration) -
           QuantityToDisplay(quantity, 0, configuration);
}

std::string DifferenceValueText(ResultQuantity quantity, double difference,
                                const CConfiguration& configuration) {
    const char* number = QuantityOf(quantity).In(configuration).scaleNumber;
    if (!number || !std::isfinite(difference))
        return std::string();
    return FormatNumber(number, DifferenceToDisplay(quantity, difference, configuration)) +
           QuantityUnitSuffix(quantity, configuration);
}

std::array<std::string, ScaleLabelCount> DifferenceLabelTexts(ResultQuantity quantity, double minimum,
                                                              double maximum,
                                                              const CConfiguration& configuration) {
    const std::array<double, ScaleLabelCount> values = DifferenceLabelValues(minimum, maximum);
    std::array<std::string, ScaleLabelCount> texts;
    for (size_t k = 0; k < texts.size(); ++k)
        texts[k] = DifferenceValueText(quantity, values[k], configuration);
    return texts;
}

ScaleRange DifferenceRange(const std::vector<double>& values, ResultQuantity quantity,
                           const ScaleLimits& limits) {
    if (limits.IsFixed(quantity))
        return {limits.FixedMinimum(quantity), limits.FixedMaximum(quantity)};
    if (values.size() < 2)
        return {0, 0};
    // NaN fails the comparison; infinities are left out too.
    const double largest = parallel::ReduceBlocks(
        values.size() - 1, NodeGrain, 0.0,
        [&values](size_t first, size_t last) {
            double part = 0;
            for (size_t node = first + 1; node <= last; ++node)
                if (std::fabs(values[node]) > part && std::isfinite(values[node]))
                    part = std::fabs(values[node]);
            return part;
        },
        [](double a, double b) { return std::max(a, b); });
    return {-largest, largest};
}

ComparisonSide ComparisonSideOf(const CProjectProfile& project) {
    ComparisonSide side;
    side.projectPath = project.ProjectPathName();
    side.title = project.DisplayName();
    const std::string first = project.RecordFileName(0);
    side.recordPrefix = first.substr(0, first.size() - 3);
    side.recordCount = project.RecordCount();
    return side;
}

CComparison::CComparison(ComparisonSide shownSide, ComparisonSide referenceOf, int record, ComparisonRule how)
    : shown(std::move(shownSide)), referenceSide(std::move(referenceOf)), referenceRecord(record), rule(how) {
    TellApart();
}

CComparison::CComparison(const CProjectProfile& shownProject, const CProjectProfile& referenceProject,
                         int record, ComparisonRule how)
    : CComparison(ComparisonSideOf(shownProject), ComparisonSideOf(referenceProject), record, how) {
    if (const CSheetProfile* sheet = referenceProject.Sheet())
        referenceFirstContact = sheet->FirstContact();
}

CComparison::~CComparison() = default;

void CComparison::SetTitles(const std::string& shownTitle, const std::string& referenceTitle) {
    shown.title = shownTitle;
    referenceSide.title = referenceTitle;
    TellApart();
}

void CComparison::SetReferenceFirstContact(std::shared_ptr<const FirstContactRecords> records) {
    std::lock_guard<std::mutex> lock(mutex);
    referenceFirstContact = records;
    if (ahead.Valid())
        ahead.Take(); // read without it
    if (reference)
        reference->SetFirstContact(std::move(records));
    referenceValuesQuantity.reset();
    shownQuantity.reset();
}

void CComparison::TellApart() {
    if (SameProject() || shown.title != referenceSide.title)
        return;
    // Relative paths (as typed for the batch tool) are told apart by their
    // folders too.
    const auto absolute = [](const std::string& path) {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(path, error);
        return error ? path : full.lexically_normal().string();
    };
    const std::vector<std::string> names =
        DisplayNames({absolute(shown.projectPath), absolute(referenceSide.projectPath)});
    shown.title = names[0];
    referenceSide.title = names[1];
}

bool CComparison::SameProject() const {
    return shown.projectPath == referenceSide.projectPath;
}

int CComparison::ReferenceRecord(int viewRecord) const {
    const int record = referenceRecord == Follow ? viewRecord : referenceRecord;
    return std::clamp(record, 1, std::max(referenceSide.recordCount, 1));
}

CComparison::RecordRead
CComparison::ReadRecord(int record, const std::shared_ptr<const CSheetMesh>& viewMesh,
                        const std::shared_ptr<const CSheetMesh>& referenceMesh,
                        std::optional<ResultQuantity> quantity,
                        std::shared_ptr<const FirstContactRecords> firstContact) const {
    RecordRead read;
    const std::string name = referenceSide.recordPrefix + FormatText("%03d", record - 1);
    const std::string found = FindExistingFile(name, "");
    if (found.empty()) {
        read.failure = Message(MessageId::UnableToReadFrom, name);
        return read;
    }
    CRecordData data = ReadRecordFile(found, record - 1, nullptr);
    if (data.error.fault == RecordFault::CannotOpen) {
        read.failure = Message(MessageId::UnableToReadFrom, name);
    } else if (data.error) {
        read.failure = Message(MessageId::UnusableRecord, found, RecordErrorMessage(data.error));
    } else if (!referenceMesh) {
        // The first record read shares the view's mesh, or at least its node
        // lists, when it has that mesh, as it must to be compared; otherwise
        // it has a mesh of its own and the meshes' check names what differs.
        read.values = viewMesh ? OpenSheetOnMesh(std::move(data), viewMesh, read.meshChecked)
                               : OpenSheet(std::move(data));
    } else if (!(read.values = PrepareRecord(referenceMesh, std::move(data)))) {
        // Later records take the first one's mesh and undeformed sheet, as
        // the project's own records do.
        read.failure = Message(MessageId::UnusableRecord, found, MessageId::RecordNotProjectMesh);
    }
    // The project's first contact goes with every record of it.
    if (read.values)
        read.values->SetFirstContact(std::move(firstContact));
    if (read.values && referenceMesh && quantity) {
        // A record read ahead has the time to take its nodal values too, for
        // the quantity shown while it was read.
        FillNodalValues(*read.values, *quantity, read.nodalValues);
        read.nodalQuantity = quantity;
    }
    // The search over the reference's sheet is built with its record, off
    // the interface thread.
    if (read.values && ByPosition())
        read.search = std::make_unique<CSurfaceSearch>(*read.values, SheetImages::Mirrored);
    return read;
}

bool CComparison::Prepare(const CSheetProfile& sheet, int viewRecord, Message& failure) {
    std::lock_guard<std::mutex> lock(mutex);
    const int record = ReferenceRecord(viewRecord);
    if (!reference || record != preparedRecord) {
        RecordRead read;
        if (ahead.Valid()) {
            const bool wanted = aheadRecord == record;
            RecordRead early = ahead.Take();
            if (wanted)
                read = std::move(early);
        }
        if (!read.values && !read.failure)
            read = StartRead(record, reference ? nullptr : sheet.SharedMesh(),
                             reference ? reference->SharedMesh() : nullptr, std::nullopt)
                       .Take();
        if (!read.values) {
            failure = read.failure;
            return false;
        }
        if (!reference)
            reference = std::move(read.values);
        else
            reference->SwapRecordValues(*read.values);
        if (read.nodalQuantity) {
            referenceValues.swap(read.nodalValues);
            referenceValuesQuantity = read.nodalQuantity;
            referenceValuesGeneration = reference->ValuesGeneration();
        }
        if (read.search)
            search = std::move(read.search);
        preparedRecord = record;
        meshChecked = meshChecked || read.meshChecked;
    }
    if (!meshChecked && !ByPosition()) {
        failure = MeshMismatch(sheet, *reference);
        if (failure)
            return false;
        meshChecked = true;
    }
    return true;
}

parallel::Job<CComparison::RecordRead> CComparison::StartRead(int record,
                                                              std::shared_ptr<const CSheetMesh> viewMesh,
                                                              std::shared_ptr<const CSheetMesh> referenceMesh,
                                                              std::optional<ResultQuantity> quantity) const {
    // Taken now: it may be given later on the calling thread.
    std::shared_ptr<const FirstContactRecords> firstContact = referenceFirstContact;
    return parallel::StartJob([this, record, viewMesh, referenceMesh, quantity, firstContact] {
        if (readObserver)
            readObserver(record);
        return ReadRecord(record, viewMesh, referenceMesh, quantity, firstContact);
    });
}

void CComparison::StartReadAhead(std::optional<ResultQuantity> quantity) {
    if (!readsAhead || referenceRecord != Follow || referenceSide.recordCount < 2 || !reference ||
        ahead.Valid())
        return;
    aheadRecord = preparedRecord % referenceSide.recordCount + 1;
    ahead = StartRead(aheadRecord, nullptr, reference->SharedMesh(), quantity);
}

void CComparison::ReadAheadFor(int viewRecord, ResultQuantity quantity) {
    std::lock_guard<std::mutex> lock(mutex);
    const int record = ReferenceRecord(viewRecord);
    if (!reference || record == preparedRecord || (ahead.Valid() && aheadRecord == record))
        return;
    if (ahead.Valid())
        ahead.Take(); // read for a step that does not come
    aheadRecord = record;
    ahead = StartRead(record, nullptr, reference->SharedMesh(), quantity);
}

void CComparison::AwaitReadAhead() {
    std::lock_guard<std::mutex> lock(mutex);
    ahead.Wait();
}

const std::vector<double>& CComparison::ReferenceNodalValues(ResultQuantity quantity) {
    if (referenceValuesQuantity != quantity || referenceValuesGeneration != reference->ValuesGeneration()) {
        FillNodalValues(*reference, quantity, referenceValues);
        referenceValuesQuantity = quantity;
        referenceValuesGeneration = reference->ValuesGeneration();
    }
    return referenceValues;
}

const std::vector<double>& CComparison::Differences(const CSheetProfile& sheet, ResultQuantity quantity) {
    if (!reference) {
        shownValues.assign(static_cast<size_t>(sheet.NodeCount()) + 1,
                           std::numeric_limits<double>::quiet_NaN());
        shownQuantity.reset();
        return shownValues;
    }
    // Nothing is coloured after the differences of a quantity without any.
    if (quantity == ResultQuantity::None)
        StartReadAhead(std::nullopt);
    // The limits and the colours of one record ask for the same values.
    if (shownQuantity == quantity && shownGeneration == sheet.ValuesGeneration() &&
        shownReferenceGeneration == reference->ValuesGeneration())
        return shownValues;
    const std::vector<double>* theirs = nullptr;
    parallel::Both([&] { theirs = &ReferenceNodalValues(quantity); },
                   [&] { FillNodalValues(sheet, quantity, shownValues); });
    ByPositionValues sampled;
    if (ByPosition()) {
        sampled = SampleByPosition(sheet, *reference, *search, *theirs, rule.maxDistance);
        theirs = &sampled.values;
    }
    beyondNodes = sampled.beyond;
    const size_t size = std::min(shownValues.size(), theirs->size());
    double* out = shownValues.data();
    const double* minus = theirs->data();
    parallel::ForBlocks(size, NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first; node < last; ++node)
            out[node] -= minus[node];
    });
    shownQuantity = quantity;
    shownGeneration = sheet.ValuesGeneration();
    shownReferenceGeneration = reference->ValuesGeneration();
    return shownValues;
}

void CComparison::FillDifferences(const CSheetProfile& sheet, ResultQuantity quantity,
                                  std::vector<double>& values) {
    std::lock_guard<std::mutex> lock(mutex);
    values = Differences(sheet, quantity);
}

ScaleRange CComparison::DifferenceLimits(const CSheetProfile& sheet, ResultQuantity quantity,
                                         const ScaleLimits& limits) {
    std::lock_guard<std::mutex> lock(mutex);
    return DifferenceRange(Differences(sheet, quantity), quantity, limits);
}

void CComparison::ColourDifferences(const CSheetProfile& sheet, ResultQuantity quantity,
                                    const ScaleLimits& limits, NodeColouring& colouring) {
    FillDifferences(sheet, quantity, colouring.values);
    const ScaleRange range = DifferenceRange(colouring.values, quantity, limits);
    colouring.minimum = range.minimum;
    colouring.maximum = range.maximum;
    const size_t size = colouring.values.size();
    colouring.indices.resize(size);
    if (size == 0)
        return;
    colouring.indices[0] = 0;
    const double* values = colouring.values.data();
    uint8_t* indices = colouring.indices.data();
    parallel::ForBlocks(size - 1, NodeGrain, [&](size_t first, size_t last) {
        for (size_t node = first + 1; node <= last; ++node)
            indices[node] =
                static_cast<uint8_t>(DifferenceColourIndex(values[node], range.minimum, range.maximum));
    });
    std::lock_guard<std::mutex> lock(mutex);
    StartReadAhead(quantity);
}

double CComparison::ReferenceElementValue(const CSheetProfile& sheet, int element,
                                          ResultQuantity quantity) const {
    if (!ByPosition())
        return ElementValue(*reference, static_cast<size_t>(element), quantity);
    if (element < 0 || element >= sheet.ElementCount())
        return std::numeric_limits<double>::quiet_NaN();
    const ElementNodes& corners = sheet.Mesh().Nodes(static_cast<size_t>(element));
    const CCoordinate centre = (sheet.CurrentCoordinate(corners[0]) + sheet.CurrentCoordinate(corners[1]) +
                                sheet.CurrentCoordinate(corners[2])) *
                               (1.0 / 3);
    const SurfacePoint found = search->Closest(centre);
    if (!found.Found() || !(std::fabs(found.distance) <= rule.maxDistance))
        return std::numeric_limits<double>::quiet_NaN();
    return ElementValue(*reference, static_cast<size_t>(found.element), quantity);
}

double CComparison::ElementDifference(const CSheetProfile& sheet, int element,
                                      ResultQuantity quantity) const {
    return ElementValue(sheet, static_cast<size_t>(element), quantity) -
           ReferenceElementValue(sheet, element, quantity);
}

double CComparison::ReferenceNodeValue(const CSheetProfile& sheet, int node, ResultQuantity quantity) {
    std::lock_guard<std::mutex> lock(mutex);
    const std::vector<double>& values = ReferenceNodalValues(quantity);
    const double none = std::numeric_limits<double>::quiet_NaN();
    if (ByPosition())
        return node >= 1 && node <= sheet.NodeCount()
                   ? ValueByPosition(*reference, *search, values, sheet.CurrentCoordinate(node),
                                     rule.maxDistance)
                   : none;
    return node >= 1 && static_cast<size_t>(node) < values.size() ? values[static_cast<size_t>(node)] : none;
}

std::string CComparison::Names(int viewRecord) const {
    const int record = ReferenceRecord(viewRecord);
    if (SameProject())
        return RecordName(shown.title, viewRecord) + " " + Minus + " " +
               RecordName(referenceSide.title, record);
    return shown.title + " " + Minus + " " +
           (record == viewRecord ? referenceSide.title : RecordName(referenceSide.title, record));
}

std::string CComparison::DeltaName(ResultQuantity quantity) const {
    return std::string("\xce\x94 ") + QuantityName(quantity) + (ByPosition() ? " by position" : "");
}

std::string CComparison::ScaleTitle(ResultQuantity quantity, int viewRecord) const {
    return DeltaName(quantity) + " (" + Names(viewRecord) + ")";
}

std::array<std::string, 3> CComparison::TipLines(const Presentation& presented, double value,
                                                 double referenceValue, int viewRecord,
                                                 const CConfiguration& configuration) const {
    const ResultQuantity quantity = presented.quantity;
    const QuantityInfo& info = QuantityOf(quantity);
    // Von Mises stress has no tip line of its own: its scale's format.
    const char* number = info.tipNumber ? info.tipNumber : info.In(configuration).scaleNumber;
    const auto text = [&](double display) {
        return FormatNumber(number ? number : "%g", display) + presented.valueUnit;
    };
    const int record = ReferenceRecord(viewRecord);
    const bool named = SameProject() || record != viewRecord;
    return {(SameProject() ? RecordName(shown.title, viewRecord) : shown.title) + ": " +
                text(QuantityToDisplay(quantity, value, configuration)),
            (named ? RecordName(referenceSide.title, record) : referenceSide.title) + ": " +
                text(QuantityToDisplay(quantity, referenceValue, configuration)),
            DeltaName(quantity) + ": " +
                text(DifferenceToDisplay(quantity, value - referenceValue, configuration))};
}

const ColourRamp& CComparison::Ramp() {
    static const ColourRamp ramp = ColourRamp::Diverging();
    return ramp;
}

} // namespace quillmere
