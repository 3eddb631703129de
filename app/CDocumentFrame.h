// A window of the main window's area that shows a project document: a 3D
// view's window or the cut window, each over the session of the project.
#pragma once

#include "session/CSession.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>

namespace quillmere {

class CDocumentFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit CDocumentFrame(CSession* shown, QWidget* parent = nullptr)
        : QMdiSubWindow(parent), session(shown) {
        // Ctrl+W belongs to the main window's Close command alone: a second
        // binding in each window's system menu makes the key do nothing.
        for (QAction* action : systemMenu()->actions())
            action->setShortcuts({});
    }
    // The window's content goes first: QWidget announces destroyed() before
    // it deletes its children, and the main frame may then close the
    // document that the content still shows.
    ~CDocumentFrame() override { delete widget(); }

    CSession* Session() const { return session; }
    CProjectProfile* Document() const { return session ? &session->Project() : nullptr; }

private:
    CSession* session;
};

} // namespace quillmere
