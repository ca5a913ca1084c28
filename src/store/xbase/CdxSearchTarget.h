#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorvo::xbase {

// A position to search for in a tag, in the tag's order: keys compare as unsigned bytes, then by
// record number. key may be shorter than the tag's keys (a prefix seek compares only its bytes).
struct CdxSearchTarget
{
    std::string_view key;
    bool withRecno = false; // compare record numbers when the key bytes are equal (full-length key only)
    std::uint32_t recno = 0;
    bool strict = false; // find the first entry after the target instead of at or after it

    // True when the entry (a full-length key and its record number) lies at or after the target (strict:
    // after it). Entries in tag order give false...false true...true, so searches can bisect.
    bool reachedBy(const char* entryKey, std::uint32_t entryRecno) const
    {
        if (!key.empty()) {
            const int c = std::memcmp(entryKey, key.data(), key.size());
            if (c != 0)
                return c > 0;
        }
        if (withRecno && entryRecno != recno)
            return entryRecno > recno;
        return !strict;
    }
};

} // namespace quorvo::xbase
