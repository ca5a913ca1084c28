#include "support/xbase/VolatileFileSystem.h"

#include <algorithm>
#include <cstring>

namespace quorvo::xbase::test {

namespace {

class VolatileFile : public File
{
public:
    VolatileFile(std::shared_ptr<VolatileFileSystem::Content> content, std::string path)
        : m_content(std::move(content)), m_path(std::move(path))
    {}

    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> out) override
    {
        const std::string& s = m_content->current;
        if (offset >= s.size())
            return std::size_t{0};
        const std::size_t n = std::min<std::size_t>(out.size(), s.size() - offset);
        std::memcpy(out.data(), s.data() + offset, n);
        return n;
    }
    Status writeAt(std::uint64_t offset, std::span<const char> data) override
    {
        std::string& s = m_content->current;
        if (s.size() < offset + data.size())
            s.resize(offset + data.size(), '\0');
        std::memcpy(s.data() + offset, data.data(), data.size());
        return {};
    }
    Result<std::uint64_t> size() override { return std::uint64_t{m_content->current.size()}; }
    Status truncate(std::uint64_t size) override
    {
        m_content->current.resize(size, '\0');
        return {};
    }
    Status sync() override
    {
        m_content->durable = m_content->current;
        return {};
    }
    Status lock(std::uint64_t, std::uint64_t, LockKind, bool) override { return {}; }
    Status unlock(std::uint64_t, std::uint64_t) override { return {}; }
    const std::string& path() const override { return m_path; }
    void movedTo(const std::string& path) override { m_path = path; }

private:
    std::shared_ptr<VolatileFileSystem::Content> m_content;
    std::string m_path;
};

} // namespace

Result<std::unique_ptr<File>> VolatileFileSystem::open(const std::string& path, OpenMode, bool create)
{
    auto it = m_files.find(path);
    if (it == m_files.end()) {
        if (!create)
            return makeError(ErrorCode::Io, "cannot open " + path + ": No such file or directory");
        it = m_files.emplace(path, std::make_shared<Content>()).first;
    }
    return std::unique_ptr<File>(new VolatileFile(it->second, path));
}

Status VolatileFileSystem::remove(const std::string& path)
{
    m_files.erase(path);
    return {};
}

Status VolatileFileSystem::rename(const std::string& from, const std::string& to)
{
    const auto it = m_files.find(from);
    if (it == m_files.end())
        return makeError(ErrorCode::Io, "cannot rename " + from + ": no such file");
    // Open files keep their content object, so they follow the new name as they would on disk.
    auto content = it->second;
    m_files.erase(it);
    m_files[to] = std::move(content);
    return {};
}

void VolatileFileSystem::dropUnsynced()
{
    for (auto& [path, content] : m_files)
        content->current = content->durable;
}

std::string VolatileFileSystem::bytes(const std::string& path) const
{
    auto it = m_files.find(path);
    return it == m_files.end() ? std::string() : it->second->current;
}

} // namespace quorvo::xbase::test
