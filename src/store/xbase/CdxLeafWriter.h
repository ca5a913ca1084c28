#pragma once

#include "store/xbase/CdxLeafWidths.h"

#include <cstdint>

namespace quorvo::xbase {

// Fills one leaf page entry by entry, compressing as FoxPro-compatible writers do:
//   bytes 24 + i*N ..      entry i: recno | dup << RB | trail << (RB + DB), N bytes little-endian
//   .. 511 downward        the key bytes entry i stores, directly below those of entry i - 1
// trail counts the key's trailing fill bytes; dup is the prefix shared with the previous key, capped
// where either key's trailing fill starts; entry 0 has dup 0. The leaf header (free bytes, masks and
// widths) and the node header are written by finish().
class CdxLeafWriter
{
public:
    CdxLeafWriter(std::uint32_t keyLength, char fill);

    // Zeroes the page and starts an empty leaf with these widths.
    void start(char* page, const CdxLeafWidths& widths);
    // Adds an entry after the previous one; false (page unchanged) when it does not fit. The record
    // number must fit the widths. key must stay valid until the next append, which compares against it.
    bool append(const char* key, std::uint32_t recno);
    void finish(std::uint16_t attributes, std::uint32_t left, std::uint32_t right);

    std::uint32_t count() const { return m_count; }
    std::uint32_t freeBytes() const { return m_free; }

    std::uint32_t trailCount(const char* key) const;
    std::uint32_t dupCount(const char* previous, std::uint32_t previousTrail, const char* key,
                           std::uint32_t trail) const;

private:
    std::uint32_t m_keyLength;
    char m_fill;
    char* m_page = nullptr;
    CdxLeafWidths m_widths;
    std::uint32_t m_count = 0;
    std::uint32_t m_free = 0;
    std::uint32_t m_keyPos = 0;
    const char* m_previous = nullptr;
    std::uint32_t m_previousTrail = 0;
};

} // namespace quorvo::xbase
