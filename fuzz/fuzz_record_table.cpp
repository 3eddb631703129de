// The record-table rewrite of the first-and-last export on any project file:
// it keeps what precedes the header of record 1, ends with that header and
// the lines after the last header, and a second rewrite changes nothing.
#include "export/ProjectExport.h"
#include "fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace quillmere;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string rewritten = RewriteRecordTable(content);
    if (rewritten == content)
        return 0;
    if (rewritten.empty() || rewritten.back() != '\n')
        fuzz::Fail("a rewritten table does not end with a line feed");
    // The new header is the first line that reads exactly so: an earlier one
    // would have been the header of record 1.
    const std::string written = "  1  ------------------------";
    size_t header = std::string::npos;
    for (size_t at = 0; at < rewritten.size();) {
        const size_t end = rewritten.find('\n', at);
        std::string line = rewritten.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == written) {
            header = at;
            break;
        }
        at = end + 1;
    }
    if (header == std::string::npos)
        fuzz::Fail("a rewritten table has no header of record 1");
    // Everything before the new header is the start of the file as it was.
    const std::string before = rewritten.substr(0, header);
    if (content.compare(0, before.size(), before) != 0)
        fuzz::Fail("the lines before record 1 changed");
    // At most the header and three lines follow.
    size_t lines = 0;
    for (size_t i = header; i < rewritten.size(); ++i)
        lines += rewritten[i] == '\n';
    if (lines > 4)
        fuzz::Fail("more than three lines follow the header of record 1");
    if (RewriteRecordTable(rewritten) != rewritten)
        fuzz::Fail("a second rewrite changes the table again");
    return 0;
}
