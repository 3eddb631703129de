// One triangle of the sheet with its record values and what is derived from
// them.
#pragma once

#include "Vectors.h"

#include <cstdint>

class CElementProfile {
public:
    double ReferenceArea = 0;
    int32_t NodeNumbers[3] = {0, 0, 0};
    int32_t ElementId = 0;
    double InitialThickness = 0;
    double Temperature = 0;
    CCoordinate CurrentCorners[3];
    CCoordinate ReferenceCorners[3];
    double LayerValues[11] = {};
    double Thickness = 0;
    double StretchRatio = 0;
    CCoordinate Normal;
    double PrincipalStress1 = 0;
    double PrincipalStress2 = 0;
    double ThirdStress = 0;
    double ExtensionX = 0;
    double ExtensionY = 0;
    double PlanarExtension = 0;

    double CurrentArea() const {
        return TriangleArea(CurrentCorners[0], CurrentCorners[1], CurrentCorners[2]);
    }
    // Von Mises stress in MPa from the two principal stresses.
    double VonMisesStress() const;
};

// The principal stretches of the membrane deformation, from the reference
// to the current triangle.
struct PrincipalStretches {
    double lambda1 = 0;
    double lambda2 = 0;
};

PrincipalStretches ComputePrincipalStretches(const CElementProfile& element);

// Thickness, stretches and extensions from the corners (the derivation that
// runs after every load).
void DeriveElementValues(CElementProfile& element);
