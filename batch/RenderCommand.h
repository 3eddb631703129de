// quillmere-batch render: the scene picture as "Save to bitmap" writes it,
// or the printed page as a PDF file, drawn with no display.
#pragma once

#include "batch/BatchCommand.h"
#include "scale/Quantity.h"

namespace quillmere {

// Draws the current record of shown's session in quantity, or its
// difference to shown's comparison, and writes it; a message on stderr and
// BatchFailure when it cannot.
int RenderProject(const RenderArguments& arguments, CSessionView& shown, const CConfiguration& configuration,
                  ResultQuantity quantity);

// The command: the project's view in the --quantity, thickness by default.
int WriteRender(const BatchArguments& arguments, BatchProject& project);

} // namespace quillmere
