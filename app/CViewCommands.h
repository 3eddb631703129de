// The commands of the active 3D view and of the window around it: standard
// views and zooms, sheet and tool display, measurement, the navigation bar,
// a new window on the document and the bars of the main window. Commands of
// later features show disabled until they exist.
#pragma once

#include <functional>

class QString;

namespace quillmere {

class CMainFrame;
class CSceneRender;
struct CommandState;

class CViewCommands {
public:
    explicit CViewCommands(CMainFrame& frame);

private:
    // The standard views, zooms and clipping planes.
    void DefineCameraCommands();
    // The sheet, tools, dots and measurement.
    void DefineDisplayCommands();
    // The bars, the windows and the cut window.
    void DefineWindowCommands();
    // Defines a command that acts on the active view.
    void OnView(int id, const QString& text, const QString& prompt, std::function<void(CSceneRender&)> run,
                std::function<bool(const CSceneRender&)> checked = {});

    CMainFrame& frame;
};

} // namespace quillmere
