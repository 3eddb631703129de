#include "batch/OffscreenScene.h"

#include "core/Messages.h"
#include "messages/MessageText.h"
#include "render/HeadlessScene.h"
#include "scene/CCamera.h"

#include <QGuiApplication>

namespace quillmere {

namespace {

QtMessageHandler qtMessages = nullptr;

// The tool keeps no files of its own in a runtime folder: Qt's notes that
// there is none (as in every job of a cluster) would only fill the logs.
void QuietRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: ")) &&
        (message.contains(QLatin1String("XDG_RUNTIME_DIR")) ||
         message.contains(QLatin1String("runtime directory"))))
        return;
    if (qtMessages)
        qtMessages(type, context, message);
}

} // namespace

void EnsureOffscreenApplication() {
    if (QGuiApplication::instance())
        return;
    qtMessages = qInstallMessageHandler(QuietRuntimeFolder);
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

std::unique_ptr<CHeadlessScene> OpenHeadlessScene(CSessionView& shown, const CConfiguration& configuration,
                                                  ResultQuantity quantity, const std::string& view,
                                                  const std::string& what) {
    EnsureOffscreenApplication();
    CCamera camera;
    camera.trackball.SetRotation(ViewRotation(view));
    auto scene = std::make_unique<CHeadlessScene>(shown, DisplaySettings(), quantity, camera);
    if (!scene->IsValid()) {
        ShowMessage("quillmere-batch: no OpenGL context for the " + what + ": " + scene->Error(),
                    MessageIcon::Error);
        return nullptr;
    }
    scene->SetConfiguration(&configuration);
    return scene;
}

} // namespace quillmere
