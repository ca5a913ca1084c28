#include "store/xbase/CdxTree.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxInteriorPage.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quorvo::xbase {

CdxTree::CdxTree(CdxPageCache& pages, CdxTreeInfo info)
    : m_pages(pages), m_info(std::move(info)), m_codec(m_info.keyLength, m_info.fill),
      m_editor(m_info.keyLength, m_info.fill), m_capacity(CdxLayout::interiorCapacity(m_info.keyLength))
{}

Error CdxTree::corrupt(const std::string& what) const
{
    return makeError(ErrorCode::Corrupt, m_pages.path() + ": " + m_info.label + ": " + what);
}

Error CdxTree::wrap(const Error& error) const
{
    if (error.code != ErrorCode::Corrupt)
        return error;
    const std::string prefix = m_pages.path() + ": ";
    std::string rest = error.message.starts_with(prefix) ? error.message.substr(prefix.size()) : error.message;
    return makeError(ErrorCode::Corrupt, prefix + m_info.label + ": " + rest);
}

void CdxTree::writeEmptyRoot(char* page, std::uint32_t keyLength, char fill)
{
    CdxLeafCodec codec(keyLength, fill);
    CdxLeafNode empty;
    empty.reset(keyLength);
    codec.encode(empty, 0, 0, CdxNodeHeader::kRoot | CdxNodeHeader::kLeaf, CdxLayout::kNoPage, CdxLayout::kNoPage,
                 page);
}

Result<const char*> CdxTree::readInterior(std::uint32_t offset)
{
    auto page = m_pages.read(offset);
    if (!page)
        return wrap(page.error());
    const CdxNodeHeader header = CdxNodeHeader::read(*page);
    if (!header.validAttributes() || header.isLeaf())
        return corrupt("node at offset " + std::to_string(offset) + " has attributes " +
                       std::to_string(header.attributes) + " where an interior node belongs");
    if (header.count == 0 || header.count > m_capacity)
        return corrupt("interior node at offset " + std::to_string(offset) + " holds " + std::to_string(header.count) +
                       " keys; it can hold 1 to " + std::to_string(m_capacity));
    return *page;
}

Status CdxTree::descend(const CdxSearchTarget& target, Path* path, std::uint32_t& leaf)
{
    std::uint32_t offset = m_info.root;
    if (path)
        path->depth = 0;
    for (std::uint32_t depth = 0; depth < CdxLayout::kMaxDepth; ++depth) {
        auto page = m_pages.read(offset);
        if (!page)
            return wrap(page.error());
        const CdxNodeHeader header = CdxNodeHeader::read(*page);
        if (!header.validAttributes())
            return corrupt("node at offset " + std::to_string(offset) + " has attributes " +
                           std::to_string(header.attributes));
        if ((depth == 0) != header.isRoot())
            return corrupt(depth == 0
                               ? "the root node at offset " + std::to_string(offset) + " lacks the root flag"
                               : "node at offset " + std::to_string(offset) + " below the root carries the root flag");
        if (header.isLeaf()) {
            leaf = offset;
            return {};
        }
        auto interior = readInterior(offset);
        if (!interior)
            return interior.error();
        const CdxInteriorPage node(*interior, m_info.keyLength);
        std::uint32_t i = node.lowerBound(target);
        if (i == node.count())
            i = node.count() - 1;
        if (path)
            path->steps[path->depth++] = {offset, i};
        offset = node.child(i);
    }
    return corrupt("more than " + std::to_string(CdxLayout::kMaxDepth) + " levels below the root at offset " +
                   std::to_string(m_info.root) + " (child pointers loop)");
}

Result<std::uint32_t> CdxTree::findLeaf(const CdxSearchTarget& target)
{
    std::uint32_t leaf = 0;
    QV_TRY(descend(target, nullptr, leaf));
    return leaf;
}

Result<std::uint32_t> CdxTree::firstLeaf()
{
    return findLeaf(CdxSearchTarget{});
}

Result<std::uint32_t> CdxTree::lastLeaf()
{
    // Nothing lies strictly after the greatest possible entry, so every level takes its last child.
    m_key.assign(m_info.keyLength, static_cast<char>(0xFF));
    return findLeaf(CdxSearchTarget{{m_key.data(), m_key.size()}, true, 0xFFFFFFFF, true});
}

Status CdxTree::readLeaf(std::uint32_t offset, CdxLeafNode& out)
{
    auto page = m_pages.read(offset);
    if (!page)
        return wrap(page.error());
    if (auto decoded = m_codec.decode(*page, offset, out); !decoded)
        return wrap(decoded.error());
    return {};
}

