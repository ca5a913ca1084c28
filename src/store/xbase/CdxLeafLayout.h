#pragma once

#include "store/xbase/CdxLeafWidths.h"

#include <cstdint>

namespace quorvo::xbase {

// What a decoded leaf said about itself, for verification.
struct CdxLeafLayout
{
    CdxLeafWidths widths;
    std::uint32_t storedFree = 0;   // the free-bytes field at offset 12
    std::uint32_t computedFree = 0; // 488 - count * N - stored key bytes
};

} // namespace quorvo::xbase
