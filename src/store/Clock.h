#pragma once

#include <QDate>
#include <QDateTime>

namespace quorvo {

// Today and now for everything that dates or times a task. Windows and rules take a Clock so that tests
// can stand still at a chosen moment; the program passes a SystemClock.
class Clock
{
public:
    virtual ~Clock() = default;

    // Local date and time of day.
    virtual QDateTime now() const = 0;

    // The date part of now(); a clock may answer it more cheaply.
    virtual QDate today() const { return now().date(); }
};

} // namespace quorvo
