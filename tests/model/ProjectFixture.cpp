#include "tests/model/ProjectFixture.h"

#include "core/TextFormat.h"

#include <gtest/gtest.h>

using namespace quillmere;

CProjectFixture::CProjectFixture(const FixtureOptions& fixtureOptions) : options(fixtureOptions) {
    using namespace samplegen;
    const std::string prefix = options.windowsPaths ? "C:\\old\\jobs\\" : "";
    WriteSectionTool(folder.File("fixture_mould.tol"), {{0, 100, 50, 10}, {-40, 80, 40, 10}}, false);
    WriteProcessControl(folder.File("fixture.prc"), {ToolMotion{}});
    ProjectConfiguration configuration;
    configuration.sheet = "fixture.sht";
    configuration.toolNames = {"fixture_mould.tol", "None"};
    configuration.processControl = "fixture.prc";
    configuration.materialLines = {"fixture_pp.vie", "Unused", "Unused", "Unused", "Unused", "fixture.hft"};
    configuration.jobNumber = "4711";
    configuration.number = "12";
    configuration.programmer = "A. Tester";
    configuration.comments = {"first comment", "second comment"};
    WriteProjectConfiguration(folder.File("fixture.cfg"), configuration);
    WriteWholeFile(folder.File("fixture.sht"), "sheet\n");
    WriteWholeFile(folder.File("fixture_pp.vie"), "material\n");
    WriteWholeFile(folder.File("fixture.hft"), "heat\n");

    project.sheet = prefix + "fixture.sht";
    project.toolNames = {prefix + "fixture_mould.tol"};
    project.processControl = prefix + "fixture.prc";
    project.materials.clear();
    for (const std::string& material : options.materials)
        project.materials.push_back(prefix + material);
    project.heatFriction = prefix + "fixture.hft";
    project.configuration = prefix + "fixture.cfg";
    for (int r = 0; r < options.records; ++r) {
        project.records.push_back({1000.0 * (r + 1), 0.5 * r, 7.0 + r});
        EXPECT_TRUE(WriteRecordFile(folder.File(FormatText("fixture.%03d", r)), Record(r)));
    }
    WriteProject();
}

void CProjectFixture::WriteProject() const {
    EXPECT_TRUE(samplegen::WriteProjectFile(ProjectPath(), project));
}

samplegen::RecordData CProjectFixture::Record(int index) const {
    samplegen::RecordData record =
        options.sheet == FixtureSheet::LShape ? samplegen::MakeLShapeRecord(options.cellsX, 0.2)
        : options.sheet == FixtureSheet::MirroredGrid
            ? samplegen::MakeMirroredGridRecord(options.cellsX, options.cellsY, 0.2, 0.1)
            : samplegen::MakeGridRecord(options.cellsX, options.cellsY, 0.2, 0.1);
    for (samplegen::Vec3& node : record.current)
        node.z += 0.01 * index;
    record.toolPositions[0] = 0.01 * index;
    return record;
}
