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
    // With one writer only (an exclusive open), the file's size is remembered instead of asked each
    // time: nobody else can change it.
    void setSoleWriter(bool on)
    {
        m_soleWriter = on;
        m_diskSize.reset();
    }
    bool soleWriter() const override { return m_soleWriter; }
    // The size of the file on disk, without this transaction's changes.
    Result<std::uint64_t> diskSize();
    // The journal wrote the file (size: what it holds now) or rolled it back (nullopt: ask again).
    void diskChanged(std::optional<std::uint64_t> size) { m_diskSize = m_soleWriter ? size : std::nullopt; }
    bool dirty() const { return !m_extents.empty() || m_sizeSet.has_value(); }
    const std::map<std::uint64_t, std::string>& extents() const { return m_extents; }
    // Disk bytes at and beyond this offset are gone (a truncate in this transaction).
    std::optional<std::uint64_t> diskLimit() const { return m_diskLimit; }
    // A sole writer's caller that holds bytes of the file as they are on disk (a page or record it is
    // about to change) hands them over, so the journal need not read them back. The first bytes noted
    // at an offset in a transaction stand; later notes there are ignored.
    void noteOriginal(std::uint64_t offset, std::span<const char> bytes) override;
    // Fills out with the disk bytes at offset from what was noted; false when some were not.
    bool copyOriginal(std::uint64_t offset, std::span<char> out) const;
    // Forgets every pending change (after commit, or to abandon the transaction).
    void clear();

private:
    File& m_file;
    std::map<std::uint64_t, std::string> m_extents; // start offset -> bytes; never overlapping or touching
    std::optional<std::uint64_t> m_diskLimit;
    std::optional<std::uint64_t> m_sizeSet; // the size the last truncate gave; later writes may extend it
    bool m_soleWriter = false;
    std::map<std::uint64_t, std::string> m_originals;
    std::optional<std::uint64_t> m_diskSize;
};

} // namespace quorvo::xbase
