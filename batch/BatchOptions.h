// The texts of the command line's options, and its numbers read in the "C"
// locale.
#pragma once

#include "batch/BatchCommand.h"

#include <optional>
#include <string>

namespace quillmere {

// Numbers are read in the "C" locale, whatever the user's is.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, int& value);
bool IsNumber(const std::string& text);
bool IsInteger(const std::string& text);
// A record number as study takes it: a number from 1 to 1,000,000, its
// fraction dropped.
bool ParseRecordNumber(const std::string& text, int& value);
// A quantity with values: "(no scale)" is no choice on the command line.
std::optional<ResultQuantity> QuantityOption(const std::string& text);
bool IsQuantity(const std::string& text);

// The raw texts of the options, turned into BatchArguments once CLI11 has
// checked them.
struct OptionTexts {
    std::string record, quantity, minimum, maximum, plane, position, node, element;
    std::string size;      // render: WxH
    std::string videoSize; // video: WxH
    std::string minusRecord;
    std::string maxDistance;
    std::string minimumWall;
};

// A minimum wall typed in a system of units, in metres.
double MinimumWallMetres(double typed, const CConfiguration& configuration);

// The values CLI11 has checked, in the form the commands use.
void TakeOptionTexts(const OptionTexts& texts, BatchArguments& parsed);

} // namespace quillmere
