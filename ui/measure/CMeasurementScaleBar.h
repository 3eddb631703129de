// The colour scale of the measured points' markers, small, beside a 3D view:
// its title, the bar on the diverging ramp and the labels of its ends and
// middle.
#pragma once

#include "measure/MeasuredPoints.h"

#include <QWidget>

namespace quillmere {

class CMeasurementScaleBar : public QWidget {
    Q_OBJECT

public:
    explicit CMeasurementScaleBar(QWidget* parent = nullptr);

    // Shows the scale; null hides the widget.
    void ShowScale(const MeasurementScale* scale);
    const MeasurementScale& Scale() const { return scale; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MeasurementScale scale;
};

} // namespace quillmere
