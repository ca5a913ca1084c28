#pragma once

#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxNodeHeader.h"
#include "store/xbase/CdxSearchTarget.h"

#include <cstdint>
#include <string_view>

namespace quorvo::xbase {

// An interior node worked on in place. After the node header, count entries of keyLength + 8 bytes:
//   key (keyLength bytes, fill-padded) | record number BE32 | child offset BE32
// Entry i holds the last key and record number of child i's subtree. Unused bytes are zero.
// A view made from a const page must not be changed.
class CdxInteriorPage
{
public:
    CdxInteriorPage(const char* page, std::uint32_t keyLength);
    CdxInteriorPage(char* page, std::uint32_t keyLength);

    std::uint32_t keyLength() const { return m_keyLength; }
    std::uint32_t entrySize() const { return m_keyLength + 8; }
    std::uint32_t capacity() const { return CdxLayout::interiorCapacity(m_keyLength); }
    CdxNodeHeader header() const { return CdxNodeHeader::read(m_page); }
    std::uint32_t count() const;
    const char* entry(std::uint32_t i) const { return m_page + CdxLayout::kNodeHeaderSize + i * entrySize(); }
    const char* key(std::uint32_t i) const { return entry(i); }
    std::uint32_t recno(std::uint32_t i) const;
    std::uint32_t child(std::uint32_t i) const;

    // First entry the target reaches, or count() when none does.
    std::uint32_t lowerBound(const CdxSearchTarget& target) const;

    // Empties the node and writes its header.
    void init(std::uint16_t attributes, std::uint32_t left, std::uint32_t right);
    void setHeader(const CdxNodeHeader& header);
    void setKey(std::uint32_t i, const char* key, std::uint32_t recno);
    void setChild(std::uint32_t i, std::uint32_t child);
    // Entries as raw bytes (entrySize() each), e.g. copied out of another interior node.
    void setEntries(const char* entries, std::uint32_t count);
    void erase(std::uint32_t i);

    static void writeEntry(char* entry, std::uint32_t keyLength, const char* key, std::uint32_t recno,
                           std::uint32_t child);

private:
    char* writable();

    const char* m_page;
    char* m_mutablePage;
    std::uint32_t m_keyLength;
};

} // namespace quorvo::xbase
