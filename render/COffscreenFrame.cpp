#include "render/COffscreenFrame.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

namespace quillmere {

class COffscreenFrame::Backend {
public:
    virtual ~Backend() = default;
    virtual bool MakeCurrent(std::string& error) = 0;
    virtual void DoneCurrent() = 0;
};

namespace {

// What failed in the user's words, with EGL's code for whoever looks it up.
std::string EglError(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " (EGL error " + code + ")";
}

// EGL hands out one display per platform and process, and eglTerminate ends
// it for every user at once: the frames count their uses and terminate it
// with the last one, and only when it was not initialised before them.
class SurfacelessDisplay {
public:
    static SurfacelessDisplay& Instance() {
        static SurfacelessDisplay display;
        return display;
    }

    EGLDisplay Acquire(std::string& error) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (users > 0) {
            ++users;
            return display;
        }
        const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        const auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (extensions == nullptr || std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr ||
            getPlatformDisplay == nullptr) {
            error = "EGL offers no surfaceless platform";
            return EGL_NO_DISPLAY;
        }
        EGLDisplay made = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (made == EGL_NO_DISPLAY) {
            error = EglError("EGL gives no display without a screen");
            return EGL_NO_DISPLAY;
        }
        // Querying an uninitialised display fails: that tells whether someone
        // else in the process initialised it.
        const bool initialisedBefore = eglQueryString(made, EGL_VERSION) != nullptr;
        (void)eglGetError();
        EGLint major = 0, minor = 0;
        if (!eglInitialize(made, &major, &minor)) {
            error = EglError("EGL cannot be started");
            return EGL_NO_DISPLAY;
        }
        display = made;
        ours = !initialisedBefore;
        users = 1;
        return display;
    }

    void Release() {
        const std::lock_guard<std::mutex> lock(mutex);
        if (users == 0 || --users > 0)
            return;
        if (ours)
            eglTerminate(display);
        display = EGL_NO_DISPLAY;
        ours = false;
    }

private:
    std::mutex mutex;
    EGLDisplay display = EGL_NO_DISPLAY;
    int users = 0;
    bool ours = false;
};

// A compatibility-profile context on Mesa's surfaceless platform: made
// current without any surface, it draws into framebuffer objects only.
class EglBackend : public COffscreenFrame::Backend {
public:
    ~EglBackend() override {
        if (context != EGL_NO_CONTEXT)
            eglDestroyContext(display, context);
        if (display != EGL_NO_DISPLAY)
            SurfacelessDisplay::Instance().Release();
    }

    bool Create(std::string& error) {
        display = SurfacelessDisplay::Instance().Acquire(error);
        if (display == EGL_NO_DISPLAY)
            return false;
        if (!eglBindAPI(EGL_OPENGL_API)) {
            error = EglError("EGL offers no desktop OpenGL");
            return false;
        }
        // No surface is ever made: any configuration that renders desktop
        // OpenGL will do.
        const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                           EGL_NONE};
        EGLConfig config = nullptr;
        EGLint configs = 0;
        if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
            error = configs < 1 ? std::string("EGL has no configuration for desktop OpenGL")
                                : EglError("EGL cannot choose a configuration for desktop OpenGL");
            return false;
        }
        // Display lists and the fixed-function pipeline need the
        // compatibility profile.
        const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                            EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
        if (context == EGL_NO_CONTEXT) {
            error = EglError("EGL cannot make an OpenGL context");
            return false;
        }
        return true;
    }

    bool MakeCurrent(std::string& error) override {
        // The current context is kept per client API and thread.
        if (!eglBindAPI(EGL_OPENGL_API)) {
            error = EglError("EGL offers no desktop OpenGL");
            return false;
        }
        previous = {eglGetCurrentDisplay(), eglGetCurrentContext(), eglGetCurrentSurface(EGL_DRAW),
                    eglGetCurrentSurface(EGL_READ)};
        // A thread holds one current context across window systems: a
        // view's context, current on it, is released first (the view makes
        // it current again whenever it draws).
        if (QOpenGLContext* window = QOpenGLContext::currentContext())
            window->doneCurrent();
        if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
            error = EglError("EGL cannot make the OpenGL context current");
            return false;
        }
        return true;
    }

    void DoneCurrent() override {
        if (previous.context != EGL_NO_CONTEXT && previous.context != context)
            eglMakeCurrent(previous.display, previous.draw, previous.read, previous.context);
        else
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        previous = {};
    }

private:
    struct Current {
        EGLDisplay display = EGL_NO_DISPLAY;
        EGLContext context = EGL_NO_CONTEXT;
        EGLSurface draw = EGL_NO_SURFACE, read = EGL_NO_SURFACE;
    };

    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    Current previous;
};

// A Qt context in the share group of the views, on an off-screen surface.
class SharedBackend : public COffscreenFrame::Backend {
public:
    bool Create(QOpenGLContext* share, std::string& error) {
        if (QGuiApplication::instance() == nullptr) {
            error = "a shared context needs the application object";
            return false;
        }
        surface.setFormat(share->format());
        surface.create();
        if (!surface.isValid()) {
            error = "the off-screen surface could not be made";
            return false;
        }
        context.setFormat(share->format());
        context.setShareContext(share);
        if (!context.create()) {
            error = "the off-screen OpenGL context could not be made";
            return false;
        }
        if (context.shareContext() == nullptr) {
            error = "the off-screen OpenGL context cannot share the views' lists";
            return false;
        }
        return true;
    }

