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

bool ParseRecordNumber(const std::string& text, int& value) {
    double number = 0;
    if (!ParseWholeNumber(text.c_str(), number) || number < 1 || number > 1e6)
        return false;
    value = static_cast<int>(number);
    return true;
}

double MinimumWallMetres(double typed, const CConfiguration& configuration) {
    return configuration.LengthFromDisplay(typed) / 1000;
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
