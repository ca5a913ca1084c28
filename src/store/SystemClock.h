#pragma once

#include "store/Clock.h"

namespace quorvo {

// The machine's local clock.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;

    // One shared instance; the clock holds no state.
    static const SystemClock& instance();
};

} // namespace quorvo
