#pragma once

#include "store/xbase/CdxCursor.h"
#include "store/xbase/DbfHeader.h"
#include "store/xbase/Error.h"
#include "store/xbase/Expression.h"
#include "store/xbase/File.h"
#include "store/xbase/Journal.h"
#include "store/xbase/LockScheme.h"
#include "store/xbase/MemoFile.h"
#include "store/xbase/PendingFile.h"
#include "store/xbase/ProgressFn.h"
#include "store/xbase/RecordCache.h"
#include "store/xbase/RollbackView.h"
#include "store/xbase/TableIndex.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvo::xbase {

// One tag of a structural index: its name with its key and FOR expressions.
struct TagExpressions
{
    std::string name;
    std::string key;
    std::string condition;
};

struct TableOptions
{
    FileSystem* fileSystem = nullptr; // the disk when null
    // Sync the journal and the data files at each commit. Off only for benchmarks and bulk tests.
    bool sync = true;
    // The date written into the header; the system's local date when empty.
    std::function<Date3()> today;
    // Open the structural index (same name, .CDX) with the table. Off to rebuild a damaged one.
    bool openIndex = true;
};

// One open table: a work area with a current record, an order, a query and a pending change. Opened
// shared, every write takes the FoxPro record, header, memo and index locks and holds them until its
// commit; opened exclusive, it takes none. Every post (or batch of posts), pack, zap and tag build is one
// journal transaction, index pages included.
//
// Fields are numbered from 1. Order 0 is record order; orders 1.. are the tags of the structural index
// in creation order. Moves follow the order and skip records the query rejects; go() ignores both, as
// xBase does.
class Table
{
public:
    static Status create(const std::string& path, std::span<const FieldInfo> fields, const TableOptions& options = {});
    static Result<std::unique_ptr<Table>> open(const std::string& path, OpenMode mode,
                                               const TableOptions& options = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Posts a pending change and closes the files; the table must not be used afterwards.
    Status close();

    const std::string& path() const { return m_path; }
    bool exclusive() const { return m_mode == OpenMode::Exclusive; }
    bool readOnly() const { return m_mode == OpenMode::ReadOnly; }
    // Opened read-only over a journal a writer left: the table reads as that writer's next open will
    // leave it, the rollback done in memory only.
    bool rolledBackInMemory() const { return m_view != nullptr && m_rolledBackInMemory; }
    const DbfHeader& header() const { return m_header; }
    int fieldCount() const { return static_cast<int>(m_header.fields().size()); }
    const FieldInfo& field(int number) const { return m_header.fields()[static_cast<std::size_t>(number - 1)]; }
    // 0 when the table has no field of that name (any letter case).
    int fieldNumber(std::string_view name) const;
    std::uint16_t recordSize() const { return m_header.recordLength(); }

    Status goTop();
    Status goBottom();
    Status skip(std::int64_t count = 1);
    Status go(std::uint32_t recno);
    std::uint32_t recNo() const { return m_recno; }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    Result<std::uint32_t> recCount();

    // The current record's bytes; blank at eof.
    std::string_view record() const { return m_record; }
    std::string_view rawField(int number) const;
    std::string getString(int number) const { return std::string(rawField(number)); }
    std::string getTrimString(int number) const;
    bool getLogical(int number) const;
    Result<std::string> getMemo(int number);
    bool deleted() const { return !m_record.empty() && m_record[0] == '*'; }

    // Starts a new blank record; it gets its number when posted.
    Status appendBlank();
    // Text is cut or blank-padded to the field's width; a logical field takes T/t/Y/y as true; a memo
    // field stores the text in the memo file. A refused record lock fails with nothing changed.
    Status replace(int number, std::string_view text);
    Status replaceLogical(int number, bool value);
    Status setDeleted(bool deleted);
    // Writes the pending change in one transaction (or into the open batch).
    Status post();
    // Drops the pending change; nothing of it was written.
    void cancel();
    bool pending() const { return m_state != State::Browse; }

    // Many posts as one transaction: the bulk commands and the upgrade.
    Status beginBatch();
    Status commitBatch();
    // Shared use, inside a batch: takes the locks of every record at once, so the batch's changes need no
    // lock each (the kernel's lock list grows with every separate range). Locked when another program
    // holds any record; the batch then goes on locking record by record. Let go at the commit.
    Status lockAllRecords();
    // Drops every change of the open batch (and any pending one); nothing of it reaches the files.
    void abandonBatch();
    // Inside a batch: sets or clears the deleted flag of many records in one step instead of a post each.
    // recnos ascend; each record not already so is judged by accept on what it holds now, and one that
    // another program holds locked is left as it is. The records changed are added to changed. A failure
    // drops the whole batch, like a failed post.
    using RecordTest = std::function<bool(std::uint32_t recno, std::string_view record)>;
    Status setDeletedMany(std::span<const std::uint32_t> recnos, bool deleted, const RecordTest& accept,
                          std::vector<std::uint32_t>& changed);

    bool hasIndex() const { return m_index != nullptr; }
    int tagCount() const { return m_index ? m_index->tagCount() : 0; }
    // 0 when there is no tag of that name (any letter case).
    int tagOrder(std::string_view name) const { return m_index ? m_index->orderOf(name) : 0; }
    std::string tagName(int order) const { return m_index ? m_index->tagName(order) : std::string(); }
    int order() const { return m_order; }
    // The current record stays current.
    Status setOrder(int order);
    // In a tag order: true when a key starting with key exists, and the table stands on its first record
    // that passes the query. Otherwise eof, or with soft the next greater key's record.
    Result<bool> seek(std::string_view key, bool soft = false);
    // Exclusive use. The first tag creates the structural index file. A tag of an existing name is
    // rebuilt with the new expressions. Progress rises from 0 to 100.
    Status createTag(const std::string& name, const std::string& keyExpression, const std::string& forExpression,
                     const ProgressFn& progress = {});
    // Exclusive use: every tag rebuilt from its stored expressions.
    Status reindex(const ProgressFn& progress = {});
    // Exclusive use: a new structural index with these tags, built from the records alone into a file
    // beside the old one, which it then replaces in one step; whatever state the old index is in (even
    // missing or unreadable) does not matter, and a failure leaves it as it was. The table stays on
    // record order, with the new index open.
    Status replaceIndex(std::span<const TagExpressions> tags, const ProgressFn& progress = {});
    // Exclusive use: the memo file made consistent from every note that can be read. The old file is
    // copied to backupPath first; the new one takes its place in one transaction with the records'
    // memo pointers, the only bytes of the table that change. Returns the records with a note that
    // could not be read; their memo fields are now empty.
    Result<std::vector<std::uint32_t>> repairMemoFile(const std::string& backupPath);
    // Closes the structural index; its file may then be deleted. Opened exclusively, the header stops
    // flagging it at once.
    Status closeIndexes();
    // Every invariant of the index file, and that each tag holds exactly the keys of its records.
    Status verifyIndex();

    Result<Expression> compile(std::string_view expression) const;
    // "" removes the query.
    Status setQuery(std::string_view expression);
    const std::string& query() const;
    Result<std::uint32_t> queryRecCount();
    Result<bool> evalLogical(std::string_view expression) const;

    // Every record in record order, from a read-ahead buffer; stop by returning false. Pending changes of
    // the current record are not seen.
    Status scan(const std::function<bool(std::uint32_t recno, std::string_view record)>& visit);
    // Every record of the view (the query, and the tag's condition in a tag order) in the current order,
    // as moving from the top to the bottom would meet them, but read in one pass through the file; stop by
    // returning false. The current record does not move. Pending changes of the current record are not seen.
    Status scanView(const std::function<bool(std::uint32_t recno, std::string_view record)>& visit);

    // Exclusive use only. Pack drops records flagged deleted and rewrites the memo file with the live
    // memos only; zap drops every record. Progress goes from 0 to 100.
    Status pack(const ProgressFn& progress = {});
    Status zap(const ProgressFn& progress = {});

private:
    enum class State
    {
        Browse,
        Edit,
        Append,
    };
    enum class Direction
    {
        Forward,
        Backward,
    };

    Table() = default;
    // Opens the DBF, and the memo file and structural index when they exist, in the table's mode.
    Status openFiles();
    Status load();
    Status refreshCount(bool force = false);
    Status readRecord(std::uint32_t recno);
    // Reads past the cache: what another writer may just have changed.
    Status readRecordFresh(std::uint32_t recno);
    void blankRecord();
    Status setEof();
    bool passes() const;
    Status seekPassing(std::uint32_t from, Direction direction, bool& found);
    // goTop and goBottom.
    Status goToEnd(Direction direction);
    // The first (forward) or last (backward) record of the view in the current order.
    Status positionAtEnd(Direction direction, bool& found);
    // The next record of the view from the current one.
    Status stepPassing(Direction direction, bool& found);
    // From the cursor's entry on, the first record that passes the query.
    Status followCursor(Direction direction, bool& found);
    // Puts the cursor on the current record's entry (onCurrent) or, for a record the tag leaves out,
    // on the first entry after where it would be.
    Status syncCursor(bool& onCurrent);
    // Shared use: index pages are read under the index lock, after catching up with other writers. The
    // lock is taken when a move first needs a page and let go when the move ends.
    Status holdIndexRead();
    void releaseIndexRead();
    Status setIndexFlag(bool on);
    TableIndex::Scan scanner();
    // After a failed commit: drop what the transaction left in memory.
    void discardPending();
    // After a failed post: the open transaction (batch or not), its locks and what was read under it.
    void dropTransaction();
    Status setDeletedInBatch(std::span<const std::uint32_t> recnos, bool deleted, const RecordTest& accept,
                             std::vector<std::uint32_t>& changed);
    // Before the first write of a transaction, shared use: the index lock, and the pages other writers
    // changed meanwhile.
    Status lockIndexForWrite();
    Status beginChange();
    Status writePending();
    Status commit();
    void releaseLocks();
    Status lockDbf(std::uint64_t offset, bool wait);
    Status requireExclusive(const char* what) const;
    Status requireWritable() const;
    std::uint32_t memoBlock(std::string_view pointer) const;
    // Once per open, before the first write: new notes go at the memo file's next free block, so that
    // block must lie past the file's end and past every note a record points at. When it does not,
    // writing is refused for the rest of the open; reading goes on.
    Status requireSoundMemoSpace();
    Result<std::string> memoSpaceDamage();
    void setMemoPointer(int number, std::uint32_t block);
    // Commits a pack or zap (or rolls back what it left pending) and stands on the first record.
    Status finishRewrite(Status status, const ProgressFn& progress);
    // The memo file holding only the notes of records (count of them, whose memo pointers are set to
    // the new blocks). With unreadable given, a note that cannot be read is left out and its record
    // listed there; without, it fails the rewrite.
    Result<std::string> memoImage(std::string& records, std::uint32_t count, const ProgressFn& progress,
                                  std::vector<std::uint32_t>* unreadable = nullptr);
    // Writes a pack's files beside the table's and swaps them in through the journal.
    // renumber maps each old record number to its new one (0: dropped).
    Status swapInPacked(std::string_view header, const std::string& records, std::uint32_t count,
                        std::span<const std::uint32_t> renumber, const std::string* memo, const ProgressFn& progress);
    Status buildIndexFile(const std::string& path, std::span<const TagExpressions> tags, const ProgressFn& progress);
    std::string fileBeside(const char* extension) const;
    Date3 today();

    std::string m_path;
    OpenMode m_mode = OpenMode::Shared;
    TableOptions m_options;
    FileSystem* m_fs = nullptr;
    std::unique_ptr<RollbackView> m_view; // read-only opens beside a journal
    bool m_rolledBackInMemory = false;
    std::unique_ptr<File> m_dbfFile;
    std::unique_ptr<File> m_memoFile;
    std::unique_ptr<File> m_cdxFile;
    std::unique_ptr<PendingFile> m_cdxDevice;
    std::unique_ptr<TableIndex> m_index;
    int m_order = 0;
    std::optional<CdxCursor> m_cursor;
    bool m_cursorSynced = false;
    bool m_indexLocked = false;
    bool m_indexReadHeld = false;
    std::string m_original; // the record as it was before the pending edit
    std::unique_ptr<PendingFile> m_dbf;
    std::unique_ptr<PendingFile> m_memoDevice;
    std::optional<MemoFile> m_memo;
    std::unique_ptr<Journal> m_journal;
    DbfHeader m_header;
    LockScheme m_locks;

    std::uint32_t m_count = 0;
    bool m_countValid = false;
    std::uint32_t m_recno = 0;
    bool m_eof = true;
    bool m_bof = true;
    std::string m_record;
    RecordCache m_cache;

    State m_state = State::Browse;
    std::map<int, std::string> m_pendingMemos;
    bool m_inBatch = false;
    std::set<std::uint64_t> m_heldDbfLocks;
    bool m_memoLocked = false;
    LockScheme::Range m_allRecordsLock;
    bool m_memoSpaceChecked = false;
    std::optional<Error> m_memoSpaceDamage;

    Date3 m_today;
    std::int64_t m_todayCheckedAt = -1000;

    std::optional<Expression> m_query;
    std::string m_noQuery;
};

} // namespace quorvo::xbase
