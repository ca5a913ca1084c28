#include "store/xbase/Table.h"

#include "store/xbase/ByteOrder.h"
#include "store/xbase/FileDevice.h"
#include "store/xbase/SiblingPath.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <ctime>
#include <vector>

namespace quorvo::xbase {

namespace {

// A damaged index stops a change before anything of it is written (the caller drops the transaction);
// the message says how to mend it.
Status indexChangeRefused(Status changed)
{
    if (changed)
        return {};
    const Error& e = changed.error();
    if (e.code != ErrorCode::Corrupt && e.code != ErrorCode::CorruptIndex)
        return e;
    return makeError(ErrorCode::CorruptIndex,
                     e.message + ". Nothing was written; rebuild the indexes to mend the index file.");
}

bool isMemoField(const FieldInfo& f)
{
    return f.type == 'M' || f.type == 'G' || f.type == 'P';
}

Date3 systemToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

} // namespace

Status Table::create(const std::string& path, std::span<const FieldInfo> fields, const TableOptions& options)
{
    FileSystem& fs = options.fileSystem ? *options.fileSystem : diskFileSystem();
    if (fs.exists(path))
        return makeError(ErrorCode::BadArgument, path + " already exists");
    auto header = DbfHeader::forNewTable(fields, options.today ? options.today() : systemToday());
    if (!header)
        return header.error();
    if (header->hasMemo()) {
        auto memo = fs.open(siblingPath(path, ".FPT"), OpenMode::Exclusive, true);
        if (!memo)
            return memo.error();
        QV_TRY((*memo)->truncate(0));
        QV_TRY((*memo)->writeAt(0, MemoFile::emptyFpt()));
        QV_TRY((*memo)->sync());
    }
    // A structural index left from an earlier table would describe records that no longer exist.
    QV_TRY(fs.remove(siblingPath(path, ".CDX")));
    auto dbf = fs.open(path, OpenMode::Exclusive, true);
    if (!dbf)
        return dbf.error();
    QV_TRY((*dbf)->writeAt(0, header->serialize() + "\x1A"));
    return (*dbf)->sync();
}

Result<std::unique_ptr<Table>> Table::open(const std::string& path, OpenMode mode, const TableOptions& options)
{
    if (mode == OpenMode::Plain)
        return makeError(ErrorCode::BadArgument, "a table opens shared or exclusive");
    std::unique_ptr<Table> table(new Table());
    table->m_path = path;
    table->m_mode = mode;
    table->m_options = options;
    table->m_fs = options.fileSystem ? options.fileSystem : &diskFileSystem();
    if (mode == OpenMode::ReadOnly && table->m_fs->exists(siblingPath(path, ".JNL"))) {
        // Only writers roll a journal back on disk; a reader sees the outcome in memory.
        table->m_view = std::make_unique<RollbackView>(*table->m_fs, path);
        auto rolledBack = table->m_view->prepare();
        if (!rolledBack)
            return rolledBack.error();
        table->m_rolledBackInMemory = *rolledBack;
        table->m_fs = table->m_view.get();
    }
    FileSystem& fs = *table->m_fs;

    // The journal is held while the files open, so no one finishes an interrupted swap under us, and
    // whoever finishes one opens the files it renamed.
    const std::string journal = table->fileBeside(".JNL");
    if (fs.exists(journal)) {
        auto opened = Journal::open(fs, journal);
        if (!opened)
            return opened.error();
        table->m_journal = std::move(*opened);
        table->m_journal->setSync(options.sync);
        table->m_journal->setShared(mode == OpenMode::Shared);
        QV_TRY(table->m_journal->hold());
    }
    Status status = table->openFiles();
    if (table->m_journal) {
        // Even when a file would not open: a swap cut short between its renames leaves a name free.
        auto swapped = table->m_journal->finishSwap();
        if (!swapped)
            status = swapped.error();
        else if (*swapped)
            status = table->openFiles();
        if (status) {
            std::array<File*, 3> files{table->m_dbfFile.get(), table->m_memoFile.get(), table->m_cdxFile.get()};
            status = table->m_journal->recover(files);
        }
    }
    if (table->m_journal)
        table->m_journal->release();
    QV_TRY(status);
    QV_TRY(table->load());
    if (!options.openIndex)
        table->m_cdxFile.reset();
    if (table->m_cdxFile) {
        table->m_cdxDevice = std::make_unique<PendingFile>(*table->m_cdxFile);
        table->m_cdxDevice->setSoleWriter(mode == OpenMode::Exclusive);
        auto index = TableIndex::open(*table->m_cdxDevice, table->m_header.fields());
        if (!index)
            return index.error();
        table->m_index = std::move(*index);
        table->m_locks = LockScheme(true, table->m_header.headerLength(), table->m_header.recordLength());
    }
    // Other programs trust the flag: it must say whether the structural index exists.
    const bool flagged = (table->m_header.flags() & DbfHeader::kFlagStructuralCdx) != 0;
    if (mode == OpenMode::Exclusive && options.openIndex && flagged != table->hasIndex())
        QV_TRY(table->setIndexFlag(table->hasIndex()));
    QV_TRY(table->goTop());
    return table;
}

std::string Table::fileBeside(const char* extension) const
{
    return siblingPath(m_path, extension);
}

Status Table::openFiles()
{
    m_dbf.reset();
    m_dbfFile.reset();
    m_memoFile.reset();
    m_cdxFile.reset();
    auto dbf = m_fs->open(m_path, m_mode, false);
    if (!dbf)
        return dbf.error();
    m_dbfFile = std::move(*dbf);
    m_dbf = std::make_unique<PendingFile>(*m_dbfFile);
    // The memo file is opened before the header is trusted: a journal left by a writer that died may
    // have to restore both.
    const std::string fpt = fileBeside(".FPT");
    if (m_fs->exists(fpt)) {
        auto memo = m_fs->open(fpt, m_mode, false);
        if (!memo)
            return memo.error();
        m_memoFile = std::move(*memo);
    }
    const std::string cdx = fileBeside(".CDX");
    if (m_fs->exists(cdx)) {
        auto index = m_fs->open(cdx, m_mode, false);
        if (!index)
            return index.error();
        m_cdxFile = std::move(*index);
    }
    return {};
}

Date3 Table::today()
{
    if (m_options.today)
        return m_options.today();
    // Looking the date up costs a time-zone computation; an append loop needs it once a minute at most.
    const std::time_t now = std::time(nullptr);
    if (now - m_todayCheckedAt >= 60 || now < m_todayCheckedAt) {
        m_today = systemToday();
        m_todayCheckedAt = now;
    }
    return m_today;
}

Status Table::load()
{
    auto size = m_dbf->size();
    if (!size)
        return size.error();
    std::string prefix(static_cast<std::size_t>(std::min<std::uint64_t>(*size, DbfHeader::kPrefixSize)), '\0');
    QV_TRY(m_dbf->read(0, prefix));
    const std::size_t headerLength = DbfHeader::storedHeaderLength(prefix);
    std::string bytes(std::min<std::uint64_t>(*size, std::max(headerLength, prefix.size())), '\0');
    QV_TRY(m_dbf->read(0, bytes));
    auto header = DbfHeader::parse(bytes, m_path);
    if (!header)
        return header.error();
    m_header = std::move(*header);
    m_locks = LockScheme(m_index != nullptr, m_header.headerLength(), m_header.recordLength());
    m_cache.configure(m_header.headerLength(), m_header.recordLength());
    m_dbf->setSoleWriter(m_mode == OpenMode::Exclusive);

    const std::uint64_t physical = (*size - m_header.headerLength()) / m_header.recordLength();
    if (m_header.recordCount() > physical && m_mode == OpenMode::Shared) {
        // Another writer may be between growing the header count and writing its record: look again
        // once it has let go of the header.
        QV_TRY(lockDbf(m_locks.headerOffset(), true));
        const std::uint64_t headerAt = m_locks.headerOffset();
        auto again = m_dbf->size();
        QV_TRY(m_dbf->read(0, prefix));
        (void)m_dbfFile->unlock(headerAt, 1);
        m_heldDbfLocks.erase(headerAt);
        if (!again)
            return again.error();
        m_header.setRecordCount(static_cast<std::uint32_t>(bytes::readLe(prefix, 4, 4)));
        *size = *again;
    }
    const std::uint64_t physicalNow = (*size - m_header.headerLength()) / m_header.recordLength();
    if (m_header.recordCount() > physicalNow)
        return makeError(ErrorCode::Corrupt, m_path + ": the record area is truncated: the header counts " +
                                                 std::to_string(m_header.recordCount()) + " records, the file holds " +
                                                 std::to_string(physicalNow));

    if (m_header.hasMemo()) {
        MemoFile::Kind kind = MemoFile::Kind::Fpt;
        if (m_header.usesDbtMemo()) {
            kind = MemoFile::Kind::Dbt;
            m_memoFile.reset();
            const std::string dbt = fileBeside(".DBT");
            if (m_fs->exists(dbt)) {
                auto memo = m_fs->open(dbt, m_mode, false);
                if (!memo)
                    return memo.error();
                m_memoFile = std::move(*memo);
            }
        }
        if (!m_memoFile)
            return makeError(ErrorCode::Corrupt, m_path + ": the memo file is missing");
        m_memoDevice = std::make_unique<PendingFile>(*m_memoFile);
        m_memoDevice->setSoleWriter(m_mode == OpenMode::Exclusive);
        m_memo.emplace(*m_memoDevice, kind);
        QV_TRY(m_memo->loadHeader());
    } else {
        m_memoFile.reset();
    }
    return refreshCount(true);
}

Table::~Table()
{
    (void)close();
}

Status Table::close()
{
    if (!m_dbfFile)
        return {};
    Status status = post();
    if (status && m_inBatch)
        status = commitBatch();
    if (!status) {
        cancel();
        m_dbf->clear();
        if (m_memoDevice)
            m_memoDevice->clear();
    }
    releaseLocks();
    m_cursor.reset();
    m_index.reset();
    m_cdxDevice.reset();
    m_cdxFile.reset();
    m_memo.reset();
    m_memoDevice.reset();
    m_dbf.reset();
    m_memoFile.reset();
    m_dbfFile.reset();
    if (m_journal) {
        const std::string journal = m_journal->path();
        // Only a sole user may remove the journal (a sharer could be about to write through it), and only
        // once it holds nothing left to finish.
        if (m_mode == OpenMode::Exclusive && status && m_journal->recover({}))
            (void)m_fs->remove(journal);
        m_journal.reset();
    }
    return status;
}

int Table::fieldNumber(std::string_view name) const
{
    const auto& fields = m_header.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i].name;
        if (f.size() == name.size() && std::equal(f.begin(), f.end(), name.begin(), [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
            }))
            return static_cast<int>(i + 1);
    }
    return 0;
}

