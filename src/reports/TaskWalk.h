#pragma once

#include "store/xbase/Error.h"

#include <QByteArray>

#include <functional>
#include <string>
#include <unordered_map>

namespace quorvo {

class DateFormats;

namespace xbase {
class Table;
}

// The walk every export makes over the current view: the tasks that pass the table's query, in its order,
// from the first, bounded by the view's count and by its end. The table is left standing on the last task
// walked, so the task list shows where the export ended.
class TaskWalk
{
public:
    // The five columns of a task as every output shows them, as Windows-1252 bytes, and its notes.
    struct Task
    {
        std::string_view description; // DESCRIPT without its trailing blanks
        QByteArray date;
        QByteArray time;
        QByteArray priority;
        QByteArray done;
        std::string notes; // read only when asked for
        // The stored forms, for exports that write data rather than what the list shows.
        std::uint32_t recNo = 0;
        std::string_view storedDate; // "yyyymmdd" or blank
        std::string_view storedTime; // "hh:nn" or blank
        std::string_view keys;       // without trailing blanks
        char priorityCode = ' ';     // 'A', 'B', 'C' in either case, or anything else for none
        bool isDone = false;
    };

    enum class Form
    {
        // The first task is emitted before any end test: an empty view still gives one task, all empty.
        AtLeastOne,
        // An empty view emits nothing.
        Exact,
    };

    using Emit = std::function<void(const Task&)>;
    // Called after each move to the next task, for the window to keep itself painted.
    using Pump = std::function<void()>;

    TaskWalk(xbase::Table& table, const DateFormats& formats) : m_table(table), m_formats(formats) {}

    xbase::Status run(Form form, bool withNotes, const Emit& deliver, const Pump& pump = {});

private:
    xbase::Status fill(Task& task, bool withNotes);
    const QByteArray& dateText(std::string_view stored);
    const QByteArray& timeText(std::string_view stored);

    xbase::Table& m_table;
    const DateFormats& m_formats;
    // A view repeats the same few thousand dates and times; their display texts are made once per walk.
    std::unordered_map<std::string, QByteArray> m_dates;
    std::unordered_map<std::string, QByteArray> m_times;
};

} // namespace quorvo
