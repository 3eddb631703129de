#include "batch/BatchOutput.h"

#include "core/Messages.h"
#include "messages/MessageText.h"

namespace quillmere {

std::string UnixLineEnds(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            result += text[i];
    return result;
}

int BatchFail(const std::string& text) {
    ShowMessage("quillmere-batch: " + text, MessageIcon::Error);
    return BatchFailure;
}

} // namespace quillmere
