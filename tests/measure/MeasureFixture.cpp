#include "tests/measure/MeasureFixture.h"

#include "model/SheetReading.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quillmere;

std::unique_ptr<CSheetProfile> ReadBackSheet(const samplegen::RecordData& record) {
    CTempFolder folder;
    const std::string path = folder.File("sheet.000");
    EXPECT_TRUE(samplegen::WriteRecordFile(path, record));
    RecordError error;
    std::unique_ptr<CSheetProfile> sheet = ReadSheet(path, 0, nullptr, &error);
    EXPECT_TRUE(sheet) << MessageText(RecordErrorMessage(error));
    return sheet;
}

samplegen::CupOptions SmallCup(bool quarter) {
    samplegen::CupOptions options;
    options.cellsX = 24;
    options.cellsY = 20;
    options.records = 4;
    options.quarter = quarter;
    return options;
}

std::unique_ptr<CSheetProfile> CupSheet(bool quarter) {
    const samplegen::CupOptions options = SmallCup(quarter);
    return ReadBackSheet(samplegen::CupRecord(options, options.records - 1));
}
