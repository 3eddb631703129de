// The small cube of the scale panel: shows the orientation of the active
// view and turns it with a trackball of its own.
#pragma once

#include "scene/CTrackball.h"

#include <QOpenGLWidget>

namespace quillmere {

class CRotationCube : public QOpenGLWidget {
    Q_OBJECT

public:
    static constexpr float BallSize = 0.8f;

    explicit CRotationCube(QWidget* parent = nullptr);

    const Quaternion& Orientation() const { return trackball.Rotation(); }
    void SetOrientation(const Quaternion& q);
    bool IsDragging() const { return trackball.IsTracking(); }

    // Where an axis letter ("x" 0, "y" 1, "z" 2) stands in the widget
    // (logical pixels), for the letters and the tests.
    QPointF AxisLetterPosition(int axis) const;

signals:
    void Dragged(const Quaternion& q);
    void DragFinished();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint Pointer(const QPointF& position) const;
    // Half the extents of the orthographic box: 1.8 on the shorter side.
    void HalfExtents(double& halfWidth, double& halfHeight) const;

    CTrackball trackball;
};

} // namespace quillmere
