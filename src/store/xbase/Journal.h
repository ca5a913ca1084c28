#pragma once

#include "store/xbase/File.h"
#include "store/xbase/PendingFile.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvo::xbase {

// A byte range [from, to) of one data file whose old bytes go to the journal.
struct JournalRange
{
    std::uint64_t from;
    std::uint64_t to;
};

// A file that replaces another as a whole when a swap commits (pack): from is written and synced
// beside to, then renamed over it. size is what from holds.
struct JournalMove
{
    std::string from;
    std::string to;
    std::uint64_t size = 0;
};

// The side journal that makes each change to the table's files all-or-nothing. It holds one of two
// kinds of transaction.
//
// Rollback: before commit writes a byte of a data file, the bytes it will overwrite (and the file sizes)
// go to the journal, which is synced once; then the data files are written and synced and the journal is
// marked spent, without a sync: the journal also fingerprints what the change writes, and one found on
// disk whose change is there whole is not rolled back. So a synced commit costs one sync for the journal
// and one for each data file it changes. A journal found holding a change that is not whole belongs to
// a writer that died midway and is rolled back before anyone writes again.
// Layout: "QVJNL\x03\0\0", payload length u32 LE, checksum of the payload u32 LE (FNV-style, eight bytes a step),
// payload: file count u8, per file (role u8, original size u64 LE, size after the change u64 LE), fingerprint
// u32 LE and count u32 LE of the extents the change writes, per extent (role u8, offset u64 LE, length u64 LE),
// entry count u32 LE, per entry (role u8, offset u64 LE, length u32 LE, the old bytes). A role is the index of
// the file in the span given to commit() and recover(); a journal whose checksum fails was never complete, so
// no data byte was written. Version 1 lacks the sizes after the change and the extents, and is always rolled
// back: earlier builds wrote it, and this one still does for a change that writes more than 1 MB (a batch, a tag
// build), whose spent mark it syncs rather than fingerprint megabytes.
//
// Swap: whole new files were written and synced beside the old ones; once the journal names them the
// change has happened, and the renames that follow are finished by whoever finds the journal. Before it
// names them, the old files are untouched. Layout: "QVJNL\x02\0\0", payload length, checksum as above;
// payload: move count u8, per move (from name length u16 LE, name, to name length u16 LE, name, size of
// the new file u64 LE). Names are bare file names in the journal's folder. A new file is renamed only when
// it still has its recorded size, so a later writer's leftover of the same name is never taken for it.
//
// A spent journal starts with sixteen zero bytes. A journal of another version is refused, never taken
// for spent: the program that wrote it has to finish it. Commits of all processes are serialized by an
// exclusive lock on journal byte 0.
class Journal
{
public:
    static Result<std::unique_ptr<Journal>> open(FileSystem& fs, const std::string& path);
    // For replay() only: the journal is neither locked nor changed.
    static Result<std::unique_ptr<Journal>> openReadOnly(FileSystem& fs, const std::string& path);

    // Without sync a commit is still all-or-nothing against a failing write, but a power cut may lose
    // it (benchmarks and bulk tests).
    void setSync(bool on) { m_sync = on; }
    bool sync() const { return m_sync; }
    // A journal beside a table open exclusively has one writer, who needs no commit lock.
    void setShared(bool shared) { m_shared = shared; }

    // A table holds the commit lock while it opens its files, so no one finishes a swap under it; calls nest.
    Status hold();
    void release();

    // Finishes a swap a writer left (files opened before it are stale then: true) and otherwise leaves
    // the journal to recover().
    Result<bool> finishSwap();
    // What an unfinished swap will rename, as full paths; the journal is neither locked nor changed.
    Result<std::vector<JournalMove>> pendingSwap();
    Status recover(std::span<File* const> files);
    // Rolls an interrupted change back into files (overlays, say) and leaves the journal as it is; true
    // when the journal held one.
    Result<bool> replay(std::span<File* const> files);
    // Writes every pending change of files as one transaction and clears them. On failure the files are
    // rolled back (or, if even that fails, left for the next recover()) and the changes are dropped.
    Status commit(std::span<PendingFile* const> files);
    // Names the new files (already whole and synced) in the journal and renames each over its old file.
    // committed tells whether the journal named them: from then on the swap has happened even if a
    // rename failed, and the next recover() finishes it.
    Status commitSwap(std::span<const JournalMove> moves, bool& committed);

    const std::string& path() const { return m_file->path(); }

private:
    enum class Kind
    {
        Spent,
        Rollback,
        Swap,
    };
    struct Contents
    {
        Kind kind = Kind::Spent;
        bool withAfter = false; // a rollback that says what the change wrote
        std::string bytes;
        std::size_t payloadLength = 0; // the payload follows the prologue in bytes
        std::string_view payload() const;
    };

    Journal(FileSystem& fs, std::unique_ptr<File> file);
    // failed: the change in the journal is known to have failed, so it is rolled back even if whole.
    Status recoverLocked(std::span<File* const> files, bool failed = false);
    Result<Contents> read();
    Result<bool> rollBack(std::span<File* const> files);
    // False when the change turns out whole on disk (and mayBeWhole): nothing was rolled back.
    Result<bool> applyRollback(std::string_view payload, bool withAfter, bool mayBeWhole, std::span<File* const> files);
    // The moves whose new file is still there with its recorded size.
    Result<std::vector<JournalMove>> movesLeft(std::string_view payload);
    Status finishSwapLocked(std::string_view payload);
    Status writeAndApply(std::span<PendingFile* const> files);

    // A commit leaves the journal invalid rather than empty: overwriting its prologue costs less than
    // cutting the file, which only happens once the journal has grown large. durable syncs the mark
    // (with sync on).
    Status invalidate(bool durable = true);

    FileSystem& m_fs;
    std::string m_folder; // the journal's folder, with its trailing slash
    std::unique_ptr<File> m_file;
    int m_holds = 0;
    bool m_sync = true;
    bool m_shared = true;
    bool m_knownClean = false; // this object emptied it last, and no one else writes it (exclusive use)
    std::optional<std::uint64_t> m_knownLength; // the journal file's length, when this object alone writes it
    std::string m_payload;
    std::vector<std::uint64_t> m_originalSizes;
    std::vector<JournalRange> m_ranges;
    std::vector<JournalRange> m_merged;
    std::vector<File*> m_raw;
};

} // namespace quorvo::xbase
