#include "cut/ProfileCsv.h"

#include "config/CConfiguration.h"
#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"
#include "scale/ResultQuantity.h"

namespace quillmere {

namespace {

// The CSV alone gives stresses in psi under US customary units.
double DisplayValue(double value, ResultQuantity quantity, const CConfiguration& configuration) {
    if (QuantityOf(quantity).unit == QuantityUnit::Stress && !configuration.IsSIMetric())
        return configuration.PressureToDisplay(value * 1e6);
    return QuantityToDisplay(quantity, value, configuration);
}

} // namespace

std::string ProfileValueUnit(ResultQuantity quantity, const CConfiguration& configuration) {
    return QuantityOf(quantity).In(configuration).csvUnit;
}

std::string ProfileCsv(const CCutSegments& cut, ResultQuantity quantity, const CConfiguration& configuration,
                       bool difference) {
    const std::string length = configuration.IsSIMetric() ? "mm" : "inch";
    // A difference has no offset (Fahrenheit's 32).
    const double offset = difference ? DisplayValue(0, quantity, configuration) : 0;
    std::string text = "arc_" + length + (difference ? ",delta_" : ",value_") +
                       ProfileValueUnit(quantity, configuration) + ",x_" + length + ",y_" + length + ",z_" +
                       length + ",element\n";
    auto row = [&](double arc, const CAbscisse& piece, const CCoordinate& point) {
        text += ExactNumber(configuration.LengthToDisplay(arc * 1000)) + ',' +
                ExactNumber(DisplayValue(piece.Value, quantity, configuration) - offset) + ',' +
                ExactNumber(configuration.LengthToDisplay(point.x * 1000)) + ',' +
                ExactNumber(configuration.LengthToDisplay(point.y * 1000)) + ',' +
                ExactNumber(configuration.LengthToDisplay(point.z * 1000)) + ',' +
                std::to_string(piece.ElementNumber) + '\n';
    };
    double arc = 0;
    for (const CAbscisse& piece : cut) {
        row(arc, piece, piece.Start);
        arc += piece.Length;
    }
    if (!cut.empty())
        row(arc, cut.back(), cut.back().End);
    return text;
}

bool SaveProfileCsv(const std::string& path, const std::string& text) {
    // A hidden name made unique when it is created: no file of the user's
    // stands in its way.
    const std::string folder = FolderPart(path);
    return ReplaceFileContent(
        path, (folder.empty() ? "" : folder + "/") + "." + FileNamePart(path) + ".XXXXXX", text);
}

} // namespace quillmere
