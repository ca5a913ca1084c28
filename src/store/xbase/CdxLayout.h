#pragma once

#include <cstdint>

namespace quorvo::xbase {

// Fixed sizes of the compound index format. Every pointer in the file is a byte offset that is a
// multiple of kPageSize; kNoPage marks a missing sibling.
struct CdxLayout
{
    static constexpr std::uint32_t kPageSize = 512;
    static constexpr std::uint32_t kHeaderSize = 1024; // file header and every tag header: two pages
    static constexpr std::uint32_t kNoPage = 0xFFFFFFFF;
    static constexpr std::uint32_t kNodeHeaderSize = 12;
    static constexpr std::uint32_t kInteriorArea = 500; // bytes 12..511 of an interior node
    static constexpr std::uint32_t kLeafHeaderSize = 24;
    static constexpr std::uint32_t kLeafArea = 488; // bytes 24..511 of a leaf: entry table and key bytes
    static constexpr std::uint32_t kMaxKeyLength = 240;
    static constexpr std::uint32_t kDirectoryKeyLength = 10;
    static constexpr std::uint32_t kPoolSize = 512;           // expression pool at header offset 512
    static constexpr std::uint32_t kMaxDepth = 48;            // deeper than any tree of 2^32 keys can grow
    static constexpr std::uint32_t kMaxFileSize = 0xFFFFFE00; // offsets are 32-bit and page aligned

    static constexpr std::uint32_t interiorCapacity(std::uint32_t keyLength) { return kInteriorArea / (keyLength + 8); }
};

} // namespace quorvo::xbase
