#pragma once

#include "store/xbase/CdxPageCache.h"
#include "store/xbase/CdxTreeInfo.h"
#include "store/xbase/Error.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvo::xbase {

// Checks a compound index file page by page and reports the first broken invariant as
// ErrorCode::Corrupt. Every page it meets is claimed for one owner (header, tree, free list), so a page
// used twice, or a loop through sibling, child or free-list pointers, is caught however it arises.
class CdxVerifier
{
public:
    explicit CdxVerifier(CdxPageCache& pages);

    Status claim(std::uint32_t offset, std::uint32_t pages, const std::string& owner);
    // Per tree: attributes and root flag; leaves decode, their free-space field is exact and only the
    // root may be empty; all leaves on one level; entries in strictly ascending (key, record number)
    // order across the whole tree (keys strictly ascending when unique); every interior entry equals
    // its child's last entry; siblings chained left and right exactly as the parents order them.
    Status verifyTree(const CdxTreeInfo& tree);
    // Free pages: page aligned, past the file header, inside the file, claimed by nothing else.
    Status verifyFreeList();

private:
    Error corrupt(const std::string& what) const;

    CdxPageCache& m_pages;
    std::vector<std::int32_t> m_owner; // per page: index into m_owners, -1 when unclaimed
    std::vector<std::string> m_owners;
};

} // namespace quorvo::xbase
