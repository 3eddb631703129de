// The options several commands of quillmere-batch share, and the numbers of
// the command line read in the "C" locale.
#pragma once

#include "batch/BatchCommand.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace quillmere {

// Numbers are read in the "C" locale, whatever the user's is.
bool ParseNumber(const std::string& text, double& value);
bool ParseInteger(const std::string& text, int& value);
bool IsNumber(const std::string& text);
bool IsInteger(const std::string& text);
// A quantity with values: "(no scale)" is no choice on the command line.
std::optional<ResultQuantity> QuantityOption(const std::string& text);
bool IsQuantity(const std::string& text);

// A check by one of the parsers above; the text itself is kept as given.
CLI::Validator Accepts(bool (*accepts)(const std::string&), const std::string& what);

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

// The project file, the first argument of a command.
CLI::Option* AddProject(CLI::App& command, BatchArguments& parsed);
CLI::Option* AddRecord(CLI::App& command, OptionTexts& texts);
CLI::Option* AddUnits(CLI::App& command, BatchArguments& parsed);
// values and cut need a quantity; render and video colour by thickness
// without one.
CLI::Option* AddQuantity(CLI::App& command, OptionTexts& texts, bool required);
CLI::Option* AddSize(CLI::App& command, std::string& text, const std::string& help);
CLI::Option* AddView(CLI::App& command, std::string& view);
// How far from the sheet a point may be (a length of 0 or more).
CLI::Option* AddMaxDistance(CLI::App& command, OptionTexts& texts, const std::string& help);
// The minimum wall (a thickness above 0) in the length unit of the system of
// units.
CLI::Option* AddMinimumWall(CLI::App& command, OptionTexts& texts, const std::string& help);
// A minimum wall typed in a system of units, in metres.
double MinimumWallMetres(double typed, const CConfiguration& configuration);

// values, cut and render of the difference to a reference project, node by
// node or by position.
void AddMinus(CLI::App& command, BatchArguments& parsed, OptionTexts& texts);

// The values CLI11 has checked, in the form the commands use.
void TakeOptionTexts(const OptionTexts& texts, BatchArguments& parsed);

} // namespace quillmere
