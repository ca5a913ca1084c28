#pragma once

#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxLeafWidths.h"
#include "store/xbase/CdxLeafWriter.h"
#include "store/xbase/CdxSearchTarget.h"
#include "store/xbase/Error.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvo::xbase {

// Inserts or removes one entry of a compressed leaf in place. scan() walks the entries up to the
// target, rebuilding only the keys around it, and checks the whole page as CdxLeafCodec::decode does;
// insert() and erase() then shift the entry table and the key bytes and recompute the one neighbour
// whose duplicate count changes. Widths never change here: when a record number needs wider entries,
// a foreign leaf's masks are too narrow, or the result does not fit the page, they return false and
// leave the page alone, for the caller to rebuild the leaf whole.
class CdxLeafEditor
{
public:
    CdxLeafEditor(std::uint32_t keyLength, char fill);

    // Finds the first entry at or after (key, recno); key is keyLength bytes.
    Status scan(const char* page, std::uint32_t offset, std::string_view key, std::uint32_t recno);
    std::uint32_t count() const { return m_count; }
    std::uint32_t position() const { return m_pos; }
    // The entry found is exactly (key, recno).
    bool found() const { return m_found; }
    // Free bytes as the entries leave them (after an edit, too).
    std::uint32_t freeBytes() const { return m_free; }

    // Adds (key, recno) before the entry found; the page must be the one scanned.
    bool insert(char* page, std::string_view key, std::uint32_t recno);
    // Removes the entry found.
    bool erase(char* page);

    // After erasing the last entry: the leaf's new last entry (count() > 0).
    const char* lastKey() const { return slot(m_pos - 1).key.data(); }
    std::uint32_t lastRecno() const { return slot(m_pos - 1).recno; }

private:
    struct Fields
    {
        std::uint32_t recno;
        std::uint32_t dup;
        std::uint32_t trail;
        std::uint32_t stored;
    };
    struct Slot : Fields
    {
        std::array<char, CdxLayout::kMaxKeyLength> key;
    };

    const Slot& slot(std::uint32_t i) const { return m_slots[i % 3]; }
    void writeEntry(char* page, std::uint32_t i, std::uint32_t recno, std::uint32_t dup, std::uint32_t trail) const;
    void finish(char* page, std::uint32_t count, std::uint32_t free);

    std::uint32_t m_keyLength;
    char m_fill;
    CdxLeafWriter m_writer; // for its trail and dup rules
    CdxLeafWidths m_widths;
    std::uint32_t m_count = 0;
    std::uint32_t m_pos = 0;
    bool m_found = false;
    std::uint32_t m_free = 0;
    std::uint32_t m_low = 0;       // page offset of the lowest key byte
    std::uint32_t m_top = 0;       // page offset just past the key bytes of entry m_pos
    std::array<Slot, 3> m_slots{}; // entries m_pos - 1, m_pos, m_pos + 1, by index modulo 3
    std::array<char, CdxLayout::kMaxKeyLength> m_rolling{};
};

} // namespace quorvo::xbase
