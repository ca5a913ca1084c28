#include "store/xbase/RollbackView.h"

#include "store/xbase/Journal.h"
#include "store/xbase/SiblingPath.h"

#include <array>

namespace quorvo::xbase {

namespace {

// One open of a rolled-back file: every call goes to the view's shared overlay.
class ViewHandle : public File
{
public:
    explicit ViewHandle(OverlayFile& target) : m_target(target) {}
    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> out) override
    {
        return m_target.readAt(offset, out);
    }
    Status writeAt(std::uint64_t offset, std::span<const char> data) override { return m_target.writeAt(offset, data); }
    Result<std::uint64_t> size() override { return m_target.size(); }
    Status truncate(std::uint64_t size) override { return m_target.truncate(size); }
    Status sync() override { return {}; }
    Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, bool wait) override
    {
        return m_target.lock(offset, length, kind, wait);
    }
    Status unlock(std::uint64_t offset, std::uint64_t length) override { return m_target.unlock(offset, length); }
    const std::string& path() const override { return m_target.path(); }

private:
    OverlayFile& m_target;
};

Error readOnly(const std::string& path)
{
    return makeError(ErrorCode::BadState, path + ": the files are open read-only");
}

} // namespace

Result<bool> RollbackView::prepare()
{
    m_rolledBack.clear();
    m_swapped.clear();
    m_journalPath = siblingPath(m_tablePath, ".JNL");
    if (!m_base.exists(m_journalPath))
        return false;
    auto journal = Journal::openReadOnly(m_base, m_journalPath);
    if (!journal)
        return journal.error();
    // A swap the writer did not finish shows its new files under the old names.
    auto moves = (*journal)->pendingSwap();
    if (!moves)
        return moves.error();
    m_swapped.clear();
    for (const JournalMove& move : *moves)
        m_swapped.emplace(move.to, move.from);
    if (!m_swapped.empty())
        return true;
    // The roles are the table's: DBF, memo file, index, in the order Table::open gives them.
    std::array<std::string, 3> paths{m_tablePath, siblingPath(m_tablePath, ".FPT"), siblingPath(m_tablePath, ".CDX")};
    std::array<File*, 3> files{};
    std::map<std::string, std::unique_ptr<OverlayFile>> overlays;
    for (std::size_t role = 0; role < paths.size(); ++role) {
        if (!m_base.exists(paths[role]))
            continue;
        auto file = m_base.open(paths[role], OpenMode::ReadOnly, false);
        if (!file)
            return file.error();
        auto overlay = std::make_unique<OverlayFile>(std::move(*file));
        files[role] = overlay.get();
        overlays.emplace(paths[role], std::move(overlay));
    }
    auto replayed = (*journal)->replay(files);
    if (!replayed)
        return replayed.error();
    m_rolledBack = std::move(overlays);
    return *replayed;
}

Result<std::unique_ptr<File>> RollbackView::open(const std::string& path, OpenMode, bool create)
{
    if (auto it = m_rolledBack.find(path); it != m_rolledBack.end())
        return std::unique_ptr<File>(new ViewHandle(*it->second));
    if (auto it = m_swapped.find(path); it != m_swapped.end())
        return m_base.open(it->second, OpenMode::ReadOnly, false);
    if (create && !m_base.exists(path))
        return readOnly(path);
    return m_base.open(path, OpenMode::ReadOnly, false);
}

bool RollbackView::exists(const std::string& path)
{
    // The journal has been accounted for: nothing beyond this view should roll it back.
    if (!m_journalPath.empty() && path == m_journalPath)
        return false;
    return m_rolledBack.count(path) != 0 || m_swapped.count(path) != 0 || m_base.exists(path);
}

Status RollbackView::remove(const std::string& path)
{
    return readOnly(path);
}

Status RollbackView::rename(const std::string& from, const std::string&)
{
    return readOnly(from);
}

} // namespace quorvo::xbase
