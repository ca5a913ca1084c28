#include "store/xbase/CdxLeafWidths.h"

#include <algorithm>
#include <bit>

namespace quorvo::xbase {

CdxLeafWidths CdxLeafWidths::forKey(std::uint32_t keyLength, std::uint32_t maxRecno)
{
    const unsigned b = std::max(1u, static_cast<unsigned>(std::bit_width(keyLength)));
    CdxLeafWidths widths;
    for (unsigned bytes = 3;; ++bytes) {
        unsigned recordBits = 8 * bytes - 2 * b;
        unsigned dupBits = b;
        unsigned trailBits = b;
        if (recordBits > 32) {
            unsigned spare = recordBits - 32;
            recordBits = 32;
            const unsigned toTrail = std::min(spare, 8 - trailBits);
            trailBits += toTrail;
            dupBits += spare - toTrail;
        }
        widths.recordBits = static_cast<std::uint8_t>(recordBits);
        widths.dupBits = static_cast<std::uint8_t>(dupBits);
        widths.trailBits = static_cast<std::uint8_t>(trailBits);
        widths.entryBytes = static_cast<std::uint8_t>(bytes);
        if (maxRecno <= widths.recordMask())
            return widths;
    }
}

} // namespace quorvo::xbase
