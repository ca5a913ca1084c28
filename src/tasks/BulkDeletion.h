#pragma once

#include "datetime/DateTime.h"
#include "store/xbase/Error.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvo {

class DateFormats;

namespace xbase {
class Table;
}

// The File > Delete walks: each visits the tasks of its own view in record order and flags deleted those
// that pass its test. A walk is one journal transaction, so a crash in the middle leaves every deletion of
// it or none. A task that another program holds locked is skipped and not counted. A failed write loses
// the whole transaction (count 0); a failed move ends the walk and keeps what it had deleted.
//
// The order and the query in force before the walk are restored in every case.
class BulkDeletion
{
public:
    enum class Command
    {
        AllMarkedDone,
        AllWithDatesBeforeToday,
        AllTasksMatchingFilter,
        AllTasksNotMatchingFilter,
    };

    struct Outcome
    {
        int deleted = 0;
        xbase::Status status;
        // The tasks deleted and counted, ascending.
        std::vector<std::uint32_t> records;
    };

    static QString question(Command command);
    // What the user is told after the walk: n > 0 names the count, 0 says nothing was deleted.
    static QString resultText(Command command, int deleted);
    // The two filter commands do nothing without a filter in force.
    static bool needsFilter(Command command);
    static QString noFilterText() { return QStringLiteral("No Filter currently set"); }

    // The query the walk runs under, given the filter in force: none, the filter, or its opposite.
    static std::string walkQuery(Command command, const std::string& filter);

    // formats parses stored dates under the working settings; today decides what is before today.
    static Outcome run(xbase::Table& table, Command command, const DateFormats& formats, const DateTime& today);
};

} // namespace quorvo
