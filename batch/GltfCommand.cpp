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

void DescribeGltf(CLI::App& app, BatchArguments& parsed, OptionTexts& texts) {
    CLI::App* gltf = app.add_subcommand(
        "gltf",
        "Writes the 3D model of the record as a glTF 2.0 binary file, as Export 3D model... in the File "
        "menu does: the sheet in the colours of the quantity (mirrored whole when it is a half or "
        "quarter model) with every quantity's node values (_THICKNESS in m, _TEMPERATURE in degC, "
        "_VON_MISES_STRESS in MPa, ...), and the shown tools; metres, +Y up");
    AddProject(*gltf, parsed);
    gltf->add_option("-o,--output", parsed.model, "The model file, .glb")->type_name("FILE.glb")->required();
    AddRecord(*gltf, texts);
    AddQuantity(*gltf, texts, false);
    AddMinimumWall(*gltf, texts,
                   "Draws the elements thinner than T (mm, inch when the configuration's units are US "
                   "customary) in the minimum wall's colour, as the mesh's second primitive");
    AddMinus(*gltf, parsed, texts);
}

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
