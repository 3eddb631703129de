// The data tip of a 3D view: a small frameless window just below the mouse
// pointer with up to six lines about what a Shift + right-button pick found.
#pragma once

#include "inspect/DataTip.h"
#include "scene/CDataDisplay.h"

#include <QFont>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;

class CDataTip : public QWidget {
    Q_OBJECT

public:
    // Hidden until the first pick; the units are those of the configuration
    // at each fill.
    CDataTip(const CConfiguration& configuration, QWidget* view);

    // Fills the lines from a pick, then those a comparing view adds, sizes
    // the tip to them and shows it 20 pixels below the pointer (screen
    // coordinates) without activating it.
    void ShowPick(const CDataDisplay& record, QPoint globalPointer,
                  const std::vector<std::string>& comparisonLines = {});
    // Stops the timer and hides the tip.
    void HidePick();

    // The lines in use (those of a pick of the reserved kind are empty).
    QStringList Lines() const;
    QPoint Anchor() const { return anchor; }
    bool TimerRunning() const { return timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CConfiguration& configuration;
    std::array<QString, kDataTipLines + kComparisonTipLines> lines;
    int lineCount = 0;
    QFont font;
    QPoint anchor;
    int tallest = 0;
    // Started with every fill; when it runs out the tip goes, should the
    // release of the button never reach the view.
    QTimer timer;
};

} // namespace quillmere