Result<bool> CdxTree::insert(std::string_view key, std::uint32_t recno)
{
    if (m_info.unique) {
        const CdxSearchTarget any{key};
        auto leaf = findLeaf(any);
        if (!leaf)
            return leaf.error();
        QV_TRY(readLeaf(*leaf, m_leaf));
        const std::size_t pos = m_leaf.lowerBound(any);
        if (pos < m_leaf.count() && std::memcmp(m_leaf.key(pos), key.data(), m_info.keyLength) == 0)
            return false;
    }
    const CdxSearchTarget target{key, true, recno};
    Path path;
    std::uint32_t leaf = 0;
    QV_TRY(descend(target, &path, leaf));
    auto page = m_pages.read(leaf);
    if (!page)
        return wrap(page.error());
    if (auto scanned = m_editor.scan(*page, leaf, key, recno); !scanned)
        return wrap(scanned.error());
    if (m_editor.found())
        return corrupt("already holds this key for record " + std::to_string(recno));

    // Most inserts shift bytes inside the leaf; a split or wider entries rebuild it whole.
    const std::uint32_t pos = m_editor.position();
    const bool last = pos == m_editor.count();
    auto writable = m_pages.modify(leaf);
    if (!writable)
        return wrap(writable.error());
    if (m_editor.insert(*writable, key, recno)) {
        if (last)
            QV_TRY(updateLast(path, path.depth, key.data(), recno));
        return true;
    }
    QV_TRY(readLeaf(leaf, m_leaf));
    m_leaf.insert(pos, key.data(), recno);
    const bool appending = last && m_leaf.header.right == CdxLayout::kNoPage;
    std::size_t pieces = 0;
    QV_TRY(storeLeaf(leaf, path, last, appending, pieces));
    return true;
}

Result<bool> CdxTree::erase(std::string_view key, std::uint32_t recno)
{
    const CdxSearchTarget target{key, true, recno};
    Path path;
    std::uint32_t leaf = 0;
    QV_TRY(descend(target, &path, leaf));
    auto page = m_pages.read(leaf);
    if (!page)
        return wrap(page.error());
    if (auto scanned = m_editor.scan(*page, leaf, key, recno); !scanned)
        return wrap(scanned.error());
    if (!m_editor.found())
        return false;
    const CdxNodeHeader header = CdxNodeHeader::read(*page);
    const std::uint32_t pos = m_editor.position();
    const bool wasLast = pos + 1 == m_editor.count();
    if (m_editor.count() == 1 && !header.isRoot()) {
        QV_TRY(unlinkAndFree(leaf, header));
        QV_TRY(removeEntry(path, path.depth - 1, false));
        return true;
    }
    auto writable = m_pages.modify(leaf);
    if (!writable)
        return wrap(writable.error());
    std::size_t count = 0;
    if (m_editor.erase(*writable)) {
        if (wasLast && m_editor.count() > 0)
            QV_TRY(updateLast(path, path.depth, m_editor.lastKey(), m_editor.lastRecno()));
        count = m_editor.count();
    } else {
        QV_TRY(readLeaf(leaf, m_leaf));
        m_leaf.erase(pos);
        std::size_t pieces = 0;
        QV_TRY(storeLeaf(leaf, path, wasLast, false, pieces));
        if (pieces > 1)
            return true;
        count = m_leaf.count();
    }
    if (!header.isRoot())
        QV_TRY(mergeIfUnderfull(leaf, path, count, false));
    return true;
}

int CdxTree::compareEntry(std::size_t j, const CdxKeyBatch& keys, std::size_t k) const
{
    const int c = std::memcmp(m_leaf.key(j), keys.key(k), m_info.keyLength);
    if (c != 0)
        return c;
    const std::uint32_t a = m_leaf.recno(j);
    const std::uint32_t b = keys.recno(k);
    return a < b ? -1 : a > b ? 1 : 0;
}

