// The study: one table row per project of a list, read on several threads
// or, in shares, on several machines whose parts are gathered afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillmere {

// The projects of a LIST file: one path per line, blank lines and lines
// starting with '#' skipped, relative paths taken from LIST's folder.
struct StudyList {
    std::vector<std::string> names; // as written in LIST: the table's project column
    std::vector<std::string> paths; // where the projects are read from
    std::vector<int> lines;         // the line of LIST, from 1
    std::string identity;           // a digest of LIST's content, carried by every part
};

// False with the reason when LIST cannot be read.
bool ReadStudyList(const std::string& path, StudyList& list, std::string& failure);

struct StudyOptions {
    int record = 0; // 0: the last record
    bool usCustomary = false;
    int jobs = 1;            // projects read at once
    int task = 0, tasks = 1; // this share: the projects at task, task + tasks, ...
    double minimumWall = 0;  // in the table's length unit; 0: no column of the area below it
};

// One project's figures in the table's units; empty figures unless ok.
struct StudyRow {
    std::string project;
    bool ok = false;
    std::string status; // "ok" or why the project gave no figures
    int records = 0, record = 0, elements = 0;
    double thicknessMinimum = 0, thicknessMean = 0, thicknessMaximum = 0;
    double thinningMaximum = 0, temperatureMaximum = 0, vonMisesMaximum = 0;
    // Of the whole sheet, clamped elements included (the forming summary's).
    double drawRatio = 0, thickenedPercent = 0;
    bool hasMinimumWall = false;
    double belowWallPercent = 0;
};

// The figures of one project; never throws. configurationPath gives the
// program's configuration; the table's units are the options' own.
StudyRow StudyProject(const std::string& path, const std::string& name, const StudyOptions& options,
                      const std::string& configurationPath);

// The rows of this share of the list, in the list's order, read options.jobs
// at a time. progress(done, total) is called on the calling thread's turn.
std::vector<StudyRow> RunStudy(const StudyList& list, const StudyOptions& options,
                               const std::string& configurationPath,
                               const std::function<void(int, int)>& progress = {});

// The file name, without extension, of a project's picture: its path as
// LIST gives it, without extension, "." and ".." folders, each separator an
// underscore.
std::string StudyPictureName(const std::string& project);

// The picture names of every project of the list, one for each, whatever
// share reads it: StudyPictureName, and where an earlier project has that
// name already (in any case of its letters), the name with "-" and the
// project's line in LIST ("v1_cup-7").
std::vector<std::string> StudyPictureNames(const StudyList& list);

// The table: a header line and one line per row, in the C locale. With
// pictures (one file name per row, "" for none), a column "picture" after
// the status; then draw_ratio, thickened_area_percent and
// below_min_wall_percent (empty without a minimum wall).
std::string StudyTable(const std::vector<StudyRow>& rows, bool usCustomary,
                       const std::vector<std::string>* pictures = nullptr);

// A part of a study in shares: a first line that names the list, the
// options and the share, then the share's table.
std::string StudyPart(const StudyList& list, const StudyOptions& options, const std::vector<StudyRow>& rows,
                      const std::vector<std::string>* pictures = nullptr);

// The rows of a table StudyTable wrote: the project, whether it has
// figures, and the thickness figures (for the chart); usCustomary from the
// header. False when the text is not such a table.
bool ReadStudyTable(const std::string& table, std::vector<StudyRow>& rows, bool& usCustomary);

// Merges the parts' texts into the one-machine table. False with the reason
// when a part is missing, repeated, damaged or of another study. failed is
// the number of rows without figures.
bool GatherStudy(const std::vector<std::string>& partNames, const std::vector<std::string>& parts,
                 std::string& table, int& failed, std::string& failure);

} // namespace quillmere
