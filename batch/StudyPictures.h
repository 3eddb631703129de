// What a study draws besides its table: a picture of every project and the
// thickness chart of the whole study. Needs Qt and OpenGL.
#pragma once

#include <string>
#include <vector>

struct StudyList;
struct StudyRow;

// One picture per project with figures, as render draws it by default, into
// folder under StudyPictureName; false after a message when one failed.
bool WriteStudyPictures(const StudyList& list, const std::vector<StudyRow>& rows, const std::string& folder,
                        const std::string& configurationPath, bool usCustomary);

// The thickness range (min, mean, max) of every project, left to right in
// the table's order, as a PNG picture; false after a message when it cannot
// be written.
bool WriteStudyChart(const std::vector<StudyRow>& rows, const std::string& file, bool usCustomary);
