#pragma once

#include "store/xbase/CdxLeafNode.h"
#include "store/xbase/CdxSearchTarget.h"
#include "store/xbase/Error.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvo::xbase {

class CdxIndex;
class CdxTree;

// A position in one tag, in ascending (key, record number) order. It keeps a copy of its leaf, so steps
// inside a leaf read no page. When the index has changed since (this process's own writes or a reload
// after another process's), the next move first finds its entry again by (key, record number): next()
// goes to the first entry after it and prev() to the last one before it, whether or not it still exists.
//
// States: on an entry; before the first entry (bof); after the last (eof); empty tag (both). A move
// that fails (a damaged page) leaves the cursor on no entry at all.
class CdxCursor
{
public:
    CdxCursor(CdxIndex& index, std::size_t tag);

    Status first();
    Status last();
    Status next(); // from bof: first(); at eof: stays
    Status prev(); // from eof: last(); at bof: stays
    // True when an entry's key starts with key. Otherwise: with soft, the cursor stays on the first
    // greater entry (eof when there is none); without, it goes to eof. A key longer than the tag's keys
    // is never found.
    Result<bool> seek(std::string_view key, bool soft = false);
    // The first entry at or after (key, recno); true when it is exactly that entry. key is the full key.
    Result<bool> seekEntry(std::string_view key, std::uint32_t recno);

    bool onEntry() const { return m_state == State::OnEntry; }
    // True when the next step that way stays inside the leaf the cursor holds, so it reads no page and
    // needs no index lock.
    bool stepsInLeaf(bool forward) const
    {
        return m_state == State::OnEntry && !stale() && (forward ? m_pos + 1 < m_leaf.count() : m_pos > 0);
    }
    bool eof() const { return m_state == State::Eof || m_state == State::Empty; }
    bool bof() const { return m_state == State::Bof || m_state == State::Empty; }
    // Valid while onEntry().
    std::string_view key() const { return m_leaf.keyView(m_pos); }
    std::uint32_t recno() const { return m_leaf.recno(m_pos); }

private:
    enum class State
    {
        Unpositioned,
        OnEntry,
        Bof,
        Eof,
        Empty,
    };

    Result<CdxTree*> tree();
    Status settle(Status status);
    Result<bool> settle(Result<bool> found);
    Status firstIn(CdxTree& tree);
    Status nextIn(CdxTree& tree);
    Status prevIn(CdxTree& tree);
    Result<bool> seekIn(CdxTree& tree, std::string_view key, bool soft);
    Result<bool> seekEntryIn(CdxTree& tree, std::string_view key, std::uint32_t recno);
    bool stale() const;
    void rememberEntry();
    Status locate(CdxTree& tree, const CdxSearchTarget& target);
    Status moveRight(CdxTree& tree, bool checkOrder);
    Status moveLeft(CdxTree& tree, bool checkOrder);
    Status stepBack(CdxTree& tree);
    Status lastIn(CdxTree& tree);

    CdxIndex* m_index;
    std::uint32_t m_headerOffset = 0;
    CdxLeafNode m_leaf;
    std::uint32_t m_leafOffset = 0;
    std::size_t m_pos = 0;
    State m_state = State::Unpositioned;
    std::uint64_t m_generation = 0;
    std::vector<char> m_key; // the entry to find again, and the order check across leaves
    std::uint32_t m_recno = 0;
};

} // namespace quorvo::xbase
