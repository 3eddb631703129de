// quillmere-batch gltf: the 3D model of the sheet and its tools as a glTF
// 2.0 binary file (.glb), as File > Export 3D model... writes it.
#pragma once

#include "batch/BatchCommand.h"

namespace quillmere {

// The model of the record, coloured by the quantity (or its differences to
// the view's comparison) with the configuration's display settings.
int WriteGltf(const BatchArguments& arguments, BatchProject& project);

} // namespace quillmere
