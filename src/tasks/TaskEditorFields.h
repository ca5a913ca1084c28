#pragma once

#include "tasks/TaskValues.h"

#include <QString>

namespace quorvo {

class DateFormats;

// What the task editor's controls hold, filled from a task (or for a new one) before it is shown and
// turned back into stored fields after OK. The date and time texts are in the user settings' forms, with
// the short date pattern as narrowed while the editor is open; notes have CR LF line breaks.
struct TaskEditorFields
{
    enum class Priority
    {
        High,
        Medium,
        Low,
    };

    QString taskLabel;
    QString task;
    bool isDone = false;
    QString keyWords;
    QString dateEdit;
    QString timeEdit;
    // The editor's own default; a stored priority that is not exactly A, B or C leaves it.
    Priority priority = Priority::Medium;
    QString notes;

    static TaskEditorFields forEdit(const TaskValues& task, const DateFormats& formats);
    static TaskEditorFields forAdd();

    // The fields to store: the date and time tried under the user settings and then the working ones (empty
    // when neither reads them), the notes padded as every stored note is, priority A, B or C.
    TaskValues collect(const DateFormats& formats) const;

    static QString priorityCode(Priority priority);
};

} // namespace quorvo
