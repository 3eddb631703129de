// The scene of a project as a view shows it, with or without a window: the
// view of the session it draws (its document, cut and comparison), the
// display settings, camera, quantity, limits setting and the
// presentation made of them, the drawer's lists and the off-screen frame for
// pictures. The window and the headless scene both host one and draw
// through it.
#pragma once

#include "config/DisplaySettings.h"
#include "model/CDocument.h"
#include "render/CKeptPresentation.h"
#include "render/COffscreenFrame.h"
#include "render/CSceneDrawer.h"
#include "scale/Presentation.h"
#include "scale/ScaleLimits.h"
#include "scene/CCamera.h"
#include "session/CSessionView.h"

#include <QImage>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QOpenGLContext;

namespace quillmere {

class CComparison;
class CConfiguration;
class CProjectProfile;
class CSceneInteractor;

// What a document event asks of a view's scene.
enum class SceneUpdate {
    Redraw,
    Lists, // a new record: every list
    // The cut line of the shown record and its mark: the presentation stays
    // as it is.
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
    CScene(CSessionView& shown, const DisplaySettings& settings, ResultQuantity quantity,
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
    const ScaleLimits& Limits() const { return Comparison() ? differenceLimits : limits; }
    ResultQuantity Quantity() const { return quantity; }
    void SetQuantity(ResultQuantity shown) { quantity = shown; }
    // The elements thinner than this (metres) are drawn in the warning
    // colour whatever the quantity; not above 0: none.
    double MinimumWall() const { return minimumWall; }
    void SetMinimumWall(double wall) { minimumWall = wall > 0 ? wall : 0; }
    CSceneDrawer& Drawer() { return drawer; }
    const CSceneDrawer& Drawer() const { return drawer; }

    // The difference to a reference (see CComparison) instead of the
    // quantity's values: its colours on the diverging ramp, its limits. It
    // becomes the view's comparison (CSessionView::SetComparison: false, with
    // the reason in failure, and nothing changes), which reads the record
    // after the shown one ahead as the scene steps on.
    bool SetComparison(std::shared_ptr<CComparison> compared, Message& failure);
    void ClearComparison();
    const std::shared_ptr<CComparison>& Comparison() const { return view.Comparison(); }
    // The view of the session the scene draws: its record, its comparison
    // (read ahead, or why it stopped) and the session's cut and points.
    CSessionView& View() const { return view; }

    // What a document event asks of a view that shows shownRecord.
    SceneUpdate UpdateFor(DocumentEvent event, int shownRecord) const;
    // In the current context: the overlay of the view's gestures, from their
    // state and the pick outline.
    void BuildOverlay(Overlay overlay, const CSceneInteractor& gestures);
    // The outline of the current pick; clearing gives false when there was
    // none.
    void SetPickOutline(const std::vector<std::array<int, 2>>& outline) { pickOutline = outline; }
    bool ClearPickOutline();
    // The window position of a model point in the window's frame (device
    // pixels, y downwards).
    std::array<double, 2> WindowPoint(const CCoordinate& point) const;
    // In the current context: the cross-hair (arms of reach pixels) on the
    // mark of the session's cut when it has one; none otherwise.
    void BuildCutMark(int reach);
    // In the current context: the line of the session's cut of the record
    // shown (a new cut of the same record).
    void BuildCutLine();
    // The markers of the session's measured points and the one selected.
    void BuildMeasurementMarkers();
    // Pans so that a model point lies in the middle of the window's frame.
    void CentreOn(const CCoordinate& point);

    // The system of units of the presentation's texts (none without); gives
    // the one it replaces.
    const CConfiguration* SetUnits(const CConfiguration* shownUnits) {
        return std::exchange(units, shownUnits);
    }
    const CConfiguration* Units() const { return units; }
    // Makes the presentation of the shown record again when its values, the
    // quantity, its limits setting, the comparison (or its names) or the
    // system of units changed since; false, leaving it as it was, when there
    // is no sheet.
    bool UpdatePresentation();
    // What the colours, the scale and the annotations show.
    const Presentation& Presented() const { return presentation.Shown(); }

    // In the current context: every list from the document and settings,
    // one frame, and the zoom and pan that fit the shown parts into it.
    void RebuildLists();
    void DrawFrame(const FrameState& frame);
    void Fit(const FrameState& frame);

    // The window's frame (a default one without a window) with the sheet's
    // element count.
    FrameState Frame() const;

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
    ResultQuantity quantity;
    double minimumWall = 0;
    ScaleLimits limits;
    ScaleLimits differenceLimits;
    const CConfiguration* units = nullptr;
    CKeptPresentation presentation;
    CSceneDrawer drawer;
    std::vector<std::array<int, 2>> pickOutline;
    std::unique_ptr<COffscreenFrame> offscreen;
};

} // namespace quillmere
