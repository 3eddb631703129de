#include "export/GltfJson.h"

#include "core/TextFormat.h"
#include "model/SurfaceSearch.h"

#include <cmath>

namespace quillmere::gltf {

namespace {

// The length of the UTF-8 sequence at text[i]; 0 when it is none (a file
// name may hold any bytes, JSON only UTF-8).
size_t Utf8Length(const std::string& text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
            return 0;
    return length;
}

std::string List(const char* name, const std::vector<std::string>& list) {
    if (list.empty())
        return "";
    std::string text = std::string(",\"") + name + "\":[";
    for (size_t i = 0; i < list.size(); ++i)
        text += (i ? "," : "") + list[i];
    return text + "]";
}

} // namespace

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        const size_t length = Utf8Length(text, i);
        if (length == 0)
            quoted += "\\ufffd";
        else if (c == '"' || c == '\\')
            quoted += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20)
            quoted += FormatText("\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        else
            quoted += text.substr(i, length);
        i += length == 0 ? 1 : length;
    }
    return quoted + "\"";
}

std::string Number(double value) {
    return std::isfinite(value) ? ExactNumber(value) : "0";
}

std::string Numbers(const double* values, size_t count) {
    std::string text = "[";
    for (size_t i = 0; i < count; ++i)
        text += (i ? "," : "") + Number(values[i]);
    return text + "]";
}

std::string NodeTransform(const AffineMap& map) {
    std::array<double, 9> r = map.m;
    const double determinant = r[0] * (r[4] * r[8] - r[5] * r[7]) - r[1] * (r[3] * r[8] - r[5] * r[6]) +
                               r[2] * (r[3] * r[7] - r[4] * r[6]);
    const bool mirrors = determinant < 0;
    if (mirrors)
        for (int row = 0; row < 3; ++row)
            r[static_cast<size_t>(3 * row)] = -r[static_cast<size_t>(3 * row)];
    auto at = [&r](int row, int column) { return r[static_cast<size_t>(3 * row + column)]; };
    std::array<double, 4> q; // x, y, z, w
    const double trace = at(0, 0) + at(1, 1) + at(2, 2);
    if (trace > 0) {
        const double s = 0.5 / std::sqrt(trace + 1);
        q = {(at(2, 1) - at(1, 2)) * s, (at(0, 2) - at(2, 0)) * s, (at(1, 0) - at(0, 1)) * s, 0.25 / s};
    } else if (at(0, 0) > at(1, 1) && at(0, 0) > at(2, 2)) {
        const double s = 2 * std::sqrt(1 + at(0, 0) - at(1, 1) - at(2, 2));
        q = {0.25 * s, (at(0, 1) + at(1, 0)) / s, (at(0, 2) + at(2, 0)) / s, (at(2, 1) - at(1, 2)) / s};
    } else if (at(1, 1) > at(2, 2)) {
        const double s = 2 * std::sqrt(1 + at(1, 1) - at(0, 0) - at(2, 2));
        q = {(at(0, 1) + at(1, 0)) / s, 0.25 * s, (at(1, 2) + at(2, 1)) / s, (at(0, 2) - at(2, 0)) / s};
    } else {
        const double s = 2 * std::sqrt(1 + at(2, 2) - at(0, 0) - at(1, 1));
        q = {(at(0, 2) + at(2, 0)) / s, (at(1, 2) + at(2, 1)) / s, 0.25 * s, (at(1, 0) - at(0, 1)) / s};
    }
    const double norm = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& component : q)
        component /= norm;
    const double translation[3] = {map.t.x, map.t.y, map.t.z};
    const double scale[3] = {mirrors ? -1.0 : 1.0, 1, 1};
    return "\"translation\":" + Numbers(translation, 3) + ",\"rotation\":" + Numbers(q.data(), 4) +
           ",\"scale\":" + Numbers(scale, 3);
}

std::string Material(const std::string& name, const std::array<double, 4>& colour, bool unlit) {
    return "{\"name\":" + Quoted(name) +
           ",\"pbrMetallicRoughness\":{\"baseColorFactor\":" + Numbers(colour.data(), 4) +
           ",\"metallicFactor\":0,\"roughnessFactor\":1}" +
           (unlit ? ",\"extensions\":{\"KHR_materials_unlit\":{}}" : "") +
           (colour[3] < 1 ? ",\"alphaMode\":\"BLEND\"" : "") + ",\"doubleSided\":true}";
}

size_t CGltfBuilder::AddRun(GlbRun run, const std::vector<int>& targets) {
    const size_t first = targets_.size();
    targets_.insert(targets_.end(), targets.begin(), targets.end());
    runs.push_back(std::move(run));
    return first;
}

int CGltfBuilder::AddAccessor(size_t view, int componentType, size_t count, const char* type,
                              const std::string& more) {
    accessors.push_back(FormatText("{\"bufferView\":%zu,\"componentType\":%d,\"count\":%zu,\"type\":\"%s\"",
                                   view, componentType, count, type) +
                        more + "}");
    return static_cast<int>(accessors.size()) - 1;
}

std::string CGltfBuilder::Json(const std::string& root, const std::string& sceneExtras) const {
    const std::vector<GlbView> views = LayOutGlb(runs);
    std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Quillmere\"},"
                       "\"extensionsUsed\":[\"KHR_materials_unlit\"],\"scene\":0,"
                       "\"scenes\":[{\"nodes\":[0]" +
                       sceneExtras + "}],\"nodes\":[" + root;
    for (const std::string& node : nodes)
        json += "," + node;
    json += "]";
    json += List("meshes", meshes) + List("materials", materials) + List("accessors", accessors);
    if (!views.empty()) {
        json +=
            ",\"buffers\":[{\"byteLength\":" + std::to_string(GlbBinaryLength(runs)) + "}],\"bufferViews\":[";
        for (size_t i = 0; i < views.size(); ++i)
            json +=
                (i ? "," : "") + FormatText("{\"buffer\":0,\"byteOffset\":%llu,\"byteLength\":%llu,"
                                            "\"target\":%d}",
                                            static_cast<unsigned long long>(views[i].offset),
                                            static_cast<unsigned long long>(views[i].length), targets_[i]);
        json += "]";
    }
    return json + "}";
}

} // namespace quillmere::gltf