Result<std::size_t> CdxTree::eraseMany(const CdxKeyBatch& keys, std::span<const std::uint32_t> order,
                                       std::uint32_t& firstMissing)
{
    const std::uint32_t keyLength = m_info.keyLength;
    firstMissing = 0;
    std::size_t erased = 0;
    std::size_t i = 0;
    auto missing = [&] {
        if (firstMissing == 0)
            firstMissing = keys.recno(order[i]);
        ++i;
    };
    auto compare = [&](std::size_t j) { return compareEntry(j, keys, order[i]); };
    while (i < order.size()) {
        const CdxSearchTarget target{keys.keyView(order[i]), true, keys.recno(order[i])};
        Path path;
        std::uint32_t leaf = 0;
        QV_TRY(descend(target, &path, leaf));
        QV_TRY(readLeaf(leaf, m_leaf));
        const CdxNodeHeader header = m_leaf.header;
        const std::size_t n = m_leaf.count();
        const std::size_t from = i;
        std::size_t removed = 0;
        std::size_t kept = 0; // entries before kept are settled: copied to m_left or dropped
        m_left.reset(keyLength);
        for (std::size_t j = 0; j < n && i < order.size(); ++j) {
            int c = compare(j);
            while (c > 0) { // the pair sorts before this entry, and descend found its place: not held
                missing();
                if (i == order.size())
                    break;
                c = compare(j);
            }
            if (i < order.size() && c == 0) {
                m_left.appendRange(m_leaf, kept, j);
                kept = j + 1;
                ++removed;
                ++i;
            }
        }
        if (i == from) {
            missing(); // past the tree's last entry
            continue;
        }
        if (removed == 0)
            continue;
        erased += removed;
        const bool lastRemoved = kept == n;
        m_left.appendRange(m_leaf, kept, n);
        m_left.header = header;
        std::swap(m_leaf, m_left);
        if (m_leaf.empty() && !header.isRoot()) {
            QV_TRY(unlinkAndFree(leaf, header));
            QV_TRY(removeEntry(path, path.depth - 1, true));
            continue;
        }
        std::size_t pieces = 0;
        QV_TRY(storeLeaf(leaf, path, lastRemoved, false, pieces));
        if (pieces == 1 && !header.isRoot())
            QV_TRY(mergeIfUnderfull(leaf, path, m_leaf.count(), true));
    }
    return erased;
}

Status CdxTree::insertMany(const CdxKeyBatch& keys, std::span<const std::uint32_t> order)
{
    const std::uint32_t keyLength = m_info.keyLength;
    // A leaf takes at most this many new entries a round, so a split stays a few pieces wide.
    constexpr std::size_t kRound = 128;
    std::size_t i = 0;
    while (i < order.size()) {
        const CdxSearchTarget target{keys.keyView(order[i]), true, keys.recno(order[i])};
        Path path;
        std::uint32_t leaf = 0;
        QV_TRY(descend(target, &path, leaf));
        QV_TRY(readLeaf(leaf, m_leaf));
        const CdxNodeHeader header = m_leaf.header;
        const std::size_t n = m_leaf.count();
        const bool lastLeaf = header.right == CdxLayout::kNoPage;
        auto compare = [&](std::size_t j) { return compareEntry(j, keys, order[i]); };
        m_left.reset(keyLength);
        std::size_t j = 0;
        for (std::size_t taken = 0; i < order.size() && taken < kRound; ++taken) {
            // Pairs past the leaf's last entry belong to a later leaf, unless there is none.
            if (n > 0 && compare(n - 1) < 0 && !lastLeaf) {
                if (taken == 0) // the parent sent the pair here: its entry for this leaf is wrong
                    return corrupt("leaf at offset " + std::to_string(leaf) +
                                   " ends before a key its parent places in it");
                break;
            }
            const std::size_t from = j;
            while (j < n && compare(j) < 0)
                ++j;
            m_left.appendRange(m_leaf, from, j);
            if (j < n && compare(j) == 0)
                return corrupt("already holds this key for record " + std::to_string(keys.recno(order[i])));
            m_left.append(keys.key(order[i]), keys.recno(order[i]));
            ++i;
        }
        const bool lastChanged = j == n;
        m_left.appendRange(m_leaf, j, n);
        m_left.header = header;
        std::swap(m_leaf, m_left);
        std::size_t pieces = 0;
        QV_TRY(storeLeaf(leaf, path, lastChanged, lastChanged && lastLeaf, pieces));
    }
    return {};
}

Status CdxTree::mergeIfUnderfull(std::uint32_t offset, const Path& path, std::size_t count, bool preferLeft)
{
    auto page = m_pages.read(offset);
    if (!page)
        return wrap(page.error());
    const std::uint32_t freeBytes = CdxBytes::le16(*page + 12);
    if (CdxLayout::kLeafArea - freeBytes < CdxLayout::kLeafArea / 3 || count == 1)
        return mergeLeaf(path, preferLeft);
    return {};
}

