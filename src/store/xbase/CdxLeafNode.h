#pragma once

#include "store/xbase/CdxNodeHeader.h"
#include "store/xbase/CdxSearchTarget.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvo::xbase {

// The entries of one leaf, decompressed: full-length keys stored back to back, and their record numbers.
// Buffers keep their capacity across reset() so a node reused as scratch stops allocating.
class CdxLeafNode
{
public:
    void reset(std::uint32_t keyLength);

    std::uint32_t keyLength() const { return m_keyLength; }
    std::size_t count() const { return m_recnos.size(); }
    bool empty() const { return m_recnos.empty(); }
    const char* key(std::size_t i) const { return m_keys.data() + i * m_keyLength; }
    std::string_view keyView(std::size_t i) const { return {key(i), m_keyLength}; }
    std::uint32_t recno(std::size_t i) const { return m_recnos[i]; }
    std::uint32_t maxRecno(std::size_t begin, std::size_t end) const;

    void reserve(std::size_t count);
    // Makes room for count entries to be filled in place (keyData(), setRecno()).
    void resize(std::size_t count);
    char* keyData() { return m_keys.data(); }
    void setRecno(std::size_t i, std::uint32_t recno) { m_recnos[i] = recno; }
    // Room for one more entry at the end; the caller writes keyLength bytes at the returned pointer.
    char* appendEntry(std::uint32_t recno);
    void append(const char* key, std::uint32_t recno);
    void appendRange(const CdxLeafNode& other, std::size_t begin, std::size_t end);
    void insert(std::size_t pos, const char* key, std::uint32_t recno);
    void erase(std::size_t pos);

    // Index of the first entry the target reaches, or count() when none does.
    std::size_t lowerBound(const CdxSearchTarget& target) const;

    CdxNodeHeader header; // as read from the page; count is not kept in step with the entries

private:
    std::uint32_t m_keyLength = 0;
    std::vector<char> m_keys;
    std::vector<std::uint32_t> m_recnos;
};

} // namespace quorvo::xbase
