// The graphical options: a modeless dialog that edits the display settings
// of one view at a time, live, and asks for them to be copied to every view
// or saved as the defaults.
#pragma once

#include "config/DisplaySettings.h"

#include <QDialog>

#include <functional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QSlider;
class QToolButton;
class QWidget;

namespace quillmere {

// Every control carries the name of the field it edits (DisplayFields: all
// but "reducedDrawingThreshold"); the background schemes' labels are
// "uniformLabel", "gradientLabel" and "cornersLabel"; the buttons
// "applyToAll", "save" and "close".
class CGraphicalOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Deletes itself when closed.
    explicit CGraphicalOptionsDialog(QWidget* parent = nullptr);

    // Points the dialog at the settings of a view; changed() is called after
    // every edit (the view then applies the settings and its document's views
    // redraw). Refreshes every control. Null settings disable the controls.
    void SetTarget(DisplaySettings* settings, std::function<void()> changed);
    DisplaySettings* Target() const { return settings; }
    // Re-reads every control from the settings.
    void Refresh();

    // Asks for a colour starting from the given one; false when the user
    // cancels. The platform's colour chooser by default; tests replace it.
    std::function<bool(int& colour)> chooseColour;

signals:
    void ApplyToAllRequested();
    void SaveRequested();

private:
    using IntField = const DisplayField*;
    using DoubleField = std::function<double&(DisplaySettings&)>;

    // Each control edits the field of its object name (DisplayFields).
    QAbstractButton* AddToggle(QAbstractButton* button);
    QToolButton* AddSwatch(const char* name, const QString& tip);
    QComboBox* AddList(const char* name, const QString& tip, const QStringList& items);
    QSlider* AddSlider(const char* name, const QString& tip);
    QWidget* BuildSheetGroup();
    QWidget* BuildToolsGroup();
    QWidget* BuildBackground();
    void ShowSchemeControls();
    void Edited();

    DisplaySettings* settings = nullptr;
    std::function<void()> changed;

    std::vector<std::pair<QAbstractButton*, IntField>> toggles;
    std::vector<std::pair<QToolButton*, IntField>> swatches;
    std::vector<std::pair<QComboBox*, IntField>> lists;
    std::vector<std::pair<QSlider*, DoubleField>> sliders;
    // The label and swatches of each background scheme.
    std::vector<QWidget*> schemeControls[3];
    std::vector<QWidget*> editors;
};

} // namespace quillmere