Status CdxTree::storeLeaf(std::uint32_t offset, const Path& path, bool lastChanged, bool appending,
                          std::size_t& piecesWritten)
{
    auto page = m_pages.modify(offset);
    if (!page)
        return wrap(page.error());
    const CdxNodeHeader header = m_leaf.header;
    const std::size_t count = m_leaf.count();
    if (m_codec.encode(m_leaf, 0, count, header.attributes, header.left, header.right, *page)) {
        piecesWritten = 1;
        if (lastChanged && count > 0)
            return updateLast(path, path.depth, m_leaf.key(count - 1), m_leaf.recno(count - 1));
        return {};
    }

    splitRanges(m_leaf, appending, m_bounds);
    const std::size_t parts = m_bounds.size() - 1;
    const bool isRoot = header.isRoot();
    const std::uint32_t keyLength = m_info.keyLength;
    m_pieces.clear();
    m_pieceKeys.clear();
    for (std::size_t j = 0; j < parts; ++j) {
        std::uint32_t pageOffset = offset;
        if (j > 0 || isRoot) {
            auto fresh = m_pages.allocate();
            if (!fresh)
                return wrap(fresh.error());
            pageOffset = *fresh;
        }
        const std::size_t last = m_bounds[j + 1] - 1;
        m_pieces.push_back({pageOffset, m_leaf.recno(last)});
        m_pieceKeys.insert(m_pieceKeys.end(), m_leaf.key(last), m_leaf.key(last) + keyLength);
    }
    const std::uint32_t outerLeft = isRoot ? CdxLayout::kNoPage : header.left;
    const std::uint32_t outerRight = isRoot ? CdxLayout::kNoPage : header.right;
    for (std::size_t j = 0; j < parts; ++j) {
        auto target = m_pages.modify(m_pieces[j].page);
        if (!target)
            return wrap(target.error());
        const std::uint32_t left = j == 0 ? outerLeft : m_pieces[j - 1].page;
        const std::uint32_t right = j + 1 == parts ? outerRight : m_pieces[j + 1].page;
        if (!m_codec.encode(m_leaf, m_bounds[j], m_bounds[j + 1], CdxNodeHeader::kLeaf, left, right, *target))
            return makeError(ErrorCode::BadState,
                             m_pages.path() + ": " + m_info.label + ": a split leaf part does not fit its page");
    }
    if (outerRight != CdxLayout::kNoPage)
        QV_TRY(setSiblingLink(outerRight, true, m_pieces.back().page));
    piecesWritten = parts;
    if (isRoot)
        return growRoot();
    return propagate(path, path.depth, lastChanged);
}

void CdxTree::splitRanges(const CdxLeafNode& node, bool appending, std::vector<std::size_t>& bounds)
{
    m_codec.measure(node, m_chained, m_alone);
    const std::size_t n = node.count();
    const std::size_t entry = CdxLeafWidths::forKey(m_info.keyLength, node.maxRecno(0, n)).entryBytes;
    std::size_t total = 0;
    for (std::size_t i = 0; i < n; ++i)
        total += m_chained[i];

    // Two parts when they fit: balanced, or as full a left part as possible when appending at the end
    // of the tree, so ascending inserts leave full leaves behind.
    std::size_t best = 0;
    std::size_t bestScore = 0;
    std::size_t prefix = m_chained[0];
    for (std::size_t m = 1; m < n; ++m) {
        const std::size_t left = m * entry + prefix;
        const std::size_t right = (n - m) * entry + m_alone[m] + (total - prefix - m_chained[m]);
        prefix += m_chained[m];
        if (left > CdxLayout::kLeafArea || right > CdxLayout::kLeafArea)
            continue;
        const std::size_t score = appending ? CdxLayout::kLeafArea - left : std::max(left, right);
        if (best == 0 || score < bestScore) {
            best = m;
            bestScore = score;
        }
    }
    bounds.clear();
    bounds.push_back(0);
    if (best != 0) {
        bounds.push_back(best);
        bounds.push_back(n);
        return;
    }
    // Long incompressible keys can need three parts: fill greedily.
    std::size_t size = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t need = entry + (i == start ? m_alone[i] : m_chained[i]);
        if (i > start && size + need > CdxLayout::kLeafArea) {
            bounds.push_back(i);
            start = i;
            size = entry + m_alone[i];
        } else {
            size += need;
        }
    }
    bounds.push_back(n);
}

