// What a command of quillmere-batch is given: its command line as parsed
// and, for a command on a project, the project opened at its record.
#pragma once

#include "scale/Quantity.h"

#include <optional>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CInputFiles;
class CSession;
class CSessionView;

struct RenderArguments {
    std::string output;           // the picture; its extension gives the format
    std::string view = "general"; // general, xy, xz or yz
    int width = 640, height = 480;
    bool noName = false;    // leave out the caption
    bool scale = false;     // draw the colour scale
    double minimumWall = 0; // metres: the elements thinner are drawn in its colour; 0: none
};

struct VideoArguments {
    std::string output;            // .avi or .mp4
    std::string view = "general";  // general, xy, xz or yz
    int width = 640, height = 480; // the video's frames
    std::string codec;             // empty: the container's default
};

struct StudyArguments {
    std::string list;
    std::string output;
    std::string record = "last"; // "last" or a record number
    int jobs = 0;                // 0: every core
    std::string units = "si";
    int task = -1, tasks = -1; // -1: from Slurm's array variables, else the whole list
    std::vector<std::string> gather;
    std::string pictures;    // a folder for one picture per project
    std::string chart;       // the thickness chart, a PNG file
    std::string minimumWall; // as typed, in the table's length unit; "": none
};

struct MeasureArguments {
    std::string points;    // the measurement file
    std::string output;    // the table's file; "": the table on stdout
    std::string tolerance; // as typed: a length, or a percentage "10%"
    std::string fit;       // "rigid": fit the points to the sheet first
};

struct ShareArguments {
    std::string output;                  // the web page
    std::vector<std::string> quantities; // as typed; none: every quantity
};

struct BatchArguments {
    std::string
        command;        // report, values, cut, tip, export, render, video, study, vtk, measure, gltf or share
    std::string report; // sheet, project, record, document or forming
    std::string project;
    std::string units;                      // "", "si" or "us"
    int record = 0;                         // 0: the last record
    std::optional<ResultQuantity> quantity; // none: the command's default
    bool hasMinimum = false, hasMaximum = false;
    double minimum = 0, maximum = 0;
    int plane = -1;
    double position = 0;
    bool graph = false;
    std::string save;            // cut: the CSV file of the profile, nothing on stdout
    int pickMode = -1;           // tip: NodeMode or ElementMode
    int item = 0;                // tip: the node number or element index
    std::string target;          // export, vtk: the folder, as typed
    std::string records = "all"; // vtk, share
    bool withSolution = false, firstAndLast = false, create = false;
    RenderArguments render;
    VideoArguments video;
    StudyArguments study;
    std::string minus;       // values, cut, render: the reference project of the difference
    int minusRecord = 0;     // its record; 0: the one of --record
    bool byPosition = false; // compare with it by position, not node by node
    // measure, and --minus by position: how far from the sheet a point may
    // be, in the length unit of the system of units; none given: the default.
    bool hasMaxDistance = false;
    double maxDistance = 0;
    MeasureArguments measure;
    // report forming, values, render: the minimum wall in the length unit of
    // the system of units (values: the configuration's); 0: none.
    double minimumWall = 0;
    std::string model; // gltf: the .glb file
    ShareArguments share;
};

// The project a command works on: its session at the record the command
// line names, the one view of it the tool has (comparing with the --minus
// project), the configuration in the units named, and the files the command
// reads, which none of its outputs may replace.
struct BatchProject {
    CSession& session;
    CSessionView& view;
    const CConfiguration& configuration;
    const CInputFiles& inputs;
};

} // namespace quillmere
