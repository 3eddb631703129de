#include "ui/export/ViewPrint.h"

#include "render/ScenePrint.h"
#include "ui/export/CVideoExportDialog.h"
#include "ui/scene/CSceneRender.h"

namespace quillmere {

bool PrintScene(QPrinter& printer, CSceneRender& view, const CConfiguration& configuration) {
    SceneImageOptions options;
    options.colourScale = CVideoExportDialog::RememberedColourScale();
    SceneImageFault fault = SceneImageFault::None;
    if (PrintScene(printer, [&](int w, int h) {
            return SceneImage(view.Scene(), view.ShownRecord(), w, h, options, configuration, &fault);
        }))
        return true;
    ReportSceneImageFault(fault);
    return false;
}

} // namespace quillmere