void CdxTree::piecesToEntries()
{
    const std::uint32_t keyLength = m_info.keyLength;
    const std::uint32_t entrySize = keyLength + 8;
    m_entries.resize(m_pieces.size() * entrySize);
    for (std::size_t j = 0; j < m_pieces.size(); ++j)
        CdxInteriorPage::writeEntry(m_entries.data() + j * entrySize, keyLength, m_pieceKeys.data() + j * keyLength,
                                    m_pieces[j].recno, m_pieces[j].page);
}

Status CdxTree::distribute(std::uint32_t count, std::uint32_t firstPage, std::uint32_t outerLeft,
                           std::uint32_t outerRight)
{
    const std::uint32_t keyLength = m_info.keyLength;
    const std::uint32_t entrySize = keyLength + 8;
    const std::uint32_t parts = (count + m_capacity - 1) / m_capacity;
    m_nextPieces.clear();
    m_nextPieceKeys.clear();
    m_partSizes.clear();
    std::uint32_t begin = 0;
    for (std::uint32_t j = 0; j < parts; ++j) {
        const std::uint32_t size = count / parts + (j < count % parts ? 1 : 0);
        std::uint32_t pageOffset = firstPage;
        if (j > 0 || firstPage == CdxLayout::kNoPage) {
            auto fresh = m_pages.allocate();
            if (!fresh)
                return wrap(fresh.error());
            pageOffset = *fresh;
        }
        const char* last = m_entries.data() + (begin + size - 1) * entrySize;
        m_nextPieces.push_back({pageOffset, CdxBytes::be32(last + keyLength)});
        m_nextPieceKeys.insert(m_nextPieceKeys.end(), last, last + keyLength);
        m_partSizes.push_back(size);
        begin += size;
    }
    begin = 0;
    for (std::uint32_t j = 0; j < parts; ++j) {
        auto page = m_pages.modify(m_nextPieces[j].page);
        if (!page)
            return wrap(page.error());
        CdxInteriorPage node(*page, keyLength);
        node.init(0, j == 0 ? outerLeft : m_nextPieces[j - 1].page,
                  j + 1 == parts ? outerRight : m_nextPieces[j + 1].page);
        node.setEntries(m_entries.data() + begin * entrySize, m_partSizes[j]);
        begin += m_partSizes[j];
    }
    if (outerRight != CdxLayout::kNoPage)
        QV_TRY(setSiblingLink(outerRight, true, m_nextPieces.back().page));
    std::swap(m_pieces, m_nextPieces);
    std::swap(m_pieceKeys, m_nextPieceKeys);
    return {};
}

Status CdxTree::propagate(const Path& path, std::uint32_t level, bool lastChanged)
{
    const std::uint32_t entrySize = m_info.keyLength + 8;
    while (level > 0) {
        --level;
        const Step step = path.steps[level];
        auto page = m_pages.modify(step.page);
        if (!page)
            return wrap(page.error());
        CdxInteriorPage node(*page, m_info.keyLength);
        const CdxNodeHeader header = node.header();
        const std::uint32_t oldCount = node.count();
        const bool wasLast = step.index + 1 == oldCount;
        lastChanged = lastChanged && wasLast;

        // The entry for the split node becomes one entry per piece.
        const auto pieces = static_cast<std::uint32_t>(m_pieces.size());
        const std::uint32_t newCount = oldCount - 1 + pieces;
        const std::uint32_t before = step.index * entrySize;
        const std::uint32_t after = (oldCount - step.index - 1) * entrySize;
        piecesToEntries();
        m_entries.insert(m_entries.begin(), node.entry(0), node.entry(0) + before);
        m_entries.insert(m_entries.end(), node.entry(step.index + 1), node.entry(step.index + 1) + after);

        if (newCount <= m_capacity) {
            node.setEntries(m_entries.data(), newCount);
            if (lastChanged)
                return updateLast(path, level, node.key(newCount - 1), node.recno(newCount - 1));
            return {};
        }
        const bool isRoot = header.isRoot();
        QV_TRY(distribute(newCount, isRoot ? CdxLayout::kNoPage : step.page, isRoot ? CdxLayout::kNoPage : header.left,
                          isRoot ? CdxLayout::kNoPage : header.right));
        if (isRoot)
            return growRoot();
    }
    return {};
}

Status CdxTree::growRoot()
{
    // The root's former contents now sit in m_pieces on pages of their own.
    while (m_pieces.size() > m_capacity) {
        piecesToEntries();
        QV_TRY(distribute(static_cast<std::uint32_t>(m_pieces.size()), CdxLayout::kNoPage, CdxLayout::kNoPage,
                          CdxLayout::kNoPage));
    }
    piecesToEntries();
    auto page = m_pages.modify(m_info.root);
    if (!page)
        return wrap(page.error());
    CdxInteriorPage root(*page, m_info.keyLength);
    root.init(CdxNodeHeader::kRoot, CdxLayout::kNoPage, CdxLayout::kNoPage);
    root.setEntries(m_entries.data(), static_cast<std::uint32_t>(m_pieces.size()));
    return {};
}

