#include "model/FormingSummary.h"

#include "config/CConfiguration.h"
#include "core/Parallel.h"
#include "core/TextFormat.h"
#include "model/CSheetProfile.h"
#include "model/SurfaceSearch.h"

#include <cmath>
#include <limits>

namespace quillmere {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// What one pass over the elements gathers. An element takes part when its
// areas and its thickness are numbers.
struct ElementSums {
    double sheet = 0, formed = 0; // undeformed and current areas
    double weighted = 0;          // thickness times current area
    double thickened = 0, below = 0;
    int belowCount = 0;
    double thinnest = std::numeric_limits<double>::infinity();
    int thinnestElement = -1;
    double thickest = -std::numeric_limits<double>::infinity();
    double thinning = -std::numeric_limits<double>::infinity();

    // other covers the elements after these: the thinnest is the first.
    void Join(const ElementSums& other) {
        sheet += other.sheet;
        formed += other.formed;
        weighted += other.weighted;
        thickened += other.thickened;
        below += other.below;
        belowCount += other.belowCount;
        if (other.thinnest < thinnest) {
            thinnest = other.thinnest;
            thinnestElement = other.thinnestElement;
        }
        thickest = std::max(thickest, other.thickest);
        thinning = std::max(thinning, other.thinning);
    }
};

// wall: below it an element counts (none when not above 0).
ElementSums SumElements(const CSheetProfile& sheet, double wall) {
    const CSheetMesh& mesh = sheet.Mesh();
    const CElementValues* values = sheet.Values().elements.data();
    const CElementDerived* derived = sheet.Derived().elements.data();
    const double* areas = sheet.Derived().currentAreas.data();
    const size_t count = static_cast<size_t>(sheet.ElementCount());
    return parallel::ReduceBlocks(
        count, kElementGrain, ElementSums(),
        [&](size_t first, size_t last) {
            ElementSums sums;
            for (size_t e = first; e < last; ++e) {
                const double area = areas[e], reference = mesh.ReferenceArea(e);
                const double t = derived[e].Thickness;
                if (!std::isfinite(area) || !std::isfinite(reference) || !std::isfinite(t))
                    continue;
                sums.sheet += reference;
                sums.formed += area;
                sums.weighted += t * area;
                if (t < sums.thinnest) {
                    sums.thinnest = t;
                    sums.thinnestElement = static_cast<int>(e);
                }
                sums.thickest = std::max(sums.thickest, t);
                const double t0 = values[e].InitialThickness;
                if (t0 > 0 && std::isfinite(t0)) {
                    sums.thinning = std::max(sums.thinning, (1 - t / t0) * 100);
                    if (t > t0 * (1 + 1e-6))
                        sums.thickened += area;
                }
                if (wall > 0 && BelowWall(t, wall)) {
                    sums.below += area;
                    ++sums.belowCount;
                }
            }
            return sums;
        },
        [](ElementSums a, const ElementSums& b) {
            a.Join(b);
            return a;
        });
}

double Percent(double part, double whole) {
    return whole > 0 ? part / whole * 100 : NaN;
}

MinimumWallShare ShareOf(const ElementSums& sums, double wall) {
    return {wall, sums.belowCount, sums.below, Percent(sums.below, sums.formed)};
}

// Lengths and areas of the figures: 2 decimals of mm, 3 of inch.
class CLengths {
public:
    explicit CLengths(const CConfiguration& configuration)
        : units(configuration), format(configuration.IsSIMetric() ? "%.2f" : "%.3f") {}

    const char* Unit() const { return units.LengthUnit(); }
    std::string Of(double metres) const { return FormatNumber(format, units.LengthToDisplay(metres * 1000)); }
    std::string Area(double squareMetres) const {
        const double perMillimetre = units.LengthToDisplay(1);
        return FormatNumber(format, squareMetres * 1e6 * perMillimetre * perMillimetre);
    }

private:
    const CConfiguration& units;
    const char* format;
};

} // namespace

MinimumWallShare BelowMinimumWall(const CSheetProfile& sheet, double wall) {
    return ShareOf(SumElements(sheet, wall), wall);
}