Status Table::refreshCount(bool force)
{
    // Opened exclusively, nobody else appends: the count only changes through this object.
    if (!force && m_countValid && m_mode == OpenMode::Exclusive)
        return {};
    auto size = m_dbf->size();
    if (!size)
        return size.error();
    if (*size < m_header.headerLength())
        return makeError(ErrorCode::Corrupt, m_path + ": the file is shorter than its header");
    const std::uint64_t physical = (*size - m_header.headerLength()) / m_header.recordLength();
    m_count = static_cast<std::uint32_t>(std::min<std::uint64_t>(physical, 0xFFFFFFFFu));
    m_countValid = true;
    return {};
}

Result<std::uint32_t> Table::recCount()
{
    QV_TRY(refreshCount());
    return m_count;
}

Status Table::readRecord(std::uint32_t recno)
{
    if (recno > m_count)
        return readRecordFresh(recno);
    return m_cache.read(*m_dbf, m_count, recno, m_record);
}

Status Table::readRecordFresh(std::uint32_t recno)
{
    m_record.resize(m_header.recordLength());
    const std::uint64_t offset = m_header.headerLength() + std::uint64_t{recno - 1} * m_header.recordLength();
    return m_dbf->read(offset, m_record);
}

void Table::blankRecord()
{
    m_record.assign(m_header.recordLength(), ' ');
}

Status Table::setEof()
{
    m_recno = m_count + 1;
    blankRecord();
    m_eof = true;
    m_bof = false;
    return {};
}

bool Table::passes() const
{
    return !m_query || m_query->evaluateLogical(m_record);
}

Status Table::seekPassing(std::uint32_t from, Direction direction, bool& found)
{
    found = false;
    std::int64_t r = from;
    const std::int64_t step = direction == Direction::Forward ? 1 : -1;
    while (r >= 1 && r <= m_count) {
        QV_TRY(readRecord(static_cast<std::uint32_t>(r)));
        if (passes()) {
            m_recno = static_cast<std::uint32_t>(r);
            found = true;
            return {};
        }
        r += step;
    }
    return {};
}

namespace {

// Holds the index read lock for one move.
class IndexReadScope
{
public:
    IndexReadScope(Table* table, Status (Table::*hold)(), void (Table::*release)(), bool holdNow)
        : m_table(table), m_release(release)
    {
        if (holdNow)
            m_status = (table->*hold)();
    }
    ~IndexReadScope() { (m_table->*m_release)(); }
    IndexReadScope(const IndexReadScope&) = delete;
    IndexReadScope& operator=(const IndexReadScope&) = delete;
    const Status& status() const { return m_status; }

private:
    Table* m_table;
    void (Table::*m_release)();
    Status m_status;
};

} // namespace

Status Table::holdIndexRead()
{
    if (!m_index || m_order == 0 || m_mode == OpenMode::Exclusive || m_indexLocked || m_indexReadHeld)
        return {};
    QV_TRY(m_cdxFile->lock(LockScheme::kIndexLock, 1, LockKind::Shared, true));
    m_indexReadHeld = true;
    return m_index->cdx().refreshIfChanged();
}

void Table::releaseIndexRead()
{
    if (m_indexReadHeld)
        (void)m_cdxFile->unlock(LockScheme::kIndexLock, 1);
    m_indexReadHeld = false;
}

Status Table::followCursor(Direction direction, bool& found)
{
    found = false;
    while (m_cursor->onEntry()) {
        const std::uint32_t recno = m_cursor->recno();
        if (recno >= 1 && recno <= m_count) {
            QV_TRY(readRecord(recno));
            if (passes()) {
                m_recno = recno;
                m_cursorSynced = true;
                found = true;
                return {};
            }
        }
        if (!m_cursor->stepsInLeaf(direction == Direction::Forward))
            QV_TRY(holdIndexRead());
        QV_TRY(direction == Direction::Forward ? m_cursor->next() : m_cursor->prev());
    }
    return {};
}

Status Table::positionAtEnd(Direction direction, bool& found)
{
    if (m_order == 0)
        return seekPassing(direction == Direction::Forward ? 1 : m_count, direction, found);
    QV_TRY(direction == Direction::Forward ? m_cursor->first() : m_cursor->last());
    return followCursor(direction, found);
}

Status Table::syncCursor(bool& onCurrent)
{
    if (m_cursorSynced && m_cursor->onEntry() && m_cursor->recno() == m_recno) {
        onCurrent = true;
        return {};
    }
    // A record the tag leaves out (flagged deleted, say) still has a place in the order: where its key
    // would sort.
    auto key = m_index->keyOf(m_order, m_record, false);
    auto exact = m_cursor->seekEntry(*key, m_recno);
    if (!exact)
        return exact.error();
    onCurrent = *exact;
    m_cursorSynced = onCurrent;
    return {};
}

