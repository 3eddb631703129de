// "Export 3D model...": what the active view shows (its record, quantity,
// comparison and tools) as a glTF 2.0 binary model, as quillmere-batch gltf
// writes it.
#pragma once

#include <string>

namespace quillmere {

class CSceneRender;

// The model the save dialog suggests for a project: cup.glb beside cup.tfc.
std::string DefaultModelName(const std::string& projectPath);

// Writes the model of what view shows to fileName, ".glb" added to a name
// without it; true when written. Says so, or why not, through the message
// sink.
bool ExportModel(CSceneRender& view, const std::string& fileName);

} // namespace quillmere