FormingFigures FormingFiguresOf(const CSheetProfile& sheet, double minimumWall,
                                const std::vector<double>* firstContact) {
    const ElementSums sums = SumElements(sheet, minimumWall);
    FormingFigures figures;
    figures.images = static_cast<int>(SymmetryImages(sheet).size());
    figures.sheetArea = sums.sheet * figures.images;
    figures.formedArea = sums.formed * figures.images;
    figures.drawRatio = sums.sheet > 0 ? sums.formed / sums.sheet : NaN;
    const bool any = sums.thinnestElement >= 0;
    figures.thicknessMinimum = any ? sums.thinnest : NaN;
    figures.thicknessMaximum = any ? sums.thickest : NaN;
    figures.thicknessMean = sums.formed > 0 ? sums.weighted / sums.formed : NaN;
    figures.thinnestElement = sums.thinnestElement;
    if (any) {
        const size_t e = static_cast<size_t>(sums.thinnestElement);
        figures.thinnestPosition =
            (sheet.CurrentCorner(e, 0) + sheet.CurrentCorner(e, 1) + sheet.CurrentCorner(e, 2)) * (1.0 / 3);
    }
    figures.maximumThinning = std::isfinite(sums.thinning) ? sums.thinning : NaN;
    figures.thickenedPercent = Percent(sums.thickened, sums.formed);
    if (minimumWall > 0)
        figures.belowWall = ShareOf(sums, minimumWall);
    if (firstContact)
        figures.contact = ContactSpanOf(*firstContact);
    return figures;
}

std::string FormingSummaryText(const FormingFigures& figures, const CConfiguration& configuration,
                               const std::string& projectPath, int record) {
    const CLengths length(configuration);
    const char* unit = length.Unit();
    std::string text =
        FormatText("Forming summary:\nProject %s\nRecord number %d\n\n", projectPath.c_str(), record);
    text += FormatText("Sheet area: %s %s^2\n", length.Area(figures.sheetArea).c_str(), unit);
    text += FormatText("Formed area: %s %s^2\n", length.Area(figures.formedArea).c_str(), unit);
    text += "Areal draw ratio: " + FormatNumber("%.4f", figures.drawRatio) + "\n";
    text += FormatText("Minimum thickness: %s %s", length.Of(figures.thicknessMinimum).c_str(), unit);
    if (figures.thinnestElement >= 0) {
        const CCoordinate& at = figures.thinnestPosition;
        text += FormatText(" at element %d (%s, %s, %s %s)", figures.thinnestElement, length.Of(at.x).c_str(),
                           length.Of(at.y).c_str(), length.Of(at.z).c_str(), unit);
    }
    text += FormatText("\nMean thickness: %s %s\n", length.Of(figures.thicknessMean).c_str(), unit);
    text += FormatText("Maximum thickness: %s %s\n", length.Of(figures.thicknessMaximum).c_str(), unit);
    text += "Maximum thinning: " + FormatNumber("%.2f", figures.maximumThinning) + " %\n";
    text += "Thickened area: " + FormatNumber("%.2f", figures.thickenedPercent) + " %\n";
    if (figures.belowWall) {
        text += FormatText("Minimum wall: %s %s\n", length.Of(figures.belowWall->wall).c_str(), unit);
        text += "Area below minimum wall: " + FormatNumber("%.2f", figures.belowWall->percent) + " %\n";
        text += FormatText("Elements below minimum wall: %d\n", figures.belowWall->elements);
    }
    if (figures.contact) {
        const ContactSpan& contact = *figures.contact;
        text += contact.first > 0
                    ? FormatText("First contact: records %d to %d, %d nodes never in contact\n",
                                 contact.first, contact.last, contact.neverInContact)
                    : FormatText("First contact: none, %d nodes never in contact\n", contact.neverInContact);
    }
    if (figures.images > 1)
        text +=
            FormatText("\n%s model: the areas are those of the whole part, the ratios and shares the same "
                       "as the stored model's; elements and nodes are counted in the stored model.\n",
                       figures.images == 2 ? "Half" : "Quarter");
    // The lines end where the report ends.
    text.pop_back();
    return text;
}

} // namespace quillmere
