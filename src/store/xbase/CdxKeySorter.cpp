#include "store/xbase/CdxKeySorter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvo::xbase {

namespace {

// Runs shorter than this are compared in full rather than radix sorted.
constexpr std::size_t kSmallRun = 48;

std::uint64_t chunkAt(const char* key, std::uint32_t length)
{
    if (length >= 8) {
        std::uint64_t v;
        std::memcpy(&v, key, 8);
        return __builtin_bswap64(v);
    }
    std::uint64_t v = 0;
    for (std::uint32_t i = 0; i < 8; ++i)
        v = v << 8 | (i < length ? static_cast<unsigned char>(key[i]) : 0u);
    return v;
}

} // namespace

void CdxKeySorter::radixSort(std::size_t begin, std::size_t end)
{
    const std::size_t n = end - begin;
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (std::size_t i = begin; i < end; ++i) {
        const std::uint64_t chunk = m_items[i].chunk;
        for (unsigned b = 0; b < 8; ++b)
            ++counts[b][chunk >> (8 * b) & 0xFF];
    }
    for (unsigned b = 0; b < 8; ++b) {
        auto& count = counts[b];
        if (count[m_items[begin].chunk >> (8 * b) & 0xFF] == n)
            continue; // every key has the same byte here
        std::array<std::uint32_t, 256> start{};
        std::uint32_t sum = static_cast<std::uint32_t>(begin);
        for (unsigned v = 0; v < 256; ++v) {
            start[v] = sum;
            sum += count[v];
        }
        for (std::size_t i = begin; i < end; ++i)
            m_buffer[start[m_items[i].chunk >> (8 * b) & 0xFF]++] = m_items[i];
        std::copy(m_buffer.begin() + static_cast<std::ptrdiff_t>(begin),
                  m_buffer.begin() + static_cast<std::ptrdiff_t>(end),
                  m_items.begin() + static_cast<std::ptrdiff_t>(begin));
    }
}

void CdxKeySorter::sortRange(std::size_t begin, std::size_t end, std::uint32_t offset)
{
    const std::uint32_t keyLength = m_keys->keyLength();
    const auto first = m_items.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto last = m_items.begin() + static_cast<std::ptrdiff_t>(end);
    if (end - begin < 2)
        return;
    if (offset >= keyLength) {
        // Equal keys: record order, which the stable passes kept from the input when it had it.
        if (!m_ascending)
            std::sort(first, last, [](const Item& a, const Item& b) { return a.recno < b.recno; });
        return;
    }
    if (end - begin < kSmallRun) {
        const CdxKeyBatch& keys = *m_keys;
        const std::uint32_t rest = keyLength - offset;
        std::sort(first, last, [&](const Item& a, const Item& b) {
            const int c = std::memcmp(keys.key(a.index) + offset, keys.key(b.index) + offset, rest);
            return c != 0 ? c < 0 : a.recno < b.recno;
        });
        return;
    }
    // Long runs of one key (blank keys above all) are common: settle them in one pass.
    const std::uint32_t rest = keyLength - offset;
    const char* model = m_keys->key(first->index) + offset;
    if (std::all_of(first + 1, last, [&](const Item& item) {
            return std::memcmp(m_keys->key(item.index) + offset, model, rest) == 0;
        })) {
        sortRange(begin, end, keyLength);
        return;
    }
    const std::uint32_t length = std::min<std::uint32_t>(8, rest);
    for (auto it = first; it != last; ++it)
        it->chunk = chunkAt(m_keys->key(it->index) + offset, length);
    radixSort(begin, end);
    std::size_t run = begin;
    while (run < end) {
        std::size_t runEnd = run + 1;
        while (runEnd < end && m_items[runEnd].chunk == m_items[run].chunk)
            ++runEnd;
        sortRange(run, runEnd, offset + 8);
        run = runEnd;
    }
}

void CdxKeySorter::sort(const CdxKeyBatch& keys, bool unique, std::vector<std::uint32_t>& order)
{
    const std::size_t n = keys.size();
    const std::uint32_t keyLength = keys.keyLength();
    m_keys = &keys;
    m_items.resize(n);
    m_buffer.resize(n);
    m_ascending = true;
    for (std::size_t i = 0; i < n; ++i) {
        m_items[i] = {0, keys.recno(i), static_cast<std::uint32_t>(i)};
        if (i > 0 && keys.recno(i) < keys.recno(i - 1))
            m_ascending = false;
    }
    sortRange(0, n, 0);

    order.clear();
    order.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (unique && i > 0 && std::memcmp(keys.key(m_items[i - 1].index), keys.key(m_items[i].index), keyLength) == 0)
            continue;
        order.push_back(m_items[i].index);
    }
    m_keys = nullptr;
}

} // namespace quorvo::xbase
