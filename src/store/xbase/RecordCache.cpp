#include "store/xbase/RecordCache.h"

#include <algorithm>

namespace quorvo::xbase {

void RecordCache::store(std::uint32_t recno, std::string_view bytes)
{
    const std::uint32_t index = (recno - 1) / kRecordsPerBlock;
    auto it = m_blocks.find(index);
    if (it == m_blocks.end())
        return;
    const std::uint32_t slot = recno - (index * kRecordsPerBlock + 1);
    if (slot >= it->second.records || bytes.size() != m_recordLength) {
        m_bytes -= it->second.bytes.size();
        m_blocks.erase(it);
        return;
    }
    it->second.bytes.replace(std::size_t{slot} * m_recordLength, m_recordLength, bytes);
}

Status RecordCache::read(BlockDevice& device, std::uint32_t count, std::uint32_t recno, std::string& out)
{
    const std::uint32_t index = (recno - 1) / kRecordsPerBlock;
    const std::uint32_t first = index * kRecordsPerBlock + 1;
    const std::uint32_t slot = recno - first;
    auto it = m_blocks.find(index);
    if (it == m_blocks.end() || it->second.records <= slot) {
        if (m_bytes > kMaxBytes)
            clear();
        const std::uint32_t records = std::min(kRecordsPerBlock, count - first + 1);
        Block block;
        block.records = records;
        block.bytes.resize(std::size_t{records} * m_recordLength);
        QV_TRY(device.read(m_headerLength + std::uint64_t{first - 1} * m_recordLength, block.bytes));
        if (it != m_blocks.end()) {
            m_bytes -= it->second.bytes.size();
            it->second = std::move(block);
        } else {
            it = m_blocks.emplace(index, std::move(block)).first;
        }
        m_bytes += it->second.bytes.size();
    }
    out.assign(it->second.bytes, std::size_t{slot} * m_recordLength, m_recordLength);
    return {};
}

} // namespace quorvo::xbase
