// Opening a project from an arbitrary project file, with the repair that
// rewrites it, the reports that read it again and a step to the first
// record. The project file lies in a folder with a small sample project of
// the same name, so that its references can be found; everything else in
// that folder must come out of every run unchanged.
#include "config/CConfiguration.h"
#include "core/FilePaths.h"
#include "fuzz/FuzzSupport.h"
#include "model/CProjectProfile.h"
#include "model/Reports.h"
#include "tools/SampleWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sys/stat.h>

using namespace quillmere;

namespace {

std::string folder;
std::string projectPath;
std::map<std::string, std::string> untouchable; // every other file of the folder, with its content
CConfiguration* configuration = nullptr;

std::map<std::string, std::string> FolderContent() {
    std::map<std::string, std::string> content;
    for (const std::string& name : ListFolder(folder))
        content[name] = fuzz::ReadFile(folder + "/" + name);
    return content;
}

void CheckFolder() {
    std::map<std::string, std::string> now = FolderContent();
    if (now.erase(FileNamePart(projectPath)) != 1 || now != untouchable)
        fuzz::Fail("the folder of the project changed beyond its project file");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    folder = fuzz::ScratchFolder() + "/project";
    ::mkdir(folder.c_str(), 0755);
    samplegen::CupOptions options;
    options.name = fuzz::ProjectName;
    options.cellsX = fuzz::ProjectCellsX;
    options.cellsY = fuzz::ProjectCellsY;
    options.records = fuzz::ProjectRecords;
    projectPath = samplegen::WriteCupSample(folder, options);
    if (projectPath.empty()) {
        std::fprintf(stderr, "quillmere fuzz: cannot write the sample project into %s\n", folder.c_str());
        std::abort();
    }
    untouchable = FolderContent();
    untouchable.erase(FileNamePart(projectPath));
    configuration = new CConfiguration(fuzz::ScratchFolder() + "/Quillmere.cfg");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteFile(projectPath, data, size);
    fuzz::CIgnoredProgress progress;
    {
        std::unique_ptr<CProjectProfile> project(new CProjectProfile);
        if (project->Open(projectPath, &progress)) {
            // What every window relies on once a project is open.
            if (project->RecordCount() < 1 || !project->Sheet() || project->Tools().size() != kToolSlots)
                fuzz::Fail("an open project without its record or its ten tool slots");
            for (int slot = 0; slot < kToolSlots; ++slot)
                if ((project->Tool(slot) == nullptr) != (project->ToolFileName(slot) == "None"))
                    fuzz::Fail("a tool slot that does not match its name");
            std::string text = SheetPropertiesReport(*project, *configuration);
            text += ProjectInformationReport(*project).text;
            std::string record;
            RecordInformationReport(*project, *configuration, record);
            project->GoToRecord(1);
            RecordInformationReport(*project, *configuration, record);
            volatile size_t sink = text.size() + record.size();
            (void)sink;
        }
    }
    CheckFolder();
    return 0;
}
