#pragma once

#include <cstdint>

namespace quorvo::xbase {

// Integer access to file bytes. Headers and leaf bit fields are little-endian; interior entries and the
// change counter are big-endian.
struct CdxBytes
{
    static std::uint32_t byte(const char* p, unsigned i) { return static_cast<unsigned char>(p[i]); }

    static std::uint16_t le16(const char* p) { return static_cast<std::uint16_t>(byte(p, 0) | byte(p, 1) << 8); }
    static std::uint32_t le32(const char* p)
    {
        return byte(p, 0) | byte(p, 1) << 8 | byte(p, 2) << 16 | byte(p, 3) << 24;
    }
    static std::uint32_t be32(const char* p)
    {
        return byte(p, 0) << 24 | byte(p, 1) << 16 | byte(p, 2) << 8 | byte(p, 3);
    }
    // n <= 8 bytes, little-endian.
    static std::uint64_t leN(const char* p, unsigned n)
    {
        std::uint64_t v = 0;
        for (unsigned i = n; i-- > 0;)
            v = v << 8 | byte(p, i);
        return v;
    }
    // Big-endian value of the first n <= 8 bytes, left-aligned: compares like the bytes themselves.
    static std::uint64_t bePrefix(const char* p, unsigned n)
    {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < 8; ++i)
            v = v << 8 | (i < n ? byte(p, i) : 0u);
        return v;
    }

    static void putLe16(char* p, std::uint32_t v)
    {
        p[0] = static_cast<char>(v & 0xFF);
        p[1] = static_cast<char>(v >> 8 & 0xFF);
    }
    static void putLe32(char* p, std::uint32_t v)
    {
        for (unsigned i = 0; i < 4; ++i)
            p[i] = static_cast<char>(v >> (8 * i) & 0xFF);
    }
    static void putBe32(char* p, std::uint32_t v)
    {
        for (unsigned i = 0; i < 4; ++i)
            p[i] = static_cast<char>(v >> (24 - 8 * i) & 0xFF);
    }
    static void putLeN(char* p, std::uint64_t v, unsigned n)
    {
        for (unsigned i = 0; i < n; ++i)
            p[i] = static_cast<char>(v >> (8 * i) & 0xFF);
    }
};

} // namespace quorvo::xbase
