#pragma once

#include "store/xbase/File.h"

namespace quorvo::xbase::test {

// Wraps another file system and fails its Nth changing operation (write, truncate or sync, counted from
// 1 across all files); with crash set, every later change fails too, as after a power cut.
class FailingFileSystem : public FileSystem
{
public:
    explicit FailingFileSystem(FileSystem& inner) : m_inner(inner) {}

    void failAt(int operation, bool crash)
    {
        m_failAt = operation;
        m_crash = crash;
        m_count = 0;
    }
    int changesSeen() const { return m_count; }
    // Called by the files it hands out; true when this change must fail.
    bool shouldFail();

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode, bool create) override;
    bool exists(const std::string& path) override { return m_inner.exists(path); }
    Status remove(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;

private:
    FileSystem& m_inner;
    int m_failAt = 0;
    bool m_crash = false;
    int m_count = 0;
};

} // namespace quorvo::xbase::test
