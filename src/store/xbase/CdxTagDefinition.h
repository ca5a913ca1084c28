#pragma once

#include "store/xbase/CdxKeyType.h"

#include <cstdint>
#include <string>

namespace quorvo::xbase {

// What a tag is: stored in its header, except keyType, which the file does not record (the table knows
// it from the key expression and tells the index, see CdxIndex::setKeyType).
struct CdxTagDefinition
{
    std::string name; // up to 10 letters, digits or underscores, starting with a letter; stored upper case
    std::string keyExpression;
    std::string forExpression; // empty: every record has a key
    std::uint16_t keyLength = 0;
    CdxKeyType keyType = CdxKeyType::Character;
    bool descending = false; // stored only; entries are always kept ascending
    bool unique = false;
};

} // namespace quorvo::xbase
