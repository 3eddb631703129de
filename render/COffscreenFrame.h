// An OpenGL context of its own with a framebuffer object, drawing frames of
// any size into images, with or without a window. Given the views' context it
// shares their display lists; without one it is a surfaceless EGL context on
// Mesa that needs no display and no application object, and whose lists the
// caller builds in it.
#pragma once

#include <QImage>

#include <functional>
#include <memory>
#include <string>

class QOpenGLContext;

namespace quillmere {

class COffscreenFrame {
public:
    // A context sharing share's display lists, or with a null share a context
    // of its own through EGL. IsValid() is false, with Error() telling why,
    // when no context could be made.
    explicit COffscreenFrame(QOpenGLContext* share = nullptr);
    ~COffscreenFrame();
    COffscreenFrame(const COffscreenFrame&) = delete;
    COffscreenFrame& operator=(const COffscreenFrame&) = delete;

    bool IsValid() const;
    // Why the context or the last frame failed; empty when nothing failed.
    const std::string& Error() const { return error; }
    // Whether the lists of the shared context can be called here.
    bool SharesLists() const { return shared; }

    // Makes the context current with a width x height target bound, runs draw
    // (which issues the GL calls, the viewport included), reads the pixels
    // back and releases the context. The image is top-down and opaque
    // (Format_RGB32); a null image, with Error() set, when the size cannot be
    // drawn or the context cannot be made current.
    QImage Render(int width, int height, const std::function<void()>& draw);

    // Makes the context current without drawing (to build or delete lists);
    // false, with Error() set, when it cannot. DoneCurrent() releases it and
    // gives the thread back the context that was current before.
    bool MakeCurrent();
    void DoneCurrent();

    // The largest frame either way the driver draws here (renderbuffer and
    // viewport limits); 0 when the context cannot be made current.
    int MaxFrameSize();

    class Backend;

private:
    std::unique_ptr<Backend> backend;
    std::string error;
    bool shared = false;
    // The target: framebuffer, colour and depth renderbuffers and their size.
    unsigned framebuffer = 0, colour = 0, depth = 0;
    int targetWidth = 0, targetHeight = 0;

    bool BindTarget(int width, int height);
    void DeleteTarget();
};

} // namespace quillmere
