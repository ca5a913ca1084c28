#pragma once

#include <QString>

namespace quorvo {

// The stored fields of one task, as a command writes them in one post: DATE "yyyymmdd" or empty, TIME
// "hh:nn" or empty, PRIORITY one letter or empty, NOTE with CR LF line breaks.
struct TaskValues
{
    QString descript;
    QString keys;
    QString note;
    QString date;
    QString time;
    QString priority;
    bool done = false;

    bool operator==(const TaskValues&) const = default;
};

} // namespace quorvo
