// What a study draws besides its table: a picture of every project and the
// thickness chart of the whole study. Needs Qt and OpenGL.
#pragma once

#include <string>
#include <vector>

namespace quillmere {

struct StudyList;
struct StudyRow;

// One picture per row with figures, as render draws it by default, into
// folder: row k is the project at positions[k] of the list, its picture
// names[positions[k]] with ".png", which pictures[k] gets ("" for a row
// without one). False after a message when one failed. minimumWall (in
// the table's length unit, 0 for none) marks the elements thinner than it.
bool WriteStudyPictures(const StudyList& list, const std::vector<size_t>& positions,
                        const std::vector<StudyRow>& rows, const std::vector<std::string>& names,
                        const std::string& folder, const std::string& configurationPath, bool usCustomary,
                        std::vector<std::string>& pictures, double minimumWall = 0);

// The thickness range (min, mean, max) of every project, left to right in
// the table's order, as a PNG picture; false after a message when it cannot
// be written.
bool WriteStudyChart(const std::vector<StudyRow>& rows, const std::string& file, bool usCustomary);

} // namespace quillmere
