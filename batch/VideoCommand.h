// quillmere-batch video: the video of every record of a project, drawn with
// no display.
#pragma once

#include "batch/BatchCommand.h"

namespace quillmere {

// Steps the project through every record, draws each frame at twice the size
// with its caption, halves it and writes it, in the --quantity (thickness by
// default). Progress goes to stderr when it is a terminal. A message on
// stderr and BatchFailure when it cannot, or when the output's extension is
// neither .avi nor .mp4.
int WriteVideo(const BatchArguments& arguments, BatchProject& project);

} // namespace quillmere
