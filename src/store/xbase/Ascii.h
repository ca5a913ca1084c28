#pragma once

#include <string_view>

namespace quorvo::xbase {

// Letter case as the engine understands it: a-z and A-Z only. Windows-1252 letters above 0x7F keep
// their case, so keys and filters agree whatever the user's locale.
inline char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace quorvo::xbase
