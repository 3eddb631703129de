// The panel docked beside the project windows: the rotation cube, the
// quantity list, the colour bar with its five value labels, the Limits
// button, the pick-kind list and the view toolbar. It always shows the
// active 3D view, which the main window mirrors into it.
#pragma once

#include "scale/Quantity.h"
#include "scene/CTrackball.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;

namespace quillmere {

class CColourBar;
class CRotationCube;
struct Presentation;

// The colour bar picture of a presentation: its 33 bands, top first, of
// equal height.
QImage ColourBarImage(const Presentation& shown, int width, int height);

class CScalePanel : public QWidget {
    Q_OBJECT
    Q_MOC_INCLUDE("scale/Presentation.h")

public:
    // wide: the larger layout for screens of 1280 pixels and more.
    explicit CScalePanel(bool wide, QWidget* parent = nullptr);

    // A project view became active: the lists follow it and are enabled.
    void ShowView(ResultQuantity quantity, int pickMode);
    // No project view is active: "(no scale)" in a disabled list.
    void ClearView();
    // The active view turned: the cube turns with it.
    void SetOrientation(const Quaternion& q);
    // While comparing, the title above the bar names the comparison.
    bool Comparing() const { return comparing; }
    QString Title() const;

    ResultQuantity Quantity() const { return quantity; }
    // Label k, 0 (top, the maximum) .. 4 (the minimum).
    QString LabelText(int k) const;
    // Under the bar while the view marks a minimum wall, "Below 0.80 mm: 3.2
    // % of the area (412 elements)"; empty otherwise.
    QString MinimumWallText() const;

    // "Del E-Box" only while the view has clipping planes.
    void SetRemoveClipPlanesEnabled(bool enabled);

    CRotationCube* Cube() const { return cube; }
    QToolBar* ViewToolBar() const { return viewBar; }

    // The view commands of the toolbar, left to right.
    static constexpr std::array<int, 10> ViewCommands{339, 338, 343, 340, 347, 215, 348, 349, 345, 346};
    // The pick modes of the pick-kind list, top to bottom.
    static constexpr std::array<int, 3> PickModes{3, 2, 0};

public slots:
    // What the active view presents: its quantity in the list, its bar and
    // labels, and while it compares the comparison's title and "Stop
    // comparing".
    void ShowPresentation(const Presentation& shown);

signals:
    void QuantityChosen(ResultQuantity quantity);
    void PickModeChosen(int mode);
    void LimitsRequested();
    // "Minimum wall...".
    void MinimumWallRequested();
    // The comparison button: "Compare with..." or, while comparing, "Stop
    // comparing".
    void CompareRequested();
    void StopComparingRequested();
    void OrientationDragged(const Quaternion& q);
    void OrientationDragFinished();
    void ViewCommand(int commandId);

private:
    // The parts of the panel, in the order they are made.
    void BuildLists();
    void BuildMinimumWallRow();
    void BuildViewToolBar();
    void LayOut(bool wide);
    void ConnectSignals();
    void SetQuantityShown(ResultQuantity shown);

    ResultQuantity quantity = ResultQuantity::None;
    bool comparing = false;

    CRotationCube* cube = nullptr;
    QComboBox* profileList = nullptr;
    CColourBar* colourBar = nullptr;
    QPushButton* limitsButton = nullptr;
    QPushButton* minimumWallButton = nullptr;
    QWidget* minimumWall = nullptr; // the swatch and its text
    QLabel* minimumWallText = nullptr;
    QLabel* title = nullptr;
    QPushButton* compareButton = nullptr;
    QComboBox* pickList = nullptr;
    QToolBar* viewBar = nullptr;
    QAction* removeClipPlanes = nullptr;
};

} // namespace quillmere
