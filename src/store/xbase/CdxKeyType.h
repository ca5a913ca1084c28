#pragma once

namespace quorvo::xbase {

// What a tag's key expression yields. It decides the fill byte that trailing-count compression
// stands for: blanks for character keys, zero bytes for every other type.
enum class CdxKeyType
{
    Character, // raw bytes, right-padded with blanks
    Logical,   // one byte, 'T' or 'F'
    Numeric,   // 8 bytes: numbers, dates and datetimes as order-preserving big-endian doubles
};

inline char cdxFillByte(CdxKeyType type)
{
    return type == CdxKeyType::Character ? ' ' : '\0';
}

} // namespace quorvo::xbase
