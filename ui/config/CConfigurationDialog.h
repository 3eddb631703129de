// The configuration dialog: the system of units. A click on a system takes
// effect at once; OK writes the file, and the file is read again whichever
// button closed the dialog, so Cancel brings back the system it holds.
#pragma once

#include <QDialog>

#include <functional>

class QRadioButton;

namespace quillmere {

class CConfiguration;

class CConfigurationDialog : public QDialog {
    Q_OBJECT

public:
    // Opens with the configuration's current system selected.
    explicit CConfigurationDialog(CConfiguration& configuration, QWidget* parent = nullptr);

    // Runs the dialog and the step after it; true when the system of units
    // changed. run stands in for exec() in tests: it drives the shown dialog
    // and returns its result code.
    static bool Edit(CConfiguration& configuration, QWidget* parent = nullptr,
                     const std::function<int(CConfigurationDialog&)>& run = {});

    QRadioButton* SIButton() const { return si; }
    QRadioButton* USButton() const { return us; }

private:
    QRadioButton* si = nullptr;
    QRadioButton* us = nullptr;
};

// The step after the dialog: OK writes the file, then either way the file is
// read again. True when the system of units differs from siBefore.
bool FinishConfigurationDialog(CConfiguration& configuration, bool accepted, bool siBefore);

} // namespace quillmere
