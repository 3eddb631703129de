// The camera of a 3D view without a window: trackball rotation, standard
// views, zoom, pan, zoom box and fit into window.
#include "scene/CCamera.h"
#include "scene/CTrackball.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace quillmere;

namespace {

using Vector = std::array<double, 3>;

// The eye-space image of a model direction under the rotation of q (the
// matrix is stored in OpenGL column order).
Vector Rotate(const Quaternion& q, const Vector& v) {
    CTrackball ball;
    ball.SetRotation(q);
    float m[16];
    ball.Matrix(m);
    Vector out{};
    for (int row = 0; row < 3; ++row)
        out[static_cast<size_t>(row)] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2];
    return out;
}

void ExpectDirection(const Vector& actual, const Vector& expected) {
    for (size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(actual[k], expected[k], 1e-6) << "component " << k;
}

double Length(const Quaternion& q) {
    return std::sqrt(static_cast<double>(q.x) * q.x + static_cast<double>(q.y) * q.y +
                     static_cast<double>(q.z) * q.z + static_cast<double>(q.w) * q.w);
}

} // namespace

// --- Trackball ------------------------------------------------------------

TEST(Trackball, HorizontalDragTurnsAboutTheWindowsVerticalAxis) {
    CTrackball ball;
    ball.Initialise(400, 300);
    ball.StartTracking(200, 150);
    ball.Step(240, 150);
    const Quaternion q = ball.Rotation();
    EXPECT_NEAR(q.x, 0.0, 1e-6);
    EXPECT_NEAR(q.z, 0.0, 1e-6);
    EXPECT_GT(std::fabs(q.y), 0.05);
    // The vertical axis stays put and the side facing the viewer follows the
    // pointer to the right.
    ExpectDirection(Rotate(q, {0, 1, 0}), {0, 1, 0});
    const Vector front = Rotate(q, {0, 0, 1});
    EXPECT_GT(front[0], 0.05);
    EXPECT_NEAR(front[1], 0.0, 1e-6);
}

TEST(Trackball, RotationStaysNearUnitLengthOverManySteps) {
    CTrackball ball;
    ball.Initialise(400, 300);
    ball.SetRotation(CCamera::GeneralView);
    ball.StartTracking(200, 150);
    for (int step = 1; step <= 2000; ++step) {
        const double angle = step * 0.05;
        ball.Step(200 + static_cast<int>(std::lround(170 * std::cos(angle))),
                  150 + static_cast<int>(std::lround(120 * std::sin(3 * angle))));
        ASSERT_NEAR(Length(ball.Rotation()), 1.0, 1e-3) << "after step " << step;
    }
}

// --- Standard views -------------------------------------------------------

TEST(CameraViews, XYViewShowsTheModelPlaneFacingTheViewer) {
    const Quaternion q = CCamera::XYView;
    ExpectDirection(Rotate(q, {0, 0, 1}), {0, 0, 1});
    ExpectDirection(Rotate(q, {1, 0, 0}), {0, -1, 0}); // x points down
    ExpectDirection(Rotate(q, {0, 1, 0}), {1, 0, 0});  // y points right
}