Status Table::stepPassing(Direction direction, bool& found)
{
    if (m_order == 0) {
        if (direction == Direction::Backward)
            return seekPassing(m_recno - 1, direction, found);
        if (m_recno + 1 > m_count)
            QV_TRY(refreshCount());
        return seekPassing(m_recno + 1, direction, found);
    }
    bool onCurrent = false;
    QV_TRY(syncCursor(onCurrent));
    if (direction == Direction::Backward)
        QV_TRY(m_cursor->prev());
    else if (onCurrent)
        QV_TRY(m_cursor->next());
    return followCursor(direction, found);
}

Status Table::goTop()
{
    return goToEnd(Direction::Forward);
}

Status Table::goBottom()
{
    return goToEnd(Direction::Backward);
}

Status Table::goToEnd(Direction direction)
{
    QV_TRY(post());
    // A new pass over the view: what others wrote since the last one must show.
    m_cache.clear();
    QV_TRY(refreshCount());
    IndexReadScope scope(this, &Table::holdIndexRead, &Table::releaseIndexRead, true);
    QV_TRY(scope.status());
    bool found = false;
    QV_TRY(positionAtEnd(direction, found));
    if (!found) {
        QV_TRY(setEof());
        m_bof = true;
        return {};
    }
    m_eof = m_bof = false;
    return {};
}

Status Table::skip(std::int64_t count)
{
    QV_TRY(post());
    if (count == 0) {
        if (!m_eof)
            QV_TRY(readRecordFresh(m_recno));
        return {};
    }
    // Steps inside the leaf the cursor holds read nothing shared; only a step to another page has to
    // catch up with other writers under the index lock.
    const bool inLeaf = m_order > 0 && (count == 1 || count == -1) && !m_eof && m_cursorSynced && m_cursor->onEntry() &&
                        m_cursor->recno() == m_recno && m_cursor->stepsInLeaf(count > 0);
    IndexReadScope scope(this, &Table::holdIndexRead, &Table::releaseIndexRead, !inLeaf);
    QV_TRY(scope.status());
    if (count > 0) {
        if (m_eof)
            return {};
        for (std::int64_t i = 0; i < count; ++i) {
            bool found = false;
            QV_TRY(stepPassing(Direction::Forward, found));
            if (!found)
                return setEof();
        }
        m_bof = false;
        return {};
    }
    for (std::int64_t i = 0; i > count; --i) {
        bool found = false;
        if (m_eof) {
            QV_TRY(refreshCount());
            QV_TRY(positionAtEnd(Direction::Backward, found));
            if (!found) {
                // Nothing passes at all.
                QV_TRY(setEof());
                m_bof = true;
                return {};
            }
            m_eof = m_bof = false;
            continue;
        }
        QV_TRY(stepPassing(Direction::Backward, found));
        if (found) {
            m_eof = m_bof = false;
            continue;
        }
        // Before the first record of the view: stay on it, flagged bof.
        QV_TRY(readRecord(m_recno));
        m_cursorSynced = false;
        m_bof = true;
        return {};
    }
    return {};
}

Status Table::setOrder(int order)
{
    QV_TRY(post());
    if (order < 0 || order > tagCount())
        return makeError(ErrorCode::BadArgument, "there is no order " + std::to_string(order));
    m_order = order;
    m_cursor.reset();
    if (order > 0)
        m_cursor.emplace(m_index->cdx(), static_cast<std::size_t>(order - 1));
    m_cursorSynced = false;
    return {};
}

Result<bool> Table::seek(std::string_view key, bool soft)
{
    QV_TRY(post());
    if (m_order == 0)
        return makeError(ErrorCode::BadState, "a seek needs a tag order");
    QV_TRY(refreshCount());
    IndexReadScope scope(this, &Table::holdIndexRead, &Table::releaseIndexRead, true);
    QV_TRY(scope.status());
    auto hit = m_cursor->seek(key, soft);
    if (!hit)
        return hit.error();
    bool found = false;
    QV_TRY(followCursor(Direction::Forward, found));
    if (!found) {
        QV_TRY(setEof());
        return false;
    }
    m_eof = m_bof = false;
    if (!*hit)
        return false;
    if (!soft)
        return true;
    // The query may have moved the table past the keys that matched.
    return m_cursor->key().substr(0, key.size()) == key;
}

Status Table::go(std::uint32_t recno)
{
    QV_TRY(post());
    QV_TRY(refreshCount());
    if (recno < 1 || recno > m_count)
        return setEof();
    // Going to a record by number is how a view shows one row: it must show what is there now, which
    // only a sole writer knows without reading.
    QV_TRY(m_mode == OpenMode::Exclusive ? readRecord(recno) : readRecordFresh(recno));
    m_recno = recno;
    m_cursorSynced = false;
    m_eof = m_bof = false;
    return {};
}

std::string_view Table::rawField(int number) const
{
    if (number < 1 || number > fieldCount() || m_record.size() < m_header.recordLength())
        return {};
    const FieldInfo& f = field(number);
    return std::string_view(m_record).substr(f.offset, f.width);
}

std::string Table::getTrimString(int number) const
{
    std::string_view v = rawField(number);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\0'))
        v.remove_suffix(1);
    return std::string(v);
}

bool Table::getLogical(int number) const
{
    const std::string_view v = rawField(number);
    return !v.empty() && (v[0] == 'T' || v[0] == 't' || v[0] == 'Y' || v[0] == 'y');
}

std::uint32_t Table::memoBlock(std::string_view pointer) const
{
    if (m_header.isVisualFoxPro() && pointer.size() == 4)
        return bytes::readLe(pointer, 0, 4);
    std::uint64_t block = 0;
    for (char c : pointer) {
        if (c >= '0' && c <= '9')
            block = std::min<std::uint64_t>(block * 10 + static_cast<std::uint64_t>(c - '0'), 0xFFFFFFFFu);
    }
    return static_cast<std::uint32_t>(block);
}

void Table::setMemoPointer(int number, std::uint32_t block)
{
    const FieldInfo& f = field(number);
    char* out = m_record.data() + f.offset;
    if (m_header.isVisualFoxPro() && f.width == 4) {
        bytes::writeLe(out, block, 4);
        return;
    }
    std::fill(out, out + f.width, ' ');
    if (block == 0)
        return;
    const std::string digits = std::to_string(block);
    std::copy(digits.begin(), digits.end(), out + f.width - std::min<std::size_t>(digits.size(), f.width));
}

Result<std::string> Table::getMemo(int number)
{
    if (number < 1 || number > fieldCount() || !isMemoField(field(number)))
        return makeError(ErrorCode::BadArgument, "field " + std::to_string(number) + " is not a memo field");
    if (auto it = m_pendingMemos.find(number); it != m_pendingMemos.end())
        return it->second;
    if (!m_memo)
        return makeError(ErrorCode::BadState, m_path + ": the table has no memo file");
    return m_memo->read(memoBlock(rawField(number)));
}

Status Table::lockDbf(std::uint64_t offset, bool wait)
{
    if (m_heldDbfLocks.count(offset))
        return {};
    QV_TRY(m_dbfFile->lock(offset, 1, LockKind::Exclusive, wait));
    m_heldDbfLocks.insert(offset);
    return {};
}

void Table::releaseLocks()
{
    if (m_dbfFile)
        for (std::uint64_t offset : m_heldDbfLocks)
            (void)m_dbfFile->unlock(offset, 1);
    m_heldDbfLocks.clear();
    if (m_allRecordsLock.length > 0 && m_dbfFile)
        (void)m_dbfFile->unlock(m_allRecordsLock.offset, m_allRecordsLock.length);
    m_allRecordsLock = {};
    if (m_memoLocked && m_memoFile)
        (void)m_memoFile->unlock(LockScheme::kMemoLock, 1);
    m_memoLocked = false;
    if (m_indexLocked && m_cdxFile)
        (void)m_cdxFile->unlock(LockScheme::kIndexLock, 1);
    m_indexLocked = false;
}

