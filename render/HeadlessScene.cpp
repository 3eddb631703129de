#include "render/HeadlessScene.h"

#include "model/CProjectProfile.h"

#include <string>

namespace quillmere {

CHeadlessScene::CHeadlessScene(CSessionView& shown, const DisplaySettings& display,
                               ResultQuantity shownQuantity, const CCamera& view)
    : project(*shown.Project()), scene(shown, display, shownQuantity), frame(*scene.Offscreen()) {
    scene.Camera() = view;
    if (!frame.IsValid() || !frame.MakeCurrent()) {
        error = frame.Error();
        return;
    }
    CSceneDrawer::InitialiseContext();
    frame.DoneCurrent();
    Update();
}

bool CHeadlessScene::IsValid() const {
    return frame.IsValid();
}

void CHeadlessScene::Update() {
    if (!frame.IsValid())
        return;
    scene.UpdatePresentation();
    if (!frame.MakeCurrent()) {
        error = frame.Error();
        return;
    }
    // The tools move with the records.
    scene.RebuildLists();
    frame.DoneCurrent();
}

void CHeadlessScene::Fit(int w, int h) {
    scene.FitOffscreen(w, h);
}

QImage CHeadlessScene::RenderFrame(int w, int h) {
    if (!IsValid() || w < 1 || h < 1 || w > MaxSceneImageSize || h > MaxSceneImageSize) {
        if (error.empty() && IsValid())
            error = "a picture needs 1 to " + std::to_string(MaxSceneImageSize) + " pixels each way";
        return QImage();
    }
    QImage image = RenderSceneFrame(scene, w, h);
    if (image.isNull() && !frame.Error().empty())
        error = frame.Error();
    return image;
}

QImage CHeadlessScene::Render(int w, int h, const SceneImageOptions& options) {
    QImage image = RenderFrame(w, h);
    if (image.isNull())
        return image;
    // The labels in the units given since the last update.
    if (options.colourScale)
        scene.UpdatePresentation();
    AnnotateSceneImage(image, SceneAnnotationsOf(scene, project.CurrentRecord()), options);
    return image;
}

} // namespace quillmere
