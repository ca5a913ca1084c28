#include "store/xbase/CdxNodeHeader.h"

#include "store/xbase/CdxBytes.h"

namespace quorvo::xbase {

CdxNodeHeader CdxNodeHeader::read(const char* page)
{
    CdxNodeHeader header;
    header.attributes = CdxBytes::le16(page);
    header.count = CdxBytes::le16(page + 2);
    header.left = CdxBytes::le32(page + 4);
    header.right = CdxBytes::le32(page + 8);
    return header;
}

void CdxNodeHeader::write(char* page) const
{
    CdxBytes::putLe16(page, attributes);
    CdxBytes::putLe16(page + 2, count);
    CdxBytes::putLe32(page + 4, left);
    CdxBytes::putLe32(page + 8, right);
}

} // namespace quorvo::xbase
