#include "batch/GltfCommand.h"

#include "batch/BatchOptions.h"
#include "batch/BatchOutput.h"
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "core/TextFormat.h"
#include "export/GltfModel.h"
#include "messages/MessageText.h"
#include "model/CProjectProfile.h"
#include "scale/Presentation.h"
#include "session/CSession.h"
#include "session/CSessionView.h"

#include <cctype>

namespace quillmere {

namespace {

bool EndsWithGlb(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".glb";
}

} // namespace

int WriteGltf(const BatchArguments& arguments, BatchProject& project) {
    if (!EndsWithGlb(arguments.model))
        return BatchFail("the extension of " + arguments.model + " is not .glb, the glTF binary file");
    const CSheetProfile* sheet = project.view.Sheet();
    const Presentation shown =
        MakePresentation({sheet, arguments.quantity.value_or(ResultQuantity::Thickness), ScaleLimits(),
                          project.view.Comparison(), project.view.ShownRecord(), &project.configuration,
                          MinimumWallMetres(arguments.minimumWall, project.configuration)});
    GltfSource source;
    source.sheet = sheet;
    source.shown = &shown;
    source.settings = &project.configuration.Settings();
    source.tools = &project.session.Project().Tools();
    source.name = FormatText("%s, record %d", FileNamePart(project.session.Project().PathName()).c_str(),
                             project.view.ShownRecord());
    Message failure;
    if (!WriteGltfModel(arguments.model, source, failure))
        return BatchFail(arguments.model + " cannot be written" +
                         (failure ? ": " + MessageText(failure) : ""));
    return BatchSuccess;
}

} // namespace quillmere
