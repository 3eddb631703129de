#include "session/CSessionView.h"

#include "scale/Comparison.h"
#include "session/CSession.h"

namespace quillmere {

CProjectProfile* CSessionView::Project() const {
    return session ? &session->Project() : nullptr;
}

const CSheetProfile* CSessionView::Sheet() const {
    return session ? session->Sheet() : nullptr;
}

int CSessionView::ShownRecord() const {
    return session ? session->Project().Player().ShownRecord() : 0;
}

bool CSessionView::CompareWith(const CProjectProfile& reference, int record, Message& failure,
                               const ComparisonRule& rule) {
    if (!session)
        return false;
    return SetComparison(std::make_shared<CComparison>(session->Project(), reference, record, rule), failure);
}

bool CSessionView::SetComparison(std::shared_ptr<CComparison> compared, Message& failure) {
    if (!compared)
        return false;
    const CSheetProfile* sheet = Sheet();
    if (!sheet) {
        failure = MessageId::NoSheetToCompare;
        return false;
    }
    if (!compared->Prepare(*sheet, ShownRecord(), failure))
        return false;
    comparison = std::move(compared);
    return true;
}

bool CSessionView::PrepareComparison() {
    const CSheetProfile* sheet = Sheet();
    if (!comparison || !sheet)
        return true;
    Message failure;
    if (comparison->Prepare(*sheet, ShownRecord(), failure))
        return true;
    comparisonFailure = failure;
    comparison.reset();
    return false;
}

Message CSessionView::TakeComparisonFailure() {
    Message failure;
    std::swap(failure, comparisonFailure);
    return failure;
}

std::function<void()> CSessionView::ReferencePreparation(int record, ResultQuantity quantity) const {
    if (!comparison)
        return nullptr;
    return [compared = comparison, record, quantity] { compared->ReadAheadFor(record, quantity); };
}

} // namespace quillmere
