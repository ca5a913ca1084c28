#include "tasks/BulkDeletion.h"

#include "datetime/DateFormats.h"
#include "store/TaskRecord.h"
#include "store/xbase/Table.h"

#include <optional>
#include <vector>

namespace quorvo {

QString BulkDeletion::question(Command command)
{
    switch (command) {
    case Command::AllMarkedDone:
        return QStringLiteral("CONFIRM: Delete all tasks marked as done?");
    case Command::AllWithDatesBeforeToday:
        return QStringLiteral("CONFIRM: Delete all with dates before today?");
    case Command::AllTasksMatchingFilter:
        return QStringLiteral("CONFIRM: Delete all tasks matching the current filter?\r(i.e. all showing tasks)");
    case Command::AllTasksNotMatchingFilter:
        return QStringLiteral(
            "CONFIRM: Delete all tasks NOT matching the current filter?\r(i.e. all tasks not showing)");
    }
    return {};
}

QString BulkDeletion::resultText(Command command, int deleted)
{
    const QString n = QString::number(deleted);
    switch (command) {
    case Command::AllMarkedDone:
        return deleted > 0
                   ? QStringLiteral("All tasks marked DONE have been deleted (") + n + QStringLiteral(" records)")
                   : QStringLiteral("No tasks marked DONE have been deleted");
    case Command::AllWithDatesBeforeToday:
        return deleted > 0 ? QStringLiteral("All tasks with dates before today have been deleted (") + n +
                                 QStringLiteral(" records)")
                           : QStringLiteral("No tasks with dates before today have been deleted");
    case Command::AllTasksMatchingFilter:
        return deleted > 0 ? QStringLiteral("All tasks matching filter have been deleted\r(") + n +
                                 QStringLiteral(" records)\rFILTER WILL NOW BE CLEARED")
                           : QStringLiteral("No tasks matching filter have been deleted");
    case Command::AllTasksNotMatchingFilter:
        return deleted > 0 ? QStringLiteral("All tasks NOT matching filter have been deleted\r(") + n +
                                 QStringLiteral(" records)")
                           : QStringLiteral("No tasks NOT matching filter have been deleted");
    }
    return {};
}

bool BulkDeletion::needsFilter(Command command)
{
    return command == Command::AllTasksMatchingFilter || command == Command::AllTasksNotMatchingFilter;
}

std::string BulkDeletion::walkQuery(Command command, const std::string& filter)
{
    switch (command) {
    case Command::AllTasksMatchingFilter:
        return filter;
    case Command::AllTasksNotMatchingFilter:
        return "!(" + filter + ")";
    default:
        return {};
    }
}

namespace {

// Whether a stored date is a real date before today. The date is read back through the working settings
// ("mm/dd/yyyy"), so whatever they refuse (blank, cut or impossible dates) stays.
bool datedBefore(std::string_view stored, const DateFormats& formats, const DateTime& today)
{
    while (!stored.empty() && stored.back() == ' ')
        stored.remove_suffix(1);
    if (stored.size() != 8)
        return false;
    const QString text = QString::fromLatin1(stored.substr(4, 2)) + u'/' + QString::fromLatin1(stored.substr(6, 2)) +
                         u'/' + QString::fromLatin1(stored.substr(0, 4));
    const std::optional<DateTime> date = formats.parseDate(text, FormatSettings::working());
    return date && today > *date;
}

class Walk
{
public:
    Walk(xbase::Table& table, BulkDeletion::Command command, const DateFormats& formats, const DateTime& today)
        : m_table(table), m_command(command), m_formats(formats), m_today(today)
    {}

    BulkDeletion::Outcome run()
    {
        BulkDeletion::Outcome outcome;
        if (m_command == BulkDeletion::Command::AllMarkedDone) {
            auto done = m_table.compile("DONE");
            if (!done) {
                outcome.status = done.error();
                return outcome;
            }
            m_done = std::move(*done);
        }
        if (!m_table.query().empty()) {
            auto query = m_table.compile(m_table.query());
            if (!query) {
                outcome.status = query.error();
                return outcome;
            }
            m_query = std::move(*query);
        }
        outcome.status = m_table.beginBatch();
        if (!outcome.status)
            return outcome;
        // Locking task by task is what another program holding a task requires; without one it is
        // needless work, tens of thousands of locks held to the commit.
        (void)m_table.lockAllRecords();
        int deleted = 0;
        outcome.status = visitAll(deleted, outcome.records);
        if (m_batchLost) {
            // A failed write drops the whole transaction: none of the walk's deletions were written.
            outcome.deleted = 0;
            outcome.records.clear();
            return outcome;
        }
        // A scan that failed has deleted nothing; the batch is closed all the same.
        const xbase::Status committed = m_table.commitBatch();
        if (!committed) {
            outcome.status = committed;
            deleted = 0;
            outcome.records.clear();
        }
        outcome.deleted = deleted;
        return outcome;
    }

private:
    // The walk's view (its query, live tasks only) and the command's test, on one record's bytes.
    bool passes(std::string_view record) const
    {
        if (record.empty() || record[0] == '*')
            return false;
        if (m_query && !m_query->evaluateLogical(record))
            return false;
        switch (m_command) {
        case BulkDeletion::Command::AllMarkedDone:
            return m_done->evaluateLogical(record);
        case BulkDeletion::Command::AllWithDatesBeforeToday: {
            const xbase::FieldInfo& date = m_table.field(TaskField::DATE);
            return record.size() >= date.offset + date.width &&
                   datedBefore(record.substr(date.offset, date.width), m_formats, m_today);
        }
        default:
            return true;
        }
    }

    // One read-ahead pass in record order finds the tasks; the table then flags them in one step, judging
    // each again on what it holds now, so a task that another program changed meanwhile is judged on that.
    // Moving through the view record by record would read ahead again after every deletion, and a post
    // each would rewrite every tag's leaf once per task.
    xbase::Status visitAll(int& deleted, std::vector<std::uint32_t>& records)
    {
        std::vector<std::uint32_t> found;
        QV_TRY(m_table.scan([&](std::uint32_t recno, std::string_view record) {
            if (passes(record))
                found.push_back(recno);
            return true;
        }));
        if (xbase::Status flagged = m_table.setDeletedMany(
                found, true, [this](std::uint32_t, std::string_view record) { return passes(record); }, records);
            !flagged) {
            m_batchLost = true;
            return flagged;
        }
        deleted = static_cast<int>(records.size());
        return {};
    }

    xbase::Table& m_table;
    BulkDeletion::Command m_command;
    const DateFormats& m_formats;
    DateTime m_today;
    std::optional<xbase::Expression> m_done;
    std::optional<xbase::Expression> m_query;
    bool m_batchLost = false;
};

} // namespace

BulkDeletion::Outcome BulkDeletion::run(xbase::Table& table, Command command, const DateFormats& formats,
                                        const DateTime& today)
{
    const std::string filter = table.query();
    const int order = table.order();
    Outcome outcome;
    outcome.status = table.post();
    // In record order a deletion cannot move the tasks still to come.
    if (outcome.status)
        outcome.status = table.setOrder(0);
    if (outcome.status)
        outcome.status = table.setQuery(walkQuery(command, filter));
    if (outcome.status)
        outcome = Walk(table, command, formats, today).run();
    // Restored whatever happened, so the list is shown as it was asked for.
    const xbase::Status query = table.setQuery(filter);
    const xbase::Status ordered = table.setOrder(order);
    if (outcome.status && !query)
        outcome.status = query;
    if (outcome.status && !ordered)
        outcome.status = ordered;
    return outcome;
}

} // namespace quorvo
