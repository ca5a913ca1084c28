#include "store/xbase/CdxLeafNode.h"

#include <algorithm>
#include <cstring>

namespace quorvo::xbase {

void CdxLeafNode::reset(std::uint32_t keyLength)
{
    m_keyLength = keyLength;
    m_keys.clear();
    m_recnos.clear();
    header = {};
}

void CdxLeafNode::reserve(std::size_t count)
{
    m_recnos.reserve(count);
    m_keys.reserve(count * m_keyLength);
}

void CdxLeafNode::resize(std::size_t count)
{
    m_recnos.resize(count);
    m_keys.resize(count * m_keyLength);
}

std::uint32_t CdxLeafNode::maxRecno(std::size_t begin, std::size_t end) const
{
    std::uint32_t result = 0;
    for (std::size_t i = begin; i < end; ++i)
        result = std::max(result, m_recnos[i]);
    return result;
}

char* CdxLeafNode::appendEntry(std::uint32_t recno)
{
    m_recnos.push_back(recno);
    m_keys.resize(m_keys.size() + m_keyLength);
    return m_keys.data() + m_keys.size() - m_keyLength;
}

void CdxLeafNode::append(const char* key, std::uint32_t recno)
{
    std::memcpy(appendEntry(recno), key, m_keyLength);
}

void CdxLeafNode::appendRange(const CdxLeafNode& other, std::size_t begin, std::size_t end)
{
    m_recnos.insert(m_recnos.end(), other.m_recnos.begin() + static_cast<std::ptrdiff_t>(begin),
                    other.m_recnos.begin() + static_cast<std::ptrdiff_t>(end));
    m_keys.insert(m_keys.end(), other.key(begin), other.key(begin) + (end - begin) * m_keyLength);
}

void CdxLeafNode::insert(std::size_t pos, const char* key, std::uint32_t recno)
{
    m_recnos.insert(m_recnos.begin() + static_cast<std::ptrdiff_t>(pos), recno);
    m_keys.insert(m_keys.begin() + static_cast<std::ptrdiff_t>(pos * m_keyLength), key, key + m_keyLength);
}

void CdxLeafNode::erase(std::size_t pos)
{
    m_recnos.erase(m_recnos.begin() + static_cast<std::ptrdiff_t>(pos));
    const auto first = m_keys.begin() + static_cast<std::ptrdiff_t>(pos * m_keyLength);
    m_keys.erase(first, first + m_keyLength);
}

std::size_t CdxLeafNode::lowerBound(const CdxSearchTarget& target) const
{
    std::size_t low = 0;
    std::size_t high = count();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (target.reachedBy(key(mid), m_recnos[mid]))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

} // namespace quorvo::xbase
