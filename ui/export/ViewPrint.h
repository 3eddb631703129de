// Printing a view's scene.
#pragma once

class QPrinter;

namespace quillmere {

class CConfiguration;
class CSceneRender;

// The view's scene, caption black on white, with the colour scale when the
// export options say so. A failure is shown: "Pixel format error." when the
// image could not be drawn at its size, "Graphical initilaization failed."
// when the view has no context or the printer cannot be started.
bool PrintScene(QPrinter& printer, CSceneRender& view, const CConfiguration& configuration);

} // namespace quillmere
