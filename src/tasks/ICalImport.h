#pragma once

#include "store/xbase/Error.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvo {

namespace xbase {
class Table;
}

// Tasks from an iCalendar file, as calendar programs write them: its VTODOs become tasks (the description
// cut to the field's 50 bytes with the rest kept at the head of the notes, key words from the categories
// cut to 60, due times in the local time zone, text in Windows-1252 with '?' for what it cannot hold).
// Events, journals and repeating to-dos have no task to become and are counted, not read. A VTODO whose UID
// this table exported updates its task while that task is still there; every other one is a new task.
class ICalImport
{
public:
    static constexpr std::size_t kDescriptionBytes = 50;
    static constexpr std::size_t kKeyBytes = 60;
    // The property that carries the time of a task without a date, "hh:nn": DUE cannot say it.
    static constexpr const char* kTimeWithoutDate = "X-QUORVO-TIME";

    // One task in its stored forms.
    struct Task
    {
        std::string date; // "yyyymmdd" or empty
        std::string time; // "hh:nn" or empty
        std::string descript;
        std::string keys;
        std::string priority; // "A", "B", "C" or empty
        bool done = false;
        std::string note;
        std::uint32_t exportedAs = 0; // the record this table exported it from, or 0
    };

    struct Plan
    {
        std::vector<Task> tasks;
        int events = 0;
        int recurring = 0;
        int others = 0; // journals and free/busy components
    };

    struct Outcome
    {
        xbase::Status status;
        int added = 0;
        int updated = 0;
    };

    // None, with error set, when the bytes are not an iCalendar object.
    static std::optional<Plan> read(const QByteArray& bytes, const QByteArray& tableTag, QString* error);
    // The live task of the table that a to-do updates, 0 when it becomes a new task; existing is the table's
    // record count before the import, so no task the import appends is taken for an exported one. Moves the table.
    static xbase::Result<std::uint32_t> taskUpdatedBy(xbase::Table& table, const Task& task, std::uint32_t existing);
    // All tasks as one transaction. A failed write leaves nothing of it; a task locked by another program
    // ends the import there, keeping (and counting) the tasks before it.
    static Outcome apply(xbase::Table& table, const Plan& plan);
};

} // namespace quorvo
