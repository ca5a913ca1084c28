#pragma once

#include "store/xbase/Error.h"

#include <cstdint>
#include <span>
#include <string>

namespace quorvo::xbase {

// A data file as the current transaction sees it: reads see the transaction's own pending writes, and
// nothing reaches the disk before the transaction commits through the journal.
class BlockDevice
{
public:
    virtual ~BlockDevice() = default;

    // Reads exactly out.size() bytes; a read past the end is ErrorCode::Corrupt naming file and offset.
    virtual Status read(std::uint64_t offset, std::span<char> out) = 0;
    virtual Status write(std::uint64_t offset, std::span<const char> data) = 0;
    virtual Result<std::uint64_t> size() = 0;
    virtual Status truncate(std::uint64_t size) = 0;
    virtual const std::string& path() const = 0;
};

} // namespace quorvo::xbase
