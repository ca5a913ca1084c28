#include "store/xbase/DiskFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvo::xbase {

namespace {

Error ioError(const std::string& what, const std::string& path, int err)
{
    return makeError(ErrorCode::Io, what + " " + path + ": " + std::strerror(err));
}

constexpr std::uint64_t kWritePiece = 64 * 1024;

class DiskFile : public File
{
public:
    DiskFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~DiskFile() override { ::close(m_fd); }
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> out) override
    {
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return ioError("cannot read", m_path, errno);
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    Status writeAt(std::uint64_t offset, std::span<const char> data) override
    {
        std::size_t done = 0;
        while (done < data.size()) {
            // Linux sizes a page-cache folio after the write that creates it, and a later small write
            // into a folio walks every block of it: one 13 MB write (a batch of appends, a pack) made
            // each later post's write of one record cost 8 µs instead of 1. Aligned pieces of
            // kWritePiece bytes keep the folios that small.
            const std::uint64_t at = offset + done;
            const std::size_t piece =
                static_cast<std::size_t>(std::min<std::uint64_t>(data.size() - done, kWritePiece - at % kWritePiece));
            const ssize_t n = ::pwrite(m_fd, data.data() + done, piece, static_cast<off_t>(at));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return ioError("cannot write", m_path, errno);
            }
            done += static_cast<std::size_t>(n);
        }
        return {};
    }

    Result<std::uint64_t> size() override
    {
        struct stat st
        {};
        if (::fstat(m_fd, &st) != 0)
            return ioError("cannot stat", m_path, errno);
        return static_cast<std::uint64_t>(st.st_size);
    }

    Status truncate(std::uint64_t newSize) override
    {
        if (::ftruncate(m_fd, static_cast<off_t>(newSize)) != 0)
            return ioError("cannot truncate", m_path, errno);
        return {};
    }

    Status sync() override
    {
        if (::fdatasync(m_fd) != 0)
            return ioError("cannot sync", m_path, errno);
        return {};
    }

    Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) override
    {
        struct flock fl
        {};
        fl.l_type = kind == LockKind::Shared ? F_RDLCK : F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = static_cast<off_t>(length);
        while (::fcntl(m_fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) != 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EACCES)
                return makeError(ErrorCode::Locked, "the record or file is locked by another user: " + m_path);
            return ioError("cannot lock", m_path, errno);
        }
        return {};
    }

    Status unlock(std::uint64_t offset, std::uint64_t length) override
    {
        struct flock fl
        {};
        fl.l_type = F_UNLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = static_cast<off_t>(offset);
        fl.l_len = static_cast<off_t>(length);
        if (::fcntl(m_fd, F_OFD_SETLK, &fl) != 0)
            return ioError("cannot unlock", m_path, errno);
        return {};
    }

    const std::string& path() const override { return m_path; }
    void movedTo(const std::string& path) override { m_path = path; }

private:
    int m_fd;
    std::string m_path;
};

} // namespace

Result<std::unique_ptr<File>> DiskFileSystem::open(const std::string& path, OpenMode mode, bool create)
{
    const int flags = (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | (create ? O_CREAT : 0);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0)
        return ioError("cannot open", path, errno);
    if (mode != OpenMode::Plain) {
        const int op = (mode == OpenMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
        int rc;
        while ((rc = ::flock(fd, op)) != 0 && errno == EINTR) {
        }
        if (rc != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK)
                return makeError(ErrorCode::InUse, "the file is in use: " + path);
            return ioError("cannot lock", path, err);
        }
    }
    return std::unique_ptr<File>(new DiskFile(fd, path));
}

bool DiskFileSystem::exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

Status DiskFileSystem::remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return ioError("cannot remove", path, errno);
    return {};
}

Status DiskFileSystem::rename(const std::string& from, const std::string& to)
{
    return renameAll({{from, to}}, true);
}

Status DiskFileSystem::renameAll(const std::vector<std::pair<std::string, std::string>>& moves, bool durable)
{
    for (const auto& [from, to] : moves)
        if (::rename(from.c_str(), to.c_str()) != 0)
            return ioError("cannot rename", from, errno);
    if (!durable || moves.empty())
        return {};
    // Every rename of a batch is in one folder (a table's files): one sync makes them all durable.
    const std::string& to = moves.back().second;
    const auto slash = to.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : to.substr(0, slash));
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return ioError("cannot open folder", dir, errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        return ioError("cannot sync folder", dir, err);
    return {};
}

FileSystem& diskFileSystem()
{
    static DiskFileSystem instance;
    return instance;
}

} // namespace quorvo::xbase
