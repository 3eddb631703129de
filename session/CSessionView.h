// What one view of a session keeps of its own: the reference it compares
// with. The record is the session's, one for every view of it; but each 3D
// view of a window may compare with another reference (or with none), and
// the read-ahead and the limits of the differences go with that view. The
// batch tool works through exactly one.
#pragma once

#include "scale/Comparison.h"
#include "scale/Quantity.h"

#include <functional>
#include <memory>
#include <string>

namespace quillmere {

class CProjectProfile;
class CSession;
class CSheetProfile;

class CSessionView {
public:
    // Null: a view of nothing, which draws nothing and compares nothing.
    explicit CSessionView(CSession* shown) : session(shown) {}
    CSessionView(const CSessionView&) = delete;
    CSessionView& operator=(const CSessionView&) = delete;

    CSession* Session() const { return session; }
    CProjectProfile* Project() const;
    const CSheetProfile* Sheet() const;
    // The record the session's sheet holds.
    int ShownRecord() const;

    // Compares with a record of reference (CComparison::Follow: the one of
    // the view's record) instead of showing the plain values, node by node
    // or by position as rule says; see SetComparison.
    bool CompareWith(const CProjectProfile& reference, int record, Message& failure,
                     const ComparisonRule& rule = {});
    // The difference to compared (see CComparison), prepared here for the
    // record shown; false, with the reason in failure (there is no sheet,
    // the meshes differ, a record cannot be read), and nothing changes.
    bool SetComparison(std::shared_ptr<CComparison> compared, Message& failure);
    void ClearComparison() { comparison.reset(); }
    const std::shared_ptr<CComparison>& Comparison() const { return comparison; }
    // Readies the comparison for the record shown; when that record's
    // reference cannot be read, the view stops comparing, keeps why for
    // TakeComparisonFailure and gives false.
    bool PrepareComparison();
    // Why the view stopped comparing by itself; empty when it did not.
    // Taking it clears it.
    Message TakeComparisonFailure();
    // Reads the reference record that record (1-based) is compared with
    // ahead, with its nodal values of quantity, to be run by a job before
    // the view shows record; null when the view compares with nothing.
    std::function<void()> ReferencePreparation(int record, ResultQuantity quantity) const;

private:
    CSession* session;
    std::shared_ptr<CComparison> comparison;
    Message comparisonFailure;
};

} // namespace quillmere
