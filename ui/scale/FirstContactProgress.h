// The first contact of every node over the records of a project, read on a
// worker thread behind a progress dialog that can be cancelled.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace quillmere {

// FirstContactRecords of the project; null when cancelled or failed (a record
// that cannot be read has been reported).
std::shared_ptr<const std::vector<double>>
FirstContactWithProgress(QWidget* parent, const std::string& projectPath, int recordCount);

} // namespace quillmere
