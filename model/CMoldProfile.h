// One rigid forming tool: its planar faces read from a tool file, its motion
// and its bounds.
#pragma once

#include "model/CFace.h"
#include "model/CToolMove.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace quillmere {

class IProgressSink;

// The faces of a tool in file order.
using CFaceList = std::vector<std::unique_ptr<CFace>>;

class CMoldProfile {
public:
    enum Format { NoFaces = 0, NumberedNodes = 1, ShortFile = 2, SectionFile = 3 };

    // Reads the motion and then the tool file. Stored names are looked up by
    // their LookupName in baseFolder (the project's folder) whatever their
    // separators and case.
    CMoldProfile(const std::string& toolFileName, IProgressSink* progress,
                 const std::string& processControlFileName, int toolIndex,
                 const std::string& baseFolder = std::string());
    virtual ~CMoldProfile() = default;
    CMoldProfile(const CMoldProfile&) = delete;
    CMoldProfile& operator=(const CMoldProfile&) = delete;

    // Translates every face by direction * amount; an offset that would
    // leave a vertex without finite coordinates moves nothing.
    void MoveTool(const CCoordinate& direction, double amount);

    int FormatKind() const { return formatKind; }
    const std::string& ToolFileName() const { return toolFileName; }
    const std::string& ProcessControlFileName() const { return processControlFileName; }
    const CFaceList& Faces() const { return faces; }
    const CCoordinate& RefPoint() const { return refPoint; }
    const CToolMove& Motion() const { return motion; }
    const std::array<double, 6>& ToolBounds() const { return toolBounds; }
    bool InInches() const { return inInches; }
    const CCoordinate& ProbeDirection() const { return probeDirection; }

private:
    void ReadToolFile(const std::string& path, IProgressSink* progress);
    struct NumberedNodeBlocks;
    void ReadNumberedNodes(const NumberedNodeBlocks& blocks, IProgressSink* progress);
    void ReadShortFile(const std::string& path, IProgressSink* progress);
    void ReadSections(const std::vector<double>& numbers, IProgressSink* progress);
    // Adds a polygon in metres; more than 10 vertices are split into a fan
    // of smaller faces sharing the first vertex.
    void AddPolygon(const std::vector<CCoordinate>& vertices);
    void ComputeBounds(double start);
    double ToMetres(double value) const; // file length unit (mm or inch) to m

    int formatKind = NoFaces;
    std::string toolFileName;
    std::string processControlFileName;
    CFaceStore faceStore; // before faces: their memory outlives them
    CFaceList faces;
    CCoordinate refPoint;
    CToolMove motion;
    std::array<double, 6> toolBounds{};
    bool inInches = false;
    CCoordinate probeDirection;
};

// The tools of a project by slot: tool i + 1 in slot i, null for an empty
// position.
using CToolList = std::vector<std::unique_ptr<CMoldProfile>>;

} // namespace quillmere
