#pragma once

#include <cstdint>

namespace quorvo::xbase {

// Bit widths of one leaf's entries. An entry is entryBytes bytes read as one little-endian integer:
// record number in the low recordBits, then the duplicate count, then the trailing count.
struct CdxLeafWidths
{
    std::uint8_t recordBits = 0;
    std::uint8_t dupBits = 0;
    std::uint8_t trailBits = 0;
    std::uint8_t entryBytes = 0;

    std::uint32_t recordMask() const { return mask(recordBits); }
    std::uint32_t dupMask() const { return mask(dupBits); }
    std::uint32_t trailMask() const { return mask(trailBits); }

    // The narrowest entry FoxPro-compatible writers use for this key length and largest record number:
    // dup and trail get b bits each where 2^(b-1) <= keyLength < 2^b, an entry starts at 3 bytes and grows
    // a byte at a time until the record number fits. The fields always fill the entry exactly; past 32
    // record bits the spare bits go to the trail and dup fields.
    static CdxLeafWidths forKey(std::uint32_t keyLength, std::uint32_t maxRecno);

    static std::uint32_t mask(unsigned bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }
};

} // namespace quorvo::xbase
