#include "store/xbase/DbfHeader.h"

#include "store/xbase/ByteOrder.h"

#include <algorithm>
#include <cctype>

namespace quorvo::xbase {

namespace {

Error definitionError(const std::string& message)
{
    return makeError(ErrorCode::BadArgument, message);
}

Error corrupt(const std::string& fileName, std::size_t offset, const std::string& what)
{
    return makeError(ErrorCode::Corrupt, fileName + ": " + what + " (offset " + std::to_string(offset) + ")");
}

std::string upperAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool isMemoType(char type)
{
    return type == 'M' || type == 'G' || type == 'P';
}

Status checkDefinition(const FieldInfo& f)
{
    const std::string label = "field " + (f.name.empty() ? std::string("(no name)") : f.name);
    if (f.name.empty() || f.name.size() > 10)
        return definitionError(label + ": a field name has 1 to 10 characters");
    if (!std::isalpha(static_cast<unsigned char>(f.name[0])))
        return definitionError(label + ": a field name starts with a letter");
    for (char c : f.name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return definitionError(label + ": a field name holds letters, digits and '_' only");
    switch (f.type) {
    case 'C':
        if (f.width < 1 || f.width > 254)
            return definitionError(label + ": a character field is 1 to 254 bytes wide");
        break;
    case 'L':
        if (f.width != 1)
            return definitionError(label + ": a logical field is 1 byte wide");
        break;
    case 'M':
        if (f.width != 10)
            return definitionError(label + ": a memo field is 10 bytes wide");
        break;
    case 'D':
        if (f.width != 8)
            return definitionError(label + ": a date field is 8 bytes wide");
        break;
    case 'N':
        if (f.width < 1 || f.width > 20)
            return definitionError(label + ": a numeric field is 1 to 20 bytes wide");
        if (f.decimals > 0 && f.decimals + 2 > f.width)
            return definitionError(label + ": too many decimals for the width");
        break;
    default:
        return definitionError(label + ": unknown field type '" + std::string(1, f.type) + "'");
    }
    if (f.type != 'N' && f.decimals != 0)
        return definitionError(label + ": only numeric fields have decimals");
    return {};
}

} // namespace

bool DbfHeader::hasMemo() const
{
    return std::any_of(m_fields.begin(), m_fields.end(), [](const FieldInfo& f) { return isMemoType(f.type); });
}

Result<DbfHeader> DbfHeader::forNewTable(std::span<const FieldInfo> fields, Date3 today)
{
    if (fields.empty())
        return definitionError("a table needs at least one field");
    if (fields.size() > 255)
        return definitionError("a table has at most 255 fields");
    DbfHeader h;
    std::uint32_t offset = 1;
    for (const FieldInfo& def : fields) {
        FieldInfo f = def;
        f.name = upperAscii(f.name);
        QV_TRY(checkDefinition(f));
        for (const FieldInfo& earlier : h.m_fields)
            if (earlier.name == f.name)
                return definitionError("field " + f.name + ": the name is used twice");
        f.offset = offset;
        offset += f.width;
        h.m_fields.push_back(f);
    }
    if (offset > 65500)
        return definitionError("a record is at most 65500 bytes long");
    h.m_version = h.hasMemo() ? kFoxProMemo : kNoMemo;
    h.m_lastUpdate = today;
    h.m_recordLength = static_cast<std::uint16_t>(offset);
    h.m_headerLength = static_cast<std::uint16_t>(kPrefixSize + kDescriptorSize * fields.size() + 1);
    h.m_codePage = kCodePage1252;
    return h;
}

std::size_t DbfHeader::storedHeaderLength(std::string_view prefix)
{
    if (prefix.size() < kPrefixSize)
        return 0;
    return bytes::readLe(prefix, 8, 2);
}

Result<DbfHeader> DbfHeader::parse(std::string_view b, const std::string& fileName)
{
    if (b.size() < kPrefixSize)
        return corrupt(fileName, b.size(), "the table header is truncated");
    DbfHeader h;
    h.m_version = static_cast<unsigned char>(b[0]);
    h.m_lastUpdate = {static_cast<unsigned char>(b[1]), static_cast<unsigned char>(b[2]),
                      static_cast<unsigned char>(b[3])};
    h.m_recordCount = bytes::readLe(b, 4, 4);
    h.m_headerLength = static_cast<std::uint16_t>(bytes::readLe(b, 8, 2));
    h.m_recordLength = static_cast<std::uint16_t>(bytes::readLe(b, 10, 2));
    h.m_flags = static_cast<unsigned char>(b[28]);
    h.m_codePage = static_cast<unsigned char>(b[29]);
    if (h.m_headerLength < kPrefixSize + 1)
        return corrupt(fileName, 8, "the header length is too small");
    if (b.size() < h.m_headerLength)
        return corrupt(fileName, b.size(), "the table header is truncated");

    std::uint32_t offset = 1;
    std::size_t at = kPrefixSize;
    bool terminated = false;
    while (at < h.m_headerLength) {
        if (b[at] == '\x0D') {
            terminated = true;
            break;
        }
        if (at + kDescriptorSize > h.m_headerLength)
            break;
        FieldInfo f;
        std::size_t nameLength = 0;
        while (nameLength < 11 && b[at + nameLength] != '\0')
            ++nameLength;
        f.name = upperAscii(std::string(b.substr(at, std::min<std::size_t>(nameLength, 10))));
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(b[at + 11])));
        f.width = static_cast<unsigned char>(b[at + 16]);
        f.decimals = static_cast<unsigned char>(b[at + 17]);
        // Readers add up widths; the stored displacement is not trusted.
        f.offset = offset;
        if (f.name.empty())
            return corrupt(fileName, at, "a field descriptor has no name");
        if (f.width == 0)
            return corrupt(fileName, at + 16, "field " + f.name + " has width 0");
        if (f.type == 'C' && f.decimals != 0)
            return corrupt(fileName, at + 17, "field " + f.name + " is a long character field");
        offset += f.width;
        h.m_fields.push_back(std::move(f));
        at += kDescriptorSize;
    }
    if (!terminated)
        return corrupt(fileName, at, "the field descriptors have no terminator");
    if (h.m_fields.empty())
        return corrupt(fileName, kPrefixSize, "the table has no fields");
    if (offset != h.m_recordLength)
        return corrupt(fileName, 10,
                       "the record length " + std::to_string(h.m_recordLength) + " is not 1 + the field widths (" +
                           std::to_string(offset) + ")");
    return h;
}

