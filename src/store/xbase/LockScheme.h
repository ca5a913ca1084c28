#pragma once

#include <cstdint>

namespace quorvo::xbase {

// The FoxPro byte-range lock offsets on the DBF. Every program sharing a table must use the same
// column: with the structural CDX open, the header lock is byte 0x7FFFFFFE and record r locks the byte
// r below it; without it, the locks sit at 0x40000000 and above, one record length per record.
class LockScheme
{
public:
    static constexpr std::uint64_t kCdxHeader = 0x7FFFFFFE;
    static constexpr std::uint64_t kPlainBase = 0x40000000;
    static constexpr std::uint64_t kIndexLock = 0x7FFFFFFE; // on the .CDX itself
    static constexpr std::uint64_t kMemoLock = 0;           // on the .FPT

    LockScheme() = default;
    LockScheme(bool cdxOpen, std::uint32_t headerLength, std::uint32_t recordLength)
        : m_cdxOpen(cdxOpen), m_headerLength(headerLength), m_recordLength(recordLength)
    {}

    std::uint64_t headerOffset() const { return m_cdxOpen ? kCdxHeader : kPlainBase; }
    std::uint64_t recordOffset(std::uint32_t recno) const
    {
        return m_cdxOpen ? kCdxHeader - recno : kPlainBase + m_headerLength + std::uint64_t{recno - 1} * m_recordLength;
    }

    // One byte range that holds the lock bytes of records 1 to count, as {first offset, length}.
    struct Range
    {
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };
    Range recordsRange(std::uint32_t count) const
    {
        if (count == 0)
            return {};
        if (m_cdxOpen)
            return {kCdxHeader - count, count};
        return {recordOffset(1), std::uint64_t{count - 1} * m_recordLength + 1};
    }

private:
    bool m_cdxOpen = false;
    std::uint32_t m_headerLength = 0;
    std::uint32_t m_recordLength = 0;
};

} // namespace quorvo::xbase
