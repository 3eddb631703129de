// The tool file reader in its three layouts, with the motion from a process
// control file, and the move that places a tool for a record.
#include "core/TextLines.h"
#include "fuzz/FuzzSupport.h"
#include "model/CMoldProfile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace quillmere;

namespace {

// Every face the reader accepts, and every face after a move, has finite
// vertices, a unit normal and a plane: drawing, picking and the bounds rely
// on it.
double CheckFaces(const CMoldProfile& tool) {
    double sum = 0;
    for (const std::unique_ptr<CFace>& each : tool.Faces()) {
        const CFace& face = *each;
        if (face.VertexCount() < 3 || face.VertexCount() > CFace::MaxVertices)
            fuzz::Fail("a face with a vertex count it cannot hold");
        for (int v = 0; v < face.VertexCount(); ++v) {
            if (!IsFinite(face.Vertex(v)))
                fuzz::Fail("a face vertex that is not a finite point");
            sum += face.Plane().Distance(face.Vertex(v));
        }
        if (!(std::fabs(Norm(face.Normal()) - 1) < 1e-9) || !std::isfinite(face.Plane().offset))
            fuzz::Fail("a face without a unit normal or a plane");
    }
    if (!tool.Faces().empty())
        for (double bound : tool.ToolBounds())
            if (!std::isfinite(bound))
                fuzz::Fail("tool bounds that are not finite");
    return sum;
}

double Exercise(CMoldProfile& tool) {
    double sum = CheckFaces(tool);
    sum += tool.RefPoint().x + tool.ProbeDirection().z;
    sum += tool.Motion().MotionCodes()[0] + tool.Motion().MotionCodes()[1];
    tool.MoveTool(tool.Motion().Direction(), 0.05);
    sum += CheckFaces(tool);
    // A record may give any position at all.
    tool.MoveTool(tool.Motion().Direction(), 1e308);
    return sum + CheckFaces(tool);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::ScratchFolder();
    const fuzz::ToolInput input = fuzz::ToolInput::Decode(data, size);
    const std::string fileName = std::string("tool") + input.Extension();
    const std::string controlName = "motion.prc";
    fuzz::WriteFile(folder + "/" + fileName, input.toolFile);
    if (input.flags & fuzz::ToolInput::WithProcessControl)
        fuzz::WriteFile(folder + "/" + controlName, input.processControl);
    else
        std::remove((folder + "/" + controlName).c_str());
    // Stored names need not match the file's case.
    const std::string storedName =
        input.flags & fuzz::ToolInput::StoredInUpperCase ? ToUpper(fileName) : fileName;
    fuzz::CIgnoredProgress progress;
    CMoldProfile tool(storedName, &progress, controlName, input.Slot(), folder);
    volatile double sink = Exercise(tool);
    (void)sink;
    std::remove((folder + "/" + fileName).c_str());
    return 0;
}
