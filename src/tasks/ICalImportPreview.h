#pragma once

#include "store/xbase/Error.h"
#include "tasks/ICalImport.h"
#include "tasks/TaskUndoStep.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvo {

class DateFormats;

namespace xbase {
class Table;
}

// An import read from a file, held against the task table before it is made: which to-dos become new tasks,
// which update the tasks this table exported, and what the file holds that is skipped. Made, it is one step
// that can be taken back: the added tasks flagged deleted, the updated ones written back as they were.
class ICalImportPreview
{
public:
    struct Entry
    {
        QString text;            // the due date and time as the grid shows them, then the description
        std::uint32_t recno = 0; // the task it updates; 0 for one it adds
    };

    struct Made
    {
        ICalImport::Outcome outcome;
        // What the import changed, as one step; none when it changed nothing.
        std::optional<TaskUndoStep> step;
    };

    // Reads which tasks of the table the plan's to-dos update. Moves the table.
    static xbase::Result<ICalImportPreview> of(xbase::Table& table, ICalImport::Plan plan, const DateFormats& formats);

    const std::vector<Entry>& added() const { return m_added; }
    const std::vector<Entry>& updated() const { return m_updated; }
    const ICalImport::Plan& plan() const { return m_plan; }
    bool nothingToImport() const { return m_plan.tasks.empty(); }

    // "3 tasks will be added." and its like, for the two lists.
    QString addedText() const;
    QString updatedText() const;
    // "Skipped: 2 events, 1 repeating to-do, 0 other components."
    QString skippedText() const;
    // The step's name on the undo stack.
    static QString stepText() { return QStringLiteral("Import iCalendar"); }

    // Imports the plan as ICalImport::apply does, the tasks it will update decided again at that moment
    // (another program may have changed the table since the preview). The table stays where it stood.
    Made make(xbase::Table& table) const;

private:
    explicit ICalImportPreview(ICalImport::Plan plan) : m_plan(std::move(plan)) {}

    ICalImport::Plan m_plan;
    std::vector<Entry> m_added;
    std::vector<Entry> m_updated;
};

} // namespace quorvo
