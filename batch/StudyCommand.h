// quillmere-batch study: the figures of many projects in one table, on
// every core of this machine or in shares on a cluster.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

struct StudyArguments {
    std::string list;
    std::string output;
    std::string record = "last"; // "last" or a record number
    int jobs = 0;                // 0: every core
    std::string units = "si";
    int task = -1, tasks = -1; // -1: from Slurm's array variables, else the whole list
    std::vector<std::string> gather;
    std::string pictures; // a folder for one picture per project
    std::string chart;    // the thickness chart, a PNG file
};

// The study command and its options.
void DescribeStudy(CLI::App& app, StudyArguments& parsed);

// Writes the table or the part; BatchSuccess, BatchIncomplete when some
// project gave no figures, BatchFailure when the study cannot be done.
int RunStudyCommand(const StudyArguments& arguments, const std::string& configurationPath);
