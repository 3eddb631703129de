// A project's 3D scene drawn with no window and no display: a scene with an
// off-screen context of its own (EGL) whose lists are built from a view of a
// session, the camera, quantity and display settings of a view, and the
// scene image with its annotations at any size.
#pragma once

#include "config/DisplaySettings.h"
#include "render/CScene.h"
#include "render/SceneImage.h"
#include "scale/Quantity.h"

#include <QImage>

#include <string>

namespace quillmere {

class CConfiguration;
class CProjectProfile;

class CHeadlessScene {
public:
    // The scene of shown's current record (shown has a session and outlives
    // the scene). IsValid() is false, with Error() telling why, when no
    // context could be made.
    CHeadlessScene(CSessionView& shown, const DisplaySettings& settings, ResultQuantity quantity,
                   const CCamera& camera);
    CHeadlessScene(const CHeadlessScene&) = delete;
    CHeadlessScene& operator=(const CHeadlessScene&) = delete;

    bool IsValid() const;
    const std::string& Error() const { return error; }

    // Rebuilds the sheet lists and the presentation after the document's
    // current record changed (the video steps through the records).
    void Update();
    // Zoom and pan that fit the shown sheet and tools into a w x h frame in
    // the camera's current rotation, as a view's "Fit into window" does.
    void Fit(int w, int h);

    // The scene image of w x h pixels (up to 20000 each way; drawn in tiles
    // when larger than the driver's framebuffer) with the annotations of
    // options; a null image, with Error() set, on failure.
    QImage Render(int w, int h, const SceneImageOptions& options = SceneImageOptions());
    // The bare frame without annotations (the video's frames are halved
    // after the caption is drawn, so it uses Render).
    QImage RenderFrame(int w, int h);

    // The units of the colour scale's labels; without one the scale is
    // drawn without labels.
    void SetConfiguration(const CConfiguration* units) { scene.SetUnits(units); }

    CCamera& Camera() { return scene.Camera(); }
    DisplaySettings& Settings() { return scene.Settings(); }
    ScaleLimits& Limits() { return scene.Limits(); }
    ResultQuantity Quantity() const { return scene.Quantity(); }
    CProjectProfile& Project() { return project; }
    // What the colours and the colour scale show.
    const Presentation& Presented() const { return scene.Presented(); }
    CScene& Scene() { return scene; }

private:
    CProjectProfile& project;
    CScene scene;
    // The scene's own context.
    COffscreenFrame& frame;
    std::string error;
};

} // namespace quillmere
