#include "ui/scene/CSceneCommands.h"

#include "ui/scene/CSceneRender.h"
#include "ui/scene/CViewGestures.h"

namespace quillmere {

CSceneCommands::CSceneCommands(CSceneRender& shown) : view(shown) {}

template <typename F> void CSceneCommands::EditSettings(F edit, bool lists) {
    edit(view.Scene().Settings());
    if (lists)
        view.SettingsChanged();
    else
        view.update();
    emit view.DisplaySettingsChanged();
}

void CSceneCommands::SetRotation(const Quaternion& rotation) {
    view.Scene().Camera().trackball.SetRotation(rotation);
    view.update();
}

void CSceneCommands::SetXYView() {
    SetRotation(CCamera::XYView);
}

void CSceneCommands::SetGeneralView() {
    SetRotation(CCamera::GeneralView);
}

void CSceneCommands::SetXZView() {
    SetRotation(CCamera::XZView);
}

void CSceneCommands::SetYZView() {
    SetRotation(CCamera::YZView);
}

void CSceneCommands::ZoomIn() {
    view.Scene().Camera().ZoomIn();
    view.update();
}

void CSceneCommands::ZoomOut() {
    view.Scene().Camera().ZoomOut();
    view.update();
}

void CSceneCommands::FitIntoWindow() {
    view.Scene().Camera().ResetZoom();
    view.fitPending = true;
    view.update();
}

void CSceneCommands::StartZoomBox() {
    CSceneInteractor::StartZoomBox();
}

void CSceneCommands::StartExclusiveZoomBox() {
    view.gestures->Interactor().StartExclusiveZoomBox();
}

void CSceneCommands::RemoveClipPlanes() {
    view.gestures->Interactor().RemoveClipPlanes();
    view.update();
}

void CSceneCommands::SetQuantity(ResultQuantity quantity) {
    view.Scene().SetQuantity(quantity);
    view.SettingsChanged();
}

void CSceneCommands::SetMinimumWall(double wall) {
    view.Scene().SetMinimumWall(wall);
    view.SettingsChanged();
}

void CSceneCommands::SetPickMode(int mode) {
    view.gestures->Interactor().SetPickMode(mode);
}

void CSceneCommands::ToggleSheet() {
    EditSettings(ToggleSheetShown);
}

void CSceneCommands::ToggleTool(int slot) {
    EditSettings([slot](DisplaySettings& s) { ToggleToolShown(s, slot); });
}

void CSceneCommands::StepToolMode(int slot) {
    EditSettings([slot](DisplaySettings& s) { StepToolDisplayMode(s, slot); });
}

void CSceneCommands::SetSheetDisplayMode(SheetDisplayMode mode) {
    EditSettings([mode](DisplaySettings& s) { s.sheetDisplayMode = mode; });
}

void CSceneCommands::ToggleDots() {
    // The next frame builds the dots when it first shows them.
    EditSettings(ToggleNodeDots, false);
}

void CSceneCommands::ToggleMeasurement() {
    // The markers are the view's own: its settings change, no other view's.
    view.gestures->Interactor().ResetMeasurement();
    EditSettings(ToggleDistanceMeasurement);
}

void CSceneCommands::ClearMeasurementMarks() {
    view.gestures->Interactor().ResetMeasurement();
}

void CSceneCommands::ApplySettings(const DisplaySettings& settings) {
    view.Scene().Settings() = settings;
    view.SettingsChanged();
}

} // namespace quillmere
