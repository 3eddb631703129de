#include "render/CScene.h"

#include "model/CProjectProfile.h"
#include "scale/ScaleRange.h"

#include <algorithm>
#include <cmath>

namespace {
// The off-screen fit is worked out on a frame of this size at most, of the
// same shape.
constexpr int FitFrameSize = 1024;
} // namespace

CScene::CScene(CProjectProfile* document, const DisplaySettings& display, int shownQuantity,
               ISceneWindow* host)
    : project(document), window(host), settings(display), quantity(shownQuantity) {
    if (!window)
        offscreen = std::make_unique<COffscreenFrame>();
}

CScene::~CScene() {
    // A window releases the lists of its own context.
    if (!window && offscreen && offscreen->IsValid() && offscreen->MakeCurrent()) {
        drawer.ReleaseLists();
        offscreen->DoneCurrent();
    }
}

bool CScene::RecomputeLimits() {
    if (!project || !project->Sheet())
        return false;
    const CSheetProfile& sheet = *project->Sheet();
    const LimitsSource source{sheet.ValuesGeneration(), quantity, limits.FixedMode(quantity),
                              limits.FixedMinimum(quantity), limits.FixedMaximum(quantity)};
    if (!(source == limitsSource)) {
        const ScaleRange range = ComputeScaleRange(sheet, quantity, limits);
        limitsSource = source;
        scaleMinimum = range.minimum;
        scaleMaximum = range.maximum;
    }
    return true;
}

void CScene::RebuildLists() {
    drawer.BuildSheetLists(project ? project->Sheet() : nullptr, settings, quantity, limits, ramp);
    drawer.BuildToolLists(project ? project->Tools() : nullptr, settings);
}

void CScene::DrawFrame(const FrameState& frame) {
    drawer.DrawFrame(camera, frame, settings);
}

void CScene::Fit(const FrameState& frame) {
    drawer.Fit(camera, frame, settings, project ? project->Sheet() : nullptr,
               project ? project->Tools() : nullptr);
}

int CScene::SheetElementCount() const {
    return project && project->Sheet() ? project->Sheet()->ElementCount() : 0;
}

FrameState CScene::Frame() const {
    FrameState frame = window ? window->WindowFrame() : FrameState();
    frame.sheetElementCount = SheetElementCount();
    return frame;
}

COffscreenFrame* CScene::Offscreen() {
    if (!window)
        return offscreen.get();
    QOpenGLContext* context = window->ListContext();
    if (!context)
        return nullptr;
    if (!offscreen)
        offscreen = std::make_unique<COffscreenFrame>(context);
    return offscreen.get();
}

QImage CScene::Render(const FrameState& frame) {
    COffscreenFrame* target = Offscreen();
    if (!target)
        return QImage();
    const bool tile = frame.tileWidth > 0 && frame.tileHeight > 0;
    CCamera copy = camera;
    return target->Render(tile ? frame.tileWidth : frame.width, tile ? frame.tileHeight : frame.height, [&] {
        CSceneDrawer::InitialiseContext();
        drawer.DrawFrame(copy, frame, settings);
    });
}

QImage CScene::RenderImage(int w, int h, bool motion) {
    FrameState frame = Frame();
    frame.width = w;
    frame.height = h;
    frame.motion = motion;
    return Render(frame);
}

QImage CScene::RenderTile(int w, int h, int tileLeft, int tileBottom, int tileWidth, int tileHeight) {
    FrameState frame = Frame();
    frame.width = w;
    frame.height = h;
    frame.tileLeft = tileLeft;
    frame.tileBottom = tileBottom;
    frame.tileWidth = tileWidth;
    frame.tileHeight = tileHeight;
    return Render(frame);
}

int CScene::MaxFrameSize() {
    COffscreenFrame* target = Offscreen();
    return target ? target->MaxFrameSize() : 0;
}

void CScene::FitOffscreen(int w, int h) {
    COffscreenFrame* target = Offscreen();
    if (!target || !target->IsValid() || w < 1 || h < 1)
        return;
    // The zoom and pan from what one frame covers, on a frame of the same
    // shape that the driver surely draws.
    const double shrink = std::min(1.0, static_cast<double>(FitFrameSize) / std::max(w, h));
    FrameState frame = Frame();
    frame.width = std::max(1, static_cast<int>(std::lround(w * shrink)));
    frame.height = std::max(1, static_cast<int>(std::lround(h * shrink)));
    target->Render(frame.width, frame.height, [&] {
        CSceneDrawer::InitialiseContext();
        Fit(frame);
    });
}
