// What the menus, the toolbars and the scale panel ask of one 3D view: the
// standard views and zooms, the zoom boxes and clipping planes, the quantity
// and the pick mode, the display toggles and the graphical options.
#pragma once

#include "config/DisplaySettings.h"
#include "scale/Quantity.h"
#include "scene/CTrackball.h"

#include <QObject>

namespace quillmere {

class CSceneRender;

class CSceneCommands : public QObject {
    Q_OBJECT

public:
    explicit CSceneCommands(CSceneRender& view);

public slots:
    // Turns the view to an orientation (the scale panel's cube).
    void SetRotation(const Quaternion& rotation);
    void SetXYView();
    void SetGeneralView();
    void SetXZView();
    void SetYZView();
    void ZoomIn();
    void ZoomOut();
    void FitIntoWindow();
    void StartZoomBox();
    void StartExclusiveZoomBox();
    void RemoveClipPlanes();
    void SetQuantity(ResultQuantity quantity);
    // The elements thinner than wall (metres) in the warning colour; not
    // above 0: none.
    void SetMinimumWall(double wall);
    void SetPickMode(int mode);
    void ToggleSheet();
    void ToggleTool(int slot);
    void StepToolMode(int slot);
    void SetSheetDisplayMode(SheetDisplayMode mode);
    void ToggleDots();
    // Distance measurement on or off: a new measurement starts.
    void ToggleMeasurement();
    // The measurement window went: its two markers and the line go too.
    void ClearMeasurementMarks();
    // The graphical options dialog's settings.
    void ApplySettings(const DisplaySettings& settings);

private:
    // One of the view's own commands: edits its settings, draws them and
    // tells the options dialog; lists: whether the lists show the edit.
    template <typename F> void EditSettings(F edit, bool lists = true);

    CSceneRender& view;
};

} // namespace quillmere
