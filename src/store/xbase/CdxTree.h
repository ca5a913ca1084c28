#pragma once

#include "store/xbase/CdxKeyBatch.h"
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxLeafCodec.h"
#include "store/xbase/CdxLeafEditor.h"
#include "store/xbase/CdxLeafNode.h"
#include "store/xbase/CdxNodeHeader.h"
#include "store/xbase/CdxPageCache.h"
#include "store/xbase/CdxSearchTarget.h"
#include "store/xbase/CdxTreeInfo.h"
#include "store/xbase/Error.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace quorvo::xbase {

// One B+-tree of a compound index: search, insert and delete of single entries.
//
// Invariants kept: entries in (key bytes, record number) order; interior entry i holds the last key and
// record number of child i's subtree; nodes of a level are chained left and right; the root stays on
// its page (a root split moves the root's contents down to new pages), so the tag header never changes.
// Full leaves split by encoded size; an emptied node is unlinked and freed; a leaf or interior node
// left under a third full (or with a single entry) merges with its neighbour under the same parent when
// the two fit in three quarters of a page (any fit when one holds a single entry); a root with one
// child absorbs it.
class CdxTree
{
public:
    CdxTree(CdxPageCache& pages, CdxTreeInfo info);

    const CdxTreeInfo& info() const { return m_info; }
    const CdxLeafCodec& codec() const { return m_codec; }
    // Bounds any walk along a sibling chain.
    std::uint32_t pageCount() const { return m_pages.pageCount(); }

    // The leaf where the first entry the target reaches is, or would be inserted.
    Result<std::uint32_t> findLeaf(const CdxSearchTarget& target);
    Result<std::uint32_t> firstLeaf();
    Result<std::uint32_t> lastLeaf();
    Status readLeaf(std::uint32_t offset, CdxLeafNode& out);

    // Adds (key, recno); false when a unique tree already holds the key. key is keyLength bytes.
    // The exact pair being present already is ErrorCode::Corrupt (the index disagrees with its table).
    Result<bool> insert(std::string_view key, std::uint32_t recno);
    // Removes (key, recno); false when the tree does not hold it.
    Result<bool> erase(std::string_view key, std::uint32_t recno);
    // Removes the pairs keys[order[0]], keys[order[1]], ... given in tag order, each leaf decoded and
    // written once for all of its pairs. Returns how many were removed; firstMissing is set to the record
    // number of the first pair the tree did not hold (0 when it held them all).
    Result<std::size_t> eraseMany(const CdxKeyBatch& keys, std::span<const std::uint32_t> order,
                                  std::uint32_t& firstMissing);
    // Adds the pairs keys[order[0]], keys[order[1]], ... given in tag order, each leaf decoded and written
    // once for a run of them. A pair the tree holds already is ErrorCode::Corrupt, as for insert. Not for
    // unique trees.
    Status insertMany(const CdxKeyBatch& keys, std::span<const std::uint32_t> order);
    // Calls visit for every entry in tag order, following the leaf chain. A chain that goes backwards
    // or runs longer than the file has pages is ErrorCode::Corrupt; so is a failure of visit, passed on.
    Status walk(const std::function<Status(std::string_view key, std::uint32_t recno)>& visit);
    // Frees every page below the root and leaves an empty root leaf. A tree too damaged to walk keeps
    // its pages out of use rather than risk freeing a page something else holds.
    Status clear();
    // Every node page, root first. Fails on loops, bad pointers and nodes reached twice.
    Status collectPages(std::vector<std::uint32_t>& out);

    // An empty root leaf for a tree of this key length and fill.
    static void writeEmptyRoot(char* page, std::uint32_t keyLength, char fill);

    Error corrupt(const std::string& what) const;
    Error wrap(const Error& error) const;

private:
    struct Step
    {
        std::uint32_t page;
        std::uint32_t index;
    };
    struct Path
    {
        std::array<Step, CdxLayout::kMaxDepth> steps;
        std::uint32_t depth = 0;
    };
    // A node made by a split, ready to be entered in its parent: the key lives in m_pieceKeys.
    struct Piece
    {
        std::uint32_t page;
        std::uint32_t recno;
    };

    Status descend(const CdxSearchTarget& target, Path* path, std::uint32_t& leaf);
    Result<const char*> readInterior(std::uint32_t offset);
    // Tag order of m_leaf's entry j against keys[k]: below, equal or above zero.
    int compareEntry(std::size_t j, const CdxKeyBatch& keys, std::size_t k) const;
    // Writes m_leaf back to its page, splitting it when it does not fit, and updates the parents.
    // lastChanged: the leaf's last entry differs from what its parent holds. Sets pieces written.
    Status storeLeaf(std::uint32_t offset, const Path& path, bool lastChanged, bool appending,
                     std::size_t& piecesWritten);
    void splitRanges(const CdxLeafNode& node, bool appending, std::vector<std::size_t>& bounds);
    // Replaces path level's entry with m_pieces and carries splits and last-key changes upward.
    Status propagate(const Path& path, std::uint32_t level, bool lastChanged);
    Status growRoot();
    // Writes the count entries of m_entries as interior nodes of at most m_capacity entries each, the
    // first on firstPage (or a new page when it is kNoPage), the others on new pages, chained between
    // outerLeft and outerRight; then makes them the pieces to enter one level up.
    Status distribute(std::uint32_t count, std::uint32_t firstPage, std::uint32_t outerLeft, std::uint32_t outerRight);
    void piecesToEntries();
    Status updateLast(const Path& path, std::uint32_t levels, const char* key, std::uint32_t recno);
    Status removeEntry(const Path& path, std::uint32_t level, bool preferLeft);
    Status unlinkAndFree(std::uint32_t offset, const CdxNodeHeader& header);
    Status setSiblingLink(std::uint32_t offset, bool left, std::uint32_t value);
    // Merges the leaf at the end of path with a neighbour under the same parent, the right one unless
    // preferLeft (a sweep from left to right has already thinned the left one).
    Status mergeLeaf(const Path& path, bool preferLeft);
    // After a leaf at the end of path lost entries: merge it when it is under a third full.
    Status mergeIfUnderfull(std::uint32_t offset, const Path& path, std::size_t count, bool preferLeft);
    Status mergeInterior(const Path& path, std::uint32_t level, bool preferLeft);
    bool interiorUnderfull(std::uint32_t count) const;
    Status collapseRoot();
    std::size_t encodedSize(const CdxLeafNode& node);

    CdxPageCache& m_pages;
    CdxTreeInfo m_info;
    CdxLeafCodec m_codec;
    CdxLeafEditor m_editor;
    std::uint32_t m_capacity;
    // Scratch kept between calls so steady-state updates do not allocate.
    CdxLeafNode m_leaf;
    CdxLeafNode m_left;
    CdxLeafNode m_right;
    std::vector<std::uint32_t> m_chained;
    std::vector<std::uint32_t> m_alone;
    std::vector<std::size_t> m_bounds;
    std::vector<Piece> m_pieces;
    std::vector<char> m_pieceKeys;
    std::vector<Piece> m_nextPieces;
    std::vector<char> m_nextPieceKeys;
    std::vector<char> m_entries;
    std::vector<std::uint32_t> m_partSizes;
    std::vector<char> m_key;
};

} // namespace quorvo::xbase
