#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvo::xbase {

// The (key, record number) pairs a tag is built from, kept flat: keys of one fixed length back to back,
// so collecting 100 000 keys costs two growing buffers and no allocation per key.
class CdxKeyBatch
{
public:
    explicit CdxKeyBatch(std::uint32_t keyLength = 0) : m_keyLength(keyLength) {}

    std::uint32_t keyLength() const { return m_keyLength; }
    std::size_t size() const { return m_recnos.size(); }
    bool empty() const { return m_recnos.empty(); }
    void reserve(std::size_t count);
    void clear();

    // key must be exactly keyLength() bytes; a pair of any other length makes the whole batch invalid
    // (a build from it fails with ErrorCode::BadArgument).
    void add(std::string_view key, std::uint32_t recno);
    // Room for one key, for callers that evaluate a key in place: write keyLength() bytes there.
    char* append(std::uint32_t recno);

    const char* key(std::size_t i) const { return m_keys.data() + i * m_keyLength; }
    std::string_view keyView(std::size_t i) const { return {key(i), m_keyLength}; }
    std::uint32_t recno(std::size_t i) const { return m_recnos[i]; }
    bool valid() const { return m_firstBad == kNone; }
    std::size_t firstBadEntry() const { return m_firstBad; }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

private:
    std::uint32_t m_keyLength;
    std::vector<char> m_keys;
    std::vector<std::uint32_t> m_recnos;
    std::size_t m_firstBad = kNone;
};

} // namespace quorvo::xbase
