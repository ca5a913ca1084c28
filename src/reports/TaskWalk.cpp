#include "reports/TaskWalk.h"

#include "store/TaskDisplay.h"
#include "store/TaskRecord.h"
#include "store/xbase/Table.h"

namespace quorvo {

namespace {

QByteArray bytesOf(const QString& text)
{
    // Display texts are made of the working settings' ASCII names and digits.
    return text.toLatin1();
}

std::string_view trimRight(std::string_view text)
{
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

} // namespace

xbase::Status TaskWalk::run(Form form, bool withNotes, const Emit& deliver, const Pump& pump)
{
    m_dates.clear();
    m_times.clear();
    QV_TRY(m_table.goTop());
    auto count = m_table.queryRecCount();
    if (!count)
        return count.error();
    const std::uint32_t bound = *count;
    if (form == Form::Exact && m_table.eof())
        return {};

    Task task;
    std::uint32_t emitted = 0;
    for (;;) {
        QV_TRY(fill(task, withNotes));
        deliver(task);
        ++emitted;
        if (m_table.eof())
            break;
        QV_TRY(m_table.skip(1));
        if (m_table.eof()) {
            // Past the end: stand on the last task of the view again.
            QV_TRY(m_table.goBottom());
            break;
        }
        if (pump)
            pump();
        if (emitted == bound)
            break;
    }
    return {};
}

xbase::Status TaskWalk::fill(Task& task, bool withNotes)
{
    task.notes.clear();
    if (m_table.eof()) {
        task.description = {};
        task.date.clear();
        task.time.clear();
        task.priority.clear();
        task.done.clear();
        task.recNo = 0;
        task.storedDate = {};
        task.storedTime = {};
        task.keys = {};
        task.priorityCode = ' ';
        task.isDone = false;
        return {};
    }
    task.description = trimRight(m_table.rawField(TaskField::DESCRIPT));
    task.storedDate = m_table.rawField(TaskField::DATE);
    task.storedTime = m_table.rawField(TaskField::TIME);
    task.date = dateText(task.storedDate);
    task.time = timeText(task.storedTime);
    const std::string_view priority = trimRight(m_table.rawField(TaskField::PRIORITY));
    task.priorityCode = priority.empty() ? ' ' : priority.front();
    task.priority = bytesOf(TaskDisplay::ShowPriority(priority));
    task.isDone = m_table.getLogical(TaskField::DONE);
    task.done = bytesOf(TaskDisplay::IsDone(task.isDone));
    task.keys = trimRight(m_table.rawField(TaskField::KEYS));
    task.recNo = m_table.recNo();
    if (withNotes) {
        auto notes = m_table.getMemo(TaskField::NOTE);
        if (!notes)
            return notes.error();
        task.notes = std::move(*notes);
    }
    return {};
}

const QByteArray& TaskWalk::dateText(std::string_view stored)
{
    auto [it, added] = m_dates.try_emplace(std::string(stored));
    if (added)
        it->second = bytesOf(TaskDisplay::ShowDate(stored, m_formats));
    return it->second;
}

const QByteArray& TaskWalk::timeText(std::string_view stored)
{
    auto [it, added] = m_times.try_emplace(std::string(stored));
    if (added)
        it->second = bytesOf(TaskDisplay::ShowTime(stored, m_formats));
    return it->second;
}

} // namespace quorvo
