#pragma once

#include "store/xbase/Error.h"
#include "store/xbase/FieldInfo.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvo::xbase {

struct Date3
{
    int year = 0;
    int month = 0;
    int day = 0;
};

// The table header and field descriptors: everything before record 1.
//
// Layout (little-endian): version byte, update date YY MM DD (YY = year mod 100), record count u32 at 4,
// header length u16 at 8, record length u16 at 10, flags at 28 (0x01 = structural CDX exists), code page
// mark at 29; then 32-byte descriptors (name[11] NUL-padded, type, displacement u32, width, decimals),
// 0x0D, and for Visual FoxPro tables a 263-byte backlink area.
class DbfHeader
{
public:
    static constexpr std::size_t kPrefixSize = 32;
    static constexpr std::size_t kDescriptorSize = 32;
    static constexpr std::size_t kBacklinkSize = 263;
    static constexpr unsigned char kFoxProMemo = 0xF5;
    static constexpr unsigned char kNoMemo = 0x03;
    static constexpr unsigned char kDbaseMemo = 0x83;
    static constexpr unsigned char kVisualFoxPro = 0x30;
    static constexpr unsigned char kCodePage1252 = 0x03;
    static constexpr unsigned char kFlagStructuralCdx = 0x01;

    // Checks a new table's definitions and lays them out: names up to 10 characters, no duplicates
    // (in any letter case), C 1-254, L 1, M 10, D 8, N 1-20 with fewer decimals than width.
    static Result<DbfHeader> forNewTable(std::span<const FieldInfo> fields, Date3 today);

    // Parses bytes read from the start of a file (at least the whole header). fileName names the file
    // in error messages.
    static Result<DbfHeader> parse(std::string_view bytes, const std::string& fileName);
    // How many bytes parse() needs: the header length stored at offset 8 (0 if prefix is too short).
    static std::size_t storedHeaderLength(std::string_view prefix);

    std::string serialize() const;
    // The 32-byte prefix alone (what an append rewrites).
    std::string serializePrefix() const;

    unsigned char version() const { return m_version; }
    bool isVisualFoxPro() const { return m_version >= 0x30 && m_version <= 0x32; }
    bool hasMemo() const;
    bool usesDbtMemo() const { return m_version == kDbaseMemo || m_version == 0x8B; }
    std::uint32_t recordCount() const { return m_recordCount; }
    void setRecordCount(std::uint32_t count) { m_recordCount = count; }
    std::uint16_t headerLength() const { return m_headerLength; }
    std::uint16_t recordLength() const { return m_recordLength; }
    unsigned char flags() const { return m_flags; }
    void setFlags(unsigned char flags) { m_flags = flags; }
    unsigned char codePage() const { return m_codePage; }
    Date3 lastUpdate() const { return m_lastUpdate; }
    void setLastUpdate(Date3 date) { m_lastUpdate = date; }
    const std::vector<FieldInfo>& fields() const { return m_fields; }

private:
    unsigned char m_version = kNoMemo;
    Date3 m_lastUpdate;
    std::uint32_t m_recordCount = 0;
    std::uint16_t m_headerLength = 0;
    std::uint16_t m_recordLength = 0;
    unsigned char m_flags = 0;
    unsigned char m_codePage = kCodePage1252;
    std::vector<FieldInfo> m_fields;
};

} // namespace quorvo::xbase
