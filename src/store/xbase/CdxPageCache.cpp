#include "store/xbase/CdxPageCache.h"

#include "store/xbase/CdxBytes.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace quorvo::xbase {

CdxPageCache::CdxPageCache(BlockDevice& device) : m_device(device) {}

Error CdxPageCache::corrupt(const std::string& what) const
{
    return makeError(ErrorCode::Corrupt, path() + ": " + what);
}

Status CdxPageCache::reload()
{
    discard();
    auto size = m_device.size();
    if (!size)
        return size.error();
    if (*size < CdxLayout::kHeaderSize)
        return corrupt("the file is " + std::to_string(*size) + " bytes long, shorter than its 1024-byte header");
    if (*size > CdxLayout::kMaxFileSize)
        return corrupt("the file is " + std::to_string(*size) + " bytes long, beyond 32-bit page offsets");
    QV_TRY(m_device.read(4, m_seenHeader));
    m_deviceSize = *size;
    m_size = *size;
    m_freeHead = CdxBytes::le32(m_seenHeader.data());
    if (m_freeHead == CdxLayout::kNoPage)
        m_freeHead = 0;
    m_counter = CdxBytes::be32(m_seenHeader.data() + 4);
    m_loaded = true;
    return {};
}

void CdxPageCache::discard()
{
    m_loaded = false;
    m_chunks.clear();
    m_dirty.clear();
    m_headerChanged = false;
}

Result<CdxPageCache::Chunk*> CdxPageCache::chunk(std::uint32_t index)
{
    if (index >= m_chunks.size())
        m_chunks.resize(index + 1);
    if (!m_chunks[index]) {
        auto fresh = std::make_unique<Chunk>();
        const std::uint64_t start = std::uint64_t{index} * kChunkBytes;
        if (start < m_deviceSize) {
            const auto readable = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, m_deviceSize - start));
            QV_TRY(m_device.read(start, std::span<char>(fresh->bytes.data(), readable)));
            for (std::uint32_t p = 0; p < kChunkPages && (p + 1) * CdxLayout::kPageSize <= readable; ++p)
                fresh->state[p] = kPresent;
        }
        m_chunks[index] = std::move(fresh);
    }
    return m_chunks[index].get();
}

Result<char*> CdxPageCache::page(std::uint32_t offset, bool forWrite)
{
    if (!m_loaded)
        return makeError(ErrorCode::BadState, path() + ": index pages used after a failed change");
    if (offset % CdxLayout::kPageSize != 0)
        return corrupt("page offset " + std::to_string(offset) + " is not a multiple of 512");
    if (std::uint64_t{offset} + CdxLayout::kPageSize > m_size)
        return corrupt("page offset " + std::to_string(offset) + " lies beyond the end of the file (" +
                       std::to_string(m_size) + " bytes)");
    auto found = chunk(offset / kChunkBytes);
    if (!found)
        return found.error();
    Chunk& c = **found;
    const std::uint32_t inChunk = offset % kChunkBytes / CdxLayout::kPageSize;
    if (!(c.state[inChunk] & kPresent))
        return corrupt("the page at offset " + std::to_string(offset) + " is cut short by the end of the file");
    if (forWrite)
        markDirty(c, offset / CdxLayout::kPageSize);
    return c.bytes.data() + inChunk * CdxLayout::kPageSize;
}

void CdxPageCache::markDirty(Chunk& c, std::uint32_t pageIndex)
{
    std::uint8_t& state = c.state[pageIndex % kChunkPages];
    if (!(state & kDirty)) {
        // A page about to change still holds what the file holds: the journal's before-image. The
        // header pages are left out, as flush() changes their bytes 4-11 without marking them.
        const std::uint64_t offset = std::uint64_t{pageIndex} * CdxLayout::kPageSize;
        if (offset >= CdxLayout::kHeaderSize && offset + CdxLayout::kPageSize <= m_deviceSize)
            m_device.noteOriginal(offset,
                                  std::span<const char>(c.bytes.data() + pageIndex % kChunkPages * CdxLayout::kPageSize,
                                                        CdxLayout::kPageSize));
        state |= kDirty;
        m_dirty.push_back(pageIndex);
    }
}

Result<const char*> CdxPageCache::read(std::uint32_t offset)
{
    auto p = page(offset, false);
    if (!p)
        return p.error();
    return static_cast<const char*>(*p);
}

Result<char*> CdxPageCache::modify(std::uint32_t offset)
{
    return page(offset, true);
}

Status CdxPageCache::readHeader(std::uint32_t offset, char* bytes)
{
    for (std::uint32_t half = 0; half < 2; ++half) {
        auto p = read(offset + half * CdxLayout::kPageSize);
        if (!p)
            return p.error();
        std::memcpy(bytes + half * CdxLayout::kPageSize, *p, CdxLayout::kPageSize);
    }
    return {};
}

Status CdxPageCache::writeHeader(std::uint32_t offset, const char* bytes)
{
    for (std::uint32_t half = 0; half < 2; ++half) {
        auto p = modify(offset + half * CdxLayout::kPageSize);
        if (!p)
            return p.error();
        std::memcpy(*p, bytes + half * CdxLayout::kPageSize, CdxLayout::kPageSize);
    }
    return {};
}

