#include "render/CScene.h"

#include "model/CProjectProfile.h"
#include "scale/Comparison.h"
#include "scale/ScaleRange.h"
#include "scene/CSceneInteractor.h"
#include "session/CSession.h"

#include <algorithm>
#include <cmath>

namespace {
// The off-screen fit is worked out on a frame of this size at most, of the
// same shape.
constexpr int FitFrameSize = 1024;
} // namespace

CScene::CScene(CSessionView& shown, const DisplaySettings& display, int shownQuantity, ISceneWindow* host)
    : view(shown), window(host), settings(display), quantity(shownQuantity) {
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

bool CScene::SetComparison(std::shared_ptr<CComparison> compared, std::string& failure) {
    if (!compared)
        return false;
    // A view steps on: its next record is read meanwhile.
    compared->SetReadAhead(true);
    if (!view.SetComparison(std::move(compared), failure))
        return false;
    limitsSource = LimitsSource();
    return true;
}

void CScene::ClearComparison() {
    view.ClearComparison();
    limitsSource = LimitsSource();
}

void CScene::PrepareComparison() {
    if (!view.PrepareComparison())
        limitsSource = LimitsSource();
}

bool CScene::RecomputeLimits() {
    if (!view.Sheet())
        return false;
    PrepareComparison();
    const CSheetProfile& sheet = *view.Sheet();
    CComparison* comparison = Comparison().get();
    const ScaleLimits& shown = Limits();
    const LimitsSource source{sheet.ValuesGeneration(),
                              comparison ? comparison->Reference()->ValuesGeneration() : 0,
                              quantity,
                              shown.FixedMode(quantity),
                              shown.FixedMinimum(quantity),
                              shown.FixedMaximum(quantity)};
    if (!(source == limitsSource)) {
        ScaleRange range;
        if (comparison) {
            comparison->FillDifferences(sheet, quantity, differences);
            range = DifferenceRange(differences, quantity, shown);
        } else {
            range = ComputeScaleRange(sheet, quantity, shown);
        }
        limitsSource = source;
        scaleMinimum = range.minimum;
        scaleMaximum = range.maximum;
    }
    return true;
}

SceneUpdate CScene::UpdateFor(int hint, int shownRecord) const {
    switch (hint) {
    case HintCutMark:
    case HintCutWindowCloses:
        return SceneUpdate::CutMark;
    case HintCutChanged:
        // A cut of the record shown needs its line alone.
        return Project() && shownRecord == Project()->CurrentRecord() ? SceneUpdate::CutLine
                                                                      : SceneUpdate::Lists;
    case HintNewRecord:
    case HintRecordStep:
        return SceneUpdate::Lists;
    case HintRedraw:
        return SceneUpdate::Redraw;
    case HintZoomBox:
    case HintMeasurementFirst:
    case HintMeasurementSecond:
    case HintMeasurementLine:
    case HintPickHighlight:
        return SceneUpdate::Overlay;
    default:
        return SceneUpdate::None;
    }
}

void CScene::BuildOverlay(int hint, const CSceneInteractor& gestures) {
    if (hint == HintZoomBox) {
        const auto& b = gestures.ZoomBox();
        if (CSceneInteractor::ZoomBoxMode() && gestures.Dragging())
            drawer.BuildOverlay(Overlay::ZoomBox, {{b[0], b[1]}, {b[2], b[1]}, {b[2], b[3]}, {b[0], b[3]}});
        else
            drawer.BuildOverlay(Overlay::ZoomBox, {});
    } else if (hint == HintPickHighlight) {
        drawer.BuildOverlay(Overlay::PickHighlight, pickOutline);
    } else if (hint == HintMeasurementFirst || hint == HintMeasurementSecond) {
        const int point = hint == HintMeasurementFirst ? 0 : 1;
        const Overlay overlay = point == 0 ? Overlay::FirstPoint : Overlay::SecondPoint;
        const MarkerRect& r = gestures.Marker(point);
        if (r.shown)
            drawer.BuildMarker(overlay, r.left, r.top, r.right, r.bottom);
        else
            drawer.BuildOverlay(overlay, {});
    } else if (hint == HintMeasurementLine) {
        const MarkerRect &first = gestures.Marker(0), &second = gestures.Marker(1);
        if (first.shown && second.shown)
            drawer.BuildOverlay(Overlay::MeasurementLine,
                                {{first.CentreX(), first.CentreY()}, {second.CentreX(), second.CentreY()}});
        else
            drawer.BuildOverlay(Overlay::MeasurementLine, {});
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

void CScene::BuildCutMark(bool shown, int reach) {
    const CCoordinate* mark = view.Session() ? view.Session()->CutMark() : nullptr;
    if (shown && mark) {
        const auto at = WindowPoint(*mark);
        drawer.BuildCrossHair(static_cast<int>(at[0]), static_cast<int>(at[1]), reach);
    } else {
        drawer.BuildOverlay(Overlay::CutMark, {});
    }
}

void CScene::BuildCutLine() {
    drawer.BuildCutList(view.Session() ? view.Session()->CutLine() : nullptr);
}

void CScene::RebuildLists() {
    PrepareComparison();
    BuildCutLine();
    drawer.BuildSheetLists(view.Sheet(), settings, quantity, Limits(), ramp, Comparison().get());
    drawer.BuildToolLists(Project() ? &Project()->Tools() : nullptr, settings);
}

void CScene::DrawFrame(const FrameState& frame) {
    drawer.DrawFrame(camera, frame, settings);
}

void CScene::Fit(const FrameState& frame) {
    drawer.Fit(camera, frame, settings, view.Sheet(), Project() ? &Project()->Tools() : nullptr);
}

int CScene::SheetElementCount() const {
    return view.Sheet() ? view.Sheet()->ElementCount() : 0;
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
