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
    // Bytes at offset exactly as the file holds them before the transaction, which the caller has in
    // memory anyway; a device that journals its changes can spare reading them back. Others ignore it.
    virtual void noteOriginal(std::uint64_t, std::span<const char>) {}
    // No other open of the file can read or write it while this one lasts (an exclusive open).
    virtual bool soleWriter() const { return false; }
};

} // namespace quorvo::xbase
