#include "ui/scale/CRotationCube.h"

#include "scene/CCamera.h"

#include <GL/gl.h>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace quillmere {

namespace {

constexpr double HalfExtent = 1.8;
constexpr GLfloat Background = 120.0f / 255.0f;
constexpr GLfloat EdgeGrey = 0.6666667f;

// The faces of the unit cube, each with the colour of its axis, lighter on
// the far side, so the turn reads without lighting.
struct Face {
    int corners[4];
    GLfloat colour[3];
};

// Corner i has x = bit 0, y = bit 1, z = bit 2.
const Face Faces[6] = {
    {{0, 2, 6, 4}, {0.62f, 0.36f, 0.36f}}, {{1, 5, 7, 3}, {0.86f, 0.56f, 0.56f}},
    {{0, 4, 5, 1}, {0.36f, 0.60f, 0.36f}}, {{2, 3, 7, 6}, {0.56f, 0.82f, 0.56f}},
    {{0, 1, 3, 2}, {0.38f, 0.42f, 0.66f}}, {{4, 6, 7, 5}, {0.58f, 0.62f, 0.88f}},
};

const int Edges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                          {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

void CornerVertex(int corner) {
    glVertex3f(static_cast<GLfloat>(corner & 1), static_cast<GLfloat>((corner >> 1) & 1),
               static_cast<GLfloat>((corner >> 2) & 1));
}

// The letters stand a little beyond the far end of the cube's edge along
// their axis, from the corner at the origin.
constexpr float LetterReach = 1.3f;

} // namespace

CRotationCube::CRotationCube(QWidget* parent) : QOpenGLWidget(parent) {
    trackball.SetBallSize(BallSize);
    trackball.SetRotation(CCamera::GeneralView);
    setToolTip(QStringLiteral(
        "Press the left mouse button and drag to rotate. Release the button for scene repaint."));
    setCursor(Qt::OpenHandCursor);
}

void CRotationCube::SetOrientation(const Quaternion& q) {
    trackball.SetRotation(q);
    update();
}

void CRotationCube::initializeGL() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
}

void CRotationCube::resizeGL(int, int) {
    // The widget sets the viewport itself; the ball works in logical pixels,
    // as the pointer events come.
    trackball.Resize(width(), height());
}

void CRotationCube::HalfExtents(double& halfWidth, double& halfHeight) const {
    const double w = std::max(width(), 1), h = std::max(height(), 1);
    halfWidth = halfHeight = HalfExtent;
    if (w >= h)
        halfWidth = HalfExtent * w / h;
    else
        halfHeight = HalfExtent * h / w;
}

QPointF CRotationCube::AxisLetterPosition(int axis) const {
    float m[16];
    trackball.Matrix(m);
    float p[3] = {-0.5f, -0.5f, -0.5f};
    p[axis] += LetterReach;
    // Column-major, as OpenGL takes it.
    const double x = m[0] * p[0] + m[4] * p[1] + m[8] * p[2];
    const double y = m[1] * p[0] + m[5] * p[1] + m[9] * p[2];
    double halfWidth = 0, halfHeight = 0;
    HalfExtents(halfWidth, halfHeight);
    return {(x + halfWidth) / (2 * halfWidth) * width(), (halfHeight - y) / (2 * halfHeight) * height()};
}

void CRotationCube::paintGL() {
    glClearColor(Background, Background, Background, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    double halfWidth = 0, halfHeight = 0;
    HalfExtents(halfWidth, halfHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-halfWidth, halfWidth, -halfHeight, halfHeight, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    float m[16];
    trackball.Matrix(m);
    glMultMatrixf(m);
    glTranslatef(-0.5f, -0.5f, -0.5f);

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (const Face& face : Faces) {
        glColor3fv(face.colour);
        for (int corner : face.corners)
            CornerVertex(corner);
    }
    glEnd();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColor3f(EdgeGrey, EdgeGrey, EdgeGrey);
    glBegin(GL_LINES);
    for (const auto& edge : Edges) {
        CornerVertex(edge[0]);
        CornerVertex(edge[1]);
    }
    glEnd();

    // The letters over the picture, never hidden by the cube.
    glDisable(GL_DEPTH_TEST);
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QFontMetrics metrics(font);
    static const char* const letters[3] = {"x", "y", "z"};
    for (int axis = 0; axis < 3; ++axis) {
        const QPointF at = AxisLetterPosition(axis);
        const QString letter = QString::fromLatin1(letters[axis]);
        painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(letter) / 2.0,
                                 at.y() + (metrics.ascent() - metrics.descent()) / 2.0),
                         letter);
    }
}

QPoint CRotationCube::Pointer(const QPointF& position) const {
    return {static_cast<int>(std::lround(position.x())), static_cast<int>(std::lround(position.y()))};
}

void CRotationCube::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    trackball.Resize(width(), height());
    const QPoint p = Pointer(event->position());
    trackball.StartTracking(p.x(), p.y());
    setCursor(Qt::ClosedHandCursor);
}

void CRotationCube::mouseMoveEvent(QMouseEvent* event) {
    if (!trackball.IsTracking() || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint p = Pointer(event->position());
    const Quaternion before = trackball.Rotation();
    trackball.Step(p.x(), p.y());
    const Quaternion& after = trackball.Rotation();
    if (before.x == after.x && before.y == after.y && before.z == after.z && before.w == after.w)
        return;
    update();
    emit Dragged(after);
}

void CRotationCube::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !trackball.IsTracking())
        return;
    trackball.StopTracking();
    setCursor(Qt::OpenHandCursor);
    emit DragFinished();
}

} // namespace quillmere
