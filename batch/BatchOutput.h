// What every command of quillmere-batch shares in its output: the exit
// statuses, the line ends a terminal expects, and the line that says why a
// command failed.
#pragma once

#include <string>

namespace quillmere {

// Exit statuses of the command.
// BatchIncomplete: a study some of whose projects gave no figures, measured
// points some of which missed the sheet.
enum BatchStatus { BatchSuccess = 0, BatchCritical = 1, BatchFailure = 2, BatchIncomplete = 3 };

// "\r\n" becomes "\n", as a terminal expects.
std::string UnixLineEnds(const std::string& text);

// "quillmere-batch: " and text as an error on stderr; BatchFailure.
int BatchFail(const std::string& text);

} // namespace quillmere
