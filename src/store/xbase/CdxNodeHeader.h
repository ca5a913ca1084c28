#pragma once

#include "store/xbase/CdxLayout.h"

#include <cstdint>

namespace quorvo::xbase {

// The first 12 bytes of every tree page: attributes (LE16), key count (LE16), left and right sibling
// offsets (LE32, kNoPage when there is none).
struct CdxNodeHeader
{
    static constexpr std::uint16_t kRoot = 1;
    static constexpr std::uint16_t kLeaf = 2;

    std::uint16_t attributes = 0;
    std::uint16_t count = 0;
    std::uint32_t left = CdxLayout::kNoPage;
    std::uint32_t right = CdxLayout::kNoPage;

    static CdxNodeHeader read(const char* page);
    void write(char* page) const;

    bool isLeaf() const { return (attributes & kLeaf) != 0; }
    bool isRoot() const { return (attributes & kRoot) != 0; }
    bool validAttributes() const { return attributes <= (kRoot | kLeaf); }
};

} // namespace quorvo::xbase
