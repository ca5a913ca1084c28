#include "store/xbase/PendingFile.h"

#include <algorithm>
#include <cstring>

namespace quorvo::xbase {

void PendingFile::clear()
{
    m_extents.clear();
    m_originals.clear();
    m_diskLimit.reset();
    m_sizeSet.reset();
}

void PendingFile::noteOriginal(std::uint64_t offset, std::span<const char> bytes)
{
    if (m_soleWriter && !bytes.empty())
        m_originals.try_emplace(offset, bytes.data(), bytes.size());
}

bool PendingFile::copyOriginal(std::uint64_t offset, std::span<char> out) const
{
    std::uint64_t at = offset;
    const std::uint64_t end = offset + out.size();
    while (at < end) {
        auto it = m_originals.upper_bound(at);
        if (it == m_originals.begin())
            return false;
        --it;
        const std::uint64_t noteEnd = it->first + it->second.size();
        if (noteEnd <= at)
            return false;
        const std::uint64_t to = std::min(end, noteEnd);
        std::memcpy(out.data() + (at - offset), it->second.data() + (at - it->first), to - at);
        at = to;
    }
    return true;
}

Result<std::uint64_t> PendingFile::diskSize()
{
    if (m_diskSize)
        return *m_diskSize;
    auto size = m_file.size();
    if (size && m_soleWriter)
        m_diskSize = *size;
    return size;
}

Result<std::uint64_t> PendingFile::size()
{
    std::uint64_t result = 0;
    if (m_sizeSet) {
        result = *m_sizeSet;
    } else {
        auto disk = diskSize();
        if (!disk)
            return disk.error();
        result = *disk;
    }
    if (!m_extents.empty()) {
        const auto& last = *m_extents.rbegin();
        result = std::max<std::uint64_t>(result, last.first + last.second.size());
    }
    return result;
}

Status PendingFile::read(std::uint64_t offset, std::span<char> out)
{
    if (out.empty())
        return {};
    auto total = size();
    if (!total)
        return total.error();
    if (offset > *total || out.size() > *total - offset)
        return makeError(ErrorCode::Corrupt, path() + ": file ends inside the " + std::to_string(out.size()) +
                                                 " bytes at offset " + std::to_string(offset));
    if (m_extents.empty() && !m_diskLimit)
        return m_file.readExact(offset, out);

    // Bytes on disk below the (possibly truncated) disk size, zeros above it, then pending extents.
    std::memset(out.data(), 0, out.size());
    auto disk = diskSize();
    if (!disk)
        return disk.error();
    const std::uint64_t diskLimit = m_diskLimit ? std::min(*disk, *m_diskLimit) : *disk;
    if (offset < diskLimit) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), diskLimit - offset));
        QV_TRY(m_file.readExact(offset, out.first(n)));
    }
    const std::uint64_t end = offset + out.size();
    auto it = m_extents.upper_bound(offset);
    if (it != m_extents.begin())
        --it;
    for (; it != m_extents.end() && it->first < end; ++it) {
        const std::uint64_t extentEnd = it->first + it->second.size();
        if (extentEnd <= offset)
            continue;
        const std::uint64_t from = std::max(offset, it->first);
        const std::uint64_t to = std::min(end, extentEnd);
        std::memcpy(out.data() + (from - offset), it->second.data() + (from - it->first), to - from);
    }
    return {};
}

Status PendingFile::write(std::uint64_t offset, std::span<const char> data)
{
    if (data.empty())
        return {};
    const std::uint64_t end = offset + data.size();
    // The extent that starts at or before offset and reaches it grows; otherwise a new one starts.
    auto it = m_extents.upper_bound(offset);
    if (it != m_extents.begin()) {
        auto prev = std::prev(it);
        if (prev->first + prev->second.size() < offset)
            prev = m_extents.end();
        if (prev != m_extents.end())
            it = prev;
        else
            it = m_extents.emplace_hint(it, offset, std::string());
    } else {
        it = m_extents.emplace_hint(it, offset, std::string());
    }
    std::string& bytes = it->second;
    const std::uint64_t start = it->first;
    // Swallow the later extents that the new bytes reach or touch, keeping their bytes past the write.
    auto next = std::next(it);
    std::uint64_t newEnd = std::max<std::uint64_t>(end, start + bytes.size());
    while (next != m_extents.end() && next->first <= newEnd) {
        const std::uint64_t nextEnd = next->first + next->second.size();
        if (nextEnd > newEnd) {
            bytes.resize(newEnd - start);
            bytes.append(next->second, newEnd - next->first);
            newEnd = nextEnd;
        }
        next = m_extents.erase(next);
    }
    if (bytes.size() < newEnd - start)
        bytes.resize(newEnd - start);
    std::memcpy(bytes.data() + (offset - start), data.data(), data.size());
    return {};
}

Status PendingFile::truncate(std::uint64_t newSize)
{
    for (auto it = m_extents.begin(); it != m_extents.end();) {
        if (it->first >= newSize) {
            it = m_extents.erase(it);
        } else {
            if (it->first + it->second.size() > newSize)
                it->second.resize(newSize - it->first);
            ++it;
        }
    }
    m_diskLimit = m_diskLimit ? std::min(*m_diskLimit, newSize) : newSize;
    m_sizeSet = newSize;
    return {};
}

} // namespace quorvo::xbase
