#pragma once

#include "store/xbase/File.h"

#include <map>
#include <memory>
#include <string>

namespace quorvo::xbase::test {

// Files in memory that remember what was last synced: dropUnsynced() puts every file back to its
// synced bytes, which is what a disk holds after a power cut. Locks always succeed.
class VolatileFileSystem : public FileSystem
{
public:
    struct Content
    {
        std::string current;
        std::string durable;
    };

    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode, bool create) override;
    bool exists(const std::string& path) override { return m_files.count(path) != 0; }
    Status remove(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;

    void dropUnsynced();
    // The bytes a file holds now (empty when missing).
    std::string bytes(const std::string& path) const;

private:
    std::map<std::string, std::shared_ptr<Content>> m_files;
};

} // namespace quorvo::xbase::test
