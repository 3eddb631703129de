// Small solved projects written with the sample writer into a temporary
// folder, for the model's tests.
#pragma once

#include "tests/support/TestSupport.h"
#include "tools/SampleWriter.h"

#include <string>
#include <vector>

using namespace quillmere;

// The mesh of the sheet: MakeGridRecord's, its mirrored-diagonal variant, or
// an L of three squares of cellsX x cellsX cells (0.2 m across).
enum class FixtureSheet { Grid, MirroredGrid, LShape };

struct FixtureOptions {
    int records = 3;
    int cellsX = 4, cellsY = 3;
    FixtureSheet sheet = FixtureSheet::Grid;
    bool windowsPaths = false; // references as C:\old\... paths
    std::vector<std::string> materials{"fixture_pp.vie"};
};

// A project "fixture.tfc": a flat 0.2 m x 0.1 m grid sheet that rises by
// 10 mm per record, one section tool in slot 1 moving along +z by 0.01 m
// per record, a process control file and a project configuration file.
class CProjectFixture {
public:
    explicit CProjectFixture(const FixtureOptions& options = FixtureOptions());

    const std::string& Folder() const { return folder.Path(); }
    std::string File(const std::string& name) const { return folder.File(name); }
    std::string ProjectPath() const { return folder.File("fixture.tfc"); }
    samplegen::ProjectFile& Project() { return project; }
    // Rewrites the project file from Project().
    void WriteProject() const;
    // The record written for a 0-based index.
    samplegen::RecordData Record(int index) const;

private:
    CTempFolder folder;
    FixtureOptions options;
    samplegen::ProjectFile project;
};
