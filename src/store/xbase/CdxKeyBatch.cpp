#include "store/xbase/CdxKeyBatch.h"

#include <cstring>

namespace quorvo::xbase {

void CdxKeyBatch::reserve(std::size_t count)
{
    m_keys.reserve(count * m_keyLength);
    m_recnos.reserve(count);
}

void CdxKeyBatch::clear()
{
    m_keys.clear();
    m_recnos.clear();
    m_firstBad = kNone;
}

void CdxKeyBatch::add(std::string_view key, std::uint32_t recno)
{
    if (key.size() != m_keyLength && m_firstBad == kNone)
        m_firstBad = m_recnos.size();
    char* out = append(recno);
    const std::size_t n = key.size() < m_keyLength ? key.size() : m_keyLength;
    if (n > 0)
        std::memcpy(out, key.data(), n);
}

char* CdxKeyBatch::append(std::uint32_t recno)
{
    m_recnos.push_back(recno);
    m_keys.resize(m_keys.size() + m_keyLength);
    return m_keys.data() + m_keys.size() - m_keyLength;
}

} // namespace quorvo::xbase
