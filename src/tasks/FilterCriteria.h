#pragma once

#include <QString>

namespace quorvo {

// What the user asked the task list to show. Only showDoneTasks outlives the run (the ShowDone
// preference); the other four start empty at every start.
struct FilterCriteria
{
    // DateFilterIndex: 0 all dates, 1 today, 2 tomorrow, 3/4/5 the next 7/30/365 days, 6 before today.
    int dateFilterIndex = 0;
    // PriorityFilterIndex: 0 all, 1 high, 2 medium, 3 low.
    int priorityFilterIndex = 0;
    // Comma-separated key words, any of which a task's key words must contain.
    QString keysFilterText;
    // A text the task's description must contain; not trimmed.
    QString taskFilterText;
    bool showDoneTasks = false;

    bool operator==(const FilterCriteria&) const = default;

    // Whether the "FILTERED" button shows: any criterion but the done one is set. A key words text of
    // blanks only counts, though it adds no clause.
    bool narrowed() const
    {
        return dateFilterIndex != 0 || !keysFilterText.isEmpty() || !taskFilterText.isEmpty() ||
               priorityFilterIndex != 0;
    }

    // Back to all tasks, done ones shown or hidden as they were.
    void clearNarrowing()
    {
        dateFilterIndex = 0;
        keysFilterText.clear();
        priorityFilterIndex = 0;
        taskFilterText.clear();
    }
};

} // namespace quorvo
