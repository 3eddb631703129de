#include "ui/export/ModelExport.h"

#include "core/FilePaths.h"
#include "core/Messages.h"
#include "core/TextFormat.h"
#include "export/GltfModel.h"
#include "messages/MessageText.h"
#include "model/CDocument.h"
#include "model/CProjectProfile.h"
#include "ui/scene/CSceneRender.h"

#include <QGuiApplication>

#include <cctype>

namespace quillmere {

namespace {

bool EndsWithGlb(const std::string& name) {
    std::string tail = name.size() < 4 ? name : name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".glb";
}

} // namespace

std::string DefaultModelName(const std::string& projectPath) {
    const size_t separator = LastSeparator(projectPath);
    const size_t name = separator == std::string::npos ? 0 : separator + 1;
    const size_t dot = projectPath.rfind('.');
    return (dot == std::string::npos || dot <= name ? projectPath : projectPath.substr(0, dot)) + ".glb";
}

bool ExportModel(CSceneRender& view, const std::string& fileName) {
    CScene& scene = view.Scene();
    if (!scene.View().Sheet() || !scene.UpdatePresentation())
        return false;
    const std::string path = EndsWithGlb(fileName) ? fileName : fileName + ".glb";
    GltfSource source;
    source.sheet = scene.View().Sheet();
    source.shown = &scene.Presented();
    source.settings = &scene.Settings();
    if (const CProjectProfile* project = scene.Project())
        source.tools = &project->Tools();
    const CDocument* document = view.Document();
    source.name =
        FormatText("%s, record %d", document ? document->DisplayName().c_str() : "", view.ShownRecord());
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Message failure;
    const bool written = WriteGltfModel(path, source, failure);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        ShowMessage(FileNamePart(path) + " cannot be written" +
                        (failure ? ": " + MessageText(failure) + "." : "."),
                    MessageIcon::Error);
        return false;
    }
    ShowMessage("3D model successfully created.", MessageIcon::Information);
    return true;
}

} // namespace quillmere
