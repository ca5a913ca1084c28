#include "store/xbase/TableIndex.h"

#include <algorithm>
#include <unordered_map>

namespace quorvo::xbase {

namespace {

constexpr std::size_t kMaxKeyLength = 240;

Error unusable(const std::string& what)
{
    return makeError(ErrorCode::CorruptIndex, what);
}

// A key for a message: printable bytes as they are, trailing blanks trimmed.
std::string shown(std::string_view key)
{
    while (!key.empty() && key.back() == ' ')
        key.remove_suffix(1);
    std::string out;
    for (char c : key)
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    return "\"" + out + "\"";
}

} // namespace

Result<TableIndex::Tag> TableIndex::compileTag(const CdxTagDefinition& definition, std::span<const FieldInfo> fields)
{
    auto key = Expression::compile(definition.keyExpression, fields);
    if (!key)
        return unusable("tag " + definition.name + ": key " + key.error().message);
    Tag tag{std::move(*key), std::nullopt};
    if (!definition.forExpression.empty()) {
        auto filter = Expression::compile(definition.forExpression, fields);
        if (!filter)
            return unusable("tag " + definition.name + ": condition " + filter.error().message);
        if (filter->type() != Expression::Type::Logical)
            return unusable("tag " + definition.name + ": the condition is not a logical expression");
        tag.filter = std::move(*filter);
    }
    return tag;
}

Result<std::unique_ptr<TableIndex>> TableIndex::open(BlockDevice& device, std::span<const FieldInfo> fields)
{
    auto cdx = CdxIndex::open(device);
    if (!cdx)
        return unusable(cdx.error().message);
    std::unique_ptr<TableIndex> index(new TableIndex(std::move(*cdx), {fields.begin(), fields.end()}));
    QV_TRY(index->loadTags());
    return index;
}

Result<std::unique_ptr<TableIndex>> TableIndex::create(BlockDevice& device, std::span<const FieldInfo> fields)
{
    auto cdx = CdxIndex::create(device);
    if (!cdx)
        return cdx.error();
    return std::unique_ptr<TableIndex>(new TableIndex(std::move(*cdx), {fields.begin(), fields.end()}));
}

Status TableIndex::loadTags()
{
    m_tags.clear();
    for (std::size_t i = 0; i < m_cdx->tagCount(); ++i) {
        const CdxTagDefinition& definition = m_cdx->tag(i).definition;
        auto tag = compileTag(definition, m_fields);
        if (!tag)
            return tag.error();
        if (tag->key.width() != definition.keyLength)
            return unusable("tag " + definition.name + ": the key expression gives " +
                            std::to_string(tag->key.width()) + " bytes, the tag holds " +
                            std::to_string(definition.keyLength));
        m_cdx->setKeyType(i,
                          tag->key.type() == Expression::Type::Logical ? CdxKeyType::Logical : CdxKeyType::Character);
        m_tags.push_back(std::move(*tag));
    }
    return {};
}

int TableIndex::orderOf(std::string_view name) const
{
    const auto found = m_cdx->findTag(name);
    return found ? static_cast<int>(*found) + 1 : 0;
}

std::string TableIndex::tagName(int order) const
{
    if (order < 1 || order > tagCount())
        return {};
    return m_cdx->tagName(static_cast<std::size_t>(order - 1));
}

std::size_t TableIndex::keyLength(int order) const
{
    return m_cdx->tag(static_cast<std::size_t>(order - 1)).definition.keyLength;
}

std::optional<std::string> TableIndex::keyOf(int order, std::string_view record, bool applyCondition) const
{
    if (applyCondition && !admits(order, record))
        return std::nullopt;
    const Tag& tag = m_tags[static_cast<std::size_t>(order - 1)];
    std::string key;
    tag.key.evaluateText(record, key);
    return key;
}

bool TableIndex::admits(int order, std::string_view record) const
{
    const Tag& tag = m_tags[static_cast<std::size_t>(order - 1)];
    return !tag.filter || tag.filter->evaluateLogical(record);
}

Result<CdxKeyBatch> TableIndex::collectKeys(const Tag& tag, std::uint16_t keyLength, const Scan& scan) const
{
    CdxKeyBatch batch(keyLength);
    Status status = scan([&](std::uint32_t recno, std::string_view record) {
        if (tag.filter && !tag.filter->evaluateLogical(record))
            return true;
        tag.key.evaluateText(record, m_scratch);
        batch.add(m_scratch, recno);
        return true;
    });
    if (!status)
        return status.error();
    return batch;
}

Status TableIndex::addTag(const std::string& name, const std::string& keyExpression, const std::string& forExpression,
                          const Scan& scan, const ProgressFn& progress)
{
    CdxTagDefinition definition;
    definition.name = name;
    definition.keyExpression = keyExpression;
    definition.forExpression = forExpression;
    auto tag = compileTag(definition, m_fields);
    if (!tag)
        return makeError(ErrorCode::BadExpression, tag.error().message);
    if (tag->key.width() == 0 || tag->key.width() > kMaxKeyLength)
        return makeError(ErrorCode::BadArgument,
                         "tag " + name + ": a key is 1 to 240 bytes, this one " + std::to_string(tag->key.width()));
    definition.keyLength = static_cast<std::uint16_t>(tag->key.width());
    definition.keyType = tag->key.type() == Expression::Type::Logical ? CdxKeyType::Logical : CdxKeyType::Character;
    auto keys = collectKeys(*tag, definition.keyLength, scan);
    if (!keys)
        return keys.error();
    QV_TRY(m_cdx->addTag(definition, *keys, progress));
    return loadTags();
}

Result<std::vector<CdxKeyBatch>> TableIndex::collectAllKeys(const Scan& scan, std::size_t expected) const
{
    const std::size_t count = m_tags.size();
    std::vector<CdxKeyBatch> batches;
    for (std::size_t i = 0; i < count; ++i) {
        batches.emplace_back(m_cdx->tag(i).definition.keyLength);
        batches.back().reserve(expected);
    }
    // Tags usually share one FOR condition (deleted records left out): each distinct one is evaluated
    // once a record. filterOf[i] is the first tag with tag i's condition.
    std::vector<std::size_t> filterOf(count);
    for (std::size_t i = 0; i < count; ++i) {
        filterOf[i] = i;
        for (std::size_t j = 0; j < i; ++j) {
            if (m_tags[j].filter && m_tags[i].filter && m_tags[j].filter->source() == m_tags[i].filter->source()) {
                filterOf[i] = j;
                break;
            }
        }
    }
    std::vector<char> admitted(count);
    QV_TRY(scan([&](std::uint32_t recno, std::string_view record) {
        for (std::size_t i = 0; i < count; ++i) {
            const Tag& tag = m_tags[i];
            admitted[i] =
                !tag.filter || (filterOf[i] == i ? tag.filter->evaluateLogical(record) : admitted[filterOf[i]]);
            if (!admitted[i])
                continue;
            tag.key.evaluateText(record, m_scratch);
            batches[i].add(m_scratch, recno);
        }
        return true;
    }));
    return batches;
}

Status TableIndex::rebuildAll(const Scan& scan, const ProgressFn& progress)
{
    auto batches = collectAllKeys(scan, 0);
    if (!batches)
        return batches.error();
    for (std::size_t i = 0; i < m_tags.size(); ++i)
        QV_TRY(m_cdx->rebuildTag(i, (*batches)[i], progress));
    return {};
}

std::vector<std::uint32_t> TableIndex::orderHint(std::size_t tag, const CdxKeyBatch& keys,
                                                 std::span<const std::uint32_t> renumber)
{
    std::vector<std::uint32_t> hint;
    if (renumber.empty() || keys.empty())
        return hint;
    // slot[new record number] - 1 is the record's index in keys.
    std::vector<std::uint32_t> slot(keys.recno(keys.size() - 1) + 1);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys.recno(i) >= slot.size())
            return hint;
        slot[keys.recno(i)] = static_cast<std::uint32_t>(i + 1);
    }
    hint.reserve(keys.size());
    const Status walked = m_cdx->walk(tag, [&](std::string_view, std::uint32_t recno) -> Status {
        const std::uint32_t renumbered = recno < renumber.size() ? renumber[recno] : 0;
        if (renumbered == 0)
            return {};
        if (renumbered >= slot.size() || slot[renumbered] == 0)
            return makeError(ErrorCode::CorruptIndex, "no key");
        hint.push_back(slot[renumbered] - 1);
        return {};
    });
    if (!walked)
        hint.clear();
    return hint;
}