Status CdxTree::updateLast(const Path& path, std::uint32_t levels, const char* key, std::uint32_t recno)
{
    for (std::uint32_t level = levels; level-- > 0;) {
        const Step step = path.steps[level];
        auto page = m_pages.modify(step.page);
        if (!page)
            return wrap(page.error());
        CdxInteriorPage node(*page, m_info.keyLength);
        node.setKey(step.index, key, recno);
        if (step.index + 1 != node.count())
            break;
    }
    return {};
}

Status CdxTree::setSiblingLink(std::uint32_t offset, bool left, std::uint32_t value)
{
    auto page = m_pages.modify(offset);
    if (!page)
        return wrap(page.error());
    CdxBytes::putLe32(*page + (left ? 4 : 8), value);
    return {};
}

Status CdxTree::unlinkAndFree(std::uint32_t offset, const CdxNodeHeader& header)
{
    if (header.left != CdxLayout::kNoPage)
        QV_TRY(setSiblingLink(header.left, false, header.right));
    if (header.right != CdxLayout::kNoPage)
        QV_TRY(setSiblingLink(header.right, true, header.left));
    if (auto released = m_pages.release(offset); !released)
        return wrap(released.error());
    return {};
}

Status CdxTree::removeEntry(const Path& path, std::uint32_t level, bool preferLeft)
{
    for (;;) {
        const Step step = path.steps[level];
        auto page = m_pages.modify(step.page);
        if (!page)
            return wrap(page.error());
        CdxInteriorPage node(*page, m_info.keyLength);
        const CdxNodeHeader header = node.header();
        const std::uint32_t oldCount = node.count();
        if (oldCount <= 1) {
            if (level == 0) {
                writeEmptyRoot(*page, m_info.keyLength, m_info.fill);
                return {};
            }
            QV_TRY(unlinkAndFree(step.page, header));
            --level;
            continue;
        }
        const bool wasLast = step.index + 1 == oldCount;
        node.erase(step.index);
        if (wasLast)
            QV_TRY(updateLast(path, level, node.key(oldCount - 2), node.recno(oldCount - 2)));
        if (level > 0 && interiorUnderfull(oldCount - 1))
            QV_TRY(mergeInterior(path, level, preferLeft));
        return collapseRoot();
    }
}

std::size_t CdxTree::encodedSize(const CdxLeafNode& node)
{
    m_codec.measure(node, m_chained, m_alone);
    const std::size_t entry = CdxLeafWidths::forKey(m_info.keyLength, node.maxRecno(0, node.count())).entryBytes;
    std::size_t size = node.count() * entry;
    for (std::uint32_t bytes : m_chained)
        size += bytes;
    return size;
}

Status CdxTree::mergeLeaf(const Path& path, bool preferLeft)
{
    const std::uint32_t level = path.depth - 1;
    const Step parentStep = path.steps[level];
    auto parentPage = m_pages.read(parentStep.page);
    if (!parentPage)
        return wrap(parentPage.error());
    const std::uint32_t parentCount = CdxInteriorPage(*parentPage, m_info.keyLength).count();
    if (parentCount < 2)
        return {};
    const std::uint32_t a = (preferLeft && parentStep.index > 0) || parentStep.index + 1 == parentCount
                                ? parentStep.index - 1
                                : parentStep.index;
    const std::uint32_t leftOffset = CdxInteriorPage(*parentPage, m_info.keyLength).child(a);
    const std::uint32_t rightOffset = CdxInteriorPage(*parentPage, m_info.keyLength).child(a + 1);
    QV_TRY(readLeaf(leftOffset, m_left));
    QV_TRY(readLeaf(rightOffset, m_right));
    if (m_left.header.right != rightOffset || m_right.header.left != leftOffset)
        return {}; // the chain disagrees with the parent; verify() reports it, a merge would spread it
    // Merge into three quarters of a page at most, so the next insert does not split it again, unless
    // one side holds a single entry (long keys): then any fit will do.
    const bool single = m_left.count() == 1 || m_right.count() == 1;
    m_left.appendRange(m_right, 0, m_right.count());
    if (encodedSize(m_left) > (single ? CdxLayout::kLeafArea : CdxLayout::kLeafArea * 3 / 4))
        return {};
    auto page = m_pages.modify(leftOffset);
    if (!page)
        return wrap(page.error());
    m_codec.encode(m_left, 0, m_left.count(), m_left.header.attributes, m_left.header.left, m_right.header.right,
                   *page);
    if (m_right.header.right != CdxLayout::kNoPage)
        QV_TRY(setSiblingLink(m_right.header.right, true, leftOffset));
    if (auto released = m_pages.release(rightOffset); !released)
        return wrap(released.error());
    auto parent = m_pages.modify(parentStep.page);
    if (!parent)
        return wrap(parent.error());
    CdxInteriorPage node(*parent, m_info.keyLength);
    node.setChild(a + 1, leftOffset);
    node.erase(a);
    if (level > 0 && interiorUnderfull(parentCount - 1))
        QV_TRY(mergeInterior(path, level, preferLeft));
    return collapseRoot();
}

