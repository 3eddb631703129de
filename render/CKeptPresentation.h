// The presentation a scene shows, kept until what it is made from changes:
// the sheet's values, the quantity, its limits setting, the comparison (its
// reference's values and its names), the record, the system of units and the
// minimum wall.
#pragma once

#include "scale/Presentation.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillmere {

class CKeptPresentation {
public:
    explicit CKeptPresentation(Presentation first) : presentation(std::move(first)) {}

    // Makes the presentation of source (which has a sheet) again when any of
    // it changed since the last one made.
    void Update(const PresentationSource& source);
    // Lets go of the comparison the presentation holds; the next update
    // makes it again.
    void Drop();
    const Presentation& Shown() const { return presentation; }

private:
    // What a presentation is made from; it is made again when any of it
    // changed.
    struct Key {
        const CComparison* comparison = nullptr;
        uint64_t values = 0;
        uint64_t reference = 0;                 // the compared reference's values; 0 when plain
        std::optional<ResultQuantity> quantity; // none before the first
        int record = 0;
        uint32_t mode = 0;
        double fixedMinimum = 0, fixedMaximum = 0;
        int units = -1;                         // 1 SI metric, 0 US customary, -1 none
        std::string shownTitle, referenceTitle; // the comparison's names
        double minimumWall = 0;
        bool operator==(const Key& o) const {
            return comparison == o.comparison && values == o.values && reference == o.reference &&
                   quantity == o.quantity && record == o.record && mode == o.mode &&
                   fixedMinimum == o.fixedMinimum && fixedMaximum == o.fixedMaximum && units == o.units &&
                   shownTitle == o.shownTitle && referenceTitle == o.referenceTitle &&
                   minimumWall == o.minimumWall;
        }
    };
    static Key KeyOf(const PresentationSource& source);

    Presentation presentation;
    Key key;
    bool made = false;
};

} // namespace quillmere