Result<std::unique_ptr<TableIndex>> TableIndex::rebuiltOn(BlockDevice& device, const Scan& scan, std::size_t records,
                                                          std::span<const std::uint32_t> renumber,
                                                          const ProgressFn& progress)
{
    auto batches = collectAllKeys(scan, records);
    if (!batches)
        return batches.error();
    auto fresh = create(device, m_fields);
    if (!fresh)
        return fresh.error();
    CdxIndex& cdx = (*fresh)->cdx();
    // The pages reach the device once, at the end.
    cdx.beginChanges();
    Status status;
    const std::size_t count = m_tags.size();
    for (std::size_t i = 0; i < count && status; ++i) {
        ProgressFn step;
        if (progress)
            step = [&](int percent) {
                progress(static_cast<int>((i * 100 + static_cast<std::size_t>(percent)) / count));
            };
        // A damaged tag only costs the sort it would have spared.
        const std::vector<std::uint32_t> hint = orderHint(i, (*batches)[i], renumber);
        status = cdx.addTag(m_cdx->tag(i).definition, (*batches)[i], step, hint.empty() ? nullptr : &hint);
    }
    const Status ended = cdx.endChanges();
    QV_TRY(status);
    QV_TRY(ended);
    QV_TRY((*fresh)->loadTags());
    return fresh;
}

