// The window of one 3D view of a project inside the main window, with the
// navigation bar at its bottom. The bar stays hidden until the window is
// first activated; after that only the user shows or hides it.
#pragma once

#include "app/CDocumentFrame.h"

namespace quillmere {

class CMeasurementScaleBar;
class CNavigationBar;
class CSceneRender;
class CConfiguration;

class CChildFrame : public CDocumentFrame {
    Q_OBJECT

public:
    // The view copies the configuration's display settings and presents in
    // its system of units.
    CChildFrame(CSession* shown, const CConfiguration& configuration, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CSceneRender* View() const { return view; }
    CNavigationBar* NavigationBar() const { return navigation; }
    bool NavigationBarShown() const;
    void SetNavigationBarShown(bool shown);

    // The window became the active one: the first time the navigation bar
    // is shown; the bar shows the document's record and the record count.
    void Activated();
    // A record was loaded somewhere: the box shows the document's record.
    void ShowViewRecord();
    // "title: Rec. n / count.", with ":k" when the document has several
    // windows and this is the k-th (0: the only one).
    void UpdateCaption(int windowNumber);
    // The session's measured points changed (or the units): the view's
    // markers and the scale of their colours beside it follow.
    void ShowMeasurements();
    CMeasurementScaleBar* MeasurementScaleBar() const { return measurementScale; }

signals:
    // A navigation bar button: its command id.
    void NavigationCommand(int id);
    // The window is about to close.
    void Closing(CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The record of the document, which all its views show.
    int ShownRecord() const;

    CSceneRender* view;
    CNavigationBar* navigation;
    CMeasurementScaleBar* measurementScale;
    const CConfiguration& units;
    bool activatedOnce = false;
    int boxRecord = 0; // the record last written into the box
    int number = 0;
};

} // namespace quillmere
