#pragma once

#include "store/Clock.h"

#include <utility>

namespace quorvo {

// A clock that stands still until the test moves it.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(QDateTime moment) : m_moment(std::move(moment)) {}
    FixedClock(QDate date, QTime time = QTime(0, 0)) : m_moment(date, time) {}

    QDateTime now() const override { return m_moment; }
    void set(QDateTime moment) { m_moment = std::move(moment); }

private:
    QDateTime m_moment;
};

} // namespace quorvo
