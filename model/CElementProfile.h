// One triangle of the sheet with its record values and what is derived from
// them. Its corner coordinates are the sheet's node coordinates of its three
// node numbers (CSheetProfile::CurrentCorner and ReferenceCorner).
#pragma once

#include "model/Vectors.h"

#include <cmath>
#include <cstdint>

class CElementProfile {
public:
    double ReferenceArea;
    int32_t NodeNumbers[3];
    int32_t ElementId;
    double InitialThickness;
    double Temperature;
    double Thickness;
    double StretchRatio;
    CCoordinate Normal;
    double PrincipalStress1;
    double PrincipalStress2;
    double ThirdStress;
    double ExtensionX;
    double ExtensionY;
    double PlanarExtension;

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
