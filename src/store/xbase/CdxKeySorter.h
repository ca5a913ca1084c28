#pragma once

#include "store/xbase/CdxKeyBatch.h"

#include <cstdint>
#include <vector>

namespace quorvo::xbase {

// Puts a batch of keys in tag order (key bytes unsigned, then record number) for a bottom-up build.
// A stable radix sort on each key's first eight bytes does most of the work; only runs of keys that share
// those bytes are compared in full.
class CdxKeySorter
{
public:
    // Fills order with batch indexes in tag order. With unique, only the first pair of each key (the
    // lowest record number) stays.
    void sort(const CdxKeyBatch& keys, bool unique, std::vector<std::uint32_t>& order);

private:
    struct Item
    {
        std::uint64_t prefix; // first eight key bytes, big-endian: compares like the bytes
        std::uint32_t recno;
        std::uint32_t index;
    };

    void radixSort();

    std::vector<Item> m_items;
    std::vector<Item> m_buffer;
};

} // namespace quorvo::xbase
