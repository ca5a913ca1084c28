#pragma once

#include "store/xbase/BlockDevice.h"
#include "store/xbase/CdxIndex.h"
#include "store/xbase/Error.h"
#include "store/xbase/Expression.h"
#include "store/xbase/FieldInfo.h"
#include "store/xbase/ProgressFn.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvo::xbase {

// A table's structural index as the table sees it: the compound index file plus each tag's key and FOR
// expressions compiled against the table's fields. It turns records into keys, keeps every tag right
// when a record changes, and builds tags from the records. Orders are numbered from 1 in creation order.
class TableIndex
{
public:
    // Visits every record (recno, bytes) in record order until the visitor returns false.
    using Scan = std::function<Status(const std::function<bool(std::uint32_t, std::string_view)>&)>;

    // A tag whose expressions do not compile against the fields is ErrorCode::CorruptIndex, like damage:
    // its keys cannot be kept, so the index has to be rebuilt.
    static Result<std::unique_ptr<TableIndex>> open(BlockDevice& device, std::span<const FieldInfo> fields);
    static Result<std::unique_ptr<TableIndex>> create(BlockDevice& device, std::span<const FieldInfo> fields);

    CdxIndex& cdx() { return *m_cdx; }
    int tagCount() const { return static_cast<int>(m_tags.size()); }
    // 0 when there is no tag of that name (any letter case).
    int orderOf(std::string_view name) const;
    std::string tagName(int order) const;
    std::size_t keyLength(int order) const;

    // The record's key in the tag; empty when the tag's FOR condition leaves the record out (unless
    // applyCondition is off: where the record would sort).
    std::optional<std::string> keyOf(int order, std::string_view record, bool applyCondition = true) const;
    // Whether the tag's FOR condition lets the record in (every record when it has none).
    bool admits(int order, std::string_view record) const;

    // Adds a tag (or replaces the one of that name) built from every record. The key must be text or
    // logical and at most 240 bytes; the FOR condition logical.
    Status addTag(const std::string& name, const std::string& keyExpression, const std::string& forExpression,
                  const Scan& scan, const ProgressFn& progress);
    // Rebuilds every tag from its stored expressions.
    Status rebuildAll(const Scan& scan, const ProgressFn& progress);
    // A new index written over device (an empty file) with this one's tags, built from the records scan
    // visits (a pack's, before they reach the table; records is how many). renumber[old record number]
    // is its number among them (0: gone): the order of this index's tags then spares sorting the keys
    // again, as far as it proves right.
    Result<std::unique_ptr<TableIndex>> rebuiltOn(BlockDevice& device, const Scan& scan, std::size_t records,
                                                  std::span<const std::uint32_t> renumber, const ProgressFn& progress);
    Status clearAll();
    // After a transaction was rolled back: read the file again (its change counter says what changed)
    // and the tags with it.
    Status reload();
    // Keeps every tag right for one record that changed from before (none for a new record) to after.
    Status recordChanged(std::uint32_t recno, const std::string* before, std::string_view after);
    struct Change
    {
        std::uint32_t recno;
        std::string_view before;
        std::string_view after;
    };
    // The same for many records that changed in place: each tag's keys that go are removed in one pass
    // over its leaves, which is what makes deleting thousands of tasks at once cheap.
    Status recordsChanged(std::span<const Change> changes);
    // Structure (the index file's own check), then that every tag holds exactly the key of each record
    // its FOR condition admits, and nothing else.
    Status verify(const Scan& scan);

private:
    struct Tag
    {
        Expression key;
        std::optional<Expression> filter;
    };

    TableIndex(std::unique_ptr<CdxIndex> cdx, std::vector<FieldInfo> fields)
        : m_cdx(std::move(cdx)), m_fields(std::move(fields))
    {}
    static Result<Tag> compileTag(const CdxTagDefinition& definition, std::span<const FieldInfo> fields);
    Status loadTags();
    Result<CdxKeyBatch> collectKeys(const Tag& tag, std::uint16_t keyLength, const Scan& scan) const;
    // Every tag's keys in one pass over the records; room is made for expected records at once.
    Result<std::vector<CdxKeyBatch>> collectAllKeys(const Scan& scan, std::size_t expected) const;
    // Tag tag's entries as indexes into keys (whose records are numbered after renumber); empty when the
    // tag cannot be read or does not match the keys.
    std::vector<std::uint32_t> orderHint(std::size_t tag, const CdxKeyBatch& keys,
                                         std::span<const std::uint32_t> renumber);

    std::unique_ptr<CdxIndex> m_cdx;
    std::vector<FieldInfo> m_fields;
    std::vector<Tag> m_tags; // by order - 1
    mutable std::string m_scratch;
    std::string m_oldKey;
    std::string m_newKey;
};

} // namespace quorvo::xbase
