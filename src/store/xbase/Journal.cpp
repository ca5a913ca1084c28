#include "store/xbase/Journal.h"

#include "store/xbase/ByteOrder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quorvo::xbase {

namespace {

// Version 1 rollbacks (earlier builds) are still rolled back; version 3 ones carry what the change
// wrote, so a journal whose change is found whole on disk is not rolled back.
constexpr char kMagicV1[8] = {'Q', 'V', 'J', 'N', 'L', '\x01', '\0', '\0'};
constexpr char kMagic[8] = {'Q', 'V', 'J', 'N', 'L', '\x03', '\0', '\0'};
constexpr std::uint64_t kFingerprintUpTo = 1u << 20;
constexpr char kSwapMagic[8] = {'Q', 'V', 'J', 'N', 'L', '\x02', '\0', '\0'};
constexpr std::string_view kFamily("QVJNL", 5);
constexpr std::size_t kPrologue = 16;
constexpr char kInvalid[kPrologue] = {};
constexpr std::uint64_t kTruncateAbove = 1u << 20;

// A journal can hold a whole table (pack), so the checksum takes eight bytes a step.
std::uint32_t checksum(std::string_view data)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    std::size_t i = 0;
    for (; i + 8 <= data.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data.data() + i, 8);
        h = (h ^ word) * 0x100000001b3ull;
        h ^= h >> 29;
    }
    for (; i < data.size(); ++i)
        h = (h ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ull;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

// The fingerprint of what a change wrote, one extent at a time in the order it writes them.
std::uint32_t afterStep(std::uint32_t sum, std::string_view extent)
{
    return (sum ^ checksum(extent)) * 0x01000193u;
}

void put64(std::string& out, std::uint64_t v)
{
    char b[8];
    bytes::writeLe(b, static_cast<std::uint32_t>(v), 4);
    bytes::writeLe(b + 4, static_cast<std::uint32_t>(v >> 32), 4);
    out.append(b, 8);
}

void put32(std::string& out, std::uint32_t v)
{
    char b[4];
    bytes::writeLe(b, v, 4);
    out.append(b, 4);
}

// A name the journal may rename: a bare file name, so a damaged or crafted journal cannot reach outside
// its folder.
bool bareName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string_view baseName(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::uint64_t get64(std::string_view s, std::size_t at)
{
    return bytes::readLe(s, at, 4) | (static_cast<std::uint64_t>(bytes::readLe(s, at + 4, 4)) << 32);
}

// Holds the commit lock for one scope, when it is needed.
class JournalLock
{
public:
    JournalLock(Journal& journal, bool needed) : m_journal(journal), m_needed(needed) {}
    ~JournalLock()
    {
        if (m_held)
            m_journal.release();
    }
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;
    Status acquire()
    {
        if (!m_needed)
            return {};
        QV_TRY(m_journal.hold());
        m_held = true;
        return {};
    }

private:
    Journal& m_journal;
    bool m_needed;
    bool m_held = false;
};

} // namespace

Journal::Journal(FileSystem& fs, std::unique_ptr<File> file) : m_fs(fs), m_file(std::move(file))
{
    const std::string& path = m_file->path();
    m_folder = path.substr(0, path.size() - baseName(path).size());
}

Result<std::unique_ptr<Journal>> Journal::open(FileSystem& fs, const std::string& path)
{
    auto file = fs.open(path, OpenMode::Plain, true);
    if (!file)
        return file.error();
    return std::unique_ptr<Journal>(new Journal(fs, std::move(*file)));
}

Result<std::unique_ptr<Journal>> Journal::openReadOnly(FileSystem& fs, const std::string& path)
{
    auto file = fs.open(path, OpenMode::ReadOnly, false);
    if (!file)
        return file.error();
    return std::unique_ptr<Journal>(new Journal(fs, std::move(*file)));
}

Status Journal::hold()
{
    if (m_holds == 0)
        QV_TRY(m_file->lock(0, 1, LockKind::Exclusive, true));
    ++m_holds;
    return {};
}

void Journal::release()
{
    if (m_holds > 0 && --m_holds == 0)
        (void)m_file->unlock(0, 1);
}

Result<bool> Journal::replay(std::span<File* const> files)
{
    return rollBack(files);
}

Status Journal::recover(std::span<File* const> files)
{
    JournalLock lock(*this, m_shared);
    QV_TRY(lock.acquire());
    return recoverLocked(files);
}

Result<Journal::Contents> Journal::read()
{
    Contents contents;
    auto size = m_file->size();
    if (!size)
        return size.error();
    contents.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(*size, 1u << 30)));
    auto got = m_file->readAt(0, contents.bytes);
    if (!got)
        return got.error();
    contents.bytes.resize(*got);
    const std::string_view s(contents.bytes);
    if (s.size() < kPrologue || s.substr(0, kFamily.size()) != kFamily)
        return contents;
    const std::string_view magic = s.substr(0, 8);
    if (magic != std::string_view(kMagic, 8) && magic != std::string_view(kMagicV1, 8) &&
        magic != std::string_view(kSwapMagic, 8))
        return makeError(ErrorCode::Corrupt, path() + " was written by another version of the program, which has to "
                                                      "finish it; nothing was changed");
    const std::uint32_t payloadLength = bytes::readLe(s, 8, 4);
    if (s.size() - kPrologue < payloadLength || checksum(s.substr(kPrologue, payloadLength)) != bytes::readLe(s, 12, 4))
        return contents;
    contents.kind = magic == std::string_view(kSwapMagic, 8) ? Kind::Swap : Kind::Rollback;
    contents.withAfter = magic == std::string_view(kMagic, 8);
    contents.payloadLength = payloadLength;
    return contents;
}

