#include "store/xbase/CdxIndex.h"

#include "store/xbase/CdxLayout.h"
#include "store/xbase/CdxTagHeader.h"
#include "store/xbase/CdxTreeBuilder.h"
#include "store/xbase/CdxVerifier.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvo::xbase {

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperName(std::string_view name)
{
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(), upper);
    return result;
}

} // namespace

CdxIndex::CdxIndex(BlockDevice& device) : m_pages(device) {}

Status CdxIndex::writeEmptyFile(BlockDevice& device, std::uint32_t counter)
{
    std::vector<char> bytes(CdxLayout::kHeaderSize + CdxLayout::kPageSize);
    CdxTagHeader header;
    header.root = CdxLayout::kHeaderSize;
    header.counter = counter;
    header.keyLength = CdxLayout::kDirectoryKeyLength;
    header.options = CdxTagHeader::kCompact | CdxTagHeader::kCompound | CdxTagHeader::kStructural;
    header.write(bytes.data());
    CdxTree::writeEmptyRoot(bytes.data() + CdxLayout::kHeaderSize, CdxLayout::kDirectoryKeyLength, ' ');
    QV_TRY(device.truncate(0));
    QV_TRY(device.write(0, bytes));
    return {};
}

Result<std::unique_ptr<CdxIndex>> CdxIndex::create(BlockDevice& device)
{
    QV_TRY(writeEmptyFile(device, 0));
    return open(device);
}

Result<std::unique_ptr<CdxIndex>> CdxIndex::open(BlockDevice& device)
{
    std::unique_ptr<CdxIndex> index(new CdxIndex(device));
    QV_TRY(index->load());
    return index;
}

bool CdxIndex::validTagName(std::string_view name)
{
    if (name.empty() || name.size() > CdxLayout::kDirectoryKeyLength)
        return false;
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (!letter(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == '_'; });
}

std::unique_ptr<CdxTree> CdxIndex::makeTree(const CdxTag& tag)
{
    const CdxTagDefinition& d = tag.definition;
    return std::make_unique<CdxTree>(
        m_pages, CdxTreeInfo{tag.root, d.keyLength, cdxFillByte(d.keyType), d.unique, "tag " + d.name});
}

std::string CdxIndex::directoryKey(const std::string& name) const
{
    // Names are stored as the file has them (ours are upper case); other engines' lower-case letters stay.
    std::string key = name;
    key.resize(m_directory->info().keyLength, ' ');
    return key;
}

Status CdxIndex::load()
{
    const std::vector<CdxTag> previous = std::move(m_tags);
    m_tags.clear();
    m_trees.clear();
    m_directory.reset();
    ++m_generation;
    m_mustReload = true;
    QV_TRY(m_pages.reload());
    const auto corrupt = [&](const std::string& what) { return makeError(ErrorCode::Corrupt, path() + ": " + what); };

    std::array<char, CdxLayout::kHeaderSize> bytes{};
    QV_TRY(m_pages.readHeader(0, bytes.data()));
    auto fileHeader = CdxTagHeader::parse(bytes.data(), 0);
    if (!fileHeader)
        return corrupt("file " + fileHeader.error().message);
    m_directory = std::make_unique<CdxTree>(
        m_pages, CdxTreeInfo{fileHeader->root, fileHeader->keyLength, ' ', false, "tag directory"});

    std::vector<std::pair<std::string, std::uint32_t>> entries;
    QV_TRY(m_directory->walk([&](std::string_view key, std::uint32_t recno) -> Status {
        std::size_t n = key.size();
        while (n > 0 && (key[n - 1] == ' ' || key[n - 1] == '\0'))
            --n;
        entries.emplace_back(std::string(key.substr(0, n)), recno);
        return {};
    }));

    for (const auto& [name, offset] : entries) {
        const std::string label = "tag " + name + ": ";
        if (offset % CdxLayout::kPageSize != 0 || offset < CdxLayout::kHeaderSize ||
            std::uint64_t{offset} + CdxLayout::kHeaderSize > m_pages.size())
            return corrupt(label + "header offset " + std::to_string(offset) + " is not inside the file");
        if (auto read = m_pages.readHeader(offset, bytes.data()); !read)
            return read.error();
        auto header = CdxTagHeader::parse(bytes.data(), offset);
        if (!header)
            return corrupt(label + header.error().message);
        auto root = m_pages.read(header->root);
        if (!root)
            return corrupt(label + "root offset " + std::to_string(header->root) + " is not a page of the file");
        const CdxNodeHeader rootHeader = CdxNodeHeader::read(*root);
        if (!rootHeader.validAttributes() || !rootHeader.isRoot())
            return corrupt(label + "root node at offset " + std::to_string(header->root) + " has attributes " +
                           std::to_string(rootHeader.attributes));
        CdxTag tag;
        tag.definition.name = name;
        tag.definition.keyExpression = header->keyExpression;
        tag.definition.forExpression = header->forExpression;
        tag.definition.keyLength = header->keyLength;
        tag.definition.descending = header->descending;
        tag.definition.unique = header->unique();
        tag.headerOffset = offset;
        tag.root = header->root;
        for (const CdxTag& old : previous) {
            if (old.headerOffset == offset && old.definition.name == name)
                tag.definition.keyType = old.definition.keyType;
        }
        m_tags.push_back(std::move(tag));
    }
    std::sort(m_tags.begin(), m_tags.end(),
              [](const CdxTag& a, const CdxTag& b) { return a.headerOffset < b.headerOffset; });
    for (const CdxTag& tag : m_tags)
        m_trees.push_back(makeTree(tag));
    m_mustReload = false;
    return {};
}

