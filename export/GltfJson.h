// The parts of a glTF 2.0 file's JSON: its numbers and strings, node
// transforms and materials, and the builder that gathers the JSON with the
// runs of the binary chunk.
#pragma once

#include "export/GlbFile.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace quillmere {

struct AffineMap;

namespace gltf {

constexpr int kUnsignedByte = 5121, kUnsignedShort = 5123, kUnsignedInt = 5125, kFloat = 5126;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;
constexpr int kLines = 1, kTriangles = 4;

// A JSON string; a byte that is no UTF-8 becomes U+FFFD.
std::string Quoted(const std::string& text);
// JSON has no NaN nor infinity; callers pass finite numbers.
std::string Number(double value);
std::string Numbers(const double* values, size_t count);

// A reflection or rotation with translation as glTF's translation, rotation
// and scale: a map that mirrors is a rotation after the scale (-1, 1, 1).
std::string NodeTransform(const AffineMap& map);

std::string Material(const std::string& name, const std::array<double, 4>& colour, bool unlit);

// The model's JSON, built up as its parts are added, and the runs of its
// binary chunk.
class CGltfBuilder {
public:
    // The views of run, each used as target; gives the index of the first.
    size_t AddRun(GlbRun run, const std::vector<int>& targets);
    int AddAccessor(size_t view, int componentType, size_t count, const char* type,
                    const std::string& more = "");
    int AddMaterial(const std::string& json) { return Add(materials, json); }
    int AddMesh(const std::string& json) { return Add(meshes, json); }
    int AddNode(const std::string& json) { return Add(nodes, json); }
    const std::vector<GlbRun>& Runs() const { return runs; }

    // The whole JSON with the root node, which holds every other node.
    std::string Json(const std::string& root, const std::string& sceneExtras) const;

private:
    static int Add(std::vector<std::string>& list, const std::string& json) {
        list.push_back(json);
        return static_cast<int>(list.size()) - 1;
    }

    std::vector<GlbRun> runs;
    std::vector<int> targets_;
    std::vector<std::string> accessors, materials, meshes, nodes;
};

} // namespace gltf

} // namespace quillmere
