#include "batch/OffscreenScene.h"

#include "scene/CCamera.h"

#include <QGuiApplication>

#include <memory>

void EnsureOffscreenApplication() {
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillmere-batch";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(argc, argv);
}

Quaternion ViewRotation(const std::string& view) {
    if (view == "xy")
        return CCamera::XYView;
    if (view == "xz")
        return CCamera::XZView;
    if (view == "yz")
        return CCamera::YZView;
    return CCamera::GeneralView;
}
