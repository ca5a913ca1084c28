#pragma once

#include "store/xbase/CdxKeyBatch.h"
#include "store/xbase/CdxLeafWriter.h"
#include "store/xbase/CdxPageCache.h"
#include "store/xbase/Error.h"
#include "store/xbase/ProgressFn.h"

#include <cstdint>
#include <vector>

namespace quorvo::xbase {

// Builds a tree bottom-up from pairs already in tag order: leaves filled left to right (every leaf uses
// the widths of the largest record number), each closed leaf's last entry posted to the interior level
// above, which closes and posts the same way when full; the one node left on the top level is the root.
class CdxTreeBuilder
{
public:
    CdxTreeBuilder(CdxPageCache& pages, std::uint32_t keyLength, char fill);

    // Writes a tree of keys[order[0]], keys[order[1]], ... on freshly allocated pages and returns the
    // root's offset. Reports progress rising from progressFrom to 100.
    Result<std::uint32_t> build(const CdxKeyBatch& keys, const std::vector<std::uint32_t>& order,
                                const ProgressFn& progress, int progressFrom);

private:
    struct Level
    {
        std::uint32_t page;
        char* data;
        std::uint32_t count;
    };

    Status post(std::size_t level, const char* key, std::uint32_t recno, std::uint32_t child);
    Result<char*> startInterior(std::size_t level, std::uint32_t left);

    CdxPageCache& m_pages;
    std::uint32_t m_keyLength;
    std::uint32_t m_capacity;
    CdxLeafWriter m_writer;
    std::vector<Level> m_levels;
};

} // namespace quorvo::xbase
