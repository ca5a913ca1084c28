#include "store/xbase/CdxLeafCodec.h"

#include "store/xbase/CdxBytes.h"
#include "store/xbase/CdxLayout.h"

#include <cstring>
#include <string>

namespace quorvo::xbase {

namespace {

Error leafError(std::uint32_t offset, const std::string& what)
{
    return makeError(ErrorCode::Corrupt, "leaf at offset " + std::to_string(offset) + ": " + what);
}

} // namespace

CdxLeafCodec::CdxLeafCodec(std::uint32_t keyLength, char fill)
    : m_keyLength(keyLength), m_fill(fill), m_writer(keyLength, fill)
{}

Status CdxLeafCodec::readWidths(const char* page, std::uint32_t offset, CdxLeafWidths& widths)
{
    const CdxNodeHeader header = CdxNodeHeader::read(page);
    if (!header.validAttributes() || !header.isLeaf())
        return leafError(offset, "node attributes " + std::to_string(header.attributes) + " are not a leaf's");
    widths.recordBits = static_cast<std::uint8_t>(page[20]);
    widths.dupBits = static_cast<std::uint8_t>(page[21]);
    widths.trailBits = static_cast<std::uint8_t>(page[22]);
    widths.entryBytes = static_cast<std::uint8_t>(page[23]);
    const unsigned n = widths.entryBytes;
    if (n < 3 || n > 8)
        return leafError(offset, "entry size " + std::to_string(n) + " is outside 3-8 bytes");
    if (widths.recordBits > 32 || widths.dupBits > 8 || widths.trailBits > 8 ||
        unsigned{widths.recordBits} + widths.dupBits + widths.trailBits > 8 * n)
        return leafError(offset, "bit widths " + std::to_string(widths.recordBits) + "/" +
                                     std::to_string(widths.dupBits) + "/" + std::to_string(widths.trailBits) +
                                     " do not fit a " + std::to_string(n) + "-byte entry");
    if (CdxBytes::le32(page + 14) != widths.recordMask() || CdxBytes::byte(page, 18) != widths.dupMask() ||
        CdxBytes::byte(page, 19) != widths.trailMask())
        return leafError(offset, "masks do not match the bit widths");
    if (CdxLayout::kLeafHeaderSize + std::uint32_t{header.count} * n > CdxLayout::kPageSize)
        return leafError(offset, std::to_string(header.count) + " entries of " + std::to_string(n) +
                                     " bytes overflow the page");
    return {};
}

void CdxLeafCodec::readEntry(const char* page, const CdxLeafWidths& widths, std::uint32_t i, std::uint32_t& recno,
                             std::uint32_t& dup, std::uint32_t& trail)
{
    const unsigned n = widths.entryBytes;
    const std::uint32_t at = CdxLayout::kLeafHeaderSize + i * n;
    std::uint64_t v;
    if (n <= 4 && at + 4 <= CdxLayout::kPageSize)
        v = CdxBytes::le32(page + at); // the bytes past the entry are masked off below
    else
        v = CdxBytes::leN(page + at, n);
    recno = static_cast<std::uint32_t>(v & widths.recordMask());
    dup = static_cast<std::uint32_t>((v >> widths.recordBits) & widths.dupMask());
    trail = static_cast<std::uint32_t>((v >> (widths.recordBits + widths.dupBits)) & widths.trailMask());
}

Status CdxLeafCodec::decode(const char* page, std::uint32_t offset, CdxLeafNode& out, CdxLeafLayout* layout) const
{
    out.reset(m_keyLength);
    out.header = CdxNodeHeader::read(page);
    CdxLeafWidths widths;
    QV_TRY(readWidths(page, offset, widths));

    const std::uint32_t count = out.header.count;
    const std::uint32_t tableEnd = CdxLayout::kLeafHeaderSize + count * widths.entryBytes;
    std::uint32_t keyPos = CdxLayout::kPageSize;
    out.resize(count);
    char* key = out.keyData();
    for (std::uint32_t i = 0; i < count; ++i, key += m_keyLength) {
        std::uint32_t recno = 0;
        std::uint32_t dup = 0;
        std::uint32_t trail = 0;
        readEntry(page, widths, i, recno, dup, trail);
        if (i == 0)
            dup = 0; // writers leave garbage here; the first key never shares a prefix
        if (dup + trail > m_keyLength)
            return leafError(offset, "entry " + std::to_string(i) + " has duplicate count " + std::to_string(dup) +
                                         " and trailing count " + std::to_string(trail) + " for a key of " +
                                         std::to_string(m_keyLength) + " bytes");
        const std::uint32_t stored = m_keyLength - dup - trail;
        if (keyPos < tableEnd + stored)
            return leafError(offset, "key bytes of entry " + std::to_string(i) + " run into the entry table");
        keyPos -= stored;
        out.setRecno(i, recno);
        if (dup > 0)
            std::memcpy(key, key - m_keyLength, dup);
        if (stored > 0)
            std::memcpy(key + dup, page + keyPos, stored);
        if (trail > 0)
            std::memset(key + dup + stored, m_fill, trail);
    }
    if (layout) {
        layout->widths = widths;
        layout->storedFree = CdxBytes::le16(page + 12);
        layout->computedFree = keyPos - tableEnd;
    }
    return {};
}

bool CdxLeafCodec::encode(const CdxLeafNode& node, std::size_t begin, std::size_t end, std::uint16_t attributes,
                          std::uint32_t left, std::uint32_t right, char* page) const
{
    m_writer.start(page, CdxLeafWidths::forKey(m_keyLength, node.maxRecno(begin, end)));
    for (std::size_t i = begin; i < end; ++i) {
        if (!m_writer.append(node.key(i), node.recno(i)))
            return false;
    }
    m_writer.finish(attributes, left, right);
    return true;
}

void CdxLeafCodec::measure(const CdxLeafNode& node, std::vector<std::uint32_t>& chained,
                           std::vector<std::uint32_t>& alone) const
{
    const std::size_t count = node.count();
    chained.resize(count);
    alone.resize(count);
    std::uint32_t previousTrail = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t trail = m_writer.trailCount(node.key(i));
        alone[i] = m_keyLength - trail;
        chained[i] =
            i == 0 ? alone[i] : alone[i] - m_writer.dupCount(node.key(i - 1), previousTrail, node.key(i), trail);
        previousTrail = trail;
    }
}

} // namespace quorvo::xbase
