#pragma once

#include "store/xbase/BlockDevice.h"
#include "store/xbase/File.h"

namespace quorvo::xbase {

// A file written straight through, with no transaction: for a new file that is nobody's until a
// swap names it (a pack's index), where collecting the writes first would only copy them.
class FileDevice : public BlockDevice
{
public:
    explicit FileDevice(File& file) : m_file(file) {}

    Status read(std::uint64_t offset, std::span<char> out) override { return m_file.readExact(offset, out); }
    Status write(std::uint64_t offset, std::span<const char> data) override { return m_file.writeAt(offset, data); }
    Result<std::uint64_t> size() override { return m_file.size(); }
    Status truncate(std::uint64_t size) override { return m_file.truncate(size); }
    const std::string& path() const override { return m_file.path(); }
    bool soleWriter() const override { return true; }

private:
    File& m_file;
};

} // namespace quorvo::xbase