Status CdxIndex::ensureLoaded()
{
    if (m_mustReload)
        return load();
    return {};
}

Status CdxIndex::finishChange(Status status)
{
    ++m_generation;
    if (status && m_changeDepth == 0)
        status = m_pages.flush();
    if (!status) {
        m_pages.discard();
        m_mustReload = true;
    }
    return status;
}

Status CdxIndex::checkTag(std::size_t tag) const
{
    if (tag >= m_tags.size())
        return makeError(ErrorCode::BadArgument, path() + ": there is no tag number " + std::to_string(tag + 1));
    return {};
}

Status CdxIndex::checkBatch(const CdxTagDefinition& definition, const CdxKeyBatch& keys) const
{
    if (keys.keyLength() != definition.keyLength || !keys.valid())
        return makeError(ErrorCode::BadArgument, path() + ": the keys for tag " + definition.name + " are not all " +
                                                     std::to_string(definition.keyLength) + " bytes long");
    return {};
}

std::optional<std::size_t> CdxIndex::findTag(std::string_view name) const
{
    const std::string wanted = upperName(name);
    for (std::size_t i = 0; i < m_tags.size(); ++i) {
        if (upperName(m_tags[i].definition.name) == wanted)
            return i;
    }
    return std::nullopt;
}

void CdxIndex::setKeyType(std::size_t tag, CdxKeyType type)
{
    if (tag >= m_tags.size() || m_tags[tag].definition.keyType == type)
        return;
    m_tags[tag].definition.keyType = type;
    m_trees[tag] = makeTree(m_tags[tag]);
    ++m_generation;
}

bool CdxIndex::inTagOrder(const CdxKeyBatch& keys, const std::vector<std::uint32_t>& hint)
{
    const std::size_t n = keys.size();
    if (hint.size() != n)
        return false;
    const std::uint32_t length = keys.keyLength();
    std::vector<bool> seen(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t at = hint[i];
        if (at >= n || seen[at])
            return false;
        seen[at] = true;
        if (i > 0) {
            const std::uint32_t before = hint[i - 1];
            const int c = std::memcmp(keys.key(before), keys.key(at), length);
            if (c > 0 || (c == 0 && keys.recno(before) >= keys.recno(at)))
                return false;
        }
    }
    return true;
}

Status CdxIndex::buildTree(const CdxTagDefinition& definition, const CdxKeyBatch& keys, const ProgressFn& progress,
                           std::uint32_t& root, const std::vector<std::uint32_t>* hint)
{
    if (progress)
        progress(0);
    // A unique tag keeps one pair per key, which only the sorter sees to.
    if (hint && !definition.unique && inTagOrder(keys, *hint))
        m_order = *hint;
    else
        m_sorter.sort(keys, definition.unique, m_order);
    if (progress)
        progress(20);
    CdxTreeBuilder builder(m_pages, definition.keyLength, cdxFillByte(definition.keyType));
    auto built = builder.build(keys, m_order, progress, 20);
    if (!built)
        return built.error();
    root = *built;
    return {};
}

