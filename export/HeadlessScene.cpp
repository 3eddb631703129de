#include "export/HeadlessScene.h"

#include "model/CMoldProfile.h"
#include "model/CProjectProfile.h"
#include "model/CSheetProfile.h"
#include "scale/ScaleRange.h"
#include "scene/COffscreenFrame.h"
#include "scene/CSceneDrawer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {
// The fit is worked out on a frame of this size at most, of the same shape.
constexpr int FitFrameSize = 1024;
} // namespace

CHeadlessScene::CHeadlessScene(CProjectProfile& document, const DisplaySettings& display, int shownQuantity,
                               const CCamera& view)
    : project(document), settings(display), quantity(shownQuantity), camera(view),
      frame(std::make_unique<COffscreenFrame>()), drawer(std::make_unique<CSceneDrawer>()) {
    if (!frame->IsValid()) {
        error = frame->Error();
        return;
    }
    if (!frame->MakeCurrent()) {
        error = frame->Error();
        return;
    }
    CSceneDrawer::InitialiseContext();
    drawer->BuildToolLists(project.Tools(), settings);
    frame->DoneCurrent();
    Update();
}

CHeadlessScene::~CHeadlessScene() {
    if (frame && frame->IsValid() && frame->MakeCurrent()) {
        drawer->ReleaseLists();
        frame->DoneCurrent();
    }
}

bool CHeadlessScene::IsValid() const {
    return frame && frame->IsValid();
}

void CHeadlessScene::Update() {
    if (!frame->IsValid())
        return;
    if (const CSheetProfile* sheet = project.Sheet()) {
        const ScaleRange range = ComputeScaleRange(*sheet, quantity, limits);
        scaleMinimum = range.minimum;
        scaleMaximum = range.maximum;
    }
    if (!frame->MakeCurrent()) {
        error = frame->Error();
        return;
    }
    drawer->BuildSheetLists(project.Sheet(), settings, quantity, limits, ramp);
    // The tools move with the records.
    drawer->BuildToolLists(project.Tools(), settings);
    frame->DoneCurrent();
}

void CHeadlessScene::Fit(int w, int h) {
    if (!IsValid() || w < 1 || h < 1)
        return;
    // The zoom and pan from what one frame covers, on a frame of the same
    // shape that the driver surely draws.
    const double shrink = std::min(1.0, static_cast<double>(FitFrameSize) / std::max(w, h));
    FrameState state;
    state.width = std::max(1, static_cast<int>(std::lround(w * shrink)));
    state.height = std::max(1, static_cast<int>(std::lround(h * shrink)));
    state.sheetElementCount = project.Sheet() ? project.Sheet()->ElementCount() : 0;
    frame->Render(state.width, state.height, [&] {
        CSceneDrawer::InitialiseContext();
        drawer->Fit(camera, state, settings, project.Sheet(), project.Tools());
    });
}

QImage CHeadlessScene::RenderFrame(int w, int h) {
    if (!IsValid() || w < 1 || h < 1 || w > MaxSceneImageSize || h > MaxSceneImageSize) {
        if (error.empty() && IsValid())
            error = "a picture needs 1 to " + std::to_string(MaxSceneImageSize) + " pixels each way";
        return QImage();
    }
    const int limit = ForcedTileLimit() > 0 ? ForcedTileLimit() : frame->MaxFrameSize();
    FrameState state;
    state.width = w;
    state.height = h;
    state.sheetElementCount = project.Sheet() ? project.Sheet()->ElementCount() : 0;
    QImage image = RenderInTiles(w, h, limit, [&](const FrameTile& tile) {
        FrameState part = state;
        part.tileLeft = tile.left;
        part.tileBottom = tile.bottom;
        part.tileWidth = tile.width;
        part.tileHeight = tile.height;
        CCamera copy = camera;
        return frame->Render(tile.width, tile.height, [&] {
            CSceneDrawer::InitialiseContext();
            drawer->DrawFrame(copy, part, settings);
        });
    });
    if (image.isNull() && !frame->Error().empty())
        error = frame->Error();
    return image;
}

QImage CHeadlessScene::Render(int w, int h, const SceneImageOptions& options) {
    QImage image = RenderFrame(w, h);
    if (image.isNull())
        return image;
    SceneAnnotations annotations;
    annotations.title = project.Title();
    annotations.record = project.CurrentRecord();
    annotations.recordCount = project.RecordCount();
    annotations.quantity = quantity;
    if (options.colourScale && configuration)
        annotations.scaleLabels = SceneScaleLabels(quantity, scaleMinimum, scaleMaximum, *configuration);
    AnnotateSceneImage(image, annotations, options);
    return image;
}
