#pragma once

#include "store/Clock.h"

namespace quorvo {

// The machine's local clock.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    // Straight from the C library's local time: a QDateTime in local time costs microseconds.
    QDate today() const override;

    // One shared instance; the clock holds no state.
    static const SystemClock& instance();
};

} // namespace quorvo
