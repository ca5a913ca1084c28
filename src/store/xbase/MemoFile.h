#pragma once

#include "store/xbase/BlockDevice.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvo::xbase {

// The memo file beside a table: FPT (FoxPro) for reading and writing, DBT (dBASE III) for reading only.
//
// FPT layout (big-endian): next free block u32 at 0, block size u16 at 6, the rest of the 512-byte
// header zero. Memo at block b starts at b * blockSize: type u32 (1 = text), length u32, then the bytes.
// DBT: 512-byte blocks, the text runs to the first 0x1A.
class MemoFile
{
public:
    enum class Kind
    {
        Fpt,
        Dbt,
    };
    static constexpr std::uint16_t kDefaultBlockSize = 64;
    static constexpr std::size_t kFptHeaderSize = 512;

    // The bytes of a new, empty FPT.
    static std::string emptyFpt(std::uint16_t blockSize = kDefaultBlockSize);

    MemoFile(BlockDevice& device, Kind kind) : m_device(&device), m_kind(kind) {}

    // Reads the header; in shared use call it again under the memo lock before allocating.
    Status loadHeader();

    Result<std::string> read(std::uint32_t block);
    // Stores data and returns its block: in place when it fits the old memo's blocks, else at the end.
    // Empty data takes no block and returns 0.
    Result<std::uint32_t> write(std::uint32_t oldBlock, std::string_view data);
    // Checks the memo at block without reading its text; returns its length.
    Result<std::uint32_t> inspect(std::uint32_t block);

    // Reads the whole file once, so that a pass over every memo (pack) costs one read; drop() ends it.
    Status preload();
    void dropPreload() { m_image.reset(); }

    std::uint32_t blockSize() const { return m_blockSize; }
    std::uint32_t nextFree() const { return m_nextFree; }
    std::uint32_t firstDataBlock() const;
    Kind kind() const { return m_kind; }

private:
    Error damaged(std::uint64_t offset, const std::string& what) const;
    // The file size, asked of the device only when a read reaches past what was last seen: another
    // writer may have added memos since.
    Result<std::uint64_t> sizeCovering(std::uint64_t end);
    Status readBytes(std::uint64_t offset, std::span<char> out);
    std::uint32_t blocksFor(std::uint64_t length) const;

    BlockDevice* m_device;
    Kind m_kind;
    std::uint32_t m_blockSize = kDefaultBlockSize;
    std::uint32_t m_nextFree = 0;
    std::uint64_t m_knownSize = 0;
    std::optional<std::string> m_image;
};

} // namespace quorvo::xbase
