// The trackball of a 3D view: pointer drags on a virtual ball turned into a
// rotation quaternion. Everything is single precision, as the view's camera.
#pragma once

namespace quillmere {

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
};

class CTrackball {
public:
    // Starts from the identity for a window of the given size.
    void Initialise(int width, int height);
    void Resize(int width, int height);
    void SetBallSize(float size) { radius = size; }
    float BallSize() const { return radius; }

    // The left button went down, or up; a step only rotates while tracking.
    void StartTracking(int x, int y);
    void StopTracking() { tracking = false; }
    bool IsTracking() const { return tracking; }

    // A pointer step: rotates by the turn from the last pointer to (x, y).
    void Step(int x, int y);
    // The same step whether or not the left button is held (continual
    // rotation).
    void StepFrom(int x, int y);
    void SetLastPointer(int x, int y);

    const Quaternion& Rotation() const { return q; }
    void SetRotation(const Quaternion& rotation) { q = rotation; }
    // The rotation matrix in OpenGL column order.
    void Matrix(float m[16]) const;

    // The turn that takes pointer (x1, y1) to (x2, y2) on the ball.
    Quaternion Turn(int x1, int y1, int x2, int y2) const;

private:
    float BallHeight(float bx, float by) const;
    void Apply(const Quaternion& increment);

    Quaternion q;
    Quaternion increment;
    float radius = 0.8f;
    int width = 1, height = 1;
    int lastX = 0, lastY = 0;
    bool tracking = false;
    bool changed = false;
};

// The quaternion product that applies q first and then increment.
Quaternion Compose(const Quaternion& increment, const Quaternion& q);

} // namespace quillmere