Status Table::beginChange()
{
    if (m_state != State::Browse)
        return {};
    QV_TRY(requireWritable());
    if (m_eof)
        return makeError(ErrorCode::BadState, m_path + ": there is no current record");
    if (m_mode == OpenMode::Shared) {
        const std::uint64_t offset = m_locks.recordOffset(m_recno);
        const bool coveredByAll =
            offset >= m_allRecordsLock.offset && offset < m_allRecordsLock.offset + m_allRecordsLock.length;
        if (!coveredByAll && !m_heldDbfLocks.count(offset)) {
            Status locked = lockDbf(offset, false);
            if (!locked)
                return makeError(ErrorCode::Locked, "record " + std::to_string(m_recno) + " is in use by another user");
        }
        // Change what is on disk now, not what was read before the lock.
        m_cache.clear();
        QV_TRY(readRecordFresh(m_recno));
    }
    m_original = m_record;
    m_state = State::Edit;
    return {};
}

Status Table::appendBlank()
{
    QV_TRY(requireWritable());
    QV_TRY(post());
    QV_TRY(refreshCount());
    m_state = State::Append;
    blankRecord();
    m_pendingMemos.clear();
    m_recno = m_count + 1;
    m_eof = m_bof = false;
    return {};
}

Status Table::replace(int number, std::string_view text)
{
    if (number < 1 || number > fieldCount())
        return makeError(ErrorCode::BadArgument, "there is no field " + std::to_string(number));
    const FieldInfo& f = field(number);
    if (isMemoField(f)) {
        if (!m_memo || m_memo->kind() != MemoFile::Kind::Fpt)
            return makeError(ErrorCode::BadState, m_path + ": memos of this table cannot be written");
        QV_TRY(beginChange());
        m_pendingMemos[number] = std::string(text);
        return {};
    }
    QV_TRY(beginChange());
    char* out = m_record.data() + f.offset;
    if (f.type == 'L') {
        const char c = text.empty() ? ' ' : text[0];
        *out = (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? 'T' : (c == ' ' ? ' ' : 'F');
        return {};
    }
    if (f.type == 'N') {
        // Numbers are right-aligned text; one that does not fit is all '*', as xBase writes it.
        const std::size_t first = std::min(text.find_first_not_of(' '), text.size());
        const std::size_t last = text.find_last_not_of(' ');
        const std::string_view digits =
            last == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1);
        if (digits.size() > f.width) {
            std::fill(out, out + f.width, '*');
        } else {
            std::fill(out, out + f.width - digits.size(), ' ');
            std::copy(digits.begin(), digits.end(), out + f.width - digits.size());
        }
        return {};
    }
    const std::size_t n = std::min<std::size_t>(text.size(), f.width);
    std::copy(text.begin(), text.begin() + static_cast<long>(n), out);
    std::fill(out + n, out + f.width, ' ');
    return {};
}

Status Table::replaceLogical(int number, bool value)
{
    if (number < 1 || number > fieldCount() || field(number).type != 'L')
        return makeError(ErrorCode::BadArgument, "field " + std::to_string(number) + " is not a logical field");
    return replace(number, value ? "T" : "F");
}

Status Table::setDeleted(bool isDeleted)
{
    QV_TRY(beginChange());
    m_record[0] = isDeleted ? '*' : ' ';
    return {};
}

void Table::cancel()
{
    const State was = m_state;
    m_state = State::Browse;
    m_pendingMemos.clear();
    if (!m_inBatch)
        releaseLocks();
    if (was == State::Append || m_recno > m_count) {
        (void)setEof();
        return;
    }
    if (was == State::Edit && !readRecord(m_recno))
        (void)setEof();
}

Status Table::post()
{
    if (m_state == State::Browse)
        return {};
    Status status = writePending();
    if (status && !m_inBatch)
        status = commit();
    if (!status) {
        dropTransaction();
        return status;
    }
    m_state = State::Browse;
    m_pendingMemos.clear();
    return {};
}

void Table::dropTransaction()
{
    // Nothing of a failed post may linger: drop the transaction and what was read under it.
    discardPending();
    m_inBatch = false;
    releaseLocks();
    (void)refreshCount(true);
    cancel();
}

Result<std::string> Table::memoSpaceDamage()
{
    QV_TRY(m_memo->loadHeader());
    auto size = m_memoDevice->size();
    if (!size)
        return size.error();
    const std::uint32_t blockSize = m_memo->blockSize();
    const std::uint64_t endBlock = (*size + blockSize - 1) / blockSize;
    const std::uint32_t nextFree = m_memo->nextFree();
    if (nextFree < endBlock)
        return "its next free block (" + std::to_string(nextFree) + ") lies before the end of the file (block " +
               std::to_string(endBlock) + ")";
    std::vector<int> memoFields;
    for (int n = 1; n <= fieldCount(); ++n)
        if (isMemoField(field(n)))
            memoFields.push_back(n);
    std::uint32_t highest = 0;
    std::uint32_t highestRecord = 0;
    QV_TRY(scan([&](std::uint32_t recno, std::string_view record) {
        for (int n : memoFields) {
            const FieldInfo& f = field(n);
            const std::uint32_t block = memoBlock(record.substr(f.offset, f.width));
            if (block > highest) {
                highest = block;
                highestRecord = recno;
            }
        }
        return true;
    }));
    if (highest == 0)
        return std::string();
    const std::string pointer =
        "record " + std::to_string(highestRecord) + " points at memo block " + std::to_string(highest);
    if (highest >= nextFree)
        return pointer + ", at or past the next free block (" + std::to_string(nextFree) + ")";
    // The last note must end inside the file: a file cut short loses the end of it, and the free
    // space would start inside it.
    if (auto length = m_memo->inspect(highest); !length)
        return pointer + ", which cannot be read whole: " + length.error().message;
    return std::string();
}

Status Table::requireSoundMemoSpace()
{
    if (!m_memoSpaceChecked && m_memo && m_memo->kind() == MemoFile::Kind::Fpt) {
        auto damage = memoSpaceDamage();
        if (!damage)
            return damage.error();
        if (!damage->empty())
            m_memoSpaceDamage = makeError(ErrorCode::Corrupt, m_memoFile->path() + " is damaged: " + *damage +
                                                                  ". Nothing was written; run quorvo-store repair "
                                                                  "on the table to mend the memo file.");
        m_memoSpaceChecked = true;
    }
    if (m_memoSpaceDamage)
        return *m_memoSpaceDamage;
    return {};
}

Status Table::lockIndexForWrite()
{
    if (m_mode != OpenMode::Shared || m_indexLocked)
        return {};
    QV_TRY(m_cdxFile->lock(LockScheme::kIndexLock, 1, LockKind::Exclusive, true));
    m_indexLocked = true;
    return m_index->cdx().refreshIfChanged();
}

Status Table::writePending()
{
    QV_TRY(requireSoundMemoSpace());
    const bool shared = m_mode == OpenMode::Shared;
    if (shared)
        m_cache.clear();
    if (m_state == State::Append) {
        if (shared)
            QV_TRY(lockDbf(m_locks.headerOffset(), true));
        QV_TRY(refreshCount());
        const std::uint32_t recno = m_count + 1;
        if (shared)
            QV_TRY(lockDbf(m_locks.recordOffset(recno), true));
        m_recno = recno;
    }
    if (!m_pendingMemos.empty()) {
        if (shared && !m_memoLocked) {
            QV_TRY(m_memoFile->lock(LockScheme::kMemoLock, 1, LockKind::Exclusive, true));
            m_memoLocked = true;
            QV_TRY(m_memo->loadHeader());
        }
        for (const auto& [number, text] : m_pendingMemos) {
            auto block = m_memo->write(memoBlock(rawField(number)), text);
            if (!block)
                return block.error();
            setMemoPointer(number, *block);
        }
    }
    if (m_index) {
        QV_TRY(lockIndexForWrite());
        QV_TRY(indexChangeRefused(
            m_index->recordChanged(m_recno, m_state == State::Edit ? &m_original : nullptr, m_record)));
        m_cursorSynced = false;
    }
    const std::uint64_t offset = m_header.headerLength() + std::uint64_t{m_recno - 1} * m_header.recordLength();
    if (m_state == State::Edit)
        m_dbf->noteOriginal(offset, m_original);
    QV_TRY(m_dbf->write(offset, m_record));
    if (!shared)
        m_cache.store(m_recno, m_record);
    if (m_state == State::Append) {
        m_header.setRecordCount(m_recno);
        m_header.setLastUpdate(today());
        QV_TRY(m_dbf->write(0, m_header.serializePrefix()));
        QV_TRY(m_dbf->write(offset + m_header.recordLength(), std::string_view("\x1A", 1)));
        m_count = m_recno;
    }
    return {};
}

