// quillmere-batch render: the scene picture as "Save to bitmap" writes it,
// or the printed page as a PDF file, drawn with no display.
#pragma once

#include <memory>
#include <string>

class CComparison;
class CConfiguration;
class CProjectProfile;

struct RenderArguments {
    std::string output;           // the picture; its extension gives the format
    std::string view = "general"; // general, xy, xz or yz
    int width = 640, height = 480;
    bool noName = false; // leave out the caption
    bool scale = false;  // draw the colour scale
};

// Draws the project's current record in quantity, or its difference to
// comparison's reference, and writes it; a message on stderr and
// BatchFailure when it cannot.
int RenderProject(const RenderArguments& arguments, CProjectProfile& project,
                  const CConfiguration& configuration, int quantity,
                  std::shared_ptr<CComparison> comparison = nullptr);
