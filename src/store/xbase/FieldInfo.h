#pragma once

#include <cstdint>
#include <string>

namespace quorvo::xbase {

// One field of a table as the engine sees it. offset counts from the start of the record, where byte 0
// is the deleted flag, so the first field sits at offset 1.
struct FieldInfo
{
    std::string name; // upper case, at most 10 characters
    char type = 'C';  // C, L, M, D, N, or any other letter read as raw text
    std::uint32_t offset = 0;
    std::uint16_t width = 0;
    std::uint8_t decimals = 0;
};

} // namespace quorvo::xbase
