// The factors between the two systems of units and the words their units are
// shown with (UTF-8). Values are held in SI everywhere else.
#pragma once

namespace quillmere {

constexpr double kMmPerInch = 25.4;
constexpr double kInchPerMm = 0.03937007874015748;
constexpr double kPsiPerPascal = 0.000145032632342277;
constexpr double kPascalPerPsi = 6895.0;

namespace units {

constexpr const char* Millimetre = "mm";
constexpr const char* Inch = "inch";
constexpr const char* Celsius = "\xC2\xB0"
                                "C";
constexpr const char* Fahrenheit = "\xC2\xB0"
                                   "F";
constexpr const char* Kilopascal = "kPa";
constexpr const char* Psi = "psi";
constexpr const char* Megapascal = "MPa"; // stresses, in either system
constexpr const char* Litre = "l";
constexpr const char* CubicInch = "inch^3";

} // namespace units

} // namespace quillmere
