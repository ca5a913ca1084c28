#include "store/xbase/CdxLeafEditor.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxLeafCodec.h"

#include <bit>
#include <cstring>

namespace quorvo::xbase {

namespace {

// Leading bytes a and b share, up to n; eight at a time.
std::uint32_t sharedPrefix(const unsigned char* a, const unsigned char* b, std::uint32_t n)
{
    std::uint32_t i = 0;
    while (i + 8 <= n) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<std::uint32_t>(std::countr_zero(x ^ y)) / 8;
            break;
        }
        i += 8;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// Leading bytes of a that equal fill, up to n.
std::uint32_t fillPrefix(const unsigned char* a, unsigned char fill, std::uint32_t n)
{
    const std::uint64_t fills = 0x0101010101010101ull * fill;
    std::uint32_t i = 0;
    while (i + 8 <= n) {
        std::uint64_t x;
        std::memcpy(&x, a + i, 8);
        if (x != fills)
            break;
        i += 8;
    }
    while (i < n && a[i] == fill)
        ++i;
    return i;
}

} // namespace

CdxLeafEditor::CdxLeafEditor(std::uint32_t keyLength, char fill)
    : m_keyLength(keyLength), m_fill(fill), m_writer(keyLength, fill)
{}

Status CdxLeafEditor::scan(const char* page, std::uint32_t offset, std::string_view key, std::uint32_t recno)
{
    QV_TRY(CdxLeafCodec::readWidths(page, offset, m_widths));
    m_count = CdxBytes::le16(page + 2);
    const std::uint32_t tableEnd = CdxLayout::kLeafHeaderSize + m_count * m_widths.entryBytes;
    const auto* target = reinterpret_cast<const unsigned char*>(key.data());
    const auto fill = static_cast<unsigned char>(m_fill);
    m_pos = m_count;
    m_found = false;
    std::uint32_t keyPos = CdxLayout::kPageSize;
    // rolling holds the previous entry's key, rebuilt in place: each entry keeps the first dup bytes of
    // the one before. match is how many leading bytes that key shares with the target, which it
    // precedes. Slots are filled only around the target's position.
    char* rolling = m_rolling.data();
    std::uint32_t match = 0;
    Fields previous{};
    std::uint32_t keep = 0;
    for (std::uint32_t i = 0; i < m_count; ++i) {
        Fields s{};
        CdxLeafCodec::readEntry(page, m_widths, i, s.recno, s.dup, s.trail);
        if (i == 0)
            s.dup = 0;
        if (s.dup + s.trail > m_keyLength)
            return makeError(ErrorCode::Corrupt,
                             "leaf at offset " + std::to_string(offset) + ": entry " + std::to_string(i) +
                                 " has duplicate count " + std::to_string(s.dup) + " and trailing count " +
                                 std::to_string(s.trail) + " for a key of " + std::to_string(m_keyLength) + " bytes");
        s.stored = m_keyLength - s.dup - s.trail;
        if (keyPos < tableEnd + s.stored)
            return makeError(ErrorCode::Corrupt, "leaf at offset " + std::to_string(offset) + ": key bytes of entry " +
                                                     std::to_string(i) + " run into the entry table");
        const auto* stored = reinterpret_cast<const unsigned char*>(page + keyPos - s.stored);
        const std::uint32_t storedEnd = s.dup + s.stored;
        if (m_pos == m_count) {
            // An entry sharing more than match bytes with its predecessor still precedes the target;
            // otherwise compare from its first stored byte (the bytes before agree with the target).
            bool reached = false;
            if (s.dup <= match) {
                std::uint32_t j = s.dup + sharedPrefix(stored, target + s.dup, s.stored);
                if (j == storedEnd)
                    j += fillPrefix(target + j, fill, m_keyLength - j);
                match = j;
                if (j == m_keyLength)
                    reached = s.recno >= recno;
                else
                    reached = (j < storedEnd ? stored[j - s.dup] : fill) > target[j];
            }
            if (reached) {
                m_pos = i;
                m_top = keyPos;
                m_found = s.recno == recno && match == m_keyLength;
                if (i > 0) {
                    Slot& before = m_slots[(i + 2) % 3];
                    static_cast<Fields&>(before) = previous;
                    std::memcpy(before.key.data(), rolling, m_keyLength);
                }
                keep = 2;
            }
        }
        if (s.stored > 0)
            std::memcpy(rolling + s.dup, stored, s.stored);
        if (s.trail > 0)
            std::memset(rolling + storedEnd, m_fill, s.trail);
        if (keep > 0) {
            Slot& slot = m_slots[i % 3];
            static_cast<Fields&>(slot) = s;
            std::memcpy(slot.key.data(), rolling, m_keyLength);
            --keep;
        }
        previous = s;
        keyPos -= s.stored;
    }
    if (m_pos == m_count) {
        m_top = keyPos;
        if (m_count > 0) {
            Slot& before = m_slots[(m_count + 2) % 3];
            static_cast<Fields&>(before) = previous;
            std::memcpy(before.key.data(), rolling, m_keyLength);
        }
    }
    m_low = keyPos;
    m_free = keyPos - tableEnd;
    return {};
}

void CdxLeafEditor::writeEntry(char* page, std::uint32_t i, std::uint32_t recno, std::uint32_t dup,
                               std::uint32_t trail) const
{
    const std::uint64_t value = std::uint64_t{recno} | std::uint64_t{dup} << m_widths.recordBits |
                                std::uint64_t{trail} << (m_widths.recordBits + m_widths.dupBits);
    CdxBytes::putLeN(page + CdxLayout::kLeafHeaderSize + i * m_widths.entryBytes, value, m_widths.entryBytes);
}

void CdxLeafEditor::finish(char* page, std::uint32_t count, std::uint32_t free)
{
    m_count = count;
    m_free = free;
    CdxBytes::putLe16(page + 2, count);
    CdxBytes::putLe16(page + 12, free);
}

bool CdxLeafEditor::insert(char* page, std::string_view key, std::uint32_t recno)
{
    const std::uint32_t p = m_pos;
    const std::uint32_t n = m_count;
    const std::uint32_t entry = m_widths.entryBytes;
    if (recno > m_widths.recordMask())
        return false;
    const char* k = key.data();
    const std::uint32_t trail = m_writer.trailCount(k);
    const std::uint32_t dup = p > 0 ? m_writer.dupCount(slot(p - 1).key.data(), slot(p - 1).trail, k, trail) : 0;
    if (dup > m_widths.dupMask() || trail > m_widths.trailMask())
        return false;
    const std::uint32_t stored = m_keyLength - dup - trail;

    // The entry now at p follows the new key instead of entry p - 1.
    std::uint32_t nextDup = 0;
    std::uint32_t nextStored = 0;
    std::int64_t shift = stored; // how far the key bytes of entries after p move down
    if (p < n) {
        const Slot& next = slot(p);
        nextDup = m_writer.dupCount(k, trail, next.key.data(), next.trail);
        if (nextDup > m_widths.dupMask())
            return false;
        nextStored = m_keyLength - nextDup - next.trail;
        shift += std::int64_t{nextStored} - next.stored;
    }
    const std::int64_t need = std::int64_t{entry} + shift;
    if (need > std::int64_t{m_free})
        return false;

    const std::uint32_t tailEnd = p < n ? m_top - slot(p).stored : m_top;
    const auto newLow = static_cast<std::uint32_t>(std::int64_t{m_low} - shift);
    std::memmove(page + newLow, page + m_low, tailEnd - m_low);
    if (newLow > m_low)
        std::memset(page + m_low, 0, newLow - m_low);
    std::memcpy(page + m_top - stored, k + dup, stored);
    if (p < n)
        std::memcpy(page + m_top - stored - nextStored, slot(p).key.data() + nextDup, nextStored);

    char* table = page + CdxLayout::kLeafHeaderSize;
    std::memmove(table + (p + 1) * entry, table + p * entry, (n - p) * entry);
    writeEntry(page, p, recno, dup, trail);
    if (p < n)
        writeEntry(page, p + 1, slot(p).recno, nextDup, slot(p).trail);
    m_low = newLow;
    finish(page, n + 1, static_cast<std::uint32_t>(std::int64_t{m_free} - need));
    return true;
}

bool CdxLeafEditor::erase(char* page)
{
    const std::uint32_t p = m_pos;
    const std::uint32_t n = m_count;
    const std::uint32_t entry = m_widths.entryBytes;
    const Slot& gone = slot(p);

    // The entry after p follows entry p - 1 from now on.
    std::uint32_t nextDup = 0;
    std::uint32_t nextStored = 0;
    std::int64_t gain = gone.stored; // how far the key bytes of entries after p + 1 move up
    if (p + 1 < n) {
        const Slot& next = slot(p + 1);
        nextDup = p > 0 ? m_writer.dupCount(slot(p - 1).key.data(), slot(p - 1).trail, next.key.data(), next.trail) : 0;
        if (nextDup > m_widths.dupMask())
            return false;
        nextStored = m_keyLength - nextDup - next.trail;
        gain += std::int64_t{next.stored} - nextStored;
    }
    if (gain < 0)
        return false; // only leaves compressed less tightly than ours get here

    const std::uint32_t tailEnd = p + 1 < n ? m_top - gone.stored - slot(p + 1).stored : m_top - gone.stored;
    const auto newLow = static_cast<std::uint32_t>(m_low + gain);
    std::memmove(page + newLow, page + m_low, tailEnd - m_low);
    std::memset(page + m_low, 0, newLow - m_low);
    if (p + 1 < n)
        std::memcpy(page + m_top - nextStored, slot(p + 1).key.data() + nextDup, nextStored);

    char* table = page + CdxLayout::kLeafHeaderSize;
    std::memmove(table + p * entry, table + (p + 1) * entry, (n - p - 1) * entry);
    std::memset(table + (n - 1) * entry, 0, entry);
    if (p + 1 < n)
        writeEntry(page, p, slot(p + 1).recno, nextDup, slot(p + 1).trail);
    m_low = newLow;
    finish(page, n - 1, static_cast<std::uint32_t>(m_free + entry + gain));
    return true;
}

} // namespace quorvo::xbase
