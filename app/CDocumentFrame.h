// A window of the main window's area that shows a project document: a 3D
// view's window or the cut window.
#pragma once

#include <QMdiSubWindow>

class CProjectProfile;

class CDocumentFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit CDocumentFrame(CProjectProfile* shown, QWidget* parent = nullptr)
        : QMdiSubWindow(parent), shownDocument(shown) {}
    // The window's content goes first: QWidget announces destroyed() before
    // it deletes its children, and the main frame may then close the
    // document that the content still shows.
    ~CDocumentFrame() override { delete widget(); }

    CProjectProfile* Document() const { return shownDocument; }

private:
    CProjectProfile* shownDocument;
};
