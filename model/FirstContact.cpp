#include "model/FirstContact.h"

#include <algorithm>
#include <cmath>

namespace quillmere {

ContactSpan ContactSpanOf(const std::vector<double>& records) {
    ContactSpan span;
    for (size_t node = 1; node < records.size(); ++node) {
        const double record = records[node];
        if (std::isnan(record)) {
            ++span.neverInContact;
            continue;
        }
        const int number = static_cast<int>(record);
        span.first = span.first == 0 ? number : std::min(span.first, number);
        span.last = std::max(span.last, number);
    }
    return span;
}

} // namespace quillmere