Status TableIndex::clearAll()
{
    for (std::size_t i = 0; i < m_tags.size(); ++i)
        QV_TRY(m_cdx->clearTag(i));
    return {};
}

Status TableIndex::reload()
{
    QV_TRY(m_cdx->refreshIfChanged());
    return loadTags();
}

Status TableIndex::recordChanged(std::uint32_t recno, const std::string* before, std::string_view after)
{
    m_cdx->beginChanges();
    Status status;
    // The keys are built in buffers kept from post to post: a post should not cost allocations.
    for (int order = 1; order <= tagCount() && status; ++order) {
        const std::size_t tag = static_cast<std::size_t>(order - 1);
        const Tag& t = m_tags[tag];
        const bool hadKey = before && (!t.filter || t.filter->evaluateLogical(*before));
        const bool hasKey = !t.filter || t.filter->evaluateLogical(after);
        if (hadKey)
            t.key.evaluateText(*before, m_oldKey);
        if (hasKey)
            t.key.evaluateText(after, m_newKey);
        if (hadKey == hasKey && (!hadKey || m_oldKey == m_newKey))
            continue;
        if (hadKey)
            status = m_cdx->deleteKey(tag, m_oldKey, recno);
        if (status && hasKey)
            status = m_cdx->insertKey(tag, m_newKey, recno);
    }
    Status ended = m_cdx->endChanges();
    return status ? ended : status;
}

Status TableIndex::recordsChanged(std::span<const Change> changes)
{
    m_cdx->beginChanges();
    Status status;
    for (int order = 1; order <= tagCount() && status; ++order) {
        const std::size_t tag = static_cast<std::size_t>(order - 1);
        const Tag& t = m_tags[tag];
        CdxKeyBatch gone(static_cast<std::uint32_t>(t.key.width()));
        CdxKeyBatch added(static_cast<std::uint32_t>(t.key.width()));
        for (const Change& change : changes) {
            const bool hadKey = !t.filter || t.filter->evaluateLogical(change.before);
            const bool hasKey = !t.filter || t.filter->evaluateLogical(change.after);
            if (hadKey)
                t.key.evaluateText(change.before, m_oldKey);
            if (hasKey)
                t.key.evaluateText(change.after, m_newKey);
            if (hadKey == hasKey && (!hadKey || m_oldKey == m_newKey))
                continue;
            if (hadKey)
                gone.add(m_oldKey, change.recno);
            if (hasKey)
                added.add(m_newKey, change.recno);
        }
        status = m_cdx->deleteKeys(tag, gone);
        if (status)
            status = m_cdx->insertKeys(tag, added);
    }
    Status ended = m_cdx->endChanges();
    return status ? ended : status;
}

Status TableIndex::verify(const Scan& scan)
{
    QV_TRY(m_cdx->verify());
    for (int order = 1; order <= tagCount(); ++order) {
        const Tag& tag = m_tags[static_cast<std::size_t>(order - 1)];
        const std::string name = "tag " + tagName(order);
        std::unordered_map<std::uint32_t, std::string> expected;
        QV_TRY(scan([&](std::uint32_t recno, std::string_view record) {
            if (!tag.filter || tag.filter->evaluateLogical(record)) {
                tag.key.evaluateText(record, m_scratch);
                expected.emplace(recno, m_scratch);
            }
            return true;
        }));
        std::unordered_map<std::uint32_t, bool> seen;
        QV_TRY(
            m_cdx->walk(static_cast<std::size_t>(order - 1), [&](std::string_view key, std::uint32_t recno) -> Status {
                auto it = expected.find(recno);
                if (it == expected.end())
                    return makeError(ErrorCode::CorruptIndex,
                                     name + " holds a key for record " + std::to_string(recno) +
                                         ", which its condition leaves out or which does not exist");
                if (it->second != key)
                    return makeError(ErrorCode::CorruptIndex, name + ": record " + std::to_string(recno) + " has key " +
                                                                  shown(key) + ", its expression gives " +
                                                                  shown(it->second));
                if (seen[recno])
                    return makeError(ErrorCode::CorruptIndex,
                                     name + ": record " + std::to_string(recno) + " has two keys");
                seen[recno] = true;
                return {};
            }));
        if (seen.size() != expected.size()) {
            std::uint32_t missing = 0;
            for (const auto& [recno, key] : expected)
                if (!seen.count(recno) && (missing == 0 || recno < missing))
                    missing = recno;
            return makeError(ErrorCode::CorruptIndex, name + ": record " + std::to_string(missing) + " has no key");
        }
    }
    return {};
}

} // namespace quorvo::xbase
