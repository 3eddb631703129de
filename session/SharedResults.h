// The web page of a session's results (export/SharePage.h): the sheet's mesh
// once, then for each record its node positions, the colours of every
// quantity on the list as the scale panel shows them, the data tip's numbers
// of every node and element, and the tools' places; the sheet report as a
// table beside the view. quillmere-batch share and File > Share as web
// page... both make it here.
#pragma once

#include "export/SharePage.h"
#include "scale/Quantity.h"
#include "scale/ScaleLimits.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillmere {

class CConfiguration;
class CSession;

struct ShareRequest {
    std::vector<int> records;               // 1-based, in this order on the slider
    std::vector<ResultQuantity> quantities; // the list, the first one shown first; none: every one
    ScaleLimits limits;                     // the limits setting of each quantity
};

// The page of request in the configuration's system of units; the session
// is left at the last record of the list. False when a record cannot be read
// (the loader has said why) or a number is no record of the project.
bool MakeSharedResults(CSession& session, const ShareRequest& request, const CConfiguration& configuration,
                       SharePage& page);

// A number of the data tip as the page holds it: the digits FormatNumber
// prints with format ("%W.Dlf"), as an integer (value x 10^D as printed);
// false when it prints as no plain number (nan, inf) or beyond 32 bits.
bool PrintedDigits(const char* format, double value, int32_t& digits);

// A table of a report's text ("Name: value" lines) beside the view, after
// those already there: how the page takes another report.
void AddReportTable(SharePage& page, const std::string& title, const std::string& reportText);

} // namespace quillmere
