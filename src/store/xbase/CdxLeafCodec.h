#pragma once

#include "store/xbase/CdxLeafLayout.h"
#include "store/xbase/CdxLeafNode.h"
#include "store/xbase/CdxLeafWidths.h"
#include "store/xbase/CdxLeafWriter.h"
#include "store/xbase/Error.h"

#include <cstdint>
#include <vector>

namespace quorvo::xbase {

// Compressed leaf pages of one tag (key length and fill byte) to and from CdxLeafNode. Layout:
//   0  node header (CdxNodeHeader)      12 free bytes LE16     14 record-number mask LE32
//   18 dup mask   19 trail mask   20 RB   21 DB   22 TB   23 N (bytes per entry)
//   24 entry table, key bytes from 511 downward (see CdxLeafWriter)
// Decoding takes the widths from the page itself, so leaves written by any engine read back; encoding
// picks the narrowest widths for the entries' largest record number.
class CdxLeafCodec
{
public:
    CdxLeafCodec(std::uint32_t keyLength, char fill);

    std::uint32_t keyLength() const { return m_keyLength; }
    char fill() const { return m_fill; }

    // Checks a leaf page's node and leaf headers (attributes, widths, masks, entry table inside the page)
    // and returns its widths.
    static Status readWidths(const char* page, std::uint32_t offset, CdxLeafWidths& widths);
    // Reads entry i of a leaf with these widths: record number, duplicate count, trailing count.
    static void readEntry(const char* page, const CdxLeafWidths& widths, std::uint32_t i, std::uint32_t& recno,
                          std::uint32_t& dup, std::uint32_t& trail);

    // Decodes the leaf page; a page that breaks the layout is ErrorCode::Corrupt naming offset and damage.
    Status decode(const char* page, std::uint32_t offset, CdxLeafNode& out, CdxLeafLayout* layout = nullptr) const;

    // Encodes entries [begin, end) as one leaf; false when they do not fit in 488 bytes.
    bool encode(const CdxLeafNode& node, std::size_t begin, std::size_t end, std::uint16_t attributes,
                std::uint32_t left, std::uint32_t right, char* page) const;

    // Key bytes each entry stores: chained[i] after entry i - 1, alone[i] as the first entry of a leaf.
    void measure(const CdxLeafNode& node, std::vector<std::uint32_t>& chained, std::vector<std::uint32_t>& alone) const;

private:
    std::uint32_t m_keyLength;
    char m_fill;
    mutable CdxLeafWriter m_writer;
};

} // namespace quorvo::xbase
