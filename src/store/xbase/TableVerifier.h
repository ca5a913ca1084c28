#pragma once

#include "store/xbase/Error.h"
#include "store/xbase/File.h"

#include <string>

namespace quorvo::xbase {

// Checks every invariant of a table's DBF and memo file, reading the bytes itself rather than through
// Table, which tolerates some of what is checked here (a missing end marker, stray bytes). The first
// broken invariant comes back as a Corrupt error naming the record or offset.
class TableVerifier
{
public:
    explicit TableVerifier(FileSystem& fs) : m_fs(fs) {}

    Status verify(const std::string& dbfPath);

private:
    FileSystem& m_fs;
};

} // namespace quorvo::xbase
