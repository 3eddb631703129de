// The headless command line: reports (and later values and cuts) of a
// project, written to a stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses of the command.
// BatchIncomplete: a study some of whose projects gave no figures.
enum BatchStatus { BatchSuccess = 0, BatchCritical = 1, BatchFailure = 2, BatchIncomplete = 3 };

// Runs one command line (without the program name). configurationPath is the
// configuration file whose system of units applies unless --units is given.
int RunBatch(const std::vector<std::string>& arguments, const std::string& configurationPath,
             std::ostream& out);

// "\r\n" becomes "\n", as a terminal expects.
std::string UnixLineEnds(const std::string& text);
