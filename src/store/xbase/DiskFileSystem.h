#pragma once

#include "store/xbase/File.h"

namespace quorvo::xbase {

class DiskFileSystem : public FileSystem
{
public:
    Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode, bool create) override;
    bool exists(const std::string& path) override;
    Status remove(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;
    Status renameAll(const std::vector<std::pair<std::string, std::string>>& moves, bool durable) override;
};

} // namespace quorvo::xbase
