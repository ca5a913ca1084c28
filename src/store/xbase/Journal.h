#pragma once

#include "store/xbase/File.h"
#include "store/xbase/PendingFile.h"

#include <memory>
#include <span>
#include <string>

namespace quorvo::xbase {

// The side journal that makes each change to the table's files all-or-nothing. Before commit writes
// a byte of a data file, the bytes it will overwrite (and the file sizes) go to the journal, which is
// synced once; then the data files are written and synced and the journal is emptied. A journal found
// non-empty belongs to a writer that died midway and is rolled back before anyone writes again.
//
// Layout: "QVJNL\x01\0\0", payload length u32 LE, checksum of the payload u32 LE (FNV-style, eight bytes a step),
// payload: file count u8, per file (role u8, original size u64 LE), entry count u32 LE, per entry (role u8, offset u64
// LE, length u32 LE, the old bytes). A role is the index of the file in the span given to commit() and recover(); a
// journal whose checksum fails was never complete, so no data byte was written.
//
// Commits of all processes are serialized by an exclusive lock on journal byte 0.
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

    Status recover(std::span<File* const> files);
    // Rolls an interrupted change back into files (overlays, say) and leaves the journal as it is; true
    // when the journal held one.
    Result<bool> replay(std::span<File* const> files);
    // Writes every pending change of files as one transaction and clears them. On failure the files are
    // rolled back (or, if even that fails, left for the next recover()) and the changes are dropped.
    Status commit(std::span<PendingFile* const> files);

    const std::string& path() const { return m_file->path(); }

private:
    explicit Journal(std::unique_ptr<File> file) : m_file(std::move(file)) {}
    Status recoverLocked(std::span<File* const> files);
    Result<bool> rollBack(std::span<File* const> files);
    Status writeAndApply(std::span<PendingFile* const> files);

    // A commit leaves the journal invalid rather than empty: overwriting its prologue costs less than
    // cutting the file, which only happens once the journal has grown large.
    Status invalidate();

    std::unique_ptr<File> m_file;
    bool m_sync = true;
    bool m_shared = true;
    bool m_knownClean = false; // this object emptied it last, and no one else writes it (exclusive use)
};

} // namespace quorvo::xbase
