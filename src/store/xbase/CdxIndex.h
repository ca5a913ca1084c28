#pragma once

#include "store/xbase/BlockDevice.h"
#include "store/xbase/CdxKeyBatch.h"
#include "store/xbase/CdxKeySorter.h"
#include "store/xbase/CdxKeyType.h"
#include "store/xbase/CdxPageCache.h"
#include "store/xbase/CdxTag.h"
#include "store/xbase/CdxTagDefinition.h"
#include "store/xbase/CdxTree.h"
#include "store/xbase/Error.h"
#include "store/xbase/ProgressFn.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvo::xbase {

// One open compound index (.CDX): the tag directory and every tag's B+-tree, read and written through
// a BlockDevice (inside a transaction, the journal's view of the file).
//
// Tags are numbered 0, 1, ... in creation order, which is the order of their header offsets. Keys are
// raw bytes of the tag's key length compared unsigned; equal keys are kept in ascending record order.
// Which records have keys (FOR condition, deleted records) is the caller's business: the index stores
// the FOR text but evaluates nothing.
//
// Writes: every changing call writes its pages and then header bytes 4-11 (free-list head, change
// counter + 1) before it returns, or, between beginChanges() and endChanges(), once at endChanges().
// The caller holds the index lock around calls and calls refreshIfChanged() after taking it. A change
// that fails leaves the device partly written: the caller rolls its transaction back, and the index
// rereads the file at its next call.
class CdxIndex
{
public:
    // Writes an empty structural index (file header and an empty tag directory) over whatever the
    // device held, and opens it.
    static Result<std::unique_ptr<CdxIndex>> create(BlockDevice& device);
    // Reads the tag directory and every tag header. A damaged file is ErrorCode::Corrupt naming the
    // damage and its offset.
    static Result<std::unique_ptr<CdxIndex>> open(BlockDevice& device);

    const std::string& path() const { return m_pages.path(); }

    std::size_t tagCount() const { return m_tags.size(); }
    const CdxTag& tag(std::size_t i) const { return m_tags[i]; }
    const std::string& tagName(std::size_t i) const { return m_tags[i].definition.name; }
    // Any letter case.
    std::optional<std::size_t> findTag(std::string_view name) const;
    // The file does not record key types; a table that computes a tag's key as a number, date or logical
    // value says so, since that decides the fill byte of trailing-count compression. Tags start as
    // character tags.
    void setKeyType(std::size_t tag, CdxKeyType type);

    // Creates a tag and builds it bottom-up from keys (any order; sorted here), or, when a tag of that
    // name exists, rebuilds that tag in place with the new definition. Progress rises from 0 to 100.
    // With hint, a guess at the tag order (batch indexes, as a pack knows it from the tag before): it is
    // checked, and the keys are sorted only when it is wrong.
    Status addTag(const CdxTagDefinition& definition, const CdxKeyBatch& keys, const ProgressFn& progress = {},
                  const std::vector<std::uint32_t>* hint = nullptr);
    // The same for a character tag, ascending, equal keys allowed; every key exactly keyLength bytes.
    Status addTag(const std::string& name, const std::string& keyExpression, const std::string& forExpression,
                  std::uint16_t keyLength, const std::vector<std::pair<std::string, std::uint32_t>>& keys,
                  const ProgressFn& progress = {});
    // Replaces a tag's entries with keys, keeping its definition and order number.
    Status rebuildTag(std::size_t tag, const CdxKeyBatch& keys, const ProgressFn& progress = {});
    Status rebuildTag(std::size_t tag, const std::vector<std::pair<std::string, std::uint32_t>>& keys,
                      const ProgressFn& progress = {});
    // Leaves the tag without entries (zap).
    Status clearTag(std::size_t tag);
    // Drops the tag; later tags move down one order number.
    Status removeTag(std::size_t tag);
    // Truncates the file to an empty tag directory (before a full reindex).
    Status removeAllTags();

    // key is exactly the tag's key length. Inserting a pair the tag already holds is ErrorCode::Corrupt;
    // a unique tag silently keeps its first record for a key.
    Status insertKey(std::size_t tag, std::string_view key, std::uint32_t recno);
    // Removing a pair the tag does not hold is ErrorCode::Corrupt, except in a unique tag, where another
    // record may own the key.
    Status deleteKey(std::size_t tag, std::string_view key, std::uint32_t recno);
    // The same for many pairs at once (any order): each leaf is rewritten once for all of its pairs.
    Status deleteKeys(std::size_t tag, const CdxKeyBatch& keys);
    // And for inserting: a unique tag keeps the first record of each key, as insertKey does.
    Status insertKeys(std::size_t tag, const CdxKeyBatch& keys);

    // Calls nest; the outermost endChanges() writes everything changed since the outermost begin.
    void beginChanges();
    Status endChanges();

    // Rereads header bytes 4-11 and the file size; when another process changed them, drops every
    // cached page and rereads the directory and the tag headers. Not allowed with unwritten changes.
    Status refreshIfChanged();

    // Checks every invariant of the file: tag directory, tag headers, every tree, the free list, no page
    // used twice. Returns the first broken one as ErrorCode::Corrupt.
    Status verify();
    // Every entry of a tag in order.
    Status walk(std::size_t tag, const std::function<Status(std::string_view key, std::uint32_t recno)>& visit);

    // Rises on every change and every reload; a cursor that saw another value re-finds its entry.
    std::uint64_t generation() const { return m_generation; }
    // The tree of the tag whose header lies at headerOffset (how a cursor follows its tag across reloads).
    Result<CdxTree*> treeAt(std::uint32_t headerOffset);

private:
    explicit CdxIndex(BlockDevice& device);

    static Status writeEmptyFile(BlockDevice& device, std::uint32_t counter);
    static bool validTagName(std::string_view name);
    Status load();
    Status ensureLoaded();
    Status finishChange(Status status);
    // A batch for a tag of this definition: every key its length.
    Status checkBatch(const CdxTagDefinition& definition, const CdxKeyBatch& keys) const;
    Status checkTag(std::size_t tag) const;
    Status buildTree(const CdxTagDefinition& definition, const CdxKeyBatch& keys, const ProgressFn& progress,
                     std::uint32_t& root, const std::vector<std::uint32_t>* hint = nullptr);
    // True when hint holds every key once, in tag order.
    static bool inTagOrder(const CdxKeyBatch& keys, const std::vector<std::uint32_t>& hint);
    Status writeTagHeader(const CdxTagDefinition& definition, std::uint32_t headerOffset, std::uint32_t root);
    Status replaceTag(std::size_t tag, const CdxTagDefinition& definition, const CdxKeyBatch& keys,
                      const ProgressFn& progress);
    Status releaseTree(CdxTree& tree);
    std::string directoryKey(const std::string& name) const;
    std::unique_ptr<CdxTree> makeTree(const CdxTag& tag);

    CdxPageCache m_pages;
    std::unique_ptr<CdxTree> m_directory;
    std::vector<CdxTag> m_tags;
    std::vector<std::unique_ptr<CdxTree>> m_trees; // one per tag
    int m_changeDepth = 0;
    bool m_mustReload = false;
    std::uint64_t m_generation = 0;
    CdxKeySorter m_sorter;
    std::vector<std::uint32_t> m_order;
};

} // namespace quorvo::xbase
