#include "batch/BatchOptions.h"

#include "config/CConfiguration.h"
#include "core/TextFormat.h"
#include "export/PictureExport.h"
#include "scale/ResultQuantity.h"
#include "scene/CDataDisplay.h"

#include <cmath>
#include <optional>

namespace quillmere {

std::optional<ResultQuantity> QuantityOption(const std::string& text) {
    int value = 0;
    if (!ParseInteger(text, value) || value == QuantityNumber(ResultQuantity::None))
        return std::nullopt;
    return QuantityFromNumber(value);
}

bool IsQuantity(const std::string& text) {
    return QuantityOption(text).has_value();
}

namespace {

bool IsLength(const std::string& text) {
    double value = 0;
    return ParseNumber(text, value) && value >= 0;
}

bool IsThickness(const std::string& text) {
    double value = 0;
    return ParseNumber(text, value) && value > 0;
}

bool IsPictureSize(const std::string& text) {
    return ParsePictureSize(text).has_value();
}

} // namespace

bool ParseNumber(const std::string& text, double& value) {
    if (!IsWholeNumber(text.c_str()))
        return false;
    value = ParseDouble(text.c_str());
    return std::isfinite(value);
}

bool ParseInteger(const std::string& text, int& value) {
    double number = 0;
    if (!ParseNumber(text, number) || number != std::floor(number) || std::fabs(number) > 1e9)
        return false;
    value = static_cast<int>(number);
    return true;
}

bool IsNumber(const std::string& text) {
    double value = 0;
    return ParseNumber(text, value);
}

bool IsInteger(const std::string& text) {
    int value = 0;
    return ParseInteger(text, value);
}

CLI::Validator Accepts(bool (*accepts)(const std::string&), const std::string& what) {
    return CLI::Validator(
        [accepts, what](std::string& text) {
            return accepts(text) ? std::string() : text + " is not " + what;
        },
        "");
}

CLI::Option* AddProject(CLI::App& command, BatchArguments& parsed) {
    return command.add_option("project", parsed.project, "The project file")
        ->type_name("PROJECT.tfc")
        ->required();
}

CLI::Option* AddRecord(CLI::App& command, OptionTexts& texts) {
    // Any integer is taken here; the range is checked once the project is
    // open.
    return command
        .add_option("--record", texts.record, "The record, 1 to the number of records; the last by default")
        ->type_name("N")
        ->check(Accepts(IsInteger, "an integer"));
}

CLI::Option* AddUnits(CLI::App& command, BatchArguments& parsed) {
    return command
        .add_option(
            "--units", parsed.units,
            "The system of units: si (SI metric) or us (US customary); the configuration's by default")
        ->type_name("si|us")
        ->check(CLI::IsMember({"si", "us"}));
}

CLI::Option* AddQuantity(CLI::App& command, OptionTexts& texts, bool required) {
    std::string help;
    for (ResultQuantity quantity : ValueQuantities())
        help += FormatText(quantity == ResultQuantity::Thickness ? "%d %s" : ", %d %s",
                           QuantityNumber(quantity), QuantityOf(quantity).helpWord) +
                (quantity == ResultQuantity::Thickness && !required ? " (the default)" : "");
    CLI::Option* option =
        command.add_option("--quantity", texts.quantity, help)
            ->type_name("Q")
            ->check(Accepts(IsQuantity, FormatText("a quantity from 1 to %d", QuantityNumber(LastQuantity))));
    return required ? option->required() : option;
}

CLI::Option* AddSize(CLI::App& command, std::string& text, const std::string& help) {
    return command.add_option("--size", text, help)
        ->type_name("WxH")
        ->check(Accepts(IsPictureSize, "a size WxH with each 100 to 20000"));
}

CLI::Option* AddView(CLI::App& command, std::string& view) {
    return command.add_option("--view", view, "The standard view the scene is seen in; general by default")
        ->type_name("general|xy|xz|yz")
        ->check(CLI::IsMember({"general", "xy", "xz", "yz"}));
}

CLI::Option* AddMaxDistance(CLI::App& command, OptionTexts& texts, const std::string& help) {
    return command.add_option("--max-distance", texts.maxDistance, help)
        ->type_name("D")
        ->check(Accepts(IsLength, "a length of 0 or more"));
}

CLI::Option* AddMinimumWall(CLI::App& command, OptionTexts& texts, const std::string& help) {
    return command.add_option("--min-wall", texts.minimumWall, help)
        ->type_name("T")
        ->check(Accepts(IsThickness, "a thickness above 0"));
}

double MinimumWallMetres(double typed, const CConfiguration& configuration) {
    return configuration.LengthFromDisplay(typed) / 1000;
}

void AddMinus(CLI::App& command, BatchArguments& parsed, OptionTexts& texts) {
    CLI::Option* minus =
        command
            .add_option(
                "--minus", parsed.minus,
                "The difference to this project, whose mesh must be the same unless --by-position: this "
                "one's values minus its values; a mismatch names an element as tip --element numbers it, "
                "from 0")
            ->type_name("B.tfc");
    command
        .add_option(
            "--minus-record", texts.minusRecord,
            "The record of the --minus project, 1 to its number of records; the one of --record (or its "
            "last) by default")
        ->type_name("M")
        ->check(Accepts(IsInteger, "an integer"))
        ->needs(minus);
    CLI::Option* byPosition =
        command
            .add_flag("--by-position", parsed.byPosition,
                      "Compares by position, for meshes that differ: each node takes the --minus project's "
                      "value at its closest point on that sheet (nan beyond --max-distance, counted on "
                      "stderr)")
            ->needs(minus);
    AddMaxDistance(command, texts,
                   "With --by-position: how far a node may be from the --minus project's sheet and still "
                   "take its value, in mm (inch in US units); 5 mm by default")
        ->needs(byPosition);
}

void TakeOptionTexts(const OptionTexts& texts, BatchArguments& parsed) {
    if (!texts.record.empty()) {
        ParseInteger(texts.record, parsed.record);
        if (parsed.record == 0)
            parsed.record = -1;
    }
    if (!texts.quantity.empty())
        parsed.quantity = QuantityOption(texts.quantity);
    if (!texts.minusRecord.empty()) {
        ParseInteger(texts.minusRecord, parsed.minusRecord);
        if (parsed.minusRecord == 0)
            parsed.minusRecord = -1;
    }
    if (!texts.minimumWall.empty())
        ParseNumber(texts.minimumWall, parsed.minimumWall);
    parsed.hasMaxDistance = !texts.maxDistance.empty() && ParseNumber(texts.maxDistance, parsed.maxDistance);
    parsed.hasMinimum = !texts.minimum.empty() && ParseNumber(texts.minimum, parsed.minimum);
    parsed.hasMaximum = !texts.maximum.empty() && ParseNumber(texts.maximum, parsed.maximum);
    if (!texts.plane.empty())
        parsed.plane = texts.plane[0] - 'x';
    if (!texts.position.empty())
        ParseNumber(texts.position, parsed.position);
    if (const auto size = ParsePictureSize(texts.size)) {
        parsed.render.width = size->first;
        parsed.render.height = size->second;
    }
    if (const auto size = ParsePictureSize(texts.videoSize)) {
        parsed.video.width = size->first;
        parsed.video.height = size->second;
    }
    if (!texts.node.empty()) {
        parsed.pickMode = NodeMode;
        ParseInteger(texts.node, parsed.item);
    } else if (!texts.element.empty()) {
        parsed.pickMode = ElementMode;
        ParseInteger(texts.element, parsed.item);
    }
}

} // namespace quillmere