bool CdxTree::interiorUnderfull(std::uint32_t count) const
{
    return count * 3 < m_capacity || count == 1;
}

Status CdxTree::mergeInterior(const Path& path, std::uint32_t level, bool preferLeft)
{
    const std::uint32_t keyLength = m_info.keyLength;
    const std::uint32_t entrySize = keyLength + 8;
    while (level > 0) {
        const Step parentStep = path.steps[level - 1];
        auto parentPage = m_pages.read(parentStep.page);
        if (!parentPage)
            return wrap(parentPage.error());
        const std::uint32_t parentCount = CdxInteriorPage(*parentPage, keyLength).count();
        if (parentCount < 2)
            return {};
        const std::uint32_t a = (preferLeft && parentStep.index > 0) || parentStep.index + 1 == parentCount
                                    ? parentStep.index - 1
                                    : parentStep.index;
        const std::uint32_t leftOffset = CdxInteriorPage(*parentPage, keyLength).child(a);
        const std::uint32_t rightOffset = CdxInteriorPage(*parentPage, keyLength).child(a + 1);
        auto leftPage = readInterior(leftOffset);
        if (!leftPage)
            return leftPage.error();
        auto rightPage = readInterior(rightOffset);
        if (!rightPage)
            return rightPage.error();
        const CdxInteriorPage left(*leftPage, keyLength);
        const CdxInteriorPage right(*rightPage, keyLength);
        CdxNodeHeader leftHeader = left.header();
        const CdxNodeHeader rightHeader = right.header();
        if (leftHeader.right != rightOffset || rightHeader.left != leftOffset)
            return {};
        const std::uint32_t total = leftHeader.count + rightHeader.count;
        const bool single = leftHeader.count == 1 || rightHeader.count == 1;
        if (total > (single ? m_capacity : m_capacity * 3 / 4))
            return {};
        m_entries.assign(left.entry(0), left.entry(0) + leftHeader.count * entrySize);
        m_entries.insert(m_entries.end(), right.entry(0), right.entry(0) + rightHeader.count * entrySize);
        auto target = m_pages.modify(leftOffset);
        if (!target)
            return wrap(target.error());
        CdxInteriorPage merged(*target, keyLength);
        leftHeader.right = rightHeader.right;
        merged.setHeader(leftHeader);
        merged.setEntries(m_entries.data(), total);
        if (rightHeader.right != CdxLayout::kNoPage)
            QV_TRY(setSiblingLink(rightHeader.right, true, leftOffset));
        if (auto released = m_pages.release(rightOffset); !released)
            return wrap(released.error());
        auto parent = m_pages.modify(parentStep.page);
        if (!parent)
            return wrap(parent.error());
        CdxInteriorPage node(*parent, keyLength);
        node.setChild(a + 1, leftOffset);
        node.erase(a);
        --level;
        if (level == 0 || !interiorUnderfull(parentCount - 1))
            return {};
    }
    return {};
}

