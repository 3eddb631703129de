// The document side of the document/view layer: a path name, a title and the
// views that show the document.
#pragma once

#include "model/ManualResetEvent.h"

#include <functional>
#include <string>
#include <vector>

namespace quillmere {

class CDocument;
class IProgressSink;

// What changed in a document's data, as its views hear of it. A new record
// reaches the scene views through CView::TakeRecord; what a view's gestures
// draw over its frame stays in that view.
enum class DocumentEvent {
    // The cut of the sheet changed: a new cut, or none when the cut window
    // closes (the 3D views draw its line and its mark).
    CutChanged,
    // The display settings of one of the document's views changed: the
    // others draw again.
    SettingsChanged,
};

// A view of a document. Scene views (the 3D views) also take new records.
class CView {
public:
    virtual ~CView() = default;
    virtual void OnUpdate(CView* sender, DocumentEvent event) = 0;

    virtual bool IsSceneView() const { return false; }
    // Rebuilds the drawing of the document's sheet and tools, which now hold
    // record (1-based), and remembers it as the record shown.
    virtual void TakeRecord(int) {}
    // Asks for a redraw on the interface thread (the posted redraw request).
    virtual void RequestRedraw() {}
    // Invalidates the view so that it is drawn again soon.
    virtual void Invalidate() {}
    virtual int ShownRecord() const { return 0; }
    virtual CDocument* Document() const = 0;
    // What a scene view must read besides the sheet before it shows record
    // (1-based): asked on the interface thread when a navigation command's
    // load starts, run by the load's job. Nothing by default.
    virtual std::function<void()> RecordPreparation(int) { return nullptr; }
};

// The interface thread as a worker sees it. Nothing of the model runs the
// user's input in the middle of its own work: the only wait that dispatches
// is the one for the animation worker.
class IInterfaceThread {
public:
    virtual ~IInterfaceThread() = default;
    // Runs task on the interface thread later.
    virtual void Post(std::function<void()> task) = 0;
    // Waits on the interface thread until event is set, running what was
    // posted meanwhile.
    virtual void WaitProcessing(CManualResetEvent& event) = 0;
};

// What a document needs of the main frame.
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;
    // The active view of the main frame, possibly of another document.
    virtual CView* ActiveView() = 0;
    // The record now shown (written into the active navigation bar).
    virtual void RecordLoaded(int record) = 0;
    virtual IInterfaceThread& InterfaceThread() = 0;
    // The status-bar progress, or null.
    virtual IProgressSink* Progress() { return nullptr; }
};

class CDocument {
public:
    virtual ~CDocument() = default;

    const std::string& PathName() const { return pathName; }
    void SetPathName(const std::string& path) { pathName = path; }
    // The file name without its folder.
    std::string Title() const;
    // The name windows and captions show: the title, or with as many of its
    // folders as tell it from another open document of the same title (the
    // main window sets it).
    std::string DisplayName() const { return displayName.empty() ? Title() : displayName; }
    void SetDisplayName(const std::string& name) { displayName = name; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return views; }
    // Calls OnUpdate(sender, event) on every view but the sender.
    void UpdateAllViews(CView* sender, DocumentEvent event);

    void SetHost(IDocumentHost* host) { documentHost = host; }
    IDocumentHost* Host() const { return documentHost; }

    // The cut window's "T" button: set for a new document; nothing else
    // reads it.
    bool CutFlag() const { return cutFlag; }
    void SetCutFlag(bool set) { cutFlag = set; }

private:
    std::string pathName;
    std::string displayName;
    std::vector<CView*> views;
    IDocumentHost* documentHost = nullptr;
    bool cutFlag = true;
};

} // namespace quillmere