std::string_view Journal::Contents::payload() const
{
    return std::string_view(bytes).substr(kPrologue, payloadLength);
}

Result<std::vector<JournalMove>> Journal::movesLeft(std::string_view p)
{
    auto bad = [&] { return makeError(ErrorCode::Corrupt, path() + ": the journal is damaged"); };
    std::vector<JournalMove> moves;
    std::size_t at = 0;
    if (p.empty())
        return bad();
    const std::size_t count = static_cast<unsigned char>(p[at++]);
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view names[2];
        for (std::string_view& name : names) {
            if (p.size() - at < 2)
                return bad();
            const std::size_t length = bytes::readLe(p, at, 2);
            at += 2;
            if (p.size() - at < length)
                return bad();
            name = p.substr(at, length);
            at += length;
            if (!bareName(name))
                return bad();
        }
        if (p.size() - at < 8)
            return bad();
        const std::uint64_t size = get64(p, at);
        at += 8;
        const std::string from = m_folder + std::string(names[0]);
        if (!m_fs.exists(from))
            continue; // renamed already
        auto file = m_fs.open(from, OpenMode::ReadOnly, false);
        if (!file)
            return file.error();
        auto actual = (*file)->size();
        if (!actual)
            return actual.error();
        if (*actual == size)
            moves.push_back({from, m_folder + std::string(names[1]), size});
    }
    return moves;
}

Status Journal::finishSwapLocked(std::string_view payload)
{
    auto moves = movesLeft(payload);
    if (!moves)
        return moves.error();
    std::vector<std::pair<std::string, std::string>> renames;
    for (const JournalMove& move : *moves)
        renames.emplace_back(move.from, move.to);
    // Durable before the journal is marked spent: the renames are all that is left of the change.
    return m_fs.renameAll(renames, true);
}

Result<bool> Journal::finishSwap()
{
    JournalLock lock(*this, true);
    QV_TRY(lock.acquire());
    if (m_knownClean)
        return false;
    auto contents = read();
    if (!contents)
        return contents.error();
    if (contents->kind != Kind::Swap)
        return false;
    QV_TRY(finishSwapLocked(contents->payload()));
    QV_TRY(invalidate());
    return true;
}

Result<std::vector<JournalMove>> Journal::pendingSwap()
{
    auto contents = read();
    if (!contents)
        return contents.error();
    if (contents->kind != Kind::Swap)
        return std::vector<JournalMove>{};
    return movesLeft(contents->payload());
}

