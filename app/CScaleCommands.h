// Keeps the scale panel on the active 3D view: the view's quantity, limits,
// pick mode and rotation go to the panel, and the panel's choices, the
// limits dialog, the cube and the view toolbar go to the view.
#pragma once

#include <QMetaObject>

class CMainFrame;
class CSceneRender;

class CScaleCommands {
public:
    explicit CScaleCommands(CMainFrame& frame);

    // The limits dialog of the panel's quantity for the active view.
    void EditLimits();

private:
    void Follow(CSceneRender* view);

    CMainFrame& frame;
    CSceneRender* followed = nullptr;
    QMetaObject::Connection limits, rotation, gone;
};