Status Table::commit()
{
    QV_TRY(requireWritable());
    // A sole writer's cache already holds what it wrote (and is dropped if the commit fails).
    if (m_mode != OpenMode::Exclusive)
        m_cache.clear();
    if (!m_journal) {
        auto opened = Journal::open(*m_fs, fileBeside(".JNL"));
        if (!opened)
            return opened.error();
        m_journal = std::move(*opened);
        m_journal->setSync(m_options.sync);
        m_journal->setShared(m_mode == OpenMode::Shared);
    }
    std::array<PendingFile*, 3> files{m_dbf.get(), m_memoDevice.get(), m_cdxDevice.get()};
    Status status = m_journal->commit(files);
    if (!status)
        discardPending();
    releaseLocks();
    return status;
}

Status Table::beginBatch()
{
    QV_TRY(post());
    m_inBatch = true;
    return {};
}

Status Table::commitBatch()
{
    QV_TRY(post());
    if (!m_inBatch)
        return {};
    m_inBatch = false;
    Status status = commit();
    if (!status) {
        (void)refreshCount(true);
        if (m_recno > m_count || !readRecord(m_recno))
            (void)setEof();
    }
    return status;
}

Status Table::lockAllRecords()
{
    if (m_mode != OpenMode::Shared || m_allRecordsLock.length > 0)
        return {};
    if (!m_inBatch)
        return makeError(ErrorCode::BadState, m_path + ": all records are locked only inside a batch");
    QV_TRY(refreshCount(true));
    const LockScheme::Range range = m_locks.recordsRange(m_count);
    if (range.length == 0)
        return {};
    QV_TRY(m_dbfFile->lock(range.offset, range.length, LockKind::Exclusive, false));
    m_allRecordsLock = range;
    return {};
}

void Table::abandonBatch()
{
    if (!m_inBatch) {
        cancel();
        return;
    }
    discardPending();
    m_inBatch = false;
    releaseLocks();
    (void)refreshCount(true);
    cancel();
    if (m_recno > m_count || !readRecord(m_recno))
        (void)setEof();
}

Status Table::setDeletedMany(std::span<const std::uint32_t> recnos, bool deleted, const RecordTest& accept,
                             std::vector<std::uint32_t>& changed)
{
    QV_TRY(post());
    if (!m_inBatch)
        return makeError(ErrorCode::BadState, m_path + ": deleted flags are set in bulk only inside a batch");
    QV_TRY(requireWritable());
    const std::size_t before = changed.size();
    Status status = setDeletedInBatch(recnos, deleted, accept, changed);
    if (!status) {
        changed.resize(before);
        dropTransaction();
        if (m_recno > m_count || !readRecord(m_recno))
            (void)setEof();
    }
    return status;
}

Status Table::setDeletedInBatch(std::span<const std::uint32_t> recnos, bool deleted, const RecordTest& accept,
                                std::vector<std::uint32_t>& changed)
{
    const char flag = deleted ? '*' : ' ';
    QV_TRY(requireSoundMemoSpace());
    const bool shared = m_mode == OpenMode::Shared;
    m_cache.clear();
    QV_TRY(refreshCount());
    if (m_index)
        QV_TRY(lockIndexForWrite());
    const std::size_t length = m_header.recordLength();
    const std::uint64_t dataStart = m_header.headerLength();
    const std::uint32_t perChunk = static_cast<std::uint32_t>(std::max<std::size_t>(1, (256 * 1024) / length));
    std::string chunk;
    std::string single;
    // Before- and after-images of every record changed, back to back, for the index.
    std::string images;
    std::vector<std::uint32_t> done;
    for (std::size_t i = 0; i < recnos.size();) {
        const std::uint32_t first = recnos[i];
        if (first < 1 || first > m_count) {
            ++i;
            continue;
        }
        const std::uint32_t last = std::min(m_count, first + perChunk - 1);
        chunk.resize(std::size_t{last - first + 1} * length);
        QV_TRY(m_dbf->read(dataStart + std::uint64_t{first - 1} * length, chunk));
        // Records whose flag may be written together with the bytes between them: all of them are ours
        // (exclusive use or every record locked), so rewriting those bytes as they are changes nothing.
        std::vector<std::uint32_t> joinable;
        for (; i < recnos.size() && recnos[i] >= first && recnos[i] <= last; ++i) {
            const std::uint32_t recno = recnos[i];
            const std::size_t at = std::size_t{recno - first} * length;
            std::string_view record = std::string_view(chunk).substr(at, length);
            bool ours = true;
            if (shared) {
                const std::uint64_t lockAt = m_locks.recordOffset(recno);
                ours = lockAt >= m_allRecordsLock.offset && lockAt < m_allRecordsLock.offset + m_allRecordsLock.length;
                if (!ours && !m_heldDbfLocks.count(lockAt)) {
                    if (!lockDbf(lockAt, false))
                        continue; // another program is changing it: left as it is
                    // What is there now, not what was read before the lock.
                    single.resize(length);
                    QV_TRY(m_dbf->read(dataStart + std::uint64_t{recno - 1} * length, single));
                    record = single;
                }
            }
            if (record.empty() || (record[0] == '*') == deleted || !accept(recno, record))
                continue;
            images.append(record);
            images.append(record);
            images[images.size() - length] = flag;
            done.push_back(recno);
            if (ours) {
                chunk[at] = flag;
                joinable.push_back(recno);
            } else {
                QV_TRY(m_dbf->write(dataStart + std::uint64_t{recno - 1} * length, std::string_view(&flag, 1)));
            }
        }
        // One write per run of nearby flagged records: tens of thousands of one-byte writes would cost a
        // system call each at the commit. The journal reads their before-images from the file (what the
        // chunk holds may include this batch's earlier changes).
        constexpr std::size_t kJoinGap = 4096;
        for (std::size_t r = 0; r < joinable.size();) {
            std::size_t e = r + 1;
            while (e < joinable.size() && std::size_t{joinable[e] - joinable[e - 1]} * length <= kJoinGap)
                ++e;
            const std::size_t from = std::size_t{joinable[r] - first} * length;
            const std::size_t to = std::size_t{joinable[e - 1] - first} * length + 1;
            const std::uint64_t offset = dataStart + std::uint64_t{joinable[r] - 1} * length;
            QV_TRY(m_dbf->write(offset, std::string_view(chunk).substr(from, to - from)));
            r = e;
        }
    }
    if (m_index && !done.empty()) {
        std::vector<TableIndex::Change> changes;
        changes.reserve(done.size());
        for (std::size_t k = 0; k < done.size(); ++k) {
            const std::string_view pair = std::string_view(images).substr(2 * k * length, 2 * length);
            changes.push_back({done[k], pair.substr(0, length), pair.substr(length)});
        }
        QV_TRY(indexChangeRefused(m_index->recordsChanged(changes)));
        m_cursorSynced = false;
    }
    changed.insert(changed.end(), done.begin(), done.end());
    if (!m_eof && m_recno >= 1 && m_recno <= m_count)
        QV_TRY(readRecordFresh(m_recno));
    return {};
}

Result<Expression> Table::compile(std::string_view expression) const
{
    return Expression::compile(expression, m_header.fields());
}