Status Journal::commitSwap(std::span<const JournalMove> moves, bool& committed)
{
    committed = false;
    JournalLock lock(*this, true);
    QV_TRY(lock.acquire());
    // Whatever an earlier writer left is settled first (a sole writer knows there is nothing).
    QV_TRY(recoverLocked({}));
    std::string& payload = m_payload;
    payload.assign(kPrologue, '\0');
    payload.push_back(static_cast<char>(moves.size()));
    for (const JournalMove& move : moves) {
        for (const std::string* path : {&move.from, &move.to}) {
            const std::string_view name = baseName(*path);
            if (!bareName(name) || path->size() - name.size() != m_folder.size() ||
                path->compare(0, m_folder.size(), m_folder) != 0)
                return makeError(ErrorCode::BadArgument, *path + " is not beside the journal " + this->path());
            char length[2];
            bytes::writeLe(length, static_cast<std::uint32_t>(name.size()), 2);
            payload.append(length, 2);
            payload.append(name);
        }
        put64(payload, move.size);
    }
    const std::string_view body = std::string_view(payload).substr(kPrologue);
    std::memcpy(payload.data(), kSwapMagic, 8);
    bytes::writeLe(&payload[8], static_cast<std::uint32_t>(body.size()), 4);
    bytes::writeLe(&payload[12], checksum(body), 4);
    m_knownClean = false;
    if (m_knownLength)
        m_knownLength = std::max<std::uint64_t>(*m_knownLength, payload.size());
    QV_TRY(m_file->writeAt(0, payload));
    if (m_sync)
        QV_TRY(m_file->sync());
    committed = true;
    // Each old file is moved aside before the new one takes its name: ext4 flushes a new file that
    // replaces another by rename, which costs a pack as much as it spends on its tags. A cut between the
    // two renames leaves the name free, and finishing the swap gives it the new file.
    std::vector<std::pair<std::string, std::string>> renames;
    for (const JournalMove& move : moves) {
        if (m_fs.exists(move.to))
            renames.emplace_back(move.to, move.to + ".old");
        renames.emplace_back(move.from, move.to);
    }
    QV_TRY(m_fs.renameAll(renames, m_sync));
    for (const JournalMove& move : moves)
        (void)m_fs.remove(move.to + ".old");
    // Finding the journal again only finds its new files gone: the mark needs no sync.
    return invalidate(false);
}

Status Journal::invalidate(bool durable)
{
    std::uint64_t size = 0;
    if (m_knownLength) {
        size = *m_knownLength;
    } else {
        auto asked = m_file->size();
        if (!asked)
            return asked.error();
        size = *asked;
    }
    if (size > kTruncateAbove) {
        QV_TRY(m_file->truncate(0));
        size = 0;
    } else if (size > 0) {
        QV_TRY(m_file->writeAt(0, std::string_view(kInvalid, kPrologue)));
    }
    if (durable && m_sync)
        (void)m_file->sync();
    m_knownClean = !m_shared;
    // Only a sole writer may trust what it last saw of the journal's length.
    if (!m_shared)
        m_knownLength = size;
    return {};
}

Status Journal::recoverLocked(std::span<File* const> files, bool failed)
{
    if (m_knownClean)
        return {};
    auto size = m_file->size();
    if (!size)
        return size.error();
    if (*size == 0) {
        m_knownClean = !m_shared;
        return {};
    }
    auto contents = read();
    if (!contents)
        return contents.error();
    if (contents->kind == Kind::Rollback) {
        auto rolledBack = applyRollback(contents->payload(), contents->withAfter, !failed, files);
        if (!rolledBack)
            return rolledBack.error();
    } else if (contents->kind == Kind::Swap)
        QV_TRY(finishSwapLocked(contents->payload()));
    QV_TRY(invalidate());
    return {};
}

Result<bool> Journal::rollBack(std::span<File* const> files)
{
    auto contents = read();
    if (!contents)
        return contents.error();
    if (contents->kind != Kind::Rollback)
        return false;
    return applyRollback(contents->payload(), contents->withAfter, true, files);
}

