// The scene of a project as a view shows it, with or without a window: the
// view of the session it draws (its document, cut and comparison), the
// display settings, camera, quantity, scale limits, colour ramp, the
// drawer's lists and the off-screen frame for pictures. The window and the
// headless scene both host one and draw through it.
#pragma once

#include "config/DisplaySettings.h"
#include "render/COffscreenFrame.h"
#include "render/CSceneDrawer.h"
#include "scale/ColourRamp.h"
#include "scale/ScaleLimits.h"
#include "scene/CCamera.h"
#include "session/CSessionView.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CComparison;
class CProjectProfile;
class CSceneInteractor;
class QOpenGLContext;

// What a document update asks of a view's scene.
enum class SceneUpdate {
    None,
    Redraw,
    Lists,   // a new record or cut: every list
    Overlay, // one of the gestures' overlays
    // The cut window's cross-hair and the cut line of the shown record: the
    // limits stay as they are.
    CutMark,
    CutLine,
};

// What a scene asks of the window that shows it.
class ISceneWindow {
public:
    virtual ~ISceneWindow() = default;
    // The window's frame as it stands: size in device pixels, drag, clip
    // planes and zoom box.
    virtual FrameState WindowFrame() const = 0;
    // The window's context with the scene's lists, made when it has none
    // yet; null when it cannot be made.
    virtual QOpenGLContext* ListContext() = 0;
};

class CScene {
public:
    // The scene draws shown, which outlives it. With a window the lists live
    // in the window's context and the off-screen frame shares them; without
    // one the scene draws in an EGL context of its own (Offscreen() holds
    // it).
    CScene(CSessionView& shown, const DisplaySettings& settings, int quantity,
           ISceneWindow* window = nullptr);
    ~CScene();
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    CProjectProfile* Project() const { return view.Project(); }
    CCamera& Camera() { return camera; }
    DisplaySettings& Settings() { return settings; }
    const DisplaySettings& Settings() const { return settings; }
    // The limits of the quantity shown: of the differences while comparing,
    // kept apart from those of the plain values.
    ScaleLimits& Limits() { return Comparison() ? differenceLimits : limits; }
    int Quantity() const { return quantity; }
    void SetQuantity(int shown) { quantity = shown; }
    CSceneDrawer& Drawer() { return drawer; }
    const CSceneDrawer& Drawer() const { return drawer; }

    // The difference to a reference (see CComparison) instead of the
    // quantity's values: its colours on the diverging ramp, its limits. It
    // becomes the view's comparison (CSessionView::SetComparison: false, with
    // the reason in failure, and nothing changes), which reads the record
    // after the shown one ahead as the scene steps on.
    bool SetComparison(std::shared_ptr<CComparison> compared, std::string& failure);
    void ClearComparison();
    const std::shared_ptr<CComparison>& Comparison() const { return view.Comparison(); }
    // Reads the reference record that record (1-based) is compared with
    // ahead, to be run by a job before the scene shows record; null when
    // the scene compares with nothing.
    std::function<void()> ReferencePreparation(int record) const {
        return view.ReferencePreparation(record, quantity);
    }
    // Why the scene stopped comparing by itself (the reference record that
    // follows the view's could not be read); "" when it did not. Taking it
    // clears it.
    std::string TakeComparisonFailure() { return view.TakeComparisonFailure(); }
    // The record the document's sheet holds.
    int ShownRecord() const { return view.ShownRecord(); }

    // What an update hint asks of a view that shows shownRecord.
    SceneUpdate UpdateFor(int hint, int shownRecord) const;
    // Every update recomputes the scale limits but the cut window's.
    static bool UpdateKeepsLimits(SceneUpdate update) {
        return update == SceneUpdate::CutMark || update == SceneUpdate::CutLine;
    }
    // In the current context: the overlay an update hint names, from the
    // gestures' state and the pick outline.
    void BuildOverlay(int hint, const CSceneInteractor& gestures);
    // The outline of the current pick; clearing gives false when there was
    // none.
    void SetPickOutline(const std::vector<std::array<int, 2>>& outline) { pickOutline = outline; }
    bool ClearPickOutline();
    // The window position of a model point in the window's frame (device
    // pixels, y downwards).
    std::array<double, 2> WindowPoint(const CCoordinate& point) const;
    // In the current context: the cross-hair (arms of reach pixels) on the
    // mark of the session's cut when shown and the cut has one; none
    // otherwise.
    void BuildCutMark(bool shown, int reach);
    // In the current context: the line of the session's cut of the record
    // shown (a new cut of the same record).
    void BuildCutLine();

    // The scale range of the shown record and quantity, computed again only
    // when the values, the quantity or its limits setting changed; false
    // when there is no sheet.
    bool RecomputeLimits();
    // The range the colours and the scale labels use (stored units).
    double ScaleMinimum() const { return scaleMinimum; }
    double ScaleMaximum() const { return scaleMaximum; }

    // In the current context: every list from the document and settings,
    // one frame, and the zoom and pan that fit the shown parts into it.
    void RebuildLists();
    void DrawFrame(const FrameState& frame);
    void Fit(const FrameState& frame);

    // The window's frame (a default one without a window) with the sheet's
    // element count.
    FrameState Frame() const;
    int SheetElementCount() const;

    // The off-screen frame, made on first use; null when the window has no
    // context. It may be invalid (IsValid() false) without a window.
    COffscreenFrame* Offscreen();
    // Drops the off-screen frame (before the window's context goes).
    void ReleaseOffscreen() { offscreen.reset(); }
    // Draws a frame off-screen with a copy of the camera: the whole frame,
    // or its tile when the frame names one. Null without an off-screen frame
    // or when it cannot be drawn.
    QImage Render(const FrameState& frame);
    // The window's frame at another size; with motion, as drawn during a
    // drag.
    QImage RenderImage(int width, int height, bool motion = false);
    // One tile of a width x height frame of the window.
    QImage RenderTile(int width, int height, int tileLeft, int tileBottom, int tileWidth, int tileHeight);
    // The largest off-screen frame either way; 0 without one.
    int MaxFrameSize();
    // Fits the shown parts into a w x h frame drawn off-screen (on a smaller
    // frame of the same shape when large).
    void FitOffscreen(int w, int h);

private:
    CSessionView& view;
    ISceneWindow* window;
    DisplaySettings settings;
    CCamera camera;
    int quantity;
    ScaleLimits limits;
    ScaleLimits differenceLimits;
    std::vector<double> differences;
    // Readies the comparison for the shown record; stops comparing when it
    // cannot.
    void PrepareComparison();
    // What the scale range was last computed from.
    struct LimitsSource {
        uint64_t values = 0;
        uint64_t reference = 0; // the compared reference's values; 0 when plain
        int quantity = -1;
        uint32_t mode = 0;
        double fixedMinimum = 0, fixedMaximum = 0;
        bool operator==(const LimitsSource& o) const {
            return values == o.values && reference == o.reference && quantity == o.quantity &&
                   mode == o.mode && fixedMinimum == o.fixedMinimum && fixedMaximum == o.fixedMaximum;
        }
    } limitsSource;
    double scaleMinimum = 0, scaleMaximum = 0;
    ColourRamp ramp;
    CSceneDrawer drawer;
    std::vector<std::array<int, 2>> pickOutline;
    std::unique_ptr<COffscreenFrame> offscreen;
};
