#pragma once

#include <QString>

#include <string_view>

namespace quorvo {

class DateFormats;

// The display texts of a task, computed from its stored fields: the grid, the reports and the exports
// all show these.
class TaskDisplay
{
public:
    // "High", "Medium", "Low" for A, B, C in any letter case; empty for anything else.
    static QString ShowPriority(std::string_view priority);
    // "dd mmm yyyy" (05 Jan 2024) for a valid stored date; empty for a blank or malformed one.
    static QString ShowDate(std::string_view date, const DateFormats& formats);
    // " hh:mmam/pm" ( 02:30pm) for a valid stored time; empty otherwise.
    static QString ShowTime(std::string_view time, const DateFormats& formats);
    static QString IsDone(bool done) { return done ? QStringLiteral("Y") : QStringLiteral("N"); }
};

} // namespace quorvo
