#pragma once

#include "store/xbase/BlockDevice.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace quorvo::xbase {

// Blocks of consecutive records read ahead, so a walk in record or tag order costs a read per block
// rather than per record. Reads are dirty, as every xBase reader's are: the owner clears the cache at
// the points where it must see other writers' changes (going to the top or bottom, before locking a
// record to change it) and after each of its own writes.
class RecordCache
{
public:
    static constexpr std::uint32_t kRecordsPerBlock = 256;
    static constexpr std::size_t kMaxBytes = 32u << 20;

    void configure(std::uint64_t headerLength, std::uint32_t recordLength)
    {
        m_headerLength = headerLength;
        m_recordLength = recordLength;
        clear();
    }

    // Copies record recno (1..count) into out.
    Status read(BlockDevice& device, std::uint32_t count, std::uint32_t recno, std::string& out);
    // The owner wrote record recno: a block holding it takes the new bytes (one that ends before it is
    // dropped), so a sole writer keeps its cache across its own writes.
    void store(std::uint32_t recno, std::string_view bytes);
    void clear()
    {
        m_blocks.clear();
        m_bytes = 0;
    }

private:
    struct Block
    {
        std::uint32_t records = 0;
        std::string bytes;
    };

    std::unordered_map<std::uint32_t, Block> m_blocks; // block number -> its records
    std::size_t m_bytes = 0;
    std::uint64_t m_headerLength = 0;
    std::uint32_t m_recordLength = 1;
};

} // namespace quorvo::xbase
