// The configuration dialog, and the graphical options dialog that follows
// the active view.
#pragma once

#include "ui/config/CGraphicalOptionsDialog.h"

#include <QMetaObject>
#include <QPointer>

namespace quillmere {

class CMainFrame;
class CSceneRender;

class COptionsCommands {
public:
    explicit COptionsCommands(CMainFrame& frame);
    ~COptionsCommands();

    CGraphicalOptionsDialog* OptionsDialog() const { return dialog; }

private:
    void ShowOptions(bool toggle);
    void Follow(CSceneRender* view);
    void EditConfiguration();

    CMainFrame& frame;
    QPointer<CGraphicalOptionsDialog> dialog;
    // The followed view's going and its own commands' edits.
    QMetaObject::Connection viewGone, viewEdited;
};

} // namespace quillmere