Status Table::setQuery(std::string_view expression)
{
    if (expression.find_first_not_of(' ') == std::string_view::npos) {
        m_query.reset();
        return {};
    }
    auto compiled = compile(expression);
    if (!compiled)
        return compiled.error();
    if (compiled->type() != Expression::Type::Logical)
        return makeError(ErrorCode::BadExpression, "a query must be a logical expression");
    m_query = std::move(*compiled);
    return {};
}

const std::string& Table::query() const
{
    return m_query ? m_query->source() : m_noQuery;
}

Result<std::uint32_t> Table::queryRecCount()
{
    QV_TRY(post());
    if (m_order > 0 && m_query) {
        // The tag holds the records its condition admits, so its view is those that pass the query as well;
        // the order does not change how many there are. One read through the file in record order counts
        // them faster than a read for every key of the tag.
        std::uint32_t count = 0;
        QV_TRY(scan([&](std::uint32_t, std::string_view record) {
            count += m_index->admits(m_order, record) && m_query->evaluateLogical(record) ? 1 : 0;
            return true;
        }));
        return count;
    }
    if (m_order > 0) {
        QV_TRY(refreshCount());
        IndexReadScope scope(this, &Table::holdIndexRead, &Table::releaseIndexRead, true);
        QV_TRY(scope.status());
        std::uint32_t count = 0;
        std::string record;
        QV_TRY(m_index->cdx().walk(static_cast<std::size_t>(m_order - 1),
                                   [&](std::string_view, std::uint32_t recno) -> Status {
                                       if (recno < 1 || recno > m_count)
                                           return {};
                                       if (m_query) {
                                           if (Status read = m_cache.read(*m_dbf, m_count, recno, record); !read)
                                               return read;
                                           if (!m_query->evaluateLogical(record))
                                               return {};
                                       }
                                       ++count;
                                       return {};
                                   }));
        return count;
    }
    if (!m_query) {
        QV_TRY(refreshCount());
        return m_count;
    }
    std::uint32_t count = 0;
    QV_TRY(scan([&](std::uint32_t, std::string_view record) {
        count += m_query->evaluateLogical(record) ? 1 : 0;
        return true;
    }));
    return count;
}

Result<bool> Table::evalLogical(std::string_view expression) const
{
    auto compiled = compile(expression);
    if (!compiled)
        return compiled.error();
    if (compiled->type() != Expression::Type::Logical)
        return makeError(ErrorCode::BadExpression, "the expression is not logical");
    return compiled->evaluateLogical(m_record);
}

Status Table::scan(const std::function<bool(std::uint32_t, std::string_view)>& visit)
{
    QV_TRY(refreshCount());
    const std::size_t length = m_header.recordLength();
    const std::uint32_t perChunk = static_cast<std::uint32_t>(std::max<std::size_t>(1, (256 * 1024) / length));
    std::string chunk;
    for (std::uint32_t first = 1; first <= m_count; first += perChunk) {
        const std::uint32_t n = std::min(perChunk, m_count - first + 1);
        chunk.resize(std::size_t{n} * length);
        QV_TRY(m_dbf->read(m_header.headerLength() + std::uint64_t{first - 1} * length, chunk));
        for (std::uint32_t i = 0; i < n; ++i)
            if (!visit(first + i, std::string_view(chunk).substr(std::size_t{i} * length, length)))
                return {};
    }
    return {};
}

Status Table::scanView(const std::function<bool(std::uint32_t, std::string_view)>& visit)
{
    QV_TRY(post());
    if (m_order == 0)
        return scan([&](std::uint32_t recno, std::string_view record) {
            return (m_query && !m_query->evaluateLogical(record)) || visit(recno, record);
        });
    QV_TRY(refreshCount());
    std::vector<std::uint32_t> order;
    {
        IndexReadScope scope(this, &Table::holdIndexRead, &Table::releaseIndexRead, true);
        QV_TRY(scope.status());
        QV_TRY(m_index->cdx().walk(static_cast<std::size_t>(m_order - 1), [&](std::string_view, std::uint32_t recno) {
            if (recno >= 1 && recno <= m_count)
                order.push_back(recno);
            return Status{};
        }));
    }
    // The whole file in memory costs less than a read for every key in tag order; a file too large to hold
    // is read record by record through the cache.
    constexpr std::uint64_t kWholeFileLimit = 64u << 20;
    const std::size_t length = m_header.recordLength();
    const bool whole = std::uint64_t{m_count} * length <= kWholeFileLimit;
    std::string records;
    if (whole) {
        records.resize(std::size_t{m_count} * length);
        QV_TRY(m_dbf->read(m_header.headerLength(), records));
    }
    std::string one;
    for (std::uint32_t recno : order) {
        std::string_view record;
        if (whole) {
            record = std::string_view(records).substr(std::size_t{recno - 1} * length, length);
        } else {
            QV_TRY(m_cache.read(*m_dbf, m_count, recno, one));
            record = one;
        }
        if (m_query && !m_query->evaluateLogical(record))
            continue;
        if (!visit(recno, record))
            return {};
    }
    return {};
}

TableIndex::Scan Table::scanner()
{
    return [this](const std::function<bool(std::uint32_t, std::string_view)>& visit) { return scan(visit); };
}

void Table::discardPending()
{
    m_dbf->clear();
    if (m_memoDevice)
        m_memoDevice->clear();
    if (m_cdxDevice)
        m_cdxDevice->clear();
    if (m_memo)
        (void)m_memo->loadHeader();
    // The index saw its own unwritten pages; the file's change counter tells it to read them again.
    if (m_index)
        (void)m_index->reload();
    m_cursorSynced = false;
    m_cache.clear();
}

Status Table::setIndexFlag(bool on)
{
    const unsigned char flags = m_header.flags();
    m_header.setFlags(on ? flags | DbfHeader::kFlagStructuralCdx
                         : flags & static_cast<unsigned char>(~DbfHeader::kFlagStructuralCdx));
    Status status = m_dbf->write(0, m_header.serializePrefix());
    if (status && !m_inBatch)
        status = commit();
    if (!status)
        m_header.setFlags(flags);
    return status;
}

Status Table::createTag(const std::string& name, const std::string& keyExpression, const std::string& forExpression,
                        const ProgressFn& progress)
{
    QV_TRY(requireExclusive("building a tag"));
    QV_TRY(commitBatch());
    bool created = false;
    const std::string path = fileBeside(".CDX");
    if (!m_index) {
        auto file = m_fs->open(path, m_mode, true);
        if (!file)
            return file.error();
        m_cdxFile = std::move(*file);
        m_cdxDevice = std::make_unique<PendingFile>(*m_cdxFile);
        m_cdxDevice->setSoleWriter(true);
        auto index = TableIndex::create(*m_cdxDevice, m_header.fields());
        if (!index) {
            m_cdxDevice.reset();
            m_cdxFile.reset();
            (void)m_fs->remove(path);
            return index.error();
        }
        m_index = std::move(*index);
        created = true;
    }
    Status status = m_index->addTag(name, keyExpression, forExpression, scanner(), progress);
    if (status && !(m_header.flags() & DbfHeader::kFlagStructuralCdx)) {
        m_inBatch = true;
        status = setIndexFlag(true);
        m_inBatch = false;
    }
    if (status)
        status = commit();
    if (!status && created) {
        m_index.reset();
        m_cdxDevice.reset();
        m_cdxFile.reset();
        (void)m_fs->remove(path);
        QV_TRY(load());
    }
    m_locks = LockScheme(m_index != nullptr, m_header.headerLength(), m_header.recordLength());
    // Replacing a tag may have renumbered nothing, but its entries are new.
    m_cursorSynced = false;
    if (m_order > tagCount())
        QV_TRY(setOrder(0));
    return status;
}

Status Table::reindex(const ProgressFn& progress)
{
    QV_TRY(requireExclusive("reindexing"));
    QV_TRY(commitBatch());
    if (!m_index)
        return makeError(ErrorCode::BadState, m_path + ": the table has no structural index");
    Status status = m_index->rebuildAll(scanner(), progress);
    if (status)
        status = commit();
    m_cursorSynced = false;
    return status;
}