    bool MakeCurrent(std::string& error) override {
        previous = QOpenGLContext::currentContext();
        previousSurface = previous != nullptr ? previous->surface() : nullptr;
        if (!context.makeCurrent(&surface)) {
            error = "the off-screen OpenGL context could not be made current";
            return false;
        }
        return true;
    }

    void DoneCurrent() override {
        context.doneCurrent();
        if (previous != nullptr && previous != &context && previousSurface != nullptr)
            previous->makeCurrent(previousSurface);
        previous = nullptr;
        previousSurface = nullptr;
    }

private:
    // The context goes before the surface it was current on.
    QOffscreenSurface surface;
    QOpenGLContext context;
    QOpenGLContext* previous = nullptr;
    QSurface* previousSurface = nullptr;
};

// Releases the frame's context however the drawing ends.
class CurrentScope {
public:
    explicit CurrentScope(COffscreenFrame& current) : frame(current) {}
    ~CurrentScope() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        frame.DoneCurrent();
    }
    CurrentScope(const CurrentScope&) = delete;
    CurrentScope& operator=(const CurrentScope&) = delete;

private:
    COffscreenFrame& frame;
};

// The bound read framebuffer as a top-down opaque image. OpenGL's rows run
// bottom-up; translucent drawing leaves an alpha below 1 that a picture must
// not keep, as the window does not show it either.
QImage ReadBack(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    // BGRA as 8_8_8_8_REV is 0xAARRGGBB in the machine's byte order, as
    // QImage keeps its pixels.
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, image.bits());
    constexpr uint32_t Opaque = 0xff000000u;
    for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
        auto* upper = reinterpret_cast<uint32_t*>(image.scanLine(top));
        auto* lower = reinterpret_cast<uint32_t*>(image.scanLine(bottom));
        if (top == bottom) {
            for (int x = 0; x < width; ++x)
                upper[x] |= Opaque;
            break;
        }
        for (int x = 0; x < width; ++x) {
            const uint32_t kept = upper[x];
            upper[x] = lower[x] | Opaque;
            lower[x] = kept | Opaque;
        }
    }
    return image;
}

} // namespace

COffscreenFrame::COffscreenFrame(QOpenGLContext* share) {
    if (share != nullptr) {
        auto made = std::make_unique<SharedBackend>();
        if (made->Create(share, error)) {
            backend = std::move(made);
            shared = true;
        }
    } else {
        auto made = std::make_unique<EglBackend>();
        if (made->Create(error))
            backend = std::move(made);
    }
}

COffscreenFrame::~COffscreenFrame() {
    if (backend && framebuffer != 0 && MakeCurrent()) {
        DeleteTarget();
        DoneCurrent();
    }
}

bool COffscreenFrame::IsValid() const {
    return backend != nullptr;
}

bool COffscreenFrame::MakeCurrent() {
    if (!backend) {
        if (error.empty())
            error = "no OpenGL context";
        return false;
    }
    error.clear();
    return backend->MakeCurrent(error);
}

void COffscreenFrame::DoneCurrent() {
    if (backend)
        backend->DoneCurrent();
}

QImage COffscreenFrame::Render(int width, int height, const std::function<void()>& draw) {
    if (!backend)
        return QImage();
    if (width < 1 || height < 1) {
        error = "a frame needs at least one pixel each way";
        return QImage();
    }
    if (!MakeCurrent())
        return QImage();
    const CurrentScope scope(*this);
    if (!BindTarget(width, height))
        return QImage();
    if (draw)
        draw();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    QImage image = ReadBack(width, height);
    if (image.isNull())
        error =
            "no memory for a frame of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    return image;
}

int COffscreenFrame::MaxFrameSize() {
    if (!backend || !MakeCurrent())
        return 0;
    const CurrentScope scope(*this);
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({renderbuffer, viewport[0], viewport[1]});
}

bool COffscreenFrame::BindTarget(int width, int height) {
    if (framebuffer != 0 && width == targetWidth && height == targetHeight) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        return true;
    }
    DeleteTarget();
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width > largest || height > largest) {
        error = "a frame of " + size + " is larger than OpenGL allows here (" + std::to_string(largest) + ")";
        return false;
    }
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    const GLenum failure = glGetError();
    if (status != GL_FRAMEBUFFER_COMPLETE || failure != GL_NO_ERROR) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04x", failure != GL_NO_ERROR ? failure : status);
        error = "no framebuffer of " + size + " (OpenGL " + code + ")";
        DeleteTarget();
        return false;
    }
    targetWidth = width;
    targetHeight = height;
    return true;
}

void COffscreenFrame::DeleteTarget() {
    if (framebuffer != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
    }
    if (colour != 0)
        glDeleteRenderbuffers(1, &colour);
    if (depth != 0)
        glDeleteRenderbuffers(1, &depth);
    framebuffer = colour = depth = 0;
    targetWidth = targetHeight = 0;
}

} // namespace quillmere
