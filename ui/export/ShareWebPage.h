// File > Share as web page...: one web page of the view's project that a
// browser opens with nothing else (session/SharedResults.h), for someone
// without the program.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quillmere {

class CConfiguration;
class CSceneRender;

struct ShareWebPageHooks {
    // The page's file name; empty cancels. The save dialog by default.
    std::function<QString(QWidget* parent, const QString& suggested)> askFileName;
};

// A typed name without an extension gets ".html".
QString WebPageFileName(const QString& typed);

// The page of every record of the view's project: the view's quantity first
// in the list, then the others, in its limits setting and the configuration's
// units. The project is read again on its own, so that the windows keep
// their record. True when the page was written; a failure has been shown.
bool ShareWebPage(CSceneRender& view, const CConfiguration& configuration, QWidget* parent,
                  const ShareWebPageHooks& hooks = ShareWebPageHooks());

} // namespace quillmere
