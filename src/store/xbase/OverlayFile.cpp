#include "store/xbase/OverlayFile.h"

#include <algorithm>

namespace quorvo::xbase {

Result<std::size_t> OverlayFile::readAt(std::uint64_t offset, std::span<char> out)
{
    auto total = m_changes.size();
    if (!total)
        return total.error();
    if (offset >= *total)
        return std::size_t{0};
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), *total - offset));
    QV_TRY(m_changes.read(offset, out.first(n)));
    return n;
}

} // namespace quorvo::xbase
