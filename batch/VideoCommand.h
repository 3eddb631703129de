// quillmere-batch video: the video of every record of a project, drawn with
// no display.
#pragma once

#include <string>

class CConfiguration;
class CProjectProfile;

struct VideoArguments {
    std::string output;            // .avi or .mp4
    std::string view = "general";  // general, xy, xz or yz
    int width = 640, height = 480; // the video's frames
    std::string codec;             // empty: the container's default
};

// Steps the project through every record, draws each frame at twice the size
// with its caption, halves it and writes it. Progress goes to stderr when it
// is a terminal. A message on stderr and BatchFailure when it cannot, or when
// the output's extension is neither .avi nor .mp4.
int VideoProject(const VideoArguments& arguments, CProjectProfile& project,
                 const CConfiguration& configuration, int quantity);
