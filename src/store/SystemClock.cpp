#include "store/SystemClock.h"

#include <ctime>

namespace quorvo {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

QDate SystemClock::today() const
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return now().date();
    return QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

const SystemClock& SystemClock::instance()
{
    static const SystemClock clock;
    return clock;
}

} // namespace quorvo