Status CdxTree::collapseRoot()
{
    for (std::uint32_t round = 0; round < CdxLayout::kMaxDepth; ++round) {
        auto page = m_pages.read(m_info.root);
        if (!page)
            return wrap(page.error());
        const CdxNodeHeader header = CdxNodeHeader::read(*page);
        if (header.isLeaf() || header.count > 1)
            return {};
        auto root = m_pages.modify(m_info.root);
        if (!root)
            return wrap(root.error());
        if (header.count == 0) {
            writeEmptyRoot(*root, m_info.keyLength, m_info.fill);
            return {};
        }
        // A root with one child takes the child's contents and the child's page is freed.
        const std::uint32_t child = CdxInteriorPage(*page, m_info.keyLength).child(0);
        auto childPage = m_pages.read(child);
        if (!childPage)
            return wrap(childPage.error());
        CdxNodeHeader childHeader = CdxNodeHeader::read(*childPage);
        if (!childHeader.validAttributes() || childHeader.isRoot())
            return corrupt("node at offset " + std::to_string(child) + " has attributes " +
                           std::to_string(childHeader.attributes));
        std::memcpy(*root, *childPage, CdxLayout::kPageSize);
        childHeader.attributes |= CdxNodeHeader::kRoot;
        childHeader.left = CdxLayout::kNoPage;
        childHeader.right = CdxLayout::kNoPage;
        childHeader.write(*root);
        if (auto released = m_pages.release(child); !released)
            return wrap(released.error());
    }
    return {};
}

Status CdxTree::walk(const std::function<Status(std::string_view key, std::uint32_t recno)>& visit)
{
    auto first = firstLeaf();
    if (!first)
        return first.error();
    CdxLeafNode node;
    std::vector<char> previous(m_info.keyLength);
    std::uint32_t previousRecno = 0;
    bool havePrevious = false;
    std::uint32_t offset = *first;
    for (std::uint32_t hops = 0; offset != CdxLayout::kNoPage; ++hops) {
        if (hops > m_pages.pageCount())
            return corrupt("the leaf chain is longer than the file has pages (a loop)");
        QV_TRY(readLeaf(offset, node));
        if (!node.empty()) {
            const CdxSearchTarget after{{previous.data(), previous.size()}, true, previousRecno, true};
            if (havePrevious && !after.reachedBy(node.key(0), node.recno(0)))
                return corrupt("leaf at offset " + std::to_string(offset) +
                               " does not continue the order of its left sibling (a loop in the leaf chain?)");
            for (std::size_t i = 0; i < node.count(); ++i)
                QV_TRY(visit(node.keyView(i), node.recno(i)));
            std::memcpy(previous.data(), node.key(node.count() - 1), m_info.keyLength);
            previousRecno = node.recno(node.count() - 1);
            havePrevious = true;
        }
        offset = node.header.right;
    }
    return {};
}

Status CdxTree::clear()
{
    std::vector<std::uint32_t> pages;
    if (collectPages(pages)) {
        for (std::size_t i = 1; i < pages.size(); ++i) {
            if (auto released = m_pages.release(pages[i]); !released)
                return wrap(released.error());
        }
    }
    auto root = m_pages.modify(m_info.root);
    if (!root)
        return wrap(root.error());
    writeEmptyRoot(*root, m_info.keyLength, m_info.fill);
    return {};
}

Status CdxTree::collectPages(std::vector<std::uint32_t>& out)
{
    out.clear();
    std::vector<bool> seen(m_pages.pageCount());
    std::vector<std::uint32_t> level{m_info.root};
    std::vector<std::uint32_t> next;
    auto root = m_pages.read(m_info.root);
    if (!root)
        return wrap(root.error());
    seen[m_info.root / CdxLayout::kPageSize] = true;
    out.push_back(m_info.root);
    for (std::uint32_t depth = 0; depth < CdxLayout::kMaxDepth; ++depth) {
        next.clear();
        for (std::uint32_t offset : level) {
            auto page = m_pages.read(offset);
            if (!page)
                return wrap(page.error());
            const CdxNodeHeader header = CdxNodeHeader::read(*page);
            if (!header.validAttributes())
                return corrupt("node at offset " + std::to_string(offset) + " has attributes " +
                               std::to_string(header.attributes));
            if (header.isLeaf())
                continue;
            auto interior = readInterior(offset);
            if (!interior)
                return interior.error();
            const CdxInteriorPage node(*interior, m_info.keyLength);
            for (std::uint32_t i = 0; i < node.count(); ++i) {
                const std::uint32_t child = node.child(i);
                if (auto childPage = m_pages.read(child); !childPage)
                    return wrap(childPage.error());
                if (seen[child / CdxLayout::kPageSize])
                    return corrupt("node at offset " + std::to_string(child) + " is referenced twice");
                seen[child / CdxLayout::kPageSize] = true;
                out.push_back(child);
                next.push_back(child);
            }
        }
        if (next.empty())
            return {};
        std::swap(level, next);
    }
    return corrupt("more than " + std::to_string(CdxLayout::kMaxDepth) + " levels below the root");
}

} // namespace quorvo::xbase
