#include "store/xbase/SiblingPath.h"

#include <cctype>

namespace quorvo::xbase {

std::string siblingPath(const std::string& path, const char* upperExtension)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    bool lower = false;
    if (hasExtension)
        for (std::size_t i = dot + 1; i < path.size(); ++i)
            lower = lower || std::islower(static_cast<unsigned char>(path[i]));
    std::string extension(upperExtension);
    if (lower)
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

} // namespace quorvo::xbase