Status CdxIndex::writeTagHeader(const CdxTagDefinition& definition, std::uint32_t headerOffset, std::uint32_t root)
{
    CdxTagHeader header;
    header.root = root;
    header.keyLength = definition.keyLength;
    header.options = CdxTagHeader::kCompact | CdxTagHeader::kCompound;
    if (definition.unique)
        header.options |= CdxTagHeader::kUnique;
    header.descending = definition.descending;
    header.keyExpression = definition.keyExpression;
    header.forExpression = definition.forExpression;
    std::array<char, CdxLayout::kHeaderSize> bytes{};
    header.write(bytes.data());
    return m_pages.writeHeader(headerOffset, bytes.data());
}

Status CdxIndex::releaseTree(CdxTree& tree)
{
    // A tree too damaged to walk keeps its pages: freeing a page another tree still uses would spread
    // the damage.
    std::vector<std::uint32_t> pages;
    if (!tree.collectPages(pages))
        return {};
    for (std::uint32_t page : pages)
        QV_TRY(m_pages.release(page));
    return {};
}

Status CdxIndex::addTag(const CdxTagDefinition& requested, const CdxKeyBatch& keys, const ProgressFn& progress,
                        const std::vector<std::uint32_t>* hint)
{
    QV_TRY(ensureLoaded());
    CdxTagDefinition definition = requested;
    definition.name = upperName(requested.name);
    if (!validTagName(definition.name))
        return makeError(ErrorCode::BadArgument, path() + ": \"" + requested.name +
                                                     "\" is not a tag name (1-10 letters, digits or underscores, "
                                                     "starting with a letter)");
    if (definition.keyLength < 1 || definition.keyLength > CdxLayout::kMaxKeyLength)
        return makeError(ErrorCode::BadArgument,
                         path() + ": key length " + std::to_string(definition.keyLength) + " is outside 1-240");
    if (!CdxTagHeader::poolFits(definition.keyExpression, definition.forExpression))
        return makeError(ErrorCode::BadArgument,
                         path() + ": the key and FOR expressions of tag " + definition.name + " exceed 510 bytes");
    if (auto existing = findTag(definition.name))
        return replaceTag(*existing, definition, keys, progress);
    QV_TRY(checkBatch(definition, keys));

    Status status = [&]() -> Status {
        auto headerOffset = m_pages.allocateAtEnd(2);
        if (!headerOffset)
            return headerOffset.error();
        std::uint32_t root = 0;
        QV_TRY(buildTree(definition, keys, progress, root, hint));
        QV_TRY(writeTagHeader(definition, *headerOffset, root));
        auto inserted = m_directory->insert(directoryKey(definition.name), *headerOffset);
        if (!inserted)
            return inserted.error();
        CdxTag tag{definition, *headerOffset, root};
        m_trees.push_back(makeTree(tag));
        m_tags.push_back(std::move(tag));
        return {};
    }();
    return finishChange(std::move(status));
}

Status CdxIndex::addTag(const std::string& name, const std::string& keyExpression, const std::string& forExpression,
                        std::uint16_t keyLength, const std::vector<std::pair<std::string, std::uint32_t>>& keys,
                        const ProgressFn& progress)
{
    CdxKeyBatch batch(keyLength);
    batch.reserve(keys.size());
    for (const auto& [key, recno] : keys)
        batch.add(key, recno);
    CdxTagDefinition definition;
    definition.name = name;
    definition.keyExpression = keyExpression;
    definition.forExpression = forExpression;
    definition.keyLength = keyLength;
    return addTag(definition, batch, progress);
}

Status CdxIndex::rebuildTag(std::size_t tag, const CdxKeyBatch& keys, const ProgressFn& progress)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    const CdxTagDefinition definition = m_tags[tag].definition;
    return replaceTag(tag, definition, keys, progress);
}

Status CdxIndex::rebuildTag(std::size_t tag, const std::vector<std::pair<std::string, std::uint32_t>>& keys,
                            const ProgressFn& progress)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    CdxKeyBatch batch(m_tags[tag].definition.keyLength);
    batch.reserve(keys.size());
    for (const auto& [key, recno] : keys)
        batch.add(key, recno);
    return rebuildTag(tag, batch, progress);
}

