#pragma once

#include <cstdint>
#include <string_view>

// The three files mix byte orders: the DBF is little-endian, the FPT big-endian, the CDX both.
namespace quorvo::xbase::bytes {

inline std::uint32_t readLe(std::string_view s, std::size_t at, std::size_t n)
{
    std::uint32_t v = 0;
    for (std::size_t i = n; i-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

inline std::uint32_t readBe(std::string_view s, std::size_t at, std::size_t n)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

inline void writeLe(char* out, std::uint32_t v, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i, v >>= 8)
        out[i] = static_cast<char>(v & 0xFF);
}

inline void writeBe(char* out, std::uint32_t v, std::size_t n)
{
    for (std::size_t i = n; i-- > 0; v >>= 8)
        out[i] = static_cast<char>(v & 0xFF);
}

} // namespace quorvo::xbase::bytes