Status Table::buildIndexFile(const std::string& path, std::span<const TagExpressions> tags, const ProgressFn& progress)
{
    QV_TRY(m_fs->remove(path));
    auto file = m_fs->open(path, OpenMode::Exclusive, true);
    if (!file)
        return file.error();
    // The new file is nobody's yet: it needs no journal, only to be whole on disk before its rename.
    PendingFile device(**file);
    auto index = TableIndex::create(device, m_header.fields());
    if (!index)
        return index.error();
    const int count = static_cast<int>(tags.size());
    for (int i = 0; i < count; ++i) {
        const TagExpressions& tag = tags[static_cast<std::size_t>(i)];
        ProgressFn step;
        if (progress)
            step = [&](int percent) { progress((i * 100 + percent) / count); };
        QV_TRY((*index)->addTag(tag.name, tag.key, tag.condition, scanner(), step));
    }
    for (const auto& [offset, bytes] : device.extents())
        QV_TRY((*file)->writeAt(offset, bytes));
    return (*file)->sync();
}

Status Table::replaceIndex(std::span<const TagExpressions> tags, const ProgressFn& progress)
{
    QV_TRY(requireExclusive("replacing the index"));
    QV_TRY(commitBatch());
    if (tags.empty())
        return makeError(ErrorCode::BadArgument, "an index needs at least one tag");
    releaseLocks();
    m_cursor.reset();
    m_order = 0;
    m_cursorSynced = false;
    m_index.reset();
    m_cdxDevice.reset();
    m_cdxFile.reset();
    m_locks = LockScheme(false, m_header.headerLength(), m_header.recordLength());
    const std::string path = fileBeside(".CDX");
    const std::string fresh = path + ".new";
    Status status = buildIndexFile(fresh, tags, progress);
    if (status)
        status = m_fs->rename(fresh, path);
    if (!status) {
        (void)m_fs->remove(fresh);
        return status;
    }
    auto file = m_fs->open(path, m_mode, false);
    if (!file)
        return file.error();
    m_cdxFile = std::move(*file);
    m_cdxDevice = std::make_unique<PendingFile>(*m_cdxFile);
    m_cdxDevice->setSoleWriter(true);
    auto index = TableIndex::open(*m_cdxDevice, m_header.fields());
    if (!index) {
        m_cdxDevice.reset();
        m_cdxFile.reset();
        return index.error();
    }
    m_index = std::move(*index);
    m_locks = LockScheme(true, m_header.headerLength(), m_header.recordLength());
    if (!(m_header.flags() & DbfHeader::kFlagStructuralCdx))
        QV_TRY(setIndexFlag(true));
    if (progress)
        progress(100);
    return {};
}

Result<std::vector<std::uint32_t>> Table::repairMemoFile(const std::string& backupPath)
{
    QV_TRY(requireExclusive("repairing the memo file"));
    QV_TRY(commitBatch());
    if (!m_memo || m_memo->kind() != MemoFile::Kind::Fpt)
        return makeError(ErrorCode::BadState, m_path + ": the table has no FoxPro memo file");
    QV_TRY(refreshCount(true));
    {
        auto size = m_memoFile->size();
        if (!size)
            return size.error();
        std::string old(static_cast<std::size_t>(*size), '\0');
        QV_TRY(m_memoFile->readExact(0, old));
        auto backup = m_fs->open(backupPath, OpenMode::Exclusive, true);
        if (!backup)
            return backup.error();
        QV_TRY((*backup)->truncate(0));
        QV_TRY((*backup)->writeAt(0, old));
        QV_TRY((*backup)->sync());
    }
    const std::size_t length = m_header.recordLength();
    std::string records;
    records.reserve(std::size_t{m_count} * length);
    QV_TRY(scan([&](std::uint32_t, std::string_view record) {
        records.append(record);
        return true;
    }));
    const std::string before = records;
    std::vector<std::uint32_t> unreadable;
    Status status = m_memo->preload();
    if (status) {
        auto image = memoImage(records, m_count, {}, &unreadable);
        if (!image)
            status = image.error();
        if (status)
            status = m_memoDevice->truncate(0);
        if (status)
            status = m_memoDevice->write(0, *image);
    }
    m_memo->dropPreload();
    // Only the records whose pointers moved are written: the rest of the table stays byte for byte.
    for (std::uint32_t i = 0; status && i < m_count; ++i) {
        const std::size_t at = std::size_t{i} * length;
        if (records.compare(at, length, before, at, length) != 0)
            status = m_dbf->write(m_header.headerLength() + at, std::string_view(records).substr(at, length));
    }
    status = finishRewrite(status, {});
    if (!status)
        return status.error();
    return unreadable;
}

Status Table::closeIndexes()
{
    QV_TRY(commitBatch());
    releaseLocks();
    m_cursor.reset();
    m_order = 0;
    m_index.reset();
    m_cdxDevice.reset();
    m_cdxFile.reset();
    m_locks = LockScheme(false, m_header.headerLength(), m_header.recordLength());
    if (m_mode == OpenMode::Exclusive && (m_header.flags() & DbfHeader::kFlagStructuralCdx))
        return setIndexFlag(false);
    return {};
}

Status Table::verifyIndex()
{
    if (!m_index)
        return {};
    IndexReadScope scope(this, &Table::holdIndexRead, &Table::releaseIndexRead, true);
    QV_TRY(scope.status());
    return m_index->verify(scanner());
}

Status Table::requireWritable() const
{
    if (m_mode == OpenMode::ReadOnly)
        return makeError(ErrorCode::BadState, m_path + ": the table is open read-only");
    return {};
}

Status Table::requireExclusive(const char* what) const
{
    if (m_mode != OpenMode::Exclusive)
        return makeError(ErrorCode::BadState, std::string(what) + " needs the table open exclusively");
    return {};
}

Result<std::string> Table::memoImage(std::string& records, std::uint32_t count, const ProgressFn& progress,
                                     std::vector<std::uint32_t>* unreadable)
{
    const std::size_t length = m_header.recordLength();
    const std::uint32_t blockSize = m_memo->blockSize();
    std::string image = MemoFile::emptyFpt(static_cast<std::uint16_t>(blockSize));
    image.resize(std::max<std::size_t>(image.size(), std::size_t{m_memo->firstDataBlock()} * blockSize), '\0');
    int reported = -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        m_record.assign(records, std::size_t{i} * length, length);
        for (int n = 1; n <= fieldCount(); ++n) {
            if (!isMemoField(field(n)))
                continue;
            const std::uint32_t block = memoBlock(rawField(n));
            if (block == 0)
                continue;
            auto text = m_memo->read(block);
            if (!text && unreadable) {
                if (unreadable->empty() || unreadable->back() != i + 1)
                    unreadable->push_back(i + 1);
                setMemoPointer(n, 0);
                continue;
            }
            if (!text)
                return text.error();
            if (text->empty()) {
                setMemoPointer(n, 0);
                continue;
            }
            image.resize((image.size() + blockSize - 1) / blockSize * blockSize, '\0');
            const std::uint32_t newBlock = static_cast<std::uint32_t>(image.size() / blockSize);
            char prefix[8];
            bytes::writeBe(prefix, 1, 4);
            bytes::writeBe(prefix + 4, static_cast<std::uint32_t>(text->size()), 4);
            image.append(prefix, 8);
            image.append(*text);
            setMemoPointer(n, newBlock);
        }
        records.replace(std::size_t{i} * length, length, m_record);
        const int percent = static_cast<int>(50 + std::uint64_t{i} * 50 / std::max<std::uint32_t>(count, 1));
        if (progress && percent != reported)
            progress(reported = percent);
    }
    bytes::writeBe(&image[0], static_cast<std::uint32_t>((image.size() + blockSize - 1) / blockSize), 4);
    return image;
}