Status CdxIndex::replaceTag(std::size_t tag, const CdxTagDefinition& definition, const CdxKeyBatch& keys,
                            const ProgressFn& progress)
{
    QV_TRY(checkBatch(definition, keys));
    Status status = [&]() -> Status {
        QV_TRY(releaseTree(*m_trees[tag]));
        std::uint32_t root = 0;
        QV_TRY(buildTree(definition, keys, progress, root));
        QV_TRY(writeTagHeader(definition, m_tags[tag].headerOffset, root));
        m_tags[tag].definition = definition;
        m_tags[tag].root = root;
        m_trees[tag] = makeTree(m_tags[tag]);
        return {};
    }();
    return finishChange(std::move(status));
}

Status CdxIndex::clearTag(std::size_t tag)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    return finishChange(m_trees[tag]->clear());
}

Status CdxIndex::removeTag(std::size_t tag)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    Status status = [&]() -> Status {
        const CdxTag& removed = m_tags[tag];
        QV_TRY(releaseTree(*m_trees[tag]));
        QV_TRY(m_pages.release(removed.headerOffset));
        QV_TRY(m_pages.release(removed.headerOffset + CdxLayout::kPageSize));
        auto erased = m_directory->erase(directoryKey(removed.definition.name), removed.headerOffset);
        if (!erased)
            return erased.error();
        if (!*erased)
            return makeError(ErrorCode::Corrupt,
                             path() + ": the tag directory does not list tag " + removed.definition.name);
        m_tags.erase(m_tags.begin() + static_cast<std::ptrdiff_t>(tag));
        m_trees.erase(m_trees.begin() + static_cast<std::ptrdiff_t>(tag));
        return {};
    }();
    return finishChange(std::move(status));
}

Status CdxIndex::removeAllTags()
{
    const std::uint32_t counter = m_pages.counter() + 1;
    m_pages.discard();
    m_mustReload = true;
    QV_TRY(writeEmptyFile(m_pages.device(), counter));
    return load();
}

Status CdxIndex::insertKey(std::size_t tag, std::string_view key, std::uint32_t recno)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    if (key.size() != m_tags[tag].definition.keyLength)
        return makeError(ErrorCode::BadArgument, path() + ": a key of tag " + tagName(tag) + " must be " +
                                                     std::to_string(m_tags[tag].definition.keyLength) + " bytes, not " +
                                                     std::to_string(key.size()));
    auto inserted = m_trees[tag]->insert(key, recno);
    return finishChange(inserted ? Status{} : Status{inserted.error()});
}

Status CdxIndex::deleteKey(std::size_t tag, std::string_view key, std::uint32_t recno)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    if (key.size() != m_tags[tag].definition.keyLength)
        return makeError(ErrorCode::BadArgument, path() + ": a key of tag " + tagName(tag) + " must be " +
                                                     std::to_string(m_tags[tag].definition.keyLength) + " bytes, not " +
                                                     std::to_string(key.size()));
    auto erased = m_trees[tag]->erase(key, recno);
    Status status;
    if (!erased)
        status = erased.error();
    else if (!*erased && !m_tags[tag].definition.unique)
        status = makeError(ErrorCode::Corrupt,
                           path() + ": tag " + tagName(tag) + " holds no such key for record " + std::to_string(recno));
    return finishChange(std::move(status));
}

Status CdxIndex::deleteKeys(std::size_t tag, const CdxKeyBatch& keys)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    const CdxTagDefinition& definition = m_tags[tag].definition;
    QV_TRY(checkBatch(definition, keys));
    if (keys.empty())
        return {};
    m_sorter.sort(keys, false, m_order);
    std::uint32_t firstMissing = 0;
    auto erased = m_trees[tag]->eraseMany(keys, m_order, firstMissing);
    Status status;
    if (!erased)
        status = erased.error();
    else if (firstMissing != 0 && !definition.unique)
        status = makeError(ErrorCode::Corrupt, path() + ": tag " + tagName(tag) + " holds no such key for record " +
                                                   std::to_string(firstMissing));
    return finishChange(std::move(status));
}

