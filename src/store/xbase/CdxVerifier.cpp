#include "store/xbase/CdxVerifier.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxInteriorPage.h"
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxLeafCodec.h"
#include "store/xbase/CdxLeafNode.h"
#include "store/xbase/CdxNodeHeader.h"

#include <cstring>

namespace quorvo::xbase {

namespace {

std::string at(std::uint32_t offset)
{
    return "offset " + std::to_string(offset);
}

// Strict (key, recno) order; with unique, keys alone must rise.
bool follows(const char* key, std::uint32_t recno, const std::vector<char>& previous, std::uint32_t previousRecno,
             bool unique)
{
    const int c = std::memcmp(key, previous.data(), previous.size());
    if (c != 0)
        return c > 0;
    return !unique && recno > previousRecno;
}

} // namespace

CdxVerifier::CdxVerifier(CdxPageCache& pages) : m_pages(pages), m_owner(pages.pageCount(), -1) {}

Error CdxVerifier::corrupt(const std::string& what) const
{
    return makeError(ErrorCode::Corrupt, m_pages.path() + ": " + what);
}

Status CdxVerifier::claim(std::uint32_t offset, std::uint32_t pages, const std::string& owner)
{
    if (m_owners.empty() || m_owners.back() != owner)
        m_owners.push_back(owner);
    const auto id = static_cast<std::int32_t>(m_owners.size() - 1);
    for (std::uint32_t i = 0; i < pages; ++i) {
        const std::uint64_t page = std::uint64_t{offset} / CdxLayout::kPageSize + i;
        if (offset % CdxLayout::kPageSize != 0)
            return corrupt(owner + ": page " + at(offset) + " is not a multiple of 512");
        if (page >= m_owner.size())
            return corrupt(owner + ": page " + at(offset) + " lies beyond the end of the file");
        if (m_owner[page] >= 0) {
            const std::string& first = m_owners[static_cast<std::size_t>(m_owner[page])];
            return corrupt(
                "the page at " + at(static_cast<std::uint32_t>(page * CdxLayout::kPageSize)) +
                " is used twice: " + (first == owner ? "within " + owner : "by " + first + " and by " + owner));
        }
        m_owner[page] = id;
    }
    return {};
}

Status CdxVerifier::verifyTree(const CdxTreeInfo& tree)
{
    const std::uint32_t keyLength = tree.keyLength;
    const std::uint32_t capacity = CdxLayout::interiorCapacity(keyLength);
    const CdxLeafCodec codec(keyLength, tree.fill);
    const std::string& label = tree.label;
    const auto fail = [&](const std::string& what) { return corrupt(label + ": " + what); };

    // One level at a time, left to right as the parents order it, with each node's expected last entry.
    std::vector<std::uint32_t> level{tree.root};
    std::vector<char> expectedKeys;
    std::vector<std::uint32_t> expectedRecnos;
    std::vector<std::uint32_t> nextLevel;
    std::vector<char> nextKeys;
    std::vector<std::uint32_t> nextRecnos;
    std::vector<char> previous(keyLength);
    CdxLeafNode leaf;
    QV_TRY(claim(tree.root, 1, label));
    for (std::uint32_t depth = 0; depth < CdxLayout::kMaxDepth; ++depth) {
        bool leafLevel = false;
        bool havePrevious = false;
        std::uint32_t previousRecno = 0;
        nextLevel.clear();
        nextKeys.clear();
        nextRecnos.clear();
        for (std::size_t j = 0; j < level.size(); ++j) {
            const std::uint32_t offset = level[j];
            auto page = m_pages.read(offset);
            if (!page)
                return page.error();
            const CdxNodeHeader header = CdxNodeHeader::read(*page);
            if (!header.validAttributes())
                return fail("node at " + at(offset) + " has attributes " + std::to_string(header.attributes));
            if ((depth == 0) != header.isRoot())
                return fail("node at " + at(offset) +
                            (depth == 0 ? " is the root but lacks the root flag"
                                        : " lies below the root but has the root flag"));
            if (j == 0)
                leafLevel = header.isLeaf();
            else if (leafLevel != header.isLeaf())
                return fail("node at " + at(offset) + " mixes leaves and interior nodes on one level");
            const std::uint32_t wantLeft = j == 0 ? CdxLayout::kNoPage : level[j - 1];
            const std::uint32_t wantRight = j + 1 == level.size() ? CdxLayout::kNoPage : level[j + 1];
            if (header.left != wantLeft)
                return fail("node at " + at(offset) + " has left sibling " + std::to_string(header.left) +
                            " where its parents put " + std::to_string(wantLeft));
            if (header.right != wantRight)
                return fail("node at " + at(offset) + " has right sibling " + std::to_string(header.right) +
                            " where its parents put " + std::to_string(wantRight));

            const char* lastKey = nullptr;
            std::uint32_t lastRecno = 0;
            if (header.isLeaf()) {
                CdxLeafLayout layout;
                if (auto decoded = codec.decode(*page, offset, leaf, &layout); !decoded)
                    return fail(decoded.error().message);
                if (layout.storedFree != layout.computedFree)
                    return fail("leaf at " + at(offset) + " says " + std::to_string(layout.storedFree) +
                                " bytes are free where its entries leave " + std::to_string(layout.computedFree));
                if (leaf.empty() && depth > 0)
                    return fail("leaf at " + at(offset) + " below the root is empty");
                for (std::size_t i = 0; i < leaf.count(); ++i) {
                    if (havePrevious && !follows(leaf.key(i), leaf.recno(i), previous, previousRecno, tree.unique))
                        return fail("leaf at " + at(offset) + ": entry " + std::to_string(i) + " (record " +
                                    std::to_string(leaf.recno(i)) + ") is out of order");
                    std::memcpy(previous.data(), leaf.key(i), keyLength);
                    previousRecno = leaf.recno(i);
                    havePrevious = true;
                }
                if (!leaf.empty()) {
                    lastKey = leaf.key(leaf.count() - 1);
                    lastRecno = leaf.recno(leaf.count() - 1);
                }
            } else {
                if (header.count == 0 || header.count > capacity)
                    return fail("interior node at " + at(offset) + " holds " + std::to_string(header.count) +
                                " keys; it can hold 1 to " + std::to_string(capacity));
                const CdxInteriorPage node(*page, keyLength);
                for (std::uint32_t i = 0; i < node.count(); ++i) {
                    if (havePrevious && !follows(node.key(i), node.recno(i), previous, previousRecno, tree.unique))
                        return fail("interior node at " + at(offset) + ": entry " + std::to_string(i) + " (record " +
                                    std::to_string(node.recno(i)) + ") is out of order");
                    std::memcpy(previous.data(), node.key(i), keyLength);
                    previousRecno = node.recno(i);
                    havePrevious = true;
                    QV_TRY(claim(node.child(i), 1, label));
                    nextLevel.push_back(node.child(i));
                    nextKeys.insert(nextKeys.end(), node.key(i), node.key(i) + keyLength);
                    nextRecnos.push_back(node.recno(i));
                }
                lastKey = node.key(node.count() - 1);
                lastRecno = node.recno(node.count() - 1);
            }
            if (depth > 0 && (lastRecno != expectedRecnos[j] ||
                              std::memcmp(lastKey, expectedKeys.data() + j * keyLength, keyLength) != 0))
                return fail("node at " + at(offset) + " ends with record " + std::to_string(lastRecno) +
                            " but its parent's entry holds record " + std::to_string(expectedRecnos[j]) +
                            (lastRecno == expectedRecnos[j] ? " with another key" : ""));
        }
        if (leafLevel)
            return {};
        std::swap(level, nextLevel);
        std::swap(expectedKeys, nextKeys);
        std::swap(expectedRecnos, nextRecnos);
    }
    return fail("more than " + std::to_string(CdxLayout::kMaxDepth) + " levels below the root");
}

Status CdxVerifier::verifyFreeList()
{
    std::uint32_t offset = m_pages.freeHead();
    for (std::uint32_t count = 0; offset != 0 && offset != CdxLayout::kNoPage; ++count) {
        if (offset < CdxLayout::kHeaderSize)
            return corrupt("the free list points into the file header (" + at(offset) + ")");
        if (auto claimed = claim(offset, 1, "the free list"); !claimed) {
            const std::uint64_t page = offset / CdxLayout::kPageSize;
            if (page < m_owner.size() && m_owner[page] >= 0 &&
                m_owners[static_cast<std::size_t>(m_owner[page])] == "the free list")
                return corrupt("the free list loops back to " + at(offset));
            return claimed;
        }
        auto page = m_pages.read(offset);
        if (!page)
            return page.error();
        offset = CdxBytes::le32(*page);
    }
    return {};
}

} // namespace quorvo::xbase
