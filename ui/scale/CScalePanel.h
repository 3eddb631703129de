// The panel docked beside the project windows: the rotation cube, the
// quantity list, the colour bar with its five value labels, the Limits
// button, the pick-kind list and the view toolbar. It always shows the
// active 3D view, which the main window mirrors into it.
#pragma once

#include "scene/CTrackball.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>

class CConfiguration;
class CColourBar;
class CRotationCube;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;

// The colour bar picture: thickness with blue at the top, every other
// quantity (and "(no scale)") with red at the top; a difference with the
// diverging ramp's red (above 0) at the top.
QImage ColourBarImage(int quantity, int width, int height, bool difference = false);

class CScalePanel : public QWidget {
    Q_OBJECT

public:
    // wide: the larger layout for screens of 1280 pixels and more.
    CScalePanel(const CConfiguration& configuration, bool wide, QWidget* parent = nullptr);

    // A project view became active: the lists follow it and are enabled.
    void ShowView(int quantity, int pickMode);
    // No project view is active: "(no scale)" in a disabled list.
    void ClearView();
    // The limits the active view computed (stored units).
    void SetLimits(int quantity, double minimum, double maximum);
    // The active view turned: the cube turns with it.
    void SetOrientation(const Quaternion& q);
    // The system of units changed.
    void UnitsChanged();
    // The active view shows the difference to a reference: the title names
    // it, the bar is the diverging ramp and the labels are differences. The
    // limits follow as for a plain quantity.
    void ShowComparison(const QString& title);
    void ClearComparison();
    bool Comparing() const { return comparing; }
    QString Title() const;

    int Quantity() const { return quantity; }
    // The limits the labels show now.
    double LastMinimum() const { return lastMinimum; }
    double LastMaximum() const { return lastMaximum; }
    // Label k, 0 (top, the maximum) .. 4 (the minimum).
    QString LabelText(int k) const;

    // "Del E-Box" only while the view has clipping planes.
    void SetRemoveClipPlanesEnabled(bool enabled);

    CRotationCube* Cube() const { return cube; }
    QToolBar* ViewToolBar() const { return viewBar; }

    // The view commands of the toolbar, left to right.
    static constexpr std::array<int, 10> ViewCommands{339, 338, 343, 340, 347, 215, 348, 349, 345, 346};
    // The pick modes of the pick-kind list, top to bottom.
    static constexpr std::array<int, 3> PickModes{3, 2, 0};

signals:
    void QuantityChosen(int quantity);
    void PickModeChosen(int mode);
    void LimitsRequested();
    // The comparison button: "Compare with..." or, while comparing, "Stop
    // comparing".
    void CompareRequested();
    void StopComparingRequested();
    void OrientationDragged(const Quaternion& q);
    void OrientationDragFinished();
    void ViewCommand(int commandId);

private:
    void BuildViewToolBar();
    void SetQuantityShown(int shown);
    void Repaint();

    const CConfiguration& configuration;
    int quantity = 0;
    double minimum = 0, maximum = 0;
    double lastMinimum = 0, lastMaximum = 0;
    bool comparing = false;

    CRotationCube* cube = nullptr;
    QComboBox* profileList = nullptr;
    CColourBar* colourBar = nullptr;
    QPushButton* limitsButton = nullptr;
    QLabel* title = nullptr;
    QPushButton* compareButton = nullptr;
    QComboBox* pickList = nullptr;
    QToolBar* viewBar = nullptr;
    QAction* removeClipPlanes = nullptr;
};
