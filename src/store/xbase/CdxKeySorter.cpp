#include "store/xbase/CdxKeySorter.h"

#include "store/xbase/CdxBytes.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvo::xbase {

void CdxKeySorter::radixSort()
{
    const std::size_t n = m_items.size();
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (const Item& item : m_items) {
        for (unsigned b = 0; b < 8; ++b)
            ++counts[b][item.prefix >> (8 * b) & 0xFF];
    }
    m_buffer.resize(n);
    for (unsigned b = 0; b < 8; ++b) {
        auto& count = counts[b];
        if (*std::max_element(count.begin(), count.end()) == n)
            continue; // every key has the same byte here
        std::array<std::uint32_t, 256> start{};
        std::uint32_t sum = 0;
        for (unsigned v = 0; v < 256; ++v) {
            start[v] = sum;
            sum += count[v];
        }
        for (const Item& item : m_items)
            m_buffer[start[item.prefix >> (8 * b) & 0xFF]++] = item;
        std::swap(m_items, m_buffer);
    }
}

void CdxKeySorter::sort(const CdxKeyBatch& keys, bool unique, std::vector<std::uint32_t>& order)
{
    const std::size_t n = keys.size();
    const std::uint32_t keyLength = keys.keyLength();
    const unsigned prefixLength = keyLength < 8 ? keyLength : 8;
    m_items.resize(n);
    bool ascending = true;
    for (std::size_t i = 0; i < n; ++i) {
        m_items[i] = {CdxBytes::bePrefix(keys.key(i), prefixLength), keys.recno(i), static_cast<std::uint32_t>(i)};
        if (i > 0 && keys.recno(i) < keys.recno(i - 1))
            ascending = false;
    }
    radixSort();

    // The radix passes are stable, so keys equal in their first eight bytes are still in input order.
    const std::size_t rest = keyLength - prefixLength;
    const auto less = [&](const Item& a, const Item& b) {
        if (rest > 0) {
            const int c = std::memcmp(keys.key(a.index) + 8, keys.key(b.index) + 8, rest);
            if (c != 0)
                return c < 0;
        }
        return a.recno < b.recno;
    };
    if (rest > 0 || !ascending) {
        std::size_t begin = 0;
        while (begin < n) {
            std::size_t end = begin + 1;
            while (end < n && m_items[end].prefix == m_items[begin].prefix)
                ++end;
            if (end - begin > 1)
                std::sort(m_items.begin() + static_cast<std::ptrdiff_t>(begin),
                          m_items.begin() + static_cast<std::ptrdiff_t>(end), less);
            begin = end;
        }
    }

    order.clear();
    order.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (unique && !order.empty()) {
            const Item& previous = m_items[i - 1];
            if (previous.prefix == m_items[i].prefix &&
                (rest == 0 || std::memcmp(keys.key(previous.index) + 8, keys.key(m_items[i].index) + 8, rest) == 0))
                continue;
        }
        order.push_back(m_items[i].index);
    }
}

} // namespace quorvo::xbase
