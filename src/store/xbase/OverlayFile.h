#pragma once

#include "store/xbase/File.h"
#include "store/xbase/PendingFile.h"

#include <memory>

namespace quorvo::xbase {

// A file opened read-only with changes laid over it in memory: what a read-only command sees of a
// table whose interrupted change has yet to be rolled back. Nothing reaches the disk; sync does
// nothing, and locks are the underlying file's.
class OverlayFile : public File
{
public:
    explicit OverlayFile(std::unique_ptr<File> base) : m_base(std::move(base)), m_changes(*m_base) {}

    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> out) override;
    Status writeAt(std::uint64_t offset, std::span<const char> data) override { return m_changes.write(offset, data); }
    Result<std::uint64_t> size() override { return m_changes.size(); }
    Status truncate(std::uint64_t size) override { return m_changes.truncate(size); }
    Status sync() override { return {}; }
    Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) override
    {
        return m_base->lock(offset, length, kind, wait);
    }
    Status unlock(std::uint64_t offset, std::uint64_t length) override { return m_base->unlock(offset, length); }
    const std::string& path() const override { return m_base->path(); }

private:
    std::unique_ptr<File> m_base;
    PendingFile m_changes;
};

} // namespace quorvo::xbase
