// Sheets for the measurement tests, from records the sample writer makes and
// the record reader reads back.
#pragma once

#include "model/CSheetProfile.h"
#include "tools/SampleWriter.h"

#include <memory>

using namespace quillmere;

std::unique_ptr<CSheetProfile> ReadBackSheet(const samplegen::RecordData& record);

// The last record of a small cup sample, whole or its quarter.
samplegen::CupOptions SmallCup(bool quarter = false);
std::unique_ptr<CSheetProfile> CupSheet(bool quarter = false);
