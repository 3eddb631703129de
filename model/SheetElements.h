// One triangle of the sheet in three parts: its corner node numbers (the
// mesh's), the results a record gives it, and what is derived from them.
#pragma once

#include "model/Vectors.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace quillmere {

// The corner node numbers of an element, 1 .. NodeCount.
using ElementNodes = std::array<int32_t, 3>;

// The results of one element in a record, in SI units (Pa for stresses).
struct CElementValues {
    double InitialThickness = 0;
    double Temperature = 0;
    double PrincipalStress1 = 0;
    double PrincipalStress2 = 0;
    double ThirdStress = 0;

    // Von Mises stress in MPa from the two principal stresses.
    double VonMisesStress() const { return VonMisesFromSquare(VonMisesSquare()); }
    // The stress grows with the square under its root (in Pa squared): the
    // extremes of the squares give the extremes of the stresses.
    double VonMisesSquare() const {
        const double s1 = PrincipalStress1;
        const double s2 = PrincipalStress2;
        return 0.5 * ((s1 - s2) * (s1 - s2) + s1 * s1 + s2 * s2);
    }
    static double VonMisesFromSquare(double square) { return std::sqrt(square) * 1e-6; }
};

// What every load derives from an element's values and corners.
struct CElementDerived {
    double Thickness = 0;
    double StretchRatio = 0;
    double ExtensionX = 0;
    double ExtensionY = 0;
    double PlanarExtension = 0;
    CCoordinate Normal; // unit normal of the current triangle; 0 without area
};

} // namespace quillmere