Result<bool> Journal::applyRollback(std::string_view p, bool withAfter, bool mayBeWhole, std::span<File* const> files)
{
    auto bad = [&] { return makeError(ErrorCode::Corrupt, path() + ": the journal is damaged"); };
    std::size_t at = 0;
    if (p.size() < 1)
        return bad();
    const std::size_t fileCount = static_cast<unsigned char>(p[at++]);
    const std::size_t fileEntry = withAfter ? 17 : 9;
    std::vector<std::pair<std::size_t, std::uint64_t>> sizes;
    bool whole = withAfter && mayBeWhole;
    for (std::size_t i = 0; i < fileCount; ++i) {
        if (p.size() - at < fileEntry)
            return bad();
        const std::size_t role = static_cast<unsigned char>(p[at]);
        sizes.emplace_back(role, get64(p, at + 1));
        if (whole) {
            if (role >= files.size() || files[role] == nullptr)
                return bad();
            auto size = files[role]->size();
            if (!size)
                return size.error();
            whole = whole && *size == get64(p, at + 9);
        }
        at += fileEntry;
    }
    if (withAfter) {
        // The change is whole on disk when every byte it wrote is there: only its spent mark was lost.
        if (p.size() - at < 8)
            return bad();
        const std::uint32_t expected = bytes::readLe(p, at, 4);
        const std::uint32_t extentCount = bytes::readLe(p, at + 4, 4);
        at += 8;
        std::uint32_t sum = 0;
        std::string bytesNow;
        for (std::uint32_t i = 0; i < extentCount; ++i) {
            if (p.size() - at < 17)
                return bad();
            const std::size_t role = static_cast<unsigned char>(p[at]);
            const std::uint64_t offset = get64(p, at + 1);
            const std::uint64_t length = get64(p, at + 9);
            at += 17;
            if (role >= files.size() || files[role] == nullptr)
                return bad();
            whole = whole && length <= (1u << 30);
            if (!whole)
                continue;
            bytesNow.resize(static_cast<std::size_t>(length));
            auto got = files[role]->readAt(offset, bytesNow);
            if (!got)
                return got.error();
            whole = *got == length;
            sum = afterStep(sum, bytesNow);
        }
        if (whole && sum == expected)
            return false;
    }
    if (p.size() - at < 4)
        return bad();
    const std::uint32_t entryCount = bytes::readLe(p, at, 4);
    at += 4;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        if (p.size() - at < 13)
            return bad();
        const std::size_t role = static_cast<unsigned char>(p[at]);
        const std::uint64_t offset = get64(p, at + 1);
        const std::uint32_t length = bytes::readLe(p, at + 9, 4);
        at += 13;
        if (p.size() - at < length || role >= files.size() || files[role] == nullptr)
            return bad();
        QV_TRY(files[role]->writeAt(offset, p.substr(at, length)));
        at += length;
    }
    for (const auto& [role, original] : sizes) {
        if (role >= files.size() || files[role] == nullptr)
            return bad();
        QV_TRY(files[role]->truncate(original));
        QV_TRY(files[role]->sync());
    }
    return true;
}

Status Journal::commit(std::span<PendingFile* const> files)
{
    bool anyDirty = false;
    for (PendingFile* f : files)
        anyDirty = anyDirty || (f != nullptr && f->dirty());
    if (!anyDirty)
        return {};
    JournalLock lock(*this, m_shared);
    Status status = lock.acquire();
    if (status) {
        std::vector<File*>& raw = m_raw;
        raw.clear();
        for (PendingFile* f : files)
            raw.push_back(f ? &f->file() : nullptr);
        status = recoverLocked(raw);
        if (status) {
            status = writeAndApply(files);
            if (!status) {
                m_knownLength.reset();
                // Best effort now, and whole or not: this change failed. A failure leaves it for the next open.
                (void)recoverLocked(raw, true);
            }
        }
    }
    for (PendingFile* f : files) {
        if (!f)
            continue;
        if (!status)
            f->diskChanged(std::nullopt);
        f->clear();
    }
    // The buffer is kept for the next post, not for the next pack.
    if (m_payload.capacity() > kTruncateAbove)
        std::string().swap(m_payload);
    return status;
}