TEST(CameraViews, EveryStandardViewIsAProperRotation) {
    for (const Quaternion& q : {CCamera::XYView, CCamera::XZView, CCamera::YZView, CCamera::GeneralView}) {
        const Vector x = Rotate(q, {1, 0, 0}), y = Rotate(q, {0, 1, 0}), z = Rotate(q, {0, 0, 1});
        const Vector cross{x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
        EXPECT_NEAR(x[0] * y[0] + x[1] * y[1] + x[2] * y[2], 0.0, 1e-5);
        EXPECT_NEAR(x[0] * x[0] + x[1] * x[1] + x[2] * x[2], 1.0, 1e-5);
        for (size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(cross[k], z[k], 1e-5);
    }
}

// --- Zoom -----------------------------------------------------------------

TEST(CameraZoom, ZoomInThenOutGivesTheSinglePrecisionProduct) {
    CCamera camera;
    camera.ZoomIn();
    EXPECT_EQ(camera.zoom, 1.1111112f);
    camera.ZoomOut();
    EXPECT_EQ(camera.zoom, 1.1111112f * 0.9f);
    CCamera other;
    other.ZoomOut();
    EXPECT_EQ(other.zoom, 0.9f);
}

TEST(CameraZoom, DragZoomAppliesOneFactorPerPixel) {
    CCamera still;
    still.zoom = 1.7f;
    still.DragZoom(0);
    EXPECT_EQ(still.zoom, 1.7f);
    CCamera down;
    down.DragZoom(3);
    float expected = 1.0f;
    for (int i = 0; i < 3; ++i)
        expected *= 1.010101f;
    EXPECT_EQ(down.zoom, expected);

    CCamera up;
    up.DragZoom(-2);
    EXPECT_EQ(up.zoom, 1.0f * 0.99f * 0.99f);
}

TEST(CameraZoom, BoxWithoutExtentIsIgnored) {
    CCamera camera;
    camera.DisplayProjection(400, 300);
    camera.zoom = 1.3f;
    camera.panX = 0.1f;
    camera.panY = -0.2f;
    EXPECT_FALSE(camera.ZoomIntoBox(50, 40, 50, 90, 400, 300));
    EXPECT_FALSE(camera.ZoomIntoBox(50, 40, 120, 40, 400, 300));
    EXPECT_EQ(camera.zoom, 1.3f);
    EXPECT_EQ(camera.panX, 0.1f);
    EXPECT_EQ(camera.panY, -0.2f);
}

TEST(CameraZoom, BoxFillsTheWindowAndComesToItsCentreByTheTighterFactor) {
    CCamera camera;
    camera.DisplayProjection(400, 300);
    const float width = camera.visibleWidth, height = camera.visibleHeight;
    // The eye position of the box centre (100, 75) before the zoom.
    const float eyeX = (100.0f / 400.0f - 0.5f) * width;
    const float eyeY = (0.5f - 75.0f / 300.0f) * height;
    ASSERT_TRUE(camera.ZoomIntoBox(0, 0, 200, 150, 400, 300));
    EXPECT_FLOAT_EQ(camera.zoom, 2.0f);
    EXPECT_NEAR(eyeX + camera.panX, 0.0, 1e-6);
    EXPECT_NEAR(eyeY + camera.panY, 0.0, 1e-6);
    // A box of another shape takes the tighter factor: min(400 / 200, 300 / 100).
    CCamera other;
    other.DisplayProjection(400, 300);
    ASSERT_TRUE(other.ZoomIntoBox(100, 100, 300, 200, 400, 300));
    EXPECT_FLOAT_EQ(other.zoom, 2.0f);
    // Before a fit: no zoom, no pan.
    other.ResetZoom();
    EXPECT_EQ(other.zoom, 1.0f);
    EXPECT_EQ(other.panX, 0.0f);
    EXPECT_EQ(other.panY, 0.0f);
}

// --- Projection and pan ---------------------------------------------------

TEST(CameraProjection, TheShorterSideShowsTheModelSize) {
    // Wide, tall and square windows; the model is 2 across, a = 0.75.
    const struct {
        int width, height;
        float visibleWidth, visibleHeight;
    } shapes[] = {{400, 300, 2.0f, 1.5f}, {300, 400, 1.5f, 2.0f}, {300, 300, 1.5f, 1.5f}};
    for (const auto& shape : shapes) {
        CCamera camera;
        camera.modelSize = 2.0;
        const OrthoBox box = camera.DisplayProjection(shape.width, shape.height);
        EXPECT_FLOAT_EQ(camera.visibleWidth, shape.visibleWidth) << shape.width << 'x' << shape.height;
        EXPECT_FLOAT_EQ(camera.visibleHeight, shape.visibleHeight) << shape.width << 'x' << shape.height;
        EXPECT_DOUBLE_EQ(box.right - box.left, shape.visibleWidth);
        EXPECT_DOUBLE_EQ(box.top, shape.visibleHeight / 2);
    }
}

TEST(CameraProjection, PickingCameraShowsTheSameWorldWithMoreDepth) {
    CCamera camera;
    camera.modelSize = 2.0;
    camera.zoom = 1.5f;
    const OrthoBox shown = camera.DisplayProjection(500, 300);
    const OrthoBox picked = camera.PickingProjection(500, 300);
    EXPECT_DOUBLE_EQ(picked.left, shown.left);
    EXPECT_DOUBLE_EQ(picked.right, shown.right);
    EXPECT_DOUBLE_EQ(picked.top, shown.top);
    EXPECT_DOUBLE_EQ(picked.bottom, shown.bottom);
    EXPECT_FLOAT_EQ(picked.visibleWidth, shown.visibleWidth);
    EXPECT_DOUBLE_EQ(picked.nearPlane, 10 * shown.nearPlane);
    EXPECT_DOUBLE_EQ(picked.farPlane, 10 * shown.farPlane);
}

TEST(CameraPan, DragMovesTheSceneWithThePointer) {
    CCamera camera;
    camera.DisplayProjection(400, 300);
    camera.Pan(40, 30, 400, 300);
    // Pixels per model unit of the window, at zoom 1.
    EXPECT_NEAR(camera.panX * 400 / camera.visibleWidth, 40.0, 1e-4);
    EXPECT_NEAR(camera.panY * 300 / camera.visibleHeight, -30.0, 1e-4); // window y runs down
}

// --- Fit into window ------------------------------------------------------

TEST(CameraFit, FeedbackCoveringTheViewportEndsAtZoom095AndOverflowKeepsTheZoom) {
    // A count of -1 or 0 is feedback that overflowed.
    for (int count : {12345, -1, 0}) {
        CCamera camera;
        camera.DisplayProjection(640, 480);
        camera.panX = 0.3f;
        camera.panY = -0.1f;
        const int viewport[4] = {0, 0, 640, 480};
        camera.FitToFeedback(count, WindowRectangle{0, 640, 0, 480}, viewport);
        EXPECT_FLOAT_EQ(camera.zoom, count > 0 ? 0.95f : 1.0f) << count;
        EXPECT_EQ(camera.panX, 0.0f) << count;
        EXPECT_EQ(camera.panY, 0.0f) << count;
    }
}

TEST(CameraFit, BoxGivesTheModelSizeAndCentre) {
    CCamera camera;
    const double box[6] = {-1, 3, 0, 4, 2, 2.5};
    camera.FitBox(box);
    EXPECT_DOUBLE_EQ(camera.modelSize, std::sqrt(16 + 16 + 0.25));
    EXPECT_FLOAT_EQ(camera.centre[0], 1.0f);
    EXPECT_FLOAT_EQ(camera.centre[1], 2.0f);
    EXPECT_FLOAT_EQ(camera.centre[2], 2.25f);
}
