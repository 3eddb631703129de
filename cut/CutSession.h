// What the cut window holds between its controls and the sheet: the plane,
// the profile, the graph limits, the last cut with its graph and the point
// the read-out marks on it, and the rules by which typed limits survive
// later cuts and follow the units.
#pragma once

#include "cut/CCutPlane.h"
#include "cut/ProfileGraph.h"
#include "model/CAbscisse.h"
#include "scale/Quantity.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quillmere {

class CComparison;
class CConfiguration;
class CSheetProfile;

class CCutSession {
public:
    int PlaneIndex = 0;  // 0 "X =", 1 "Y =", 2 "Z ="
    double Position = 0; // display length unit
    ResultQuantity ProfileQuantity = ResultQuantity::Thickness;
    CGraphLimits GraphLimits; // display units; all 0: automatic
    bool ResetLimitsPending = true;
    CProfileGraph Graph;
    bool HasGraph = false; // a cut was made (it may have found nothing)
    // The document's record (1-based) and its count, for the next cut.
    int Record = 0, RecordCount = 0;
    // The reference of the next cut, prepared for the sheet's record: the
    // cut then carries differences. Null: the plain values.
    std::shared_ptr<CComparison> Comparison;

    // The cut the graph shows, as it was made: it stays when the controls
    // or the document's record change afterwards.
    struct CMade {
        int planeIndex = 0;
        double position = 0; // display length unit
        int record = 0, recordCount = 0;
        bool difference = false;
    } Made;

    // The plane of the plane list and the position, in the configuration's
    // units.
    CCutPlane Plane(const CConfiguration& configuration) const;

    // The plane or the position was edited, or the profile changed: the next
    // cut starts from automatic limits again.
    void PlaneChanged() { ResetLimitsPending = true; }

    // Cuts the sheet with the plane and the profile, drops the mark and
    // builds the graph; the limits are automatic unless the user's survive.
    void Cut(const CSheetProfile& sheet, const CConfiguration& configuration);
    // The graph of the cut of the sheet's values again (arc lengths written
    // into its pieces), with automatic limits filled in when all four are
    // 0. A cut of values the sheet no longer holds is gone.
    void BuildGraph(const CSheetProfile& sheet, const CConfiguration& configuration);
    // The system of units became the configuration's: the position and all
    // four limits follow the length unit; the graph is built again.
    void UnitsChanged(bool wasSIMetric, const CSheetProfile* sheet, const CConfiguration& configuration);

    // The cut and its mark as every 3D view of the session draws them: of
    // the values the sheet held when cut, and of no others (none, null).
    const CCutSegments& CutOf(const CSheetProfile& sheet) const;
    const CCoordinate* MarkOf(const CSheetProfile& sheet) const;
    // The read-out's point of the cut, or null for none.
    void SetMark(const CCoordinate* point);

    // What the graph shows, "X = 12.5 mm, Rec. 2 / 3.".
    std::string GraphCaption(const CConfiguration& configuration) const;

    // Whether the graph has points to draw (and to print).
    bool HasPoints() const { return !Graph.Points.empty(); }

private:
    CCutSegments cut;
    uint64_t cutValues = 0; // the values generation of the sheet cut
    CCoordinate markPoint;
    bool marked = false;
};

} // namespace quillmere
