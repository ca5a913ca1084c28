#include "store/xbase/CdxCursor.h"

#include "store/xbase/CdxIndex.h"
#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxTree.h"

#include <cstring>

namespace quorvo::xbase {

CdxCursor::CdxCursor(CdxIndex& index, std::size_t tag) : m_index(&index)
{
    if (tag < index.tagCount())
        m_headerOffset = index.tag(tag).headerOffset;
}

Result<CdxTree*> CdxCursor::tree()
{
    if (m_headerOffset == 0)
        return makeError(ErrorCode::BadArgument, m_index->path() + ": the cursor has no tag");
    return m_index->treeAt(m_headerOffset);
}

Status CdxCursor::settle(Status status)
{
    if (!status)
        m_state = State::Unpositioned;
    return status;
}

Result<bool> CdxCursor::settle(Result<bool> found)
{
    if (!found)
        m_state = State::Unpositioned;
    return found;
}

Status CdxCursor::first()
{
    auto t = tree();
    return settle(t ? firstIn(**t) : Status{t.error()});
}

Status CdxCursor::last()
{
    auto t = tree();
    return settle(t ? lastIn(**t) : Status{t.error()});
}

Status CdxCursor::next()
{
    // Steps inside the current leaf need no page: the common case of a walk.
    if (m_state == State::OnEntry && m_pos + 1 < m_leaf.count() && !stale()) {
        ++m_pos;
        return {};
    }
    auto t = tree();
    return settle(t ? nextIn(**t) : Status{t.error()});
}

Status CdxCursor::prev()
{
    if (m_state == State::OnEntry && m_pos > 0 && !stale()) {
        --m_pos;
        return {};
    }
    auto t = tree();
    return settle(t ? prevIn(**t) : Status{t.error()});
}

Result<bool> CdxCursor::seek(std::string_view key, bool soft)
{
    auto t = tree();
    return settle(t ? seekIn(**t, key, soft) : Result<bool>{t.error()});
}

Result<bool> CdxCursor::seekEntry(std::string_view key, std::uint32_t recno)
{
    auto t = tree();
    return settle(t ? seekEntryIn(**t, key, recno) : Result<bool>{t.error()});
}

bool CdxCursor::stale() const
{
    return m_generation != m_index->generation();
}

void CdxCursor::rememberEntry()
{
    m_key.assign(m_leaf.key(m_pos), m_leaf.key(m_pos) + m_leaf.keyLength());
    m_recno = m_leaf.recno(m_pos);
}

Status CdxCursor::locate(CdxTree& tree, const CdxSearchTarget& target)
{
    auto leaf = tree.findLeaf(target);
    if (!leaf)
        return leaf.error();
    QV_TRY(tree.readLeaf(*leaf, m_leaf));
    m_generation = m_index->generation();
    m_leafOffset = *leaf;
    m_pos = m_leaf.lowerBound(target);
    if (m_pos < m_leaf.count()) {
        m_state = State::OnEntry;
        return {};
    }
    return moveRight(tree, false);
}

Status CdxCursor::moveRight(CdxTree& tree, bool checkOrder)
{
    if (checkOrder)
        rememberEntry();
    std::uint32_t offset = m_leaf.header.right;
    for (std::uint32_t hops = 0; offset != CdxLayout::kNoPage; ++hops) {
        if (hops > tree.pageCount())
            return tree.corrupt("the leaf chain runs longer than the file has pages (a loop)");
        QV_TRY(tree.readLeaf(offset, m_leaf));
        if (!m_leaf.empty()) {
            const CdxSearchTarget after{{m_key.data(), m_key.size()}, true, m_recno, true};
            if (checkOrder && !after.reachedBy(m_leaf.key(0), m_leaf.recno(0)))
                return tree.corrupt("leaf at offset " + std::to_string(offset) +
                                    " does not continue the order of its left sibling (a loop in the leaf chain?)");
            m_leafOffset = offset;
            m_pos = 0;
            m_state = State::OnEntry;
            return {};
        }
        offset = m_leaf.header.right;
    }
    m_state = State::Eof;
    return {};
}

Status CdxCursor::moveLeft(CdxTree& tree, bool checkOrder)
{
    if (checkOrder)
        rememberEntry();
    std::uint32_t offset = m_leaf.header.left;
    for (std::uint32_t hops = 0; offset != CdxLayout::kNoPage; ++hops) {
        if (hops > tree.pageCount())
            return tree.corrupt("the leaf chain runs longer than the file has pages (a loop)");
        QV_TRY(tree.readLeaf(offset, m_leaf));
        if (!m_leaf.empty()) {
            const std::size_t last = m_leaf.count() - 1;
            const CdxSearchTarget current{{m_key.data(), m_key.size()}, true, m_recno, false};
            if (checkOrder && current.reachedBy(m_leaf.key(last), m_leaf.recno(last)))
                return tree.corrupt("leaf at offset " + std::to_string(offset) +
                                    " does not precede its right sibling in order (a loop in the leaf chain?)");
            m_leafOffset = offset;
            m_pos = last;
            m_state = State::OnEntry;
            return {};
        }
        offset = m_leaf.header.left;
    }
    m_state = State::Bof;
    return {};
}

Status CdxCursor::firstIn(CdxTree& tree)
{
    QV_TRY(locate(tree, CdxSearchTarget{}));
    if (m_state == State::Eof)
        m_state = State::Empty;
    return {};
}

Status CdxCursor::lastIn(CdxTree& tree)
{
    auto leaf = tree.lastLeaf();
    if (!leaf)
        return leaf.error();
    QV_TRY(tree.readLeaf(*leaf, m_leaf));
    m_generation = m_index->generation();
    m_leafOffset = *leaf;
    if (!m_leaf.empty()) {
        m_pos = m_leaf.count() - 1;
        m_state = State::OnEntry;
        return {};
    }
    QV_TRY(moveLeft(tree, false));
    if (m_state == State::Bof)
        m_state = State::Empty;
    return {};
}

Status CdxCursor::stepBack(CdxTree& tree)
{
    if (m_state == State::Eof || m_state == State::Empty)
        return lastIn(tree);
    if (m_pos > 0) {
        --m_pos;
        return {};
    }
    return moveLeft(tree, true);
}

Status CdxCursor::nextIn(CdxTree& tree)
{
    switch (m_state) {
    case State::Unpositioned:
    case State::Bof:
        return firstIn(tree);
    case State::Eof:
    case State::Empty:
        return {};
    case State::OnEntry:
        break;
    }
    if (stale()) {
        rememberEntry();
        return locate(tree, CdxSearchTarget{{m_key.data(), m_key.size()}, true, m_recno, true});
    }
    if (m_pos + 1 < m_leaf.count()) {
        ++m_pos;
        return {};
    }
    return moveRight(tree, true);
}

Status CdxCursor::prevIn(CdxTree& tree)
{
    switch (m_state) {
    case State::Unpositioned:
    case State::Eof:
        return lastIn(tree);
    case State::Bof:
    case State::Empty:
        return {};
    case State::OnEntry:
        break;
    }
    if (stale()) {
        rememberEntry();
        QV_TRY(locate(tree, CdxSearchTarget{{m_key.data(), m_key.size()}, true, m_recno, false}));
    }
    return stepBack(tree);
}

Result<bool> CdxCursor::seekIn(CdxTree& tree, std::string_view key, bool soft)
{
    const std::uint32_t keyLength = tree.info().keyLength;
    bool found = false;
    if (key.size() > keyLength) {
        // Every stored key that equals the first keyLength bytes is shorter, hence smaller.
        QV_TRY(locate(tree, CdxSearchTarget{key.substr(0, keyLength), false, 0, true}));
    } else {
        QV_TRY(locate(tree, CdxSearchTarget{key}));
        found =
            m_state == State::OnEntry && (key.empty() || std::memcmp(m_leaf.key(m_pos), key.data(), key.size()) == 0);
    }
    if (!found && !soft)
        m_state = State::Eof;
    return found;
}

Result<bool> CdxCursor::seekEntryIn(CdxTree& tree, std::string_view key, std::uint32_t recno)
{
    if (key.size() != tree.info().keyLength)
        return makeError(ErrorCode::BadArgument, m_index->path() + ": seekEntry needs a full-length key");
    QV_TRY(locate(tree, CdxSearchTarget{key, true, recno}));
    return m_state == State::OnEntry && m_leaf.recno(m_pos) == recno &&
           std::memcmp(m_leaf.key(m_pos), key.data(), key.size()) == 0;
}

} // namespace quorvo::xbase