Status Journal::writeAndApply(std::span<PendingFile* const> files)
{
    // The prologue goes in front once the payload is complete; room is kept so nothing is copied. The
    // buffers are kept from one commit to the next: a post should not cost allocations.
    std::string& payload = m_payload;
    payload.assign(kPrologue, '\0');
    std::vector<std::uint64_t>& originalSizes = m_originalSizes;
    originalSizes.assign(files.size(), 0);
    std::size_t dirtyCount = 0;
    for (std::size_t role = 0; role < files.size(); ++role) {
        if (files[role] && files[role]->dirty()) {
            auto size = files[role]->diskSize();
            if (!size)
                return size.error();
            originalSizes[role] = *size;
            ++dirtyCount;
        }
    }
    // What the change writes is fingerprinted, so that recovery can tell a change that reached the disk
    // whole from one that did not: then the spent mark need not be synced. A large change (a batch, a
    // tag build) syncs its mark instead: one sync costs less than fingerprinting megabytes twice.
    std::uint64_t written = 0;
    for (std::size_t role = 0; role < files.size(); ++role)
        if (files[role] && files[role]->dirty())
            for (const auto& [offset, data] : files[role]->extents())
                written += data.size();
    const bool fingerprinted = written <= kFingerprintUpTo;
    payload.push_back(static_cast<char>(dirtyCount));
    for (std::size_t role = 0; role < files.size(); ++role) {
        if (files[role] && files[role]->dirty()) {
            payload.push_back(static_cast<char>(role));
            put64(payload, originalSizes[role]);
            if (!fingerprinted)
                continue;
            auto final = files[role]->size();
            if (!final)
                return final.error();
            put64(payload, *final);
        }
    }
    std::uint32_t sum = 0;
    std::uint32_t extentCount = 0;
    const std::size_t sumAt = payload.size();
    put32(payload, 0);
    put32(payload, 0);
    for (std::size_t role = 0; role < files.size() && fingerprinted; ++role) {
        if (!files[role] || !files[role]->dirty())
            continue;
        for (const auto& [offset, data] : files[role]->extents()) {
            payload.push_back(static_cast<char>(role));
            put64(payload, offset);
            put64(payload, data.size());
            sum = afterStep(sum, data);
            ++extentCount;
        }
    }
    if (fingerprinted) {
        bytes::writeLe(&payload[sumAt], sum, 4);
        bytes::writeLe(&payload[sumAt + 4], extentCount, 4);
    } else {
        payload.resize(sumAt);
    }
    std::uint32_t entryCount = 0;
    const std::size_t entryCountAt = payload.size();
    put32(payload, 0);
    for (std::size_t role = 0; role < files.size(); ++role) {
        PendingFile* f = files[role];
        if (!f || !f->dirty())
            continue;
        const std::uint64_t original = originalSizes[role];
        std::vector<JournalRange>& ranges = m_ranges;
        ranges.clear();
        for (const auto& [offset, bytesOut] : f->extents())
            if (offset < original)
                ranges.push_back(JournalRange{offset, std::min<std::uint64_t>(original, offset + bytesOut.size())});
        if (f->diskLimit() && *f->diskLimit() < original)
            ranges.push_back(JournalRange{*f->diskLimit(), original});
        std::sort(ranges.begin(), ranges.end(),
                  [](const JournalRange& a, const JournalRange& b) { return a.from < b.from; });
        std::vector<JournalRange>& merged = m_merged;
        merged.clear();
        for (const JournalRange& r : ranges) {
            if (!merged.empty() && r.from <= merged.back().to)
                merged.back().to = std::max(merged.back().to, r.to);
            else
                merged.push_back(r);
        }
        // A pack journals whole files: growing the payload step by step would copy them several times.
        std::uint64_t needed = payload.size();
        for (const JournalRange& r : merged)
            needed += (r.to - r.from) + 13 * ((r.to - r.from) / (1u << 30) + 1);
        if (needed > payload.capacity())
            payload.reserve(static_cast<std::size_t>(needed));
        for (const JournalRange& r : merged) {
            std::uint64_t from = r.from;
            while (from < r.to) {
                const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(r.to - from, 1u << 30));
                payload.push_back(static_cast<char>(role));
                put64(payload, from);
                put32(payload, static_cast<std::uint32_t>(length));
                const std::size_t at = payload.size();
                payload.resize(at + length);
                const std::span<char> before(payload.data() + at, length);
                if (!f->copyOriginal(from, before))
                    QV_TRY(f->file().readExact(from, before));
                from += length;
                ++entryCount;
            }
        }
    }
    bytes::writeLe(&payload[entryCountAt], entryCount, 4);

    const std::string_view body = std::string_view(payload).substr(kPrologue);
    std::memcpy(payload.data(), fingerprinted ? kMagic : kMagicV1, 8);
    bytes::writeLe(&payload[8], static_cast<std::uint32_t>(body.size()), 4);
    bytes::writeLe(&payload[12], checksum(body), 4);
    m_knownClean = false;
    if (m_knownLength)
        m_knownLength = std::max<std::uint64_t>(*m_knownLength, payload.size());
    QV_TRY(m_file->writeAt(0, payload));
    if (m_sync)
        QV_TRY(m_file->sync());

    for (PendingFile* f : files) {
        if (!f || !f->dirty())
            continue;
        File& file = f->file();
        std::uint64_t wanted = 0;
        if (f->diskLimit() || f->soleWriter()) {
            auto size = f->size();
            if (!size)
                return size.error();
            wanted = *size;
        }
        f->diskChanged(std::nullopt);
        if (f->diskLimit())
            QV_TRY(file.truncate(*f->diskLimit()));
        for (const auto& [offset, data] : f->extents())
            QV_TRY(file.writeAt(offset, data));
        if (f->diskLimit()) {
            // After a truncate the file may have to grow again to the size the transaction gave it.
            auto actual = file.size();
            if (!actual)
                return actual.error();
            if (*actual != wanted)
                QV_TRY(file.truncate(wanted));
        }
        f->diskChanged(wanted);
        if (m_sync)
            QV_TRY(file.sync());
    }
    // The data files are durable now: the transaction has happened. A fingerprinted change's spent mark
    // is not synced, and failing to write it fails nothing: a journal left valid holds a change that
    // recovery finds whole. Any other journal must not survive as valid.
    if (fingerprinted) {
        (void)invalidate(false);
        return {};
    }
    return invalidate(true);
}

} // namespace quorvo::xbase
