#pragma once

#include "store/xbase/CdxTagDefinition.h"

#include <cstdint>

namespace quorvo::xbase {

// One tag of an open compound index: its definition and where it lives in the file.
struct CdxTag
{
    CdxTagDefinition definition;
    std::uint32_t headerOffset = 0;
    std::uint32_t root = 0;
};

} // namespace quorvo::xbase
