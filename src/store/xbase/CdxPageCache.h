#pragma once

#include "store/xbase/BlockDevice.h"
#include "store/xbase/CdxLayout.h"
#include "store/xbase/Error.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvo::xbase {

// An in-memory image of a compound index file, read in 32 KB chunks as pages are first touched and
// written back page by page on flush(). It also owns the two header fields every change touches:
// the free-list head (LE32 at offset 4) and the change counter (BE32 at offset 8).
//
// Free pages form a chain through their first four bytes (LE32 offset of the next free page, rest zero);
// 0 and 0xFFFFFFFF both end it, 0 is written. Allocation takes the chain's head before growing the file.
//
// Page pointers stay valid until reload() or discard().
class CdxPageCache
{
public:
    explicit CdxPageCache(BlockDevice& device);

    BlockDevice& device() { return m_device; }
    const std::string& path() const { return m_device.path(); }

    // Forgets every page and reads the file size and header bytes 4-11 again. A file shorter than its
    // 1024-byte header is ErrorCode::Corrupt.
    Status reload();
    // Forgets every page and every unflushed change; the cache is unusable until reload().
    void discard();
    bool loaded() const { return m_loaded; }

    std::uint64_t size() const { return m_size; }
    std::uint32_t pageCount() const { return static_cast<std::uint32_t>(m_size / CdxLayout::kPageSize); }
    std::uint32_t freeHead() const { return m_freeHead; }
    std::uint32_t counter() const { return m_counter; }

    // A page offset that is not a multiple of 512 or lies outside the file is ErrorCode::Corrupt.
    Result<const char*> read(std::uint32_t offset);
    Result<char*> modify(std::uint32_t offset);
    // Copies the two pages of a 1024-byte header.
    Status readHeader(std::uint32_t offset, char* bytes);
    Status writeHeader(std::uint32_t offset, const char* bytes);

    // A zeroed page, from the free list when it has one.
    Result<std::uint32_t> allocate();
    // Consecutive zeroed pages at the end of the file.
    Result<std::uint32_t> allocateAtEnd(std::uint32_t pages);
    // Puts a page on the free list.
    Status release(std::uint32_t offset);

    bool hasChanges() const { return !m_dirty.empty() || m_headerChanged; }
    // Writes every changed page, then header bytes 4-11 with the counter incremented. Nothing is
    // written when nothing changed.
    Status flush();
    // True when header bytes 4-11 or the size on the device differ from what this cache last read or wrote.
    Result<bool> changedOnDevice();

private:
    static constexpr std::uint32_t kChunkPages = 64;
    static constexpr std::uint32_t kChunkBytes = kChunkPages * CdxLayout::kPageSize;
    // Page state bits.
    static constexpr std::uint8_t kPresent = 1;   // bytes are valid (read from the file or created)
    static constexpr std::uint8_t kDirty = 2;     // to be written by flush()
    static constexpr std::uint8_t kHandedOut = 4; // taken off the free list since the last reload

    struct Chunk
    {
        std::array<char, kChunkBytes> bytes;
        std::array<std::uint8_t, kChunkPages> state;
    };

    Result<Chunk*> chunk(std::uint32_t index);
    Result<char*> page(std::uint32_t offset, bool forWrite);
    void markDirty(Chunk& chunk, std::uint32_t pageIndex);
    Error corrupt(const std::string& what) const;

    BlockDevice& m_device;
    bool m_loaded = false;
    std::uint64_t m_deviceSize = 0;
    std::uint64_t m_size = 0;
    std::uint32_t m_freeHead = 0;
    std::uint32_t m_counter = 0;
    std::array<char, 8> m_seenHeader{};
    bool m_headerChanged = false;
    bool m_counterStepped = false; // since this object was made
    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<std::uint32_t> m_dirty; // page indexes
};

} // namespace quorvo::xbase
