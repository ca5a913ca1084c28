#pragma once

#include "store/xbase/Error.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quorvo::xbase {

enum class LockKind
{
    Shared,
    Exclusive,
};

// How a file is opened. Shared and exclusive are the table's open modes: they hold a whole-file
// flock (LOCK_SH / LOCK_EX, never waiting) for as long as the file is open, so other xBase programs on
// Linux exclude us and we exclude them. Plain takes no open-mode lock (the journal). ReadOnly is shared
// use without the right to write: commands that only read, on files the user may not write.
enum class OpenMode
{
    Shared,
    Exclusive,
    Plain,
    ReadOnly,
};

// One open data file. Byte-range locks are open-file-description locks, so they belong to this object
// and not to the process: two opens in one process exclude each other like two processes do.
class File
{
public:
    virtual ~File() = default;

    // Reads up to out.size() bytes; fewer only at the end of the file.
    virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<char> out) = 0;
    virtual Status writeAt(std::uint64_t offset, std::span<const char> data) = 0;
    virtual Result<std::uint64_t> size() = 0;
    virtual Status truncate(std::uint64_t size) = 0;
    virtual Status sync() = 0;
    // A refused lock is ErrorCode::Locked; with wait set the call blocks until the lock is granted.
    virtual Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) = 0;
    virtual Status unlock(std::uint64_t offset, std::uint64_t length) = 0;
    virtual const std::string& path() const = 0;
    // The file was renamed to path while open (a swap): path() names it from now on.
    virtual void movedTo(const std::string&) {}

    // Reads exactly out.size() bytes or fails with Corrupt naming the file and offset.
    Status readExact(std::uint64_t offset, std::span<char> out);
};

class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // create makes the file if it is missing and never empties an existing one. An open-mode
    // conflict is ErrorCode::InUse.
    virtual Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode, bool create) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual Status remove(const std::string& path) = 0;
    // Replaces `to` with `from` in one step, as rename(2) does; on disk the directory is synced so the
    // new name survives a power cut. A missing `from` is ErrorCode::Io.
    virtual Status rename(const std::string& from, const std::string& to) = 0;
    // Several renames inside one folder, in order, stopping at the first failure; with durable set they
    // survive a power cut once it returns. A file system that can make them durable together (one sync of
    // the folder) should.
    virtual Status renameAll(const std::vector<std::pair<std::string, std::string>>& moves, bool durable);
};

// The real disk. One shared instance is enough: it holds no state.
FileSystem& diskFileSystem();

} // namespace quorvo::xbase
