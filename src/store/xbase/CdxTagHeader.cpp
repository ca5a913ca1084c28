#include "store/xbase/CdxTagHeader.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxLayout.h"

#include <cstring>

namespace quorvo::xbase {

namespace {

Error headerError(std::uint32_t offset, const std::string& what)
{
    return makeError(ErrorCode::Corrupt, "header at offset " + std::to_string(offset) + ": " + what);
}

std::string poolText(const char* pool, std::uint32_t start, std::uint32_t lengthWithNul)
{
    const char* text = pool + start;
    const std::size_t limit = lengthWithNul > 0 ? lengthWithNul - 1 : 0;
    std::size_t n = 0;
    while (n < limit && text[n] != '\0')
        ++n;
    return std::string(text, n);
}

} // namespace

bool CdxTagHeader::poolFits(const std::string& keyExpression, const std::string& forExpression)
{
    return keyExpression.size() + forExpression.size() + 2 <= CdxLayout::kPoolSize;
}

Result<CdxTagHeader> CdxTagHeader::parse(const char* bytes, std::uint32_t offset)
{
    CdxTagHeader header;
    header.root = CdxBytes::le32(bytes);
    header.freeList = CdxBytes::le32(bytes + 4);
    header.counter = CdxBytes::be32(bytes + 8);
    header.keyLength = CdxBytes::le16(bytes + 12);
    header.options = static_cast<std::uint8_t>(bytes[14]);
    header.descending = CdxBytes::le16(bytes + 502) != 0;
    if (header.keyLength < 1 || header.keyLength > CdxLayout::kMaxKeyLength)
        return headerError(offset, "key length " + std::to_string(header.keyLength) + " is outside 1-240");
    if (header.root == 0 || header.root % CdxLayout::kPageSize != 0)
        return headerError(offset, "root offset " + std::to_string(header.root) + " is not a page of the file");

    const std::uint32_t forLength = CdxBytes::le16(bytes + 506);
    const std::uint32_t keyTextLength = CdxBytes::le16(bytes + 510);
    if (keyTextLength < 1 || forLength < 1 || keyTextLength + forLength > CdxLayout::kPoolSize)
        return headerError(offset, "expression lengths " + std::to_string(keyTextLength) + " and " +
                                       std::to_string(forLength) + " do not fit the 512-byte pool");
    const char* pool = bytes + CdxLayout::kPageSize;
    header.keyExpression = poolText(pool, 0, keyTextLength);
    header.forExpression = poolText(pool, keyTextLength, forLength);
    return header;
}

void CdxTagHeader::write(char* bytes) const
{
    std::memset(bytes, 0, CdxLayout::kHeaderSize);
    CdxBytes::putLe32(bytes, root);
    CdxBytes::putLe32(bytes + 4, freeList);
    CdxBytes::putBe32(bytes + 8, counter);
    CdxBytes::putLe16(bytes + 12, keyLength);
    std::uint8_t writtenOptions = options & static_cast<std::uint8_t>(kUnique | kCompact | kCompound | kStructural);
    if (!forExpression.empty())
        writtenOptions |= kHasFor;
    bytes[14] = static_cast<char>(writtenOptions);
    bytes[15] = 1;
    const auto keyTextLength = static_cast<std::uint32_t>(keyExpression.size() + 1);
    const auto forLength = static_cast<std::uint32_t>(forExpression.size() + 1);
    CdxBytes::putLe16(bytes + 502, descending ? 1 : 0);
    CdxBytes::putLe16(bytes + 504, keyTextLength);
    CdxBytes::putLe16(bytes + 506, forLength);
    CdxBytes::putLe16(bytes + 508, 0);
    CdxBytes::putLe16(bytes + 510, keyTextLength);
    char* pool = bytes + CdxLayout::kPageSize;
    std::memcpy(pool, keyExpression.data(), keyExpression.size());
    std::memcpy(pool + keyTextLength, forExpression.data(), forExpression.size());
}

} // namespace quorvo::xbase
