// The result quantities the sheet is coloured and cut by, and the value of
// each in one element.
#pragma once

#include "model/CSheetProfile.h"
#include "scale/Quantity.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <string>

namespace quillmere {

class CConfiguration;

// What converts a quantity's value between its stored unit and the one the
// user sees (the conversions themselves are CConfiguration's).
enum class QuantityUnit {
    None,        // shown as stored
    Length,      // stored in metres, shown in mm or inch
    Temperature, // stored and shown in degrees Celsius or Fahrenheit
    Stress,      // stored and shown in MPa; only the profile CSV gives psi
};

// The texts of a quantity in one system of units.
struct QuantityTexts {
    const char* unit;        // unit word; nullptr for none
    const char* scaleNumber; // scale label's number; nullptr: no label
    const char* limitsTitle; // after the name in the limits dialog, %s the unit
    const char* csvUnit;     // the profile CSV's value column
};

struct QuantityInfo {
    const char* name;       // the profile list text
    const char* graphTitle; // the cut graph's y title before its unit
    const char* helpWord;   // quillmere-batch's --quantity help
    // Averaged from the elements to the nodes; otherwise a node shows the
    // last of its elements.
    bool nodal;
    // High values blue and low ones red; the other way round when false.
    bool highIsBlue;
    QuantityUnit unit;
    const char* tipNumber; // the data tip's number; nullptr when the tip has no line
    QuantityTexts si, us;

    const QuantityTexts& In(const CConfiguration& configuration) const;
};

// The row of a quantity.
const QuantityInfo& QuantityOf(ResultQuantity quantity);

// The profile list text of a quantity ("(no scale)", "Thickness", ...).
const char* QuantityName(ResultQuantity quantity);

// A stored value in the units the user sees, and back.
double QuantityToDisplay(ResultQuantity quantity, double stored, const CConfiguration& configuration);
double QuantityFromDisplay(ResultQuantity quantity, double display, const CConfiguration& configuration);
// A value shown under one system of units as the other shows it.
double QuantityBetweenSystems(ResultQuantity quantity, double display, const CConfiguration& from,
                              const CConfiguration& to);

// The unit word after a space, " mm"; "" for a quantity without one.
std::string QuantityUnitSuffix(ResultQuantity quantity, const CConfiguration& configuration);

// The value of a quantity but None in an element (0-based index), in its stored
// unit: thickness in metres, temperature in degrees Celsius, von Mises
// stress in MPa, the extensions and the stretch ratio dimensionless,
// thinning in per cent. First contact is a value of the nodes: an element
// takes the earliest of its corners', the record at which it first touched
// (NaN when no corner ever does, or before the sheet has them). The derived
// values are current whenever the sheet takes other values, so they are
// read as stored.
double ElementValue(const CSheetProfile& sheet, size_t element, ResultQuantity quantity);

// The arrays a quantity's value is read from: the record's element values,
// what is derived from them, the elements' corners and the project's first
// contact by node (null before it is computed).
struct ElementArrays {
    const CElementValues* values;
    const CElementDerived* derived;
    const ElementNodes* corners;
    const double* firstContact;
};
inline ElementArrays ElementArraysOf(const CSheetProfile& sheet) {
    const std::shared_ptr<const FirstContactRecords>& firstContact = sheet.FirstContact();
    return {sheet.Values().elements.data(), sheet.Derived().elements.data(), sheet.Mesh().NodeArray(),
            firstContact ? firstContact->data() : nullptr};
}

// Calls use(value) with value(i) giving ElementValue(sheet, i, quantity) for
// element i: loops over the elements take the quantity's branch once and
// read the field directly.
template <typename Use>
void WithElementValue(const ElementArrays& elements, ResultQuantity quantity, const Use& use) {
    const CElementValues* v = elements.values;
    const CElementDerived* d = elements.derived;
    switch (quantity) {
    case ResultQuantity::Thickness:
        return use([d](size_t i) { return d[i].Thickness; });
    case ResultQuantity::Temperature:
        return use([v](size_t i) { return v[i].Temperature; });
    case ResultQuantity::VonMises:
        return use([v](size_t i) { return v[i].VonMisesStress(); });
    case ResultQuantity::ExtensionX:
        return use([d](size_t i) { return d[i].ExtensionX; });
    case ResultQuantity::ExtensionY:
        return use([d](size_t i) { return d[i].ExtensionY; });
    case ResultQuantity::PlanarExtension:
        return use([d](size_t i) { return d[i].PlanarExtension; });
    case ResultQuantity::StretchRatio:
        return use([d](size_t i) { return d[i].StretchRatio; });
    case ResultQuantity::Thinning:
        return use([v, d](size_t i) { return (1 - d[i].Thickness / v[i].InitialThickness) * 100; });
    case ResultQuantity::FirstContact:
        if (const double* first = elements.firstContact) {
            const ElementNodes* c = elements.corners;
            // fmin passes over a corner that never touches.
            return use([first, c](size_t i) {
                return std::fmin(std::fmin(first[c[i][0]], first[c[i][1]]), first[c[i][2]]);
            });
        }
        return use([](size_t) { return std::numeric_limits<double>::quiet_NaN(); });
    case ResultQuantity::None:
        break;
    }
    return use([](size_t) { return 0.0; });
}
template <typename Use>
void WithElementValue(const CSheetProfile& sheet, ResultQuantity quantity, const Use& use) {
    WithElementValue(ElementArraysOf(sheet), quantity, use);
}

} // namespace quillmere
