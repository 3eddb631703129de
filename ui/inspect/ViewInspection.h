// Gives a 3D view its data tip and its distance measurement window: the tip
// follows the view's picks, the window opens when both points are picked.
#pragma once

namespace quillmere {

class CConfiguration;
class CDataTip;
class CSceneRender;

// The view's one data tip (a child of the view, so it goes with it); the
// configuration must outlive the view.
CDataTip* AttachInspection(CSceneRender& view, const CConfiguration& configuration);

} // namespace quillmere
