#pragma once

#include "store/xbase/BlockDevice.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvo::xbase {

// A file held in memory. Several indexes opened over one device see each other's writes the way two
// processes sharing a file do. Writes can be made to fail, to test what a failed change leaves behind.
class MemoryBlockDevice : public BlockDevice
{
public:
    explicit MemoryBlockDevice(std::string path = "TEST.CDX", std::vector<char> bytes = {});

    Status read(std::uint64_t offset, std::span<char> out) override;
    Status write(std::uint64_t offset, std::span<const char> data) override;
    Result<std::uint64_t> size() override;
    Status truncate(std::uint64_t size) override;
    const std::string& path() const override { return m_path; }

    std::vector<char>& bytes() { return m_bytes; }
    // The n-th write from now (1 = the next) and every one after it fail with ErrorCode::Io; 0 disarms.
    void failWritesFrom(int n) { m_failIn = n; }
    int writeCount() const { return m_writes; }
    // Writes that would grow the file past limit fail with ErrorCode::Io (a fuzzed file must not take
    // the machine's memory).
    void setSizeLimit(std::uint64_t limit) { m_limit = limit; }

private:
    std::string m_path;
    std::vector<char> m_bytes;
    std::uint64_t m_limit = UINT64_MAX;
    int m_failIn = 0;
    int m_writes = 0;
};

} // namespace quorvo::xbase
