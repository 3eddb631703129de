#include "model/CMoldProfile.h"

#include "config/Units.h"
#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "core/TextLines.h"
#include "model/ProjectFile.h"
#include "model/Texts.h"

#include <algorithm>
#include <cfloat>

namespace quillmere {

CMoldProfile::CMoldProfile(const std::string& toolName, IProgressSink* progress,
                           const std::string& processControlName, int toolIndex,
                           const std::string& baseFolder)
    : toolFileName(toolName), processControlFileName(processControlName), refPoint(DBL_MAX, DBL_MAX, DBL_MAX),
      motion(processControlName, ResolveFile(LookupName(processControlName), baseFolder), toolIndex) {
    ReadToolFile(ResolveFile(LookupName(toolName), baseFolder), progress);
    ComputeBounds(100);
    const CCoordinate fixed(0.123456, 0.19876543, 0.8765499876543);
    probeDirection = fixed * (1.0 / Norm(fixed));
}

double CMoldProfile::ToMetres(double value) const {
    return inInches ? value * kMmPerInch * 0.001 : value * 0.001;
}

void CMoldProfile::AddPolygon(const std::vector<CCoordinate>& vertices) {
    if (vertices.size() <= CFace::MaxVertices) {
        if (std::unique_ptr<CFace> face = CFace::Build(vertices, faceStore))
            faces.push_back(std::move(face));
        return;
    }
    // Pieces (v0, vk .. vk+8) cover the fan of the whole polygon.
    for (size_t start = 1; start + 1 < vertices.size(); start += CFace::MaxVertices - 2) {
        const size_t stop = std::min(start + CFace::MaxVertices - 1, vertices.size());
        std::vector<CCoordinate> piece{vertices[0]};
        piece.insert(piece.end(), vertices.begin() + static_cast<std::ptrdiff_t>(start),
                     vertices.begin() + static_cast<std::ptrdiff_t>(stop));
        if (std::unique_ptr<CFace> face = CFace::Build(piece, faceStore))
            faces.push_back(std::move(face));
    }
}

void CMoldProfile::ComputeBounds(double start) {
    toolBounds = {start, -start, start, -start, start, -start};
    for (const std::unique_ptr<CFace>& face : faces) {
        for (int k = 0; k < face->VertexCount(); ++k) {
            const CCoordinate& p = face->Vertex(k);
            toolBounds[0] = std::min(toolBounds[0], p.x);
            toolBounds[1] = std::max(toolBounds[1], p.x);
            toolBounds[2] = std::min(toolBounds[2], p.y);
            toolBounds[3] = std::max(toolBounds[3], p.y);
            toolBounds[4] = std::min(toolBounds[4], p.z);
            toolBounds[5] = std::max(toolBounds[5], p.z);
        }
    }
}

void CMoldProfile::MoveTool(const CCoordinate& direction, double amount) {
    const CCoordinate offset = direction * amount;
    // A motion or position that is not a number, or one that would carry a
    // vertex beyond the doubles, leaves the tool where it stands.
    for (const std::unique_ptr<CFace>& face : faces)
        if (!face->CanTranslate(offset))
            return;
    for (const std::unique_ptr<CFace>& face : faces)
        face->Translate(offset);
    ComputeBounds(1e20);
}

} // namespace quillmere
