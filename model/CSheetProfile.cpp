#include "model/CSheetProfile.h"

#include <atomic>
#include <utility>

namespace quillmere {

namespace {

uint64_t NewValuesGeneration() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

} // namespace

CSheetProfile::CSheetProfile(std::shared_ptr<const CSheetMesh> sheetMesh, CRecordValues recordValues,
                             CSheetDerived derivedValues)
    : mesh(std::move(sheetMesh)), values(std::move(recordValues)), derived(std::move(derivedValues)),
      valuesGeneration(NewValuesGeneration()) {}

void CSheetProfile::SwapRecordValues(CSheetProfile& prepared) {
    std::swap(values, prepared.values);
    std::swap(derived, prepared.derived);
    valuesGeneration = NewValuesGeneration();
}

} // namespace quillmere
