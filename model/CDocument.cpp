#include "model/CDocument.h"

#include "core/FilePaths.h"

#include <algorithm>

namespace quillmere {

std::string CDocument::Title() const {
    return FileNamePart(pathName);
}

void CDocument::AddView(CView* view) {
    if (std::find(views.begin(), views.end(), view) == views.end())
        views.push_back(view);
}

void CDocument::RemoveView(CView* view) {
    views.erase(std::remove(views.begin(), views.end(), view), views.end());
}

void CDocument::UpdateAllViews(CView* sender, DocumentEvent event) {
    // A view may close itself while it updates; walk a copy.
    const std::vector<CView*> current = views;
    for (CView* view : current)
        if (view != sender)
            view->OnUpdate(sender, event);
}

} // namespace quillmere