Result<std::uint32_t> CdxPageCache::allocateAtEnd(std::uint32_t pages)
{
    if (!m_loaded)
        return makeError(ErrorCode::BadState, path() + ": index pages used after a failed change");
    const std::uint64_t start = (m_size + CdxLayout::kPageSize - 1) / CdxLayout::kPageSize * CdxLayout::kPageSize;
    const std::uint64_t end = start + std::uint64_t{pages} * CdxLayout::kPageSize;
    if (end > CdxLayout::kMaxFileSize)
        return makeError(ErrorCode::Io, path() + ": the index file cannot grow beyond 4 GB");
    m_size = end;
    for (std::uint64_t offset = start; offset < end; offset += CdxLayout::kPageSize) {
        auto found = chunk(static_cast<std::uint32_t>(offset / kChunkBytes));
        if (!found)
            return found.error();
        Chunk& c = **found;
        const auto inChunk = static_cast<std::uint32_t>(offset % kChunkBytes / CdxLayout::kPageSize);
        std::memset(c.bytes.data() + inChunk * CdxLayout::kPageSize, 0, CdxLayout::kPageSize);
        c.state[inChunk] = kPresent | kHandedOut;
        markDirty(c, static_cast<std::uint32_t>(offset / CdxLayout::kPageSize));
    }
    return static_cast<std::uint32_t>(start);
}

Result<std::uint32_t> CdxPageCache::allocate()
{
    if (m_freeHead == 0)
        return allocateAtEnd(1);
    const std::uint32_t offset = m_freeHead;
    if (offset < CdxLayout::kHeaderSize)
        return corrupt("the free list points into the file header (offset " + std::to_string(offset) + ")");
    auto p = modify(offset);
    if (!p)
        return p.error();
    std::uint8_t& state = m_chunks[offset / kChunkBytes]->state[offset % kChunkBytes / CdxLayout::kPageSize];
    if (state & kHandedOut)
        return corrupt("the free list loops back to the page at offset " + std::to_string(offset) +
                       ", which is in use");
    state |= kHandedOut;
    std::uint32_t next = CdxBytes::le32(*p);
    if (next == CdxLayout::kNoPage)
        next = 0;
    m_freeHead = next;
    m_headerChanged = true;
    std::memset(*p, 0, CdxLayout::kPageSize);
    return offset;
}

Status CdxPageCache::release(std::uint32_t offset)
{
    if (offset < CdxLayout::kHeaderSize)
        return corrupt("cannot free the page at offset " + std::to_string(offset) + " inside the file header");
    auto p = modify(offset);
    if (!p)
        return p.error();
    std::memset(*p, 0, CdxLayout::kPageSize);
    CdxBytes::putLe32(*p, m_freeHead);
    m_chunks[offset / kChunkBytes]->state[offset % kChunkBytes / CdxLayout::kPageSize] &=
        static_cast<std::uint8_t>(~kHandedOut);
    m_freeHead = offset;
    m_headerChanged = true;
    return {};
}

Status CdxPageCache::flush()
{
    if (!m_loaded || !hasChanges())
        return {};
    // The counter tells other opens of the file that pages changed under them. With none possible,
    // one step per open is enough, and a change that frees or takes no page leaves bytes 4-11 alone.
    const bool writeHeader = m_headerChanged || !m_device.soleWriter() || !m_counterStepped;
    if (writeHeader) {
        ++m_counter;
        m_counterStepped = true;
    }
    std::array<char, 8> header{};
    CdxBytes::putLe32(header.data(), m_freeHead);
    CdxBytes::putBe32(header.data() + 4, m_counter);
    // Page 0 carries the same bytes; keep the image in step so a later read or write of it agrees.
    if (!m_chunks.empty() && m_chunks[0] && (m_chunks[0]->state[0] & kPresent))
        std::memcpy(m_chunks[0]->bytes.data() + 4, header.data(), header.size());

    std::sort(m_dirty.begin(), m_dirty.end());
    std::size_t i = 0;
    while (i < m_dirty.size()) {
        // A run of consecutive pages inside one chunk is contiguous in memory: one write.
        std::size_t j = i + 1;
        while (j < m_dirty.size() && m_dirty[j] == m_dirty[j - 1] + 1 && m_dirty[j] % kChunkPages != 0)
            ++j;
        const std::uint32_t first = m_dirty[i];
        Chunk& c = *m_chunks[first / kChunkPages];
        const std::uint32_t inChunk = first % kChunkPages;
        QV_TRY(m_device.write(
            std::uint64_t{first} * CdxLayout::kPageSize,
            std::span<const char>(c.bytes.data() + inChunk * CdxLayout::kPageSize, (j - i) * CdxLayout::kPageSize)));
        for (std::size_t k = i; k < j; ++k)
            c.state[m_dirty[k] % kChunkPages] &= static_cast<std::uint8_t>(~kDirty);
        i = j;
    }
    m_dirty.clear();
    if (writeHeader) {
        m_device.noteOriginal(4, m_seenHeader);
        QV_TRY(m_device.write(4, header));
        m_seenHeader = header;
    }
    m_headerChanged = false;
    m_deviceSize = std::max(m_deviceSize, m_size);
    return {};
}

Result<bool> CdxPageCache::changedOnDevice()
{
    if (!m_loaded)
        return true;
    auto size = m_device.size();
    if (!size)
        return size.error();
    if (*size != m_deviceSize)
        return true;
    std::array<char, 8> header{};
    QV_TRY(m_device.read(4, header));
    return header != m_seenHeader;
}

} // namespace quorvo::xbase