Status Table::pack(const ProgressFn& progress)
{
    QV_TRY(requireExclusive("pack"));
    QV_TRY(post());
    if (m_inBatch)
        QV_TRY(commitBatch());
    QV_TRY(refreshCount());
    if (progress)
        progress(0);
    const std::size_t length = m_header.recordLength();
    std::string records;
    records.reserve(std::size_t{m_count} * length + 1);
    std::uint32_t kept = 0;
    std::vector<std::uint32_t> renumber(std::size_t{m_count} + 1, 0);
    int reported = 0;
    QV_TRY(scan([&](std::uint32_t recno, std::string_view record) {
        if (record[0] != '*') {
            records.append(record);
            renumber[recno] = ++kept;
        }
        const int percent = static_cast<int>(std::uint64_t{recno} * 50 / m_count);
        if (progress && percent != reported)
            progress(reported = percent);
        return true;
    }));
    std::string header(m_header.headerLength(), '\0');
    QV_TRY(m_dbf->read(0, header));
    // Only a FoxPro memo file is rewritten; another kind keeps its notes where the records point.
    std::optional<std::string> memo;
    if (m_memo && m_memo->kind() == MemoFile::Kind::Fpt) {
        Status status = m_memo->preload();
        if (status) {
            auto image = memoImage(records, kept, progress);
            if (image)
                memo = std::move(*image);
            else
                status = image.error();
        }
        m_memo->dropPreload();
        if (!status) {
            QV_TRY(goTop());
            return status;
        }
    }
    DbfHeader packed = m_header;
    packed.setRecordCount(kept);
    packed.setLastUpdate(today());
    const std::string prefix = packed.serializePrefix();
    header.replace(0, prefix.size(), prefix);
    Status status = swapInPacked(header, records, kept, renumber, memo ? &*memo : nullptr, progress);
    m_countValid = false;
    if (status) {
        m_memoSpaceChecked = false;
        m_memoSpaceDamage.reset();
    }
    QV_TRY(goTop());
    if (status && progress)
        progress(100);
    return status;
}

Status Table::swapInPacked(std::string_view header, const std::string& records, std::uint32_t count,
                           std::span<const std::uint32_t> renumber, const std::string* memo, const ProgressFn& progress)
{
    // Each new file is whole and synced before the journal names it; until then the old set stands,
    // and a failure only leaves files beside it that the next pack replaces.
    struct Fresh
    {
        JournalMove move;
        std::unique_ptr<File> file;
    };
    std::vector<Fresh> fresh;
    auto create = [&](const std::string& target) -> Result<File*> {
        const std::string path = target + ".new";
        QV_TRY(m_fs->remove(path));
        QV_TRY(m_fs->remove(target + ".old")); // left by a swap cut short
        auto file = m_fs->open(path, OpenMode::Exclusive, true);
        if (!file)
            return file.error();
        fresh.push_back({JournalMove{path, target, 0}, std::move(*file)});
        return fresh.back().file.get();
    };
    auto finish = [&](File& file, std::uint64_t size) -> Status {
        fresh.back().move.size = size;
        return m_options.sync ? file.sync() : Status{};
    };
    Status status = [&]() -> Status {
        auto dbf = create(m_path);
        if (!dbf)
            return dbf.error();
        QV_TRY((*dbf)->writeAt(0, header));
        QV_TRY((*dbf)->writeAt(header.size(), records));
        QV_TRY((*dbf)->writeAt(header.size() + records.size(), std::string_view("\x1A", 1)));
        QV_TRY(finish(**dbf, header.size() + records.size() + 1));
        if (memo) {
            auto fpt = create(m_memoFile->path());
            if (!fpt)
                return fpt.error();
            QV_TRY((*fpt)->writeAt(0, *memo));
            QV_TRY(finish(**fpt, memo->size()));
        }
        if (m_index) {
            auto cdx = create(m_cdxFile->path());
            if (!cdx)
                return cdx.error();
            FileDevice device(**cdx);
            const std::size_t length = m_header.recordLength();
            const TableIndex::Scan packed = [&](const std::function<bool(std::uint32_t, std::string_view)>& visit) {
                for (std::uint32_t i = 0; i < count; ++i)
                    if (!visit(i + 1, std::string_view(records).substr(std::size_t{i} * length, length)))
                        break;
                return Status{};
            };
            auto index = m_index->rebuiltOn(device, packed, count, renumber, progress);
            if (!index)
                return index.error();
            index->reset();
            auto size = (*cdx)->size();
            if (!size)
                return size.error();
            QV_TRY(finish(**cdx, *size));
        }
        if (!m_journal) {
            auto opened = Journal::open(*m_fs, fileBeside(".JNL"));
            if (!opened)
                return opened.error();
            m_journal = std::move(*opened);
            m_journal->setSync(m_options.sync);
            m_journal->setShared(false);
        }
        std::array<File*, 3> files{m_dbfFile.get(), m_memoFile.get(), m_cdxFile.get()};
        return m_journal->recover(files);
    }();
    bool committed = false;
    if (status) {
        std::vector<JournalMove> moves;
        for (const Fresh& f : fresh)
            moves.push_back(f.move);
        status = m_journal->commitSwap(moves, committed);
    }
    if (!committed) {
        for (Fresh& f : fresh) {
            f.file.reset();
            (void)m_fs->remove(f.move.from);
        }
        return status;
    }
    // The pack has happened: a rename left undone is finished by the next commit or open, and the new
    // files are the table's whatever their names are now.
    m_cursor.reset();
    m_cursorSynced = false;
    m_index.reset();
    m_cdxDevice.reset();
    m_memo.reset();
    m_memoDevice.reset();
    m_dbf.reset();
    for (Fresh& f : fresh) {
        f.file->movedTo(f.move.to);
        if (f.move.to == m_path)
            m_dbfFile = std::move(f.file);
        else if (m_memoFile && f.move.to == m_memoFile->path())
            m_memoFile = std::move(f.file);
        else
            m_cdxFile = std::move(f.file);
    }
    m_dbf = std::make_unique<PendingFile>(*m_dbfFile);
    m_cache.clear();
    QV_TRY(load());
    if (m_cdxFile) {
        m_cdxDevice = std::make_unique<PendingFile>(*m_cdxFile);
        m_cdxDevice->setSoleWriter(true);
        auto index = TableIndex::open(*m_cdxDevice, m_header.fields());
        if (!index)
            return index.error();
        m_index = std::move(*index);
        m_locks = LockScheme(true, m_header.headerLength(), m_header.recordLength());
    }
    return setOrder(m_order <= tagCount() ? m_order : 0);
}

Status Table::finishRewrite(Status status, const ProgressFn& progress)
{
    if (status)
        status = commit();
    m_countValid = false;
    if (!status) {
        discardPending();
        QV_TRY(load());
    } else if (m_memo) {
        // A pack or zap wrote the memo file afresh.
        m_memoSpaceChecked = false;
        m_memoSpaceDamage.reset();
        QV_TRY(m_memo->loadHeader());
    }
    QV_TRY(goTop());
    if (status && progress)
        progress(100);
    return status;
}

Status Table::zap(const ProgressFn& progress)
{
    QV_TRY(requireExclusive("zap"));
    QV_TRY(post());
    if (m_inBatch)
        QV_TRY(commitBatch());
    if (progress)
        progress(0);
    m_header.setRecordCount(0);
    m_header.setLastUpdate(today());
    Status status = m_dbf->truncate(m_header.headerLength());
    if (status)
        status = m_dbf->write(0, m_header.serializePrefix());
    if (status)
        status = m_dbf->write(m_header.headerLength(), std::string_view("\x1A", 1));
    if (status && m_memo && m_memo->kind() == MemoFile::Kind::Fpt) {
        status = m_memoDevice->truncate(0);
        if (status)
            status = m_memoDevice->write(0, MemoFile::emptyFpt(static_cast<std::uint16_t>(m_memo->blockSize())));
    }
    if (status && m_index)
        status = m_index->clearAll();
    return finishRewrite(status, progress);
}

} // namespace quorvo::xbase
