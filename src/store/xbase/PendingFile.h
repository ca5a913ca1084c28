#pragma once

#include "store/xbase/BlockDevice.h"
#include "store/xbase/File.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorvo::xbase {

// One data file as the open transaction sees it. Writes collect in memory as byte extents (merged when
// they touch) and reach the file only through Journal::commit, so a transaction that fails midway
// leaves the file untouched. Extents are byte-exact on purpose: in shared use another process may
// change the neighbouring record, and writing back a whole page would undo its change.
class PendingFile : public BlockDevice
{
public:
    explicit PendingFile(File& file) : m_file(file) {}

    Status read(std::uint64_t offset, std::span<char> out) override;
    Status write(std::uint64_t offset, std::span<const char> data) override;
    Result<std::uint64_t> size() override;
    Status truncate(std::uint64_t size) override;
    const std::string& path() const override { return m_file.path(); }

    File& file() { return m_file; }
    bool dirty() const { return !m_extents.empty() || m_sizeSet.has_value(); }
    const std::map<std::uint64_t, std::string>& extents() const { return m_extents; }
    // Disk bytes at and beyond this offset are gone (a truncate in this transaction).
    std::optional<std::uint64_t> diskLimit() const { return m_diskLimit; }
    // Forgets every pending change (after commit, or to abandon the transaction).
    void clear();

private:
    File& m_file;
    std::map<std::uint64_t, std::string> m_extents; // start offset -> bytes; never overlapping or touching
    std::optional<std::uint64_t> m_diskLimit;
    std::optional<std::uint64_t> m_sizeSet; // the size the last truncate gave; later writes may extend it
};

} // namespace quorvo::xbase