Status CdxIndex::insertKeys(std::size_t tag, const CdxKeyBatch& keys)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    const CdxTagDefinition& definition = m_tags[tag].definition;
    QV_TRY(checkBatch(definition, keys));
    if (keys.empty())
        return {};
    if (definition.unique) {
        // Rare, and whether a key is taken depends on the pairs before it: one at a time.
        beginChanges();
        Status status;
        for (std::size_t i = 0; i < keys.size() && status; ++i)
            status = insertKey(tag, keys.keyView(i), keys.recno(i));
        Status ended = endChanges();
        return status ? ended : status;
    }
    m_sorter.sort(keys, false, m_order);
    return finishChange(m_trees[tag]->insertMany(keys, m_order));
}

void CdxIndex::beginChanges()
{
    ++m_changeDepth;
}

Status CdxIndex::endChanges()
{
    if (m_changeDepth == 0)
        return makeError(ErrorCode::BadState, path() + ": endChanges() without beginChanges()");
    if (--m_changeDepth > 0 || m_mustReload)
        return {};
    return finishChange(Status{});
}

Status CdxIndex::refreshIfChanged()
{
    if (m_pages.hasChanges())
        return makeError(ErrorCode::BadState, path() + ": cannot refresh with unwritten changes");
    if (m_mustReload)
        return load();
    auto changed = m_pages.changedOnDevice();
    if (!changed)
        return changed.error();
    if (*changed)
        return load();
    return {};
}

Status CdxIndex::verify()
{
    QV_TRY(ensureLoaded());
    CdxVerifier verifier(m_pages);
    QV_TRY(verifier.claim(0, 2, "the file header"));
    QV_TRY(verifier.verifyTree(m_directory->info()));

    std::vector<std::pair<std::string, std::uint32_t>> listed;
    QV_TRY(m_directory->walk([&](std::string_view key, std::uint32_t recno) -> Status {
        listed.emplace_back(std::string(key), recno);
        return {};
    }));
    if (listed.size() != m_tags.size())
        return makeError(ErrorCode::Corrupt, path() + ": the tag directory lists " + std::to_string(listed.size()) +
                                                 " tags, the index has " + std::to_string(m_tags.size()));
    std::array<char, CdxLayout::kHeaderSize> bytes{};
    for (std::size_t i = 0; i < m_tags.size(); ++i) {
        const CdxTag& tag = m_tags[i];
        const std::string label = "tag " + tag.definition.name;
        const bool inDirectory = std::any_of(listed.begin(), listed.end(), [&](const auto& entry) {
            return entry.second == tag.headerOffset && entry.first == directoryKey(tag.definition.name);
        });
        if (!inDirectory)
            return makeError(ErrorCode::Corrupt, path() + ": the tag directory does not list " + label);
        QV_TRY(verifier.claim(tag.headerOffset, 2, label + "'s header"));
        QV_TRY(m_pages.readHeader(tag.headerOffset, bytes.data()));
        auto header = CdxTagHeader::parse(bytes.data(), tag.headerOffset);
        if (!header)
            return makeError(ErrorCode::Corrupt, path() + ": " + label + ": " + header.error().message);
        if (header->root != tag.root || header->keyLength != tag.definition.keyLength)
            return makeError(ErrorCode::Corrupt, path() + ": " + label + ": the header at offset " +
                                                     std::to_string(tag.headerOffset) + " changed under the index");
        QV_TRY(verifier.verifyTree(m_trees[i]->info()));
    }
    return verifier.verifyFreeList();
}

Status CdxIndex::walk(std::size_t tag, const std::function<Status(std::string_view key, std::uint32_t recno)>& visit)
{
    QV_TRY(ensureLoaded());
    QV_TRY(checkTag(tag));
    return m_trees[tag]->walk(visit);
}

Result<CdxTree*> CdxIndex::treeAt(std::uint32_t headerOffset)
{
    QV_TRY(ensureLoaded());
    for (std::size_t i = 0; i < m_tags.size(); ++i) {
        if (m_tags[i].headerOffset == headerOffset)
            return m_trees[i].get();
    }
    return makeError(ErrorCode::BadState, path() + ": the cursor's tag is no longer in the index");
}

} // namespace quorvo::xbase
