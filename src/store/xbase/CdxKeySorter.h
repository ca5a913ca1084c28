#pragma once

#include "store/xbase/CdxKeyBatch.h"

#include <cstdint>
#include <vector>

namespace quorvo::xbase {

// Puts a batch of keys in tag order (key bytes unsigned, then record number) for a bottom-up build.
// Most-significant-chunk first: a stable radix sort on eight key bytes at a time, descending into each
// run of keys that share those bytes; short runs are compared in full. Equal keys keep their input
// order, which is record order when the table hands keys over record by record.
class CdxKeySorter
{
public:
    // Fills order with batch indexes in tag order. With unique, only the first pair of each key (the
    // lowest record number) stays.
    void sort(const CdxKeyBatch& keys, bool unique, std::vector<std::uint32_t>& order);

private:
    struct Item
    {
        std::uint64_t chunk; // eight key bytes from the current depth, big-endian: compares like the bytes
        std::uint32_t recno;
        std::uint32_t index;
    };

    void sortRange(std::size_t begin, std::size_t end, std::uint32_t offset);
    void radixSort(std::size_t begin, std::size_t end);

    const CdxKeyBatch* m_keys = nullptr;
    bool m_ascending = true;
    std::vector<Item> m_items;
    std::vector<Item> m_buffer;
};

} // namespace quorvo::xbase
