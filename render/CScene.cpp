#include "render/CScene.h"

#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "scale/Comparison.h"
#include "scene/CSceneInteractor.h"
#include "session/CSession.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

namespace {
// The off-screen fit is worked out on a frame of this size at most, of the
// same shape.
constexpr int FitFrameSize = 1024;
} // namespace

CScene::CScene(CSessionView& shown, const DisplaySettings& display, ResultQuantity shownQuantity,
               ISceneWindow* host)
    : view(shown), window(host), settings(display), quantity(shownQuantity),
      // Until there is a sheet to present: the quantity's bar.
      presentation(MakePresentation({nullptr, quantity, ScaleLimits(), nullptr, 0, nullptr})) {
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

bool CScene::SetComparison(std::shared_ptr<CComparison> compared, Message& failure) {
    if (!compared)
        return false;
    // A view steps on: its next record is read meanwhile.
    compared->SetReadAhead(true);
    // The presentation lets go of the comparison it replaces.
    presentation.Drop();
    return view.SetComparison(std::move(compared), failure);
}

void CScene::ClearComparison() {
    // The presentation holds the comparison too: it lets go with the scene,
    // so that a comparison stopped goes (and waits for what it reads ahead)
    // now, not at the next update, which makes the presentation again.
    presentation.Drop();
    view.ClearComparison();
}

bool CScene::UpdatePresentation() {
    if (!view.Sheet())
        return false;
    // Readies the comparison for the shown record; the view stops comparing
    // when it cannot.
    if (!view.PrepareComparison())
        presentation.Drop();
    presentation.Update(
        {view.Sheet(), quantity, Limits(), Comparison(), view.ShownRecord(), units, minimumWall});
    return true;
}

SceneUpdate CScene::UpdateFor(DocumentEvent event, int shownRecord) const {
    switch (event) {
    case DocumentEvent::CutChanged:
        // A cut of the record shown needs its line alone.
        return Project() && shownRecord == Project()->CurrentRecord() ? SceneUpdate::CutLine
                                                                      : SceneUpdate::Lists;
    case DocumentEvent::SettingsChanged:
        break;
    }
    return SceneUpdate::Redraw;
}

void CScene::BuildOverlay(Overlay overlay, const CSceneInteractor& gestures) {
    switch (overlay) {
    case Overlay::ZoomBox: {
        const auto& b = gestures.ZoomBox();
        if (CSceneInteractor::ZoomBoxMode() && gestures.Dragging())
            drawer.BuildOverlay(overlay, {{b[0], b[1]}, {b[2], b[1]}, {b[2], b[3]}, {b[0], b[3]}});
        else
            drawer.BuildOverlay(overlay, {});
        break;
    }
    case Overlay::PickHighlight:
        drawer.BuildOverlay(overlay, pickOutline);
        break;
    case Overlay::FirstPoint:
    case Overlay::SecondPoint: {
        const MarkerRect& r = gestures.Marker(overlay == Overlay::FirstPoint ? 0 : 1);
        if (r.shown)
            drawer.BuildMarker(overlay, r.left, r.top, r.right, r.bottom);
        else
            drawer.BuildOverlay(overlay, {});
        break;
    }
    case Overlay::MeasurementLine: {
        const MarkerRect &first = gestures.Marker(0), &second = gestures.Marker(1);
        if (first.shown && second.shown)
            drawer.BuildOverlay(overlay,
                                {{first.CentreX(), first.CentreY()}, {second.CentreX(), second.CentreY()}});
        else
            drawer.BuildOverlay(overlay, {});
        break;
    }
    default:
        break;
    }
}

bool CScene::ClearPickOutline() {
    if (pickOutline.empty())
        return false;
    pickOutline.clear();
    return true;
}

std::array<double, 2> CScene::WindowPoint(const CCoordinate& point) const {
    const FrameState frame = Frame();
    const auto at = camera.ToWindow(point, frame.width, frame.height);
    return {at[0], at[1]};
}

void CScene::BuildCutMark(int reach) {
    const CCoordinate* mark = view.Session() ? view.Session()->CutMark() : nullptr;
    if (mark) {
        const auto at = WindowPoint(*mark);
        drawer.BuildCrossHair(static_cast<int>(at[0]), static_cast<int>(at[1]), reach);
    } else {
        drawer.BuildOverlay(Overlay::CutMark, {});
    }
}

void CScene::BuildCutLine() {
    drawer.BuildCutList(view.Session() ? view.Session()->CutLine() : nullptr);
}

void CScene::BuildMeasurementMarkers() {
    if (const MeasuredPoints* measured = view.Session() ? view.Session()->Measured().get() : nullptr)
        drawer.SetMeasurementMarkers(MeasurementMarkers(*measured), view.Session()->SelectedPoint());
    else
        drawer.SetMeasurementMarkers({}, -1);
}

void CScene::CentreOn(const CCoordinate& point) {
    const FrameState frame = Frame();
    const auto at = camera.ToWindow(point, frame.width, frame.height);
    if (!std::isfinite(at[0]) || !std::isfinite(at[1]))
        return;
    // The window shows visibleWidth x visibleHeight of the model.
    camera.panX +=
        static_cast<float>((frame.width / 2.0 - at[0]) / std::max(frame.width, 1) * camera.visibleWidth);
    camera.panY -=
        static_cast<float>((frame.height / 2.0 - at[1]) / std::max(frame.height, 1) * camera.visibleHeight);
}

void CScene::RebuildLists() {
    // The colours follow the presentation.
    UpdatePresentation();
    BuildCutLine();
    BuildMeasurementMarkers();
    drawer.BuildSheetLists(view.Sheet(), settings, presentation.Shown());
    drawer.BuildToolLists(Project() ? &Project()->Tools() : nullptr, settings);
}

void CScene::DrawFrame(const FrameState& frame) {
    drawer.DrawFrame(camera, frame, settings);
}

void CScene::Fit(const FrameState& frame) {
    drawer.Fit(camera, frame, settings, view.Sheet(), Project() ? &Project()->Tools() : nullptr);
}

FrameState CScene::Frame() const {
    FrameState frame = window ? window->WindowFrame() : FrameState();
    frame.sheetElementCount = view.Sheet() ? view.Sheet()->ElementCount() : 0;
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

} // namespace quillmere
