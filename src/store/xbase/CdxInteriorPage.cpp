#include "store/xbase/CdxInteriorPage.h"

#include "store/xbase/CdxBytes.h"

#include <cassert>
#include <cstring>

namespace quorvo::xbase {

CdxInteriorPage::CdxInteriorPage(const char* page, std::uint32_t keyLength)
    : m_page(page), m_mutablePage(nullptr), m_keyLength(keyLength)
{}

CdxInteriorPage::CdxInteriorPage(char* page, std::uint32_t keyLength)
    : m_page(page), m_mutablePage(page), m_keyLength(keyLength)
{}

char* CdxInteriorPage::writable()
{
    assert(m_mutablePage);
    return m_mutablePage;
}

std::uint32_t CdxInteriorPage::count() const
{
    return CdxBytes::le16(m_page + 2);
}

std::uint32_t CdxInteriorPage::recno(std::uint32_t i) const
{
    return CdxBytes::be32(entry(i) + m_keyLength);
}

std::uint32_t CdxInteriorPage::child(std::uint32_t i) const
{
    return CdxBytes::be32(entry(i) + m_keyLength + 4);
}

std::uint32_t CdxInteriorPage::lowerBound(const CdxSearchTarget& target) const
{
    std::uint32_t low = 0;
    std::uint32_t high = count();
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (target.reachedBy(key(mid), recno(mid)))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void CdxInteriorPage::init(std::uint16_t attributes, std::uint32_t left, std::uint32_t right)
{
    char* page = writable();
    std::memset(page, 0, CdxLayout::kPageSize);
    CdxNodeHeader header;
    header.attributes = attributes;
    header.left = left;
    header.right = right;
    header.write(page);
}

void CdxInteriorPage::setHeader(const CdxNodeHeader& header)
{
    header.write(writable());
}

void CdxInteriorPage::setKey(std::uint32_t i, const char* key, std::uint32_t recno)
{
    char* entry = writable() + CdxLayout::kNodeHeaderSize + i * entrySize();
    std::memmove(entry, key, m_keyLength);
    CdxBytes::putBe32(entry + m_keyLength, recno);
}

void CdxInteriorPage::setChild(std::uint32_t i, std::uint32_t child)
{
    CdxBytes::putBe32(writable() + CdxLayout::kNodeHeaderSize + i * entrySize() + m_keyLength + 4, child);
}

void CdxInteriorPage::setEntries(const char* entries, std::uint32_t count)
{
    assert(count <= capacity());
    char* page = writable();
    const std::uint32_t bytes = count * entrySize();
    std::memmove(page + CdxLayout::kNodeHeaderSize, entries, bytes);
    std::memset(page + CdxLayout::kNodeHeaderSize + bytes, 0, CdxLayout::kInteriorArea - bytes);
    CdxBytes::putLe16(page + 2, count);
}

void CdxInteriorPage::erase(std::uint32_t i)
{
    char* page = writable();
    const std::uint32_t n = count();
    char* at = page + CdxLayout::kNodeHeaderSize + i * entrySize();
    std::memmove(at, at + entrySize(), (n - i - 1) * entrySize());
    std::memset(page + CdxLayout::kNodeHeaderSize + (n - 1) * entrySize(), 0, entrySize());
    CdxBytes::putLe16(page + 2, n - 1);
}

void CdxInteriorPage::writeEntry(char* entry, std::uint32_t keyLength, const char* key, std::uint32_t recno,
                                 std::uint32_t child)
{
    std::memmove(entry, key, keyLength);
    CdxBytes::putBe32(entry + keyLength, recno);
    CdxBytes::putBe32(entry + keyLength + 4, child);
}

} // namespace quorvo::xbase
