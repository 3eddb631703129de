#include "render/CKeptPresentation.h"

#include "config/CConfiguration.h"
#include "model/CSheetProfile.h"
#include "scale/Comparison.h"

#include <utility>

namespace quillmere {

CKeptPresentation::Key CKeptPresentation::KeyOf(const PresentationSource& source) {
    const ScaleLimits& shown = source.limits;
    const std::shared_ptr<CComparison>& comparison = source.comparison;
    const ResultQuantity quantity = source.quantity;
    Key now;
    now.comparison = comparison.get();
    now.values = source.sheet->ValuesGeneration();
    now.reference = comparison ? comparison->Reference()->ValuesGeneration() : 0;
    now.quantity = quantity;
    now.record = source.record;
    now.mode = shown.FixedMode(quantity);
    now.fixedMinimum = shown.FixedMinimum(quantity);
    now.fixedMaximum = shown.FixedMaximum(quantity);
    now.units = source.units ? (source.units->IsSIMetric() ? 1 : 0) : -1;
    now.minimumWall = source.minimumWall;
    if (comparison) {
        now.shownTitle = comparison->Shown().title;
        now.referenceTitle = comparison->ReferenceSide().title;
    }
    return now;
}

void CKeptPresentation::Update(const PresentationSource& source) {
    Key now = KeyOf(source);
    if (made && now == key)
        return;
    key = std::move(now);
    made = true;
    presentation = MakePresentation(source);
}

void CKeptPresentation::Drop() {
    presentation.comparison.reset();
    made = false;
}

} // namespace quillmere
