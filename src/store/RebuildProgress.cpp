#include "store/RebuildProgress.h"

#include <algorithm>
#include <cmath>

namespace quorvo {

int RebuildProgress::report(int value)
{
    if (m_packing)
        return std::clamp(value, 0, 100);
    if (value > m_last)
        m_total += value - m_last;
    m_last = value;
    return static_cast<int>(std::clamp<long long>(std::llround(static_cast<double>(m_total) * 0.25), 0, 100));
}

} // namespace quorvo
