// The 18 x 18 images of the standard toolbar's buttons, drawn by the program.
#pragma once

#include <QIcon>

namespace quillmere {

QIcon ToolbarImage(int commandId);

} // namespace quillmere
