#include "support/xbase/FailingFileSystem.h"

namespace quorvo::xbase::test {

namespace {

Error injected(const std::string& path)
{
    return makeError(ErrorCode::Io, "injected failure on " + path);
}

class FailingFile : public File
{
public:
    FailingFile(std::unique_ptr<File> inner, FailingFileSystem& owner) : m_inner(std::move(inner)), m_owner(owner) {}

    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> out) override
    {
        return m_inner->readAt(offset, out);
    }
    Status writeAt(std::uint64_t offset, std::span<const char> data) override
    {
        if (m_owner.shouldFail())
            return injected(path());
        return m_inner->writeAt(offset, data);
    }
    Result<std::uint64_t> size() override { return m_inner->size(); }
    Status truncate(std::uint64_t size) override
    {
        if (m_owner.shouldFail())
            return injected(path());
        return m_inner->truncate(size);
    }
    Status sync() override
    {
        if (m_owner.shouldFail())
            return injected(path());
        return m_inner->sync();
    }
    Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) override
    {
        return m_inner->lock(offset, length, kind, wait);
    }
    Status unlock(std::uint64_t offset, std::uint64_t length) override { return m_inner->unlock(offset, length); }
    const std::string& path() const override { return m_inner->path(); }
    void movedTo(const std::string& path) override { m_inner->movedTo(path); }

private:
    std::unique_ptr<File> m_inner;
    FailingFileSystem& m_owner;
};

} // namespace

bool FailingFileSystem::shouldFail()
{
    ++m_count;
    return m_failAt > 0 && (m_count == m_failAt || (m_crash && m_count > m_failAt));
}

Result<std::unique_ptr<File>> FailingFileSystem::open(const std::string& path, OpenMode mode, bool create)
{
    auto inner = m_inner.open(path, mode, create);
    if (!inner)
        return inner.error();
    return std::unique_ptr<File>(new FailingFile(std::move(*inner), *this));
}

Status FailingFileSystem::remove(const std::string& path)
{
    if (shouldFail())
        return injected(path);
    return m_inner.remove(path);
}

Status FailingFileSystem::rename(const std::string& from, const std::string& to)
{
    if (shouldFail())
        return injected(from);
    return m_inner.rename(from, to);
}

} // namespace quorvo::xbase::test
