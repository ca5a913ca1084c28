#pragma once

#include "store/xbase/Error.h"

#include <cstdint>
#include <string>

namespace quorvo::xbase {

// The 1024-byte header of the file (offset 0, tree = tag directory) and of every tag:
//   0 root offset LE32        4 free-list head LE32 (file header only)   8 change counter BE32 (file header)
//   12 key length LE16        14 options                                 15 signature (1)
//   502 descending LE16       504 start of the FOR text in the pool LE16 506 FOR text length with NUL LE16
//   508 start of the key text (0) LE16                                   510 key text length with NUL LE16
//   512 pool: key text, NUL, FOR text, NUL, zeros
// Everything else is written as zero and ignored on read.
struct CdxTagHeader
{
    static constexpr std::uint8_t kUnique = 0x01;
    static constexpr std::uint8_t kHasFor = 0x08;
    static constexpr std::uint8_t kCompact = 0x20;
    static constexpr std::uint8_t kCompound = 0x40;
    static constexpr std::uint8_t kStructural = 0x80;

    std::uint32_t root = 0;
    std::uint32_t freeList = 0;
    std::uint32_t counter = 0;
    std::uint16_t keyLength = 0;
    std::uint8_t options = kCompact | kCompound;
    bool descending = false;
    std::string keyExpression;
    std::string forExpression;

    bool unique() const { return (options & kUnique) != 0; }

    // Reads and checks a header; offset names it in errors. The FOR text is taken at the pool offset
    // given by bytes 510-511 with the length at 506-507, which every known writer honours whichever way
    // it fills 504-505.
    static Result<CdxTagHeader> parse(const char* bytes, std::uint32_t offset);
    // Writes all 1024 bytes. The FOR option bit follows whether there is FOR text.
    void write(char* bytes) const;

    // True when the two expressions with their NULs fit the 512-byte pool.
    static bool poolFits(const std::string& keyExpression, const std::string& forExpression);
};

} // namespace quorvo::xbase
