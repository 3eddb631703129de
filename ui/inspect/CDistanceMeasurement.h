// The distance measurement window: the coordinates of two picked points and
// the straight distance between them, next to the clicks that picked them.
// It holds the mouse until the right button is released, then closes and
// deletes itself.
#pragma once

#include "inspect/Measurement.h"
#include "scene/CDataDisplay.h"

#include <QDialog>
#include <QPoint>

class QGridLayout;
class QLabel;

namespace quillmere {

class CConfiguration;

class CDistanceMeasurement : public QDialog {
    Q_OBJECT

public:
    // globalPosition is the second click in screen coordinates; the first
    // click is taken as lying where the records' markers lie apart (device
    // pixels of the view, parent). The texts are fixed here, in the units
    // of the moment.
    CDistanceMeasurement(const CDataDisplay& first, const CDataDisplay& second,
                         const CConfiguration& configuration, QPoint globalPosition, QWidget* parent);

    // What a view calls when both points are picked: brings the view's open
    // measurement forward and changes nothing else when there is one; opens
    // none when a record carries no point. The window shown, or none.
    static CDistanceMeasurement* Open(const CDataDisplay& first, const CDataDisplay& second,
                                      const CConfiguration& configuration, QPoint globalPosition,
                                      QWidget* view);

    const MeasurementTexts& Texts() const { return texts; }
    // The screen position the window was placed at.
    QPoint Position() const { return position; }

    // Every way the window goes (the right button released, Escape, the
    // window manager) ends here.
    void done(int result) override;

signals:
    // The window goes: the view removes the markers of the two points and
    // the line between them.
    void MarkersToRemove();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* AddValue(QGridLayout* grid, int row, const QString& label, const std::string& value,
                     const QString& name);

    MeasurementTexts texts;
    QPoint position;
};

} // namespace quillmere
