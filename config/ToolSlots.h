// The tool positions of a project: every record, project file and set of
// display settings holds one entry per slot.
#pragma once

namespace quillmere {

constexpr int kToolSlots = 10;

} // namespace quillmere
