#pragma once

#include <cstdint>
#include <string>

namespace quorvo::xbase {

// What operations on one B+-tree of the file (a tag or the tag directory) need to know about it.
struct CdxTreeInfo
{
    std::uint32_t root = 0;
    std::uint32_t keyLength = 0;
    char fill = ' ';
    bool unique = false;
    std::string label; // "tag KEYS", "tag directory": names the tree in error messages
};

} // namespace quorvo::xbase
