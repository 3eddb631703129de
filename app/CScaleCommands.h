// Keeps the scale panel on the active 3D view: the view's presentation, pick
// mode and rotation go to the panel, and the panel's choices, the limits
// dialog, the comparison, the cube and the view toolbar go to the view.
#pragma once

#include <QMetaObject>

#include <map>

#include "scale/Comparison.h"

namespace quillmere {

class CMainFrame;
class CProjectProfile;
class CSceneRender;

class CScaleCommands {
public:
    explicit CScaleCommands(CMainFrame& frame);

    // The limits dialog of the panel's quantity for the active view.
    void EditLimits();
    // "Minimum wall..." of the active view, remembered for its project file.
    void EditMinimumWall();
    // "Compare with...": the reference of the active view, chosen in a
    // dialog, node by node or by position; node by node, meshes that do not
    // match are refused with a message and the view stays as it was.
    void CompareWith();
    // Shows the difference of view to reference at record (CComparison::Follow
    // or a fixed record); false, after the message, when the meshes differ
    // (node by node). By position, the nodes left without a value are
    // counted in a message.
    bool Compare(CSceneRender& view, const CProjectProfile& reference, int record, ComparisonRule rule = {});
    // Back to the plain quantity.
    void StopComparing(CSceneRender* view);
    // The open projects' names changed: the comparisons and the panel's
    // title take them.
    void NamesChanged();
    // What quantity needs before a view of project (comparing with
    // comparison, or null) or its cut window shows it: first contact is
    // computed over every record of the project and of the one compared
    // with, once per project, with progress and Cancel. False, after any
    // message, when it was cancelled or failed.
    bool PrepareQuantity(const CProjectProfile& project, const CComparison* comparison,
                         ResultQuantity quantity);

private:
    void Follow(CSceneRender* view);
    // The document's cut window plots what the view last chose to compare.
    void ShareWithCutWindow(const CSceneRender& view);
    // A project closes: every view compared with it shows its plain
    // quantity again.
    void ReferenceClosing(const CProjectProfile* document);
    // The project's first contact, computed when it has none yet; the
    // comparisons with it take it.
    bool PrepareFirstContact(const CProjectProfile& project);

    CMainFrame& frame;
    CSceneRender* followed = nullptr;
    QMetaObject::Connection presentation, rotation, gone;
    // The project each comparison was made with (comparisons hold paths, and
    // a project may be open twice).
    std::map<const CComparison*, const CProjectProfile*> references;
};

} // namespace quillmere
