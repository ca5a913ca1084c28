#include "support/xbase/MemoryBlockDevice.h"

#include <algorithm>
#include <cstring>

namespace quorvo::xbase {

MemoryBlockDevice::MemoryBlockDevice(std::string path, std::vector<char> bytes)
    : m_path(std::move(path)), m_bytes(std::move(bytes))
{}

Status MemoryBlockDevice::read(std::uint64_t offset, std::span<char> out)
{
    if (offset > m_bytes.size() || out.size() > m_bytes.size() - offset)
        return makeError(ErrorCode::Corrupt, m_path + ": file ends inside the " + std::to_string(out.size()) +
                                                 " bytes at offset " + std::to_string(offset));
    if (!out.empty())
        std::memcpy(out.data(), m_bytes.data() + offset, out.size());
    return {};
}

Status MemoryBlockDevice::write(std::uint64_t offset, std::span<const char> data)
{
    ++m_writes;
    if (m_failIn > 0 && --m_failIn == 0) {
        m_failIn = 1;
        return makeError(ErrorCode::Io, m_path + ": write refused at offset " + std::to_string(offset));
    }
    if (offset > m_limit || data.size() > m_limit - offset)
        return makeError(ErrorCode::Io, m_path + ": the file would grow too large");
    if (offset + data.size() > m_bytes.size())
        m_bytes.resize(offset + data.size());
    if (!data.empty())
        std::memcpy(m_bytes.data() + offset, data.data(), data.size());
    return {};
}

Result<std::uint64_t> MemoryBlockDevice::size()
{
    return std::uint64_t{m_bytes.size()};
}

Status MemoryBlockDevice::truncate(std::uint64_t size)
{
    if (size > m_limit)
        return makeError(ErrorCode::Io, m_path + ": the file would grow too large");
    m_bytes.resize(size);
    return {};
}

} // namespace quorvo::xbase