std::string DbfHeader::serializePrefix() const
{
    std::string out(kPrefixSize, '\0');
    out[0] = static_cast<char>(m_version);
    out[1] = static_cast<char>(m_lastUpdate.year % 100);
    out[2] = static_cast<char>(m_lastUpdate.month);
    out[3] = static_cast<char>(m_lastUpdate.day);
    bytes::writeLe(&out[4], m_recordCount, 4);
    bytes::writeLe(&out[8], m_headerLength, 2);
    bytes::writeLe(&out[10], m_recordLength, 2);
    out[28] = static_cast<char>(m_flags);
    out[29] = static_cast<char>(m_codePage);
    return out;
}

std::string DbfHeader::serialize() const
{
    std::string out = serializePrefix();
    out.resize(m_headerLength, '\0');
    std::size_t at = kPrefixSize;
    for (const FieldInfo& f : m_fields) {
        std::copy(f.name.begin(), f.name.begin() + static_cast<long>(std::min<std::size_t>(f.name.size(), 10)),
                  out.begin() + static_cast<long>(at));
        out[at + 11] = f.type;
        bytes::writeLe(&out[at + 12], f.offset, 4);
        out[at + 16] = static_cast<char>(f.width);
        out[at + 17] = static_cast<char>(f.decimals);
        at += kDescriptorSize;
    }
    out[at] = '\x0D';
    return out;
}

} // namespace quorvo::xbase
