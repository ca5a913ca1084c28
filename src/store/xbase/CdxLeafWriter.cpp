#include "store/xbase/CdxLeafWriter.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxNodeHeader.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

namespace quorvo::xbase {

CdxLeafWriter::CdxLeafWriter(std::uint32_t keyLength, char fill) : m_keyLength(keyLength), m_fill(fill) {}

void CdxLeafWriter::start(char* page, const CdxLeafWidths& widths)
{
    m_page = page;
    m_widths = widths;
    m_count = 0;
    m_free = CdxLayout::kLeafArea;
    m_keyPos = CdxLayout::kPageSize;
    m_previous = nullptr;
    m_previousTrail = 0;
    std::memset(page, 0, CdxLayout::kPageSize);
}

std::uint32_t CdxLeafWriter::trailCount(const char* key) const
{
    // Eight bytes at a time while whole words are fill, then byte by byte.
    std::uint32_t n = m_keyLength;
    const std::uint64_t fills = 0x0101010101010101ull * static_cast<unsigned char>(m_fill);
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, key + n - 8, 8);
        if (word != fills)
            break;
        n -= 8;
    }
    while (n > 0 && key[n - 1] == m_fill)
        --n;
    return m_keyLength - n;
}

std::uint32_t CdxLeafWriter::dupCount(const char* previous, std::uint32_t previousTrail, const char* key,
                                      std::uint32_t trail) const
{
    const std::uint32_t limit = m_keyLength - std::max(previousTrail, trail);
    std::uint32_t n = 0;
    while (n + 8 <= limit) {
        std::uint64_t a;
        std::uint64_t b;
        std::memcpy(&a, previous + n, 8);
        std::memcpy(&b, key + n, 8);
        if (a != b) {
            if constexpr (std::endian::native == std::endian::little)
                return n + static_cast<std::uint32_t>(std::countr_zero(a ^ b)) / 8;
            break;
        }
        n += 8;
    }
    while (n < limit && previous[n] == key[n])
        ++n;
    return n;
}

bool CdxLeafWriter::append(const char* key, std::uint32_t recno)
{
    assert(recno <= m_widths.recordMask());
    const std::uint32_t trail = trailCount(key);
    const std::uint32_t dup = m_previous ? dupCount(m_previous, m_previousTrail, key, trail) : 0;
    const std::uint32_t stored = m_keyLength - dup - trail;
    const std::uint32_t need = m_widths.entryBytes + stored;
    if (need > m_free)
        return false;
    const std::uint64_t value = std::uint64_t{recno} | std::uint64_t{dup} << m_widths.recordBits |
                                std::uint64_t{trail} << (m_widths.recordBits + m_widths.dupBits);
    CdxBytes::putLeN(m_page + CdxLayout::kLeafHeaderSize + m_count * m_widths.entryBytes, value, m_widths.entryBytes);
    m_keyPos -= stored;
    if (stored > 0)
        std::memcpy(m_page + m_keyPos, key + dup, stored);
    m_free -= need;
    ++m_count;
    m_previous = key;
    m_previousTrail = trail;
    return true;
}

void CdxLeafWriter::finish(std::uint16_t attributes, std::uint32_t left, std::uint32_t right)
{
    CdxNodeHeader header;
    header.attributes = attributes;
    header.count = static_cast<std::uint16_t>(m_count);
    header.left = left;
    header.right = right;
    header.write(m_page);
    CdxBytes::putLe16(m_page + 12, m_free);
    CdxBytes::putLe32(m_page + 14, m_widths.recordMask());
    m_page[18] = static_cast<char>(m_widths.dupMask());
    m_page[19] = static_cast<char>(m_widths.trailMask());
    m_page[20] = static_cast<char>(m_widths.recordBits);
    m_page[21] = static_cast<char>(m_widths.dupBits);
    m_page[22] = static_cast<char>(m_widths.trailBits);
    m_page[23] = static_cast<char>(m_widths.entryBytes);
}

} // namespace quorvo::xbase
